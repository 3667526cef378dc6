#include "Core/UIHostSurfaces.h"

#include <algorithm>

#include "Utils/UIDebug.h"

namespace SkinUI {

CHostSurfaces::~CHostSurfaces() { Free(); }

bool CHostSurfaces::CreateOffscreen(HDC hPaintDC, int cx, int cy, bool bLayered) {
  FreeOffscreen();
  if (cx <= 0 || cy <= 0) return false;
  m_hDcOffscreen = ::CreateCompatibleDC(hPaintDC);
  if (bLayered) {
    DWORD* pBits = nullptr;
    m_hbmpOffscreen = CreateDib32(cx, cy, &pBits, DibRows::kBottomUp);
    m_offscreenPixels = PixelRows{pBits, cx, cy, DibRows::kBottomUp};
  } else {
    m_hbmpOffscreen = ::CreateCompatibleBitmap(hPaintDC, cx, cy);
  }
  UI_CHECK(m_hDcOffscreen);
  UI_CHECK(m_hbmpOffscreen);
  if (m_hDcOffscreen == nullptr || m_hbmpOffscreen == nullptr) {
    FreeOffscreen();
    return false;
  }
  m_szOffscreen = SIZE{cx, cy};
  return true;
}

bool CHostSurfaces::CreateBackground(HDC hPaintDC, int cx, int cy) {
  if (m_hDcBackground != nullptr) return false;
  DWORD* pBits = nullptr;
  m_hDcBackground = ::CreateCompatibleDC(hPaintDC);
  m_hbmpBackground = CreateDib32(cx, cy, &pBits, DibRows::kBottomUp);
  UI_CHECK(m_hDcBackground);
  UI_CHECK(m_hbmpBackground);
  if (m_hDcBackground == nullptr || m_hbmpBackground == nullptr) {
    FreeBackground();
    return false;
  }
  m_hbmpBackgroundOld = ::SelectObject(m_hDcBackground, m_hbmpBackground);
  m_backgroundPixels = PixelRows{pBits, cx, cy, DibRows::kBottomUp};
  return true;
}

void CHostSurfaces::ApplyBackgroundMask(const PixelRows& image, RECT rc) const {
  const PixelRows& mask = m_backgroundPixels;
  const RECT rcBoth = {0, 0, std::min(mask.cx, image.cx), std::min(mask.cy, image.cy)};
  if (mask.pBits == nullptr || image.pBits == nullptr || !::IntersectRect(&rc, &rc, &rcBoth)) {
    return;
  }
  ::GdiFlush();
  for (int y = rc.top; y < rc.bottom; ++y) {
    const DWORD* pMask = mask.Row(y);
    DWORD* pPixel = image.Row(y);
    for (int x = rc.left; x < rc.right; ++x) {
      const DWORD a = pMask[x] >> 24;
      const DWORD b = (pPixel[x] & 0xFF) * a / 255;
      const DWORD g = ((pPixel[x] >> 8) & 0xFF) * a / 255;
      const DWORD r = ((pPixel[x] >> 16) & 0xFF) * a / 255;
      pPixel[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
  }
}

void CHostSurfaces::FreeOffscreen() {
  // The bitmap is never selected outside a paint, so that it can be deleted here.
  if (m_hDcOffscreen != nullptr) ::DeleteDC(m_hDcOffscreen);
  if (m_hbmpOffscreen != nullptr) ::DeleteObject(m_hbmpOffscreen);
  m_hDcOffscreen = nullptr;
  m_hbmpOffscreen = nullptr;
  m_szOffscreen = SIZE{0, 0};
  m_offscreenPixels = PixelRows{};
}

void CHostSurfaces::FreeBackground() {
  // A selected bitmap cannot be deleted: it leaves its context first.
  if (m_hDcBackground != nullptr) {
    if (m_hbmpBackgroundOld != nullptr) ::SelectObject(m_hDcBackground, m_hbmpBackgroundOld);
    ::DeleteDC(m_hDcBackground);
  }
  if (m_hbmpBackground != nullptr) ::DeleteObject(m_hbmpBackground);
  m_hDcBackground = nullptr;
  m_hbmpBackground = nullptr;
  m_hbmpBackgroundOld = nullptr;
  m_backgroundPixels = PixelRows{};
}

void CHostSurfaces::Free() {
  FreeOffscreen();
  FreeBackground();
}

}  // namespace SkinUI
