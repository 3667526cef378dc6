// Nine-part drawing of a bitmap: fixed corners, edges stretched along their length, and a centre
// that is stretched, tiled or left out.

#include <algorithm>
#include <climits>
#include <cstdlib>

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
    int cx = 0;
    int cy = 0;
    if (!PartSize(rcPart, cx, cy)) return;
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
    int cx = 0;
    int cy = 0;
    if (!PartSize(rcPart, cx, cy)) return;
    if (m_bBlend) {
      Stretch(rcPart, xSrc, ySrc, cx, cy);
    } else {
      ::BitBlt(m_hDC, rcPart.left, rcPart.top, cx, cy, m_hSrcDC, xSrc, ySrc, SRCCOPY);
    }
  }

 private:
  // False for a part wider or taller than the platform's drawing calls can be told.
  static bool PartSize(const RECT& rcPart, int& cx, int& cy) {
    const LONGLONG cxPart = static_cast<LONGLONG>(rcPart.right) - rcPart.left;
    const LONGLONG cyPart = static_cast<LONGLONG>(rcPart.bottom) - rcPart.top;
    if (cxPart > INT_MAX || cyPart > INT_MAX || cxPart < INT_MIN || cyPart < INT_MIN) return false;
    cx = static_cast<int>(cxPart);
    cy = static_cast<int>(cyPart);
    return true;
  }

  HDC m_hDC;
  HDC m_hSrcDC;
  bool m_bBlend;
  BYTE m_uFade;
};

bool Meets(const RECT& rcPaint, const RECT& rcPart) {
  RECT rcTemp;
  return ::IntersectRect(&rcTemp, &rcPaint, &rcPart) != FALSE;
}

// The tiles of one axis, each step long from `from` (the last one cut at `to`), that meet
// [visibleFrom, visibleTo): the first one's index and how many. In 64 bits: a destination may
// span every value an int holds.
struct TileRun {
  LONGLONG first;
  LONGLONG count;
};

TileRun VisibleTiles(LONG from, LONG to, LONG visibleFrom, LONG visibleTo, int step) {
  const LONGLONG lo = std::max<LONGLONG>(from, visibleFrom);
  const LONGLONG hi = std::min<LONGLONG>(to, visibleTo);
  if (hi <= lo) return TileRun{0, 0};
  const LONGLONG first = (lo - from) / step;
  return TileRun{first, (hi - from - 1) / step - first + 1};
}

// Tile i of an axis; it lies between from and to, so its edges fit a LONG again.
void TileEdges(LONG from, LONG to, LONGLONG i, int step, LONG& start, LONG& end) {
  start = static_cast<LONG>(from + i * step);
  end = static_cast<LONG>(std::min<LONGLONG>(from + (i + 1) * step, to));
}

// The centre: rcCentre receives the inner source part (xSrc, ySrc, iw by ih), stretched, or
// tiled along one axis (each tile stretched across the other) or both (tiles copied unscaled).
// A tile is tw by th in the destination (iw by ih unless the bitmap is drawn scaled). Only tiles
// that meet rcVisible are drawn.
void DrawCentre(const PartPainter& painter, const RECT& rcCentre, const RECT& rcVisible, int xSrc,
                int ySrc, int iw, int ih, int tw, int th, bool bTiledX, bool bTiledY) {
  if (!bTiledX && !bTiledY) {
    painter.Stretch(rcCentre, xSrc, ySrc, iw, ih);
    return;
  }
  // An empty inner source has nothing to repeat (and would leave the tile count undefined).
  if ((bTiledX && (iw <= 0 || tw <= 0)) || (bTiledY && (ih <= 0 || th <= 0))) return;
  const TileRun columns =
      bTiledX ? VisibleTiles(rcCentre.left, rcCentre.right, rcVisible.left, rcVisible.right, tw)
              : TileRun{0, 1};
  const TileRun rows =
      bTiledY ? VisibleTiles(rcCentre.top, rcCentre.bottom, rcVisible.top, rcVisible.bottom, th)
              : TileRun{0, 1};
  // The source part a tile cut to `cut` destination pixels shows.
  auto sourceSpan = [](LONG cut, int source, int tile) {
    return source == tile ? static_cast<int>(cut) : ::MulDiv(cut, source, tile);
  };
  const bool bUnscaled = tw == iw && th == ih;
  RECT rcTile = rcCentre;
  for (LONGLONG row = rows.first; row < rows.first + rows.count; ++row) {
    if (bTiledY) TileEdges(rcCentre.top, rcCentre.bottom, row, th, rcTile.top, rcTile.bottom);
    for (LONGLONG column = columns.first; column < columns.first + columns.count; ++column) {
      if (bTiledX) {
        TileEdges(rcCentre.left, rcCentre.right, column, tw, rcTile.left, rcTile.right);
      }
      if (bTiledX && bTiledY && bUnscaled) {
        painter.Copy(rcTile, xSrc, ySrc);
      } else {
        // A cut tile shows the start of the source.
        painter.Stretch(rcTile, xSrc, ySrc,
                        bTiledX ? sourceSpan(rcTile.right - rcTile.left, iw, tw) : iw,
                        bTiledY ? sourceSpan(rcTile.bottom - rcTile.top, ih, th) : ih);
      }
    }
  }
}

// A value of 64-bit edge arithmetic brought back into a LONG.
LONG Saturated(LONGLONG v) {
  return static_cast<LONG>(std::min<LONGLONG>(std::max<LONGLONG>(v, LONG_MIN), LONG_MAX));
}

LONG Between(LONG v, LONG lo, LONG hi) { return std::min(std::max(v, lo), hi); }

}  // namespace

RECT CSkinRenderer::ImagePart(const RECT& rcSource, LONG cx, LONG cy) {
  RECT rc;
  rc.left = Between(rcSource.left, 0, cx);
  rc.top = Between(rcSource.top, 0, cy);
  rc.right = Between(rcSource.right, rc.left, cx);
  rc.bottom = Between(rcSource.bottom, rc.top, cy);
  return rc;
}

void CSkinRenderer::RenderBitmap(HDC hDC, HBITMAP hBitmap, const RECT& rcDest,
                                 const RECT& rcPaint, const RECT& rcSource, const RECT& rcCorner,
                                 bool bAlpha, BYTE uFade, bool bHole, bool bTiledX,
                                 bool bTiledY, const BitmapScale* pScale) {
  UI_CHECK(IsDrawableDC(hDC));
  if (hDC == nullptr || hBitmap == nullptr) return;
  BITMAP bm = {};
  if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) return;
  // Only a source inside the bitmap is drawn: the platform's blend refuses any other, and one
  // far outside would make part sizes no int can hold.
  const RECT& s = rcSource;
  const RECT rcInside = ImagePart(s, bm.bmWidth, std::abs(bm.bmHeight));
  if (!::EqualRect(&rcInside, &s) || s.right == s.left || s.bottom == s.top) return;
  HDC hSrcDC = ::CreateCompatibleDC(hDC);
  if (hSrcDC == nullptr) return;
  HGDIOBJ hOldBitmap = ::SelectObject(hSrcDC, hBitmap);
  ::SetStretchBltMode(hDC, COLORONCOLOR);

  const bool bBlend = bAlpha || uFade < 255;
  const PartPainter painter(hDC, hSrcDC, bBlend, uFade);
  const RECT& d = rcDest;
  // Corners no larger than the source, so the inner part fits an int; destination edges are
  // reckoned in 64 bits and brought back.
  const LONG sw = s.right - s.left, sh = s.bottom - s.top;
  const LONG cl = Between(rcCorner.left, 0, sw), cr = Between(rcCorner.right, 0, sw);
  const LONG ct = Between(rcCorner.top, 0, sh), cb = Between(rcCorner.bottom, 0, sh);
  const int iw = sw - cl - cr;
  const int ih = sh - ct - cb;
  // Lengths of the source in the destination.
  auto scaled = [pScale](LONG v) {
    return pScale == nullptr || pScale->uDestDpi == pScale->uSourceDpi
               ? v
               : ::MulDiv(v, static_cast<int>(pScale->uDestDpi), static_cast<int>(pScale->uSourceDpi));
  };
  const LONG dl = Saturated(static_cast<LONGLONG>(d.left) + scaled(cl));
  const LONG dt = Saturated(static_cast<LONGLONG>(d.top) + scaled(ct));
  const LONG dr = Saturated(static_cast<LONGLONG>(d.right) - scaled(cr));
  const LONG db = Saturated(static_cast<LONGLONG>(d.bottom) - scaled(cb));

  const bool bSameSize =
      static_cast<LONGLONG>(d.right) - d.left == static_cast<LONGLONG>(s.right) - s.left &&
      static_cast<LONGLONG>(d.bottom) - d.top == static_cast<LONGLONG>(s.bottom) - s.top;
  if (!bBlend && bSameSize && cl == 0 && ct == 0 && cr == 0 && cb == 0) {
    // Nothing to stretch: copy only what is being painted.
    RECT rcTemp;
    if (::IntersectRect(&rcTemp, &rcPaint, &d)) {
      ::BitBlt(hDC, rcTemp.left, rcTemp.top, rcTemp.right - rcTemp.left,
               rcTemp.bottom - rcTemp.top, hSrcDC, s.left + rcTemp.left - d.left,
               s.top + rcTemp.top - d.top, SRCCOPY);
    }
  } else {
    const RECT rcCentre = {dl, dt, dr, db};
    if (!bHole && Meets(rcPaint, rcCentre)) {
      RECT rcVisible = rcPaint;
      RECT rcClip;
      if (::GetClipBox(hDC, &rcClip) != ERROR) ::IntersectRect(&rcVisible, &rcVisible, &rcClip);
      DrawCentre(painter, rcCentre, rcVisible, s.left + cl, s.top + ct, iw, ih, scaled(iw),
                 scaled(ih), bTiledX, bTiledY);
    }
    struct Part {
      bool bPresent;
      RECT rcDest;
      int xSrc, ySrc, cxSrc, cySrc;
    };
    const Part parts[] = {
        {cl > 0 && ct > 0, {d.left, d.top, dl, dt}, s.left, s.top, cl, ct},
        {ct > 0, {dl, d.top, dr, dt}, s.left + cl, s.top, iw, ct},
        {cr > 0 && ct > 0, {dr, d.top, d.right, dt}, s.right - cr, s.top, cr, ct},
        {cl > 0, {d.left, dt, dl, db}, s.left, s.top + ct, cl, ih},
        {cr > 0, {dr, dt, d.right, db}, s.right - cr, s.top + ct, cr, ih},
        {cl > 0 && cb > 0, {d.left, db, dl, d.bottom}, s.left, s.bottom - cb, cl, cb},
        {cb > 0, {dl, db, dr, d.bottom}, s.left + cl, s.bottom - cb, iw, cb},
        {cr > 0 && cb > 0, {dr, db, d.right, d.bottom}, s.right - cr, s.bottom - cb, cr, cb},
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
