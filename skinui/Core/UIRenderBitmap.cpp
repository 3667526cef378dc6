// Nine-part drawing of a bitmap: fixed corners, edges stretched along their length, and a centre
// that is stretched, tiled or left out.

#include <algorithm>

#include "Core/UIRender.h"
#include "Core/UIRenderBlend.h"
#include "Core/UIRenderSurface.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

// Draws parts of one source bitmap, either blended (per-pixel alpha and fade) or copied.
class PartPainter {
 public:
  PartPainter(HDC hDC, HDC hSrcDC, bool bBlend, BYTE uFade)
      : m_hDC(hDC), m_hSrcDC(hSrcDC), m_bBlend(bBlend), m_uFade(uFade) {}

  // The source part (xSrc, ySrc, cxSrc, cySrc) stretched onto rcPart.
  void Stretch(const RECT& rcPart, int xSrc, int ySrc, int cxSrc, int cySrc) const {
    const int cx = rcPart.right - rcPart.left;
    const int cy = rcPart.bottom - rcPart.top;
    if (m_bBlend) {
      RenderBlend::BlendBitmapPart(m_hDC, rcPart.left, rcPart.top, cx, cy, m_hSrcDC, xSrc, ySrc,
                                   cxSrc, cySrc, m_uFade);
    } else {
      ::StretchBlt(m_hDC, rcPart.left, rcPart.top, cx, cy, m_hSrcDC, xSrc, ySrc, cxSrc, cySrc,
                   SRCCOPY);
    }
  }

  // The source part of rcPart's size, unscaled.
  void Copy(const RECT& rcPart, int xSrc, int ySrc) const {
    const int cx = rcPart.right - rcPart.left;
    const int cy = rcPart.bottom - rcPart.top;
    if (m_bBlend) {
      Stretch(rcPart, xSrc, ySrc, cx, cy);
    } else {
      ::BitBlt(m_hDC, rcPart.left, rcPart.top, cx, cy, m_hSrcDC, xSrc, ySrc, SRCCOPY);
    }
  }

 private:
  HDC m_hDC;
  HDC m_hSrcDC;
  bool m_bBlend;
  BYTE m_uFade;
};

bool Meets(const RECT& rcPaint, const RECT& rcPart) {
  RECT rcTemp;
  return ::IntersectRect(&rcTemp, &rcPaint, &rcPart) != FALSE;
}

// The centre: rcCentre receives the inner source part (xSrc, ySrc, iw by ih).
void DrawCentre(const PartPainter& painter, const RECT& rcCentre, int xSrc, int ySrc, int iw,
                int ih, bool bTiledX, bool bTiledY) {
  const int nWidth = rcCentre.right - rcCentre.left;
  const int nHeight = rcCentre.bottom - rcCentre.top;
  if (!bTiledX && !bTiledY) {
    painter.Stretch(rcCentre, xSrc, ySrc, iw, ih);
    return;
  }
  // An empty inner source has nothing to repeat (and would leave the tile count undefined).
  if ((bTiledX && iw <= 0) || (bTiledY && ih <= 0)) return;
  if (bTiledX && bTiledY) {
    for (int y = rcCentre.top; y < rcCentre.bottom; y += ih) {
      for (int x = rcCentre.left; x < rcCentre.right; x += iw) {
        RECT rcTile = {x, y, std::min<LONG>(x + iw, rcCentre.right),
                       std::min<LONG>(y + ih, rcCentre.bottom)};
        painter.Copy(rcTile, xSrc, ySrc);
      }
    }
  } else if (bTiledX) {
    const int nTiles = (nWidth + iw - 1) / iw;
    for (int i = 0; i < nTiles; ++i) {
      RECT rcTile = {rcCentre.left + i * iw, rcCentre.top,
                     std::min<LONG>(rcCentre.left + (i + 1) * iw, rcCentre.right),
                     rcCentre.bottom};
      painter.Stretch(rcTile, xSrc, ySrc, rcTile.right - rcTile.left, ih);
    }
  } else {
    const int nTiles = (nHeight + ih - 1) / ih;
    for (int i = 0; i < nTiles; ++i) {
      RECT rcTile = {rcCentre.left, rcCentre.top + i * ih, rcCentre.right,
                     std::min<LONG>(rcCentre.top + (i + 1) * ih, rcCentre.bottom)};
      painter.Stretch(rcTile, xSrc, ySrc, iw, rcTile.bottom - rcTile.top);
    }
  }
}

}  // namespace

void CSkinRenderer::RenderBitmap(HDC hDC, HBITMAP hBitmap, const RECT& rcDest,
                                 const RECT& rcPaint, const RECT& rcSource, const RECT& rcCorner,
                                 bool bAlpha, BYTE uFade, bool bHole, bool bTiledX,
                                 bool bTiledY) {
  UI_CHECK(IsDrawableDC(hDC));
  if (hDC == nullptr || hBitmap == nullptr) return;
  HDC hSrcDC = ::CreateCompatibleDC(hDC);
  if (hSrcDC == nullptr) return;
  HGDIOBJ hOldBitmap = ::SelectObject(hSrcDC, hBitmap);
  ::SetStretchBltMode(hDC, COLORONCOLOR);

  const bool bBlend = bAlpha || uFade < 255;
  const PartPainter painter(hDC, hSrcDC, bBlend, uFade);
  const RECT& d = rcDest;
  const RECT& s = rcSource;
  const LONG cl = rcCorner.left, ct = rcCorner.top, cr = rcCorner.right, cb = rcCorner.bottom;
  const int iw = (s.right - s.left) - cl - cr;
  const int ih = (s.bottom - s.top) - ct - cb;

  const bool bSameSize =
      d.right - d.left == s.right - s.left && d.bottom - d.top == s.bottom - s.top;
  if (!bBlend && bSameSize && cl == 0 && ct == 0 && cr == 0 && cb == 0) {
    // Nothing to stretch: copy only what is being painted.
    RECT rcTemp;
    if (::IntersectRect(&rcTemp, &rcPaint, &d)) {
      ::BitBlt(hDC, rcTemp.left, rcTemp.top, rcTemp.right - rcTemp.left,
               rcTemp.bottom - rcTemp.top, hSrcDC, s.left + rcTemp.left - d.left,
               s.top + rcTemp.top - d.top, SRCCOPY);
    }
  } else {
    const RECT rcCentre = {d.left + cl, d.top + ct, d.right - cr, d.bottom - cb};
    if (!bHole && Meets(rcPaint, rcCentre)) {
      DrawCentre(painter, rcCentre, s.left + cl, s.top + ct, iw, ih, bTiledX, bTiledY);
    }
    struct Part {
      bool bPresent;
      RECT rcDest;
      int xSrc, ySrc, cxSrc, cySrc;
    };
    const Part parts[] = {
        {cl > 0 && ct > 0, {d.left, d.top, d.left + cl, d.top + ct}, s.left, s.top, cl, ct},
        {ct > 0, {d.left + cl, d.top, d.right - cr, d.top + ct}, s.left + cl, s.top, iw, ct},
        {cr > 0 && ct > 0, {d.right - cr, d.top, d.right, d.top + ct}, s.right - cr, s.top, cr,
         ct},
        {cl > 0, {d.left, d.top + ct, d.left + cl, d.bottom - cb}, s.left, s.top + ct, cl, ih},
        {cr > 0, {d.right - cr, d.top + ct, d.right, d.bottom - cb}, s.right - cr, s.top + ct, cr,
         ih},
        {cl > 0 && cb > 0, {d.left, d.bottom - cb, d.left + cl, d.bottom}, s.left, s.bottom - cb,
         cl, cb},
        {cb > 0, {d.left + cl, d.bottom - cb, d.right - cr, d.bottom}, s.left + cl, s.bottom - cb,
         iw, cb},
        {cr > 0 && cb > 0, {d.right - cr, d.bottom - cb, d.right, d.bottom}, s.right - cr,
         s.bottom - cb, cr, cb},
    };
    for (const Part& part : parts) {
      if (part.bPresent && Meets(rcPaint, part.rcDest)) {
        painter.Stretch(part.rcDest, part.xSrc, part.ySrc, part.cxSrc, part.cySrc);
      }
    }
  }

  ::SelectObject(hSrcDC, hOldBitmap);
  ::DeleteDC(hSrcDC);
}

}  // namespace SkinUI
