// The host's accessibility: the client area's object for WM_GETOBJECT, the window's opening,
// its message, and the changes controls report, told from the first paint on.

#include "Core/UIAccessible.h"
#include "Core/UIControl.h"
#include "Core/UIHostAccessibility.h"
#include "Core/UIManager.h"

namespace SkinUI {

CHostAccessibility& CWindowHostUI::Accessibility() {
  if (m_pAccessibility == nullptr) m_pAccessibility.reset(new CHostAccessibility(*this));
  return *m_pAccessibility;
}

bool CWindowHostUI::ServeAccessibleObject(WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  // The object id arrives as a 32-bit value whatever the width of the parameter.
  if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return false;
  if (m_pRoot == nullptr || m_hWndPaint == nullptr) return false;
  return Accessibility().Serve(wParam, lRes);
}

void CWindowHostUI::NotifyAccessibleEvent(CControlUI* pControl, AccessibleEvent event) {
  if (m_pAccessibility == nullptr || pControl == nullptr || pControl->GetHost() != this) return;
  m_pAccessibility->Raise(pControl, event);
}

void CWindowHostUI::SetAccessibleMessage(CControlUI* pControl) {
  Accessibility().SetMessageControl(pControl != nullptr && pControl->GetHost() == this ? pControl : nullptr);
}

bool CWindowHostUI::OpenToClients() {
  if (m_pAccessibility != nullptr && m_pAccessibility->IsOpen()) return false;
  Accessibility().Open();
  return true;
}

}  // namespace SkinUI
