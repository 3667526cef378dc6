// Colour fills (opaque or translucent), two-colour gradients, lines and outlines.

#include "Core/UIRender.h"
#include "Core/UIRenderBlend.h"
#include "Core/UIRenderSurface.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

inline COLORREF OpaqueColor(DWORD dwColor) {
  return RGB((dwColor >> 16) & 0xFF, (dwColor >> 8) & 0xFF, dwColor & 0xFF);
}

class ScopedPen {
 public:
  ScopedPen(HDC hDC, int nStyle, int nSize, DWORD dwColor)
      : m_hDC(hDC), m_hPen(::CreatePen(nStyle, nSize, OpaqueColor(dwColor))) {
    m_hOldPen = ::SelectObject(hDC, m_hPen);
  }
  ~ScopedPen() {
    ::SelectObject(m_hDC, m_hOldPen);
    ::DeleteObject(m_hPen);
  }
  ScopedPen(const ScopedPen&) = delete;
  ScopedPen& operator=(const ScopedPen&) = delete;

 private:
  HDC m_hDC;
  HPEN m_hPen;
  HGDIOBJ m_hOldPen;
};

class ScopedNullBrush {
 public:
  explicit ScopedNullBrush(HDC hDC)
      : m_hDC(hDC), m_hOldBrush(::SelectObject(hDC, ::GetStockObject(NULL_BRUSH))) {}
  ~ScopedNullBrush() { ::SelectObject(m_hDC, m_hOldBrush); }
  ScopedNullBrush(const ScopedNullBrush&) = delete;
  ScopedNullBrush& operator=(const ScopedNullBrush&) = delete;

 private:
  HDC m_hDC;
  HGDIOBJ m_hOldBrush;
};

}  // namespace

void CSkinRenderer::FillColor(HDC hDC, const RECT& rc, DWORD dwColor) {
  UI_CHECK(IsDrawableDC(hDC));
  const DWORD dwAlpha = dwColor >> 24;
  if (dwAlpha == 0) return;
  if (dwAlpha == 0xFF) {
    ::SetBkColor(hDC, OpaqueColor(dwColor));
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    return;
  }
  // The colour goes in as it is, not premultiplied: a translucent fill adds the full colour to
  // the dimmed background, which is how skins are meant to look. A colour channel above the alpha
  // is no valid premultiplied value, and the platform's blend lets such sums carry into the next
  // channel; those colours go through the software blend, which limits each sum to 255.
  DibSurface pixel;
  if (!pixel.Create(hDC, 1, 1)) return;
  *pixel.Row(0) = dwColor;
  const int cx = rc.right - rc.left;
  const int cy = rc.bottom - rc.top;
  const bool bPremultiplied = ((dwColor >> 16) & 0xFF) <= dwAlpha &&
                              ((dwColor >> 8) & 0xFF) <= dwAlpha && (dwColor & 0xFF) <= dwAlpha;
  if (bPremultiplied) {
    RenderBlend::BlendBitmapPart(hDC, rc.left, rc.top, cx, cy, pixel.DC(), 0, 0, 1, 1, 255);
  } else {
    RenderBlend::SoftwareBlend(hDC, rc.left, rc.top, cx, cy, pixel.DC(), 0, 0, 1, 1, 255);
  }
}

void CSkinRenderer::FillGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond,
                                 bool bVertical, int nSteps) {
  UI_CHECK(IsDrawableDC(hDC));
  const DWORD dwAlpha = ((dwFirst >> 24) + (dwSecond >> 24)) / 2;
  if (dwAlpha == 0) return;
  if (dwAlpha == 255) {
    RenderBlend::GradientRect(hDC, rc, dwFirst, dwSecond, bVertical, nSteps);
    return;
  }
  const int cx = rc.right - rc.left;
  const int cy = rc.bottom - rc.top;
  DibSurface surface;
  if (!surface.Create(hDC, cx, cy)) return;
  const RECT rcSurface = {0, 0, cx, cy};
  RenderBlend::GradientRect(surface.DC(), rcSurface, dwFirst, dwSecond, bVertical, nSteps);
  ::GdiFlush();
  // The blend reads per-pixel alpha; GDI's own fills may leave the alpha byte empty.
  for (int y = 0; y < cy; ++y) {
    DWORD* pRow = surface.Row(y);
    for (int x = 0; x < cx; ++x) pRow[x] |= 0xFF000000;
  }
  RenderBlend::BlendBitmapPart(hDC, rc.left, rc.top, cx, cy, surface.DC(), 0, 0, cx, cy,
                               static_cast<BYTE>(dwAlpha));
}

void CSkinRenderer::StrokeLine(HDC hDC, const RECT& rc, int nSize, DWORD dwColor, int nStyle) {
  UI_CHECK(IsDrawableDC(hDC));
  ScopedPen pen(hDC, nStyle, nSize, dwColor);
  POINT ptPrevious;
  ::MoveToEx(hDC, rc.left, rc.top, &ptPrevious);
  ::LineTo(hDC, rc.right, rc.bottom);
  ::MoveToEx(hDC, ptPrevious.x, ptPrevious.y, nullptr);
}

void CSkinRenderer::StrokeRect(HDC hDC, const RECT& rc, int nSize, DWORD dwColor, int nStyle) {
  UI_CHECK(IsDrawableDC(hDC));
  ScopedPen pen(hDC, nStyle | PS_INSIDEFRAME, nSize, dwColor);
  ScopedNullBrush brush(hDC);
  ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
}

void CSkinRenderer::StrokeRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height,
                                    DWORD dwColor, int nStyle) {
  UI_CHECK(IsDrawableDC(hDC));
  ScopedPen pen(hDC, nStyle | PS_INSIDEFRAME, nSize, dwColor);
  ScopedNullBrush brush(hDC);
  ::RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
}

}  // namespace SkinUI
