#include "Core/UIFocusCue.h"

#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// The platform's own buttons keep their focus outline this far inside their edge.
const int kOutlineInset = 3;
// Below this a control has no room inside: its outline runs along its edge.
const int kRoomForInset = 20;

}  // namespace

CFocusCuePainterUI::CFocusCuePainterUI(CWindowHostUI& host) : m_host(host) {}

RECT CFocusCuePainterUI::OutlineRect(const CControlUI* pControl) {
  RECT rc = pControl->GetPosition();
  if (rc.right - rc.left >= kRoomForInset && rc.bottom - rc.top >= kRoomForInset) {
    ::InflateRect(&rc, -kOutlineInset, -kOutlineInset);
  }
  return rc;
}

void CFocusCuePainterUI::PostPaint(HDC hDC, const RECT& rcPaint) {
  if (!m_host.AreFocusCuesShown()) return;
  CControlUI* pFocus = m_host.GetFocusControl();
  // A control typing into a native window of its own shows its caret instead.
  if (pFocus == nullptr || !pFocus->IsVisible() || pFocus->GetNativeHandle() != nullptr) return;
  RECT rcClip = rcPaint;
  if (!::IntersectRect(&rcClip, &rcClip, &pFocus->GetPosition())) return;
  for (const CControlUI* pParent = pFocus->GetParent(); pParent != nullptr; pParent = pParent->GetParent()) {
    if (!::IntersectRect(&rcClip, &rcClip, &pParent->GetPosition())) return;
  }
  const RECT rcOutline = OutlineRect(pFocus);
  const int iSaved = ::SaveDC(hDC);
  ::IntersectClipRect(hDC, rcClip.left, rcClip.top, rcClip.right, rcClip.bottom);
  // Dots that invert what is under them show on any skin.
  ::DrawFocusRect(hDC, &rcOutline);
  ::RestoreDC(hDC, iSaved);
}

}  // namespace SkinUI
