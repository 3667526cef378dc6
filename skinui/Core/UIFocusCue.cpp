#include "Core/UIFocusCue.h"

#include <algorithm>

#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// The platform's own buttons keep their focus outline this far inside their edge.
const int kOutlineInset = 3;
// Below this a control has no room inside: its outline runs this far around it, clear of what
// it shows (a close glyph fills its little button).
const int kRoomForInset = 20;
const int kOutlineAround = 2;

// Every other pixel set: with black and white for the two, a dotted line that shows on any
// skin, light or dark. Shared by every host and never freed.
HBRUSH DottedBrush() {
  static HBRUSH hBrush = [] {
    static const WORD kRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP hPattern = ::CreateBitmap(8, 8, 1, 1, kRows);
    HBRUSH hPatternBrush = ::CreatePatternBrush(hPattern);
    ::DeleteObject(hPattern);
    return hPatternBrush;
  }();
  return hBrush;
}

void DrawDottedOutline(HDC hDC, const RECT& rc) {
  const int cx = rc.right - rc.left;
  const int cy = rc.bottom - rc.top;
  if (cx <= 0 || cy <= 0) return;
  const COLORREF crOldText = ::SetTextColor(hDC, RGB(0, 0, 0));
  const COLORREF crOldBack = ::SetBkColor(hDC, RGB(255, 255, 255));
  const HGDIOBJ hOldBrush = ::SelectObject(hDC, DottedBrush());
  ::PatBlt(hDC, rc.left, rc.top, cx, 1, PATCOPY);
  ::PatBlt(hDC, rc.left, rc.bottom - 1, cx, 1, PATCOPY);
  ::PatBlt(hDC, rc.left, rc.top, 1, cy, PATCOPY);
  ::PatBlt(hDC, rc.right - 1, rc.top, 1, cy, PATCOPY);
  ::SelectObject(hDC, hOldBrush);
  ::SetBkColor(hDC, crOldBack);
  ::SetTextColor(hDC, crOldText);
}

}  // namespace

CFocusCuePainterUI::CFocusCuePainterUI(CWindowHostUI& host) : m_host(host) {}

RECT CFocusCuePainterUI::OutlineRect(const CControlUI* pControl) {
  RECT rc = pControl->GetPosition();
  if (rc.right - rc.left >= kRoomForInset && rc.bottom - rc.top >= kRoomForInset) {
    ::InflateRect(&rc, -kOutlineInset, -kOutlineInset);
  } else {
    ::InflateRect(&rc, kOutlineAround, kOutlineAround);
  }
  return rc;
}

void CFocusCuePainterUI::PostPaint(HDC hDC, const RECT& rcPaint) {
  if (!m_host.AreFocusCuesShown()) return;
  CControlUI* pFocus = m_host.GetFocusControl();
  // A control typing into a native window of its own shows its caret instead. Only what the
  // keyboard works is outlined: a label a click gave the focus to, or a progress bar a window
  // opens on, is no place where a key does anything.
  if (pFocus == nullptr || !pFocus->IsVisible() || pFocus->GetNativeHandle() != nullptr ||
      !pFocus->IsKeyboardFocusable()) {
    return;
  }
  const RECT rcOutline = OutlineRect(pFocus);
  RECT rcClip = rcPaint;
  if (!::IntersectRect(&rcClip, &rcClip, &rcOutline)) return;
  // What the ancestors hide stays hidden, but an outline around a small control may pass over
  // the edge of a row that holds it tightly.
  const int nReach = std::max(0, static_cast<int>(pFocus->GetPosition().top - rcOutline.top));
  for (const CControlUI* pParent = pFocus->GetParent(); pParent != nullptr; pParent = pParent->GetParent()) {
    RECT rcParent = pParent->GetPosition();
    ::InflateRect(&rcParent, nReach, nReach);
    if (!::IntersectRect(&rcClip, &rcClip, &rcParent)) return;
  }
  const int iSaved = ::SaveDC(hDC);
  ::IntersectClipRect(hDC, rcClip.left, rcClip.top, rcClip.right, rcClip.bottom);
  DrawDottedOutline(hDC, rcOutline);
  ::RestoreDC(hDC, iSaved);
}

}  // namespace SkinUI
