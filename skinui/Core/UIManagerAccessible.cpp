// The host's accessibility: the client area's object for WM_GETOBJECT and the changes controls
// report, which reach clients only once one has asked for the tree.

#include "Core/UIAccessible.h"
#include "Core/UIControl.h"
#include "Core/UIHostAccessibility.h"
#include "Core/UIManager.h"

namespace SkinUI {

bool CWindowHostUI::ServeAccessibleObject(WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  // The object id arrives as a 32-bit value whatever the width of the parameter.
  if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return false;
  if (m_pRoot == nullptr || m_hWndPaint == nullptr) return false;
  if (m_pAccessibility == nullptr) m_pAccessibility.reset(new CHostAccessibility(*this));
  return m_pAccessibility->Serve(wParam, lRes);
}

void CWindowHostUI::NotifyAccessibleEvent(CControlUI* pControl, AccessibleEvent event) {
  if (m_pAccessibility == nullptr || pControl == nullptr || pControl->GetHost() != this) return;
  m_pAccessibility->Raise(pControl, event);
}

}  // namespace SkinUI
