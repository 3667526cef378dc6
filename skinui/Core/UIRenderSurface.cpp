#include "Core/UIRenderSurface.h"

namespace SkinUI {

HBITMAP CreateDib32(int cx, int cy, DWORD** ppPixels) {
  *ppPixels = nullptr;
  if (cx <= 0 || cy <= 0) return nullptr;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = -cy;  // top-down
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

bool DibSurface::Create(HDC hCompatibleDC, int cx, int cy) {
  Release();
  m_hBitmap = CreateDib32(cx, cy, &m_pPixels);
  if (m_hBitmap == nullptr) return false;
  m_hDC = ::CreateCompatibleDC(hCompatibleDC);
  if (m_hDC == nullptr) {
    Release();
    return false;
  }
  m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
  m_cx = cx;
  m_cy = cy;
  return true;
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
  return hBitmap;
}

void DibSurface::Release() {
  HBITMAP hBitmap = Detach();
  if (hBitmap != nullptr) ::DeleteObject(hBitmap);
}

}  // namespace SkinUI
