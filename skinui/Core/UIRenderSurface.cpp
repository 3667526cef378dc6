#include "Core/UIRenderSurface.h"

namespace SkinUI {

HBITMAP CreateDib32(int cx, int cy, DWORD** ppPixels, DibRows rows) {
  *ppPixels = nullptr;
  if (cx <= 0 || cy <= 0) return nullptr;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = rows == DibRows::kTopDown ? -cy : cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  bmi.bmiHeader.biSizeImage = 0;
  void* pBits = nullptr;
  HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  if (hBitmap == nullptr || pBits == nullptr) {
    if (hBitmap != nullptr) ::DeleteObject(hBitmap);
    return nullptr;
  }
  *ppPixels = static_cast<DWORD*>(pBits);
  return hBitmap;
}

DibSurface::~DibSurface() { Release(); }

bool DibSurface::Create(HDC hCompatibleDC, int cx, int cy, DibRows rows) {
  Release();
  m_hBitmap = CreateDib32(cx, cy, &m_pPixels, rows);
  if (m_hBitmap == nullptr) return false;
  m_hDC = ::CreateCompatibleDC(hCompatibleDC);
  if (m_hDC == nullptr) {
    Release();
    return false;
  }
  m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
  m_cx = cx;
  m_cy = cy;
  m_rows = rows;
  return true;
}

namespace {

// rc cut to the pixels; false when nothing is left. Waits for GDI to finish drawing into them.
bool ClipToPixels(const PixelRows& pixels, RECT& rc) {
  const RECT rcAll = {0, 0, pixels.cx, pixels.cy};
  if (pixels.pBits == nullptr || !::IntersectRect(&rc, &rc, &rcAll)) return false;
  ::GdiFlush();
  return true;
}

template <class Change>
void ChangePixels(const PixelRows& pixels, RECT rc, Change change) {
  if (!ClipToPixels(pixels, rc)) return;
  for (int y = rc.top; y < rc.bottom; ++y) {
    DWORD* pRow = pixels.Row(y);
    for (int x = rc.left; x < rc.right; ++x) pRow[x] = change(pRow[x]);
  }
}

}  // namespace

void ClearPixels(const PixelRows& pixels, RECT rc) {
  ChangePixels(pixels, rc, [](DWORD) { return 0u; });
}

void MakeGdiPixelsOpaque(const PixelRows& pixels, RECT rc) {
  ChangePixels(pixels, rc, [](DWORD dw) {
    return dw != 0 && (dw & 0xFF000000) == 0 ? dw | 0xFF000000 : dw;
  });
}

void MakePixelsOpaque(const PixelRows& pixels, RECT rc, bool bEmptyToo) {
  ChangePixels(pixels, rc, [bEmptyToo](DWORD dw) {
    return dw != 0 || bEmptyToo ? dw | 0xFF000000 : dw;
  });
}

HBITMAP DibSurface::Detach() {
  HBITMAP hBitmap = m_hBitmap;
  if (m_hDC != nullptr) {
    ::SelectObject(m_hDC, m_hOldBitmap);
    ::DeleteDC(m_hDC);
  }
  m_hDC = nullptr;
  m_hOldBitmap = nullptr;
  m_hBitmap = nullptr;
  m_pPixels = nullptr;
  m_cx = m_cy = 0;
  m_rows = DibRows::kTopDown;
  return hBitmap;
}

void DibSurface::Release() {
  HBITMAP hBitmap = Detach();
  if (hBitmap != nullptr) ::DeleteObject(hBitmap);
}

}  // namespace SkinUI
