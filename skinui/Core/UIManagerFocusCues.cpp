// The host's focus cues: the focus control's outline, shown once the keyboard has moved the
// focus, and what a focus move tells the outline and the clients of the accessibility tree.

#include "Core/UIAccessible.h"
#include "Core/UIControl.h"
#include "Core/UIFocusCue.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// The control and its outline, which runs around a small one.
void InvalidateWithOutline(CWindowHostUI& host, CControlUI* pControl) {
  if (pControl == nullptr || !pControl->IsVisible()) return;
  RECT rc = CFocusCuePainterUI::OutlineRect(pControl);
  ::UnionRect(&rc, &rc, &pControl->GetPosition());
  host.Invalidate(rc);
}

}  // namespace

void CWindowHostUI::ShowFocusCues() {
  if (m_pFocusCuePainter == nullptr) m_pFocusCuePainter.reset(new CFocusCuePainterUI(*this));
  // A new tree empties the post-painted controls: the painter is registered again.
  if (m_aPostPaintControls.Find(m_pFocusCuePainter.get()) < 0) RegisterPostPaint(m_pFocusCuePainter.get());
  if (m_bFocusCuesShown) return;
  m_bFocusCuesShown = true;
  InvalidateWithOutline(*this, m_input.focus);
}

void CWindowHostUI::NoteFocusMoved(CControlUI* pOldFocus, CControlUI* pNewFocus) {
  if (m_bFocusCuesShown) {
    // Not every control repaints itself on a focus change.
    InvalidateWithOutline(*this, pOldFocus);
    InvalidateWithOutline(*this, pNewFocus);
  }
  if (pNewFocus != nullptr) NotifyAccessibleEvent(pNewFocus, AccessibleEvent::kFocus);
}

}  // namespace SkinUI
