// Messages the modal loop is about to dispatch: accelerator translators and pre-message filters
// of the host whose window the message is for may take them first.

#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

bool CWindowHostUI::TranslateForHosts(MSG* pMsg) {
  auto answer = [pMsg](CWindowHostUI* pHost) {
    LRESULT lRes = 0;
    return pHost->TranslateAccelerator(pMsg) ||
           pHost->PreTranslate(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
  };
  CPtrArrayUI& hosts = LiveHosts();
  if ((::GetWindowLongW(pMsg->hwnd, GWL_STYLE) & WS_CHILD) != 0) {
    // A child window belongs to the innermost host around it: the last attached comes first.
    for (int i = hosts.GetSize() - 1; i >= 0; --i) {
      CWindowHostUI* pHost = static_cast<CWindowHostUI*>(hosts.GetAt(i));
      for (HWND hWndParent = ::GetParent(pMsg->hwnd); hWndParent != nullptr;
           hWndParent = ::GetParent(hWndParent)) {
        if (pHost->m_hWndPaint == pMsg->hwnd || pHost->m_hWndPaint == hWndParent) {
          return answer(pHost);
        }
      }
    }
    return false;
  }
  for (int i = 0; i < hosts.GetSize(); ++i) {
    CWindowHostUI* pHost = static_cast<CWindowHostUI*>(hosts.GetAt(i));
    if (pHost->m_hWndPaint == pMsg->hwnd) return answer(pHost);
  }
  return false;
}

bool CWindowHostUI::TranslateAccelerator(MSG* pMsg) {
  for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
    ITranslateAccelerator* pTranslator =
        static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator.GetAt(i));
    if (pTranslator->TranslateAcceleratorKey(pMsg) == 0) return true;
  }
  return false;
}

bool CWindowHostUI::PreTranslate(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  for (int i = 0; i < m_aPreMessageFilters.GetSize(); ++i) {
    bool bHandled = false;
    const LRESULT lResult = static_cast<IMessageFilterUI*>(m_aPreMessageFilters.GetAt(i))
                                ->FilterMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled) {
      lRes = lResult;
      return true;
    }
  }
  return false;
}

bool CWindowHostUI::RegisterPreFilter(IMessageFilterUI* pFilter) {
  UI_CHECK(m_aPreMessageFilters.Find(pFilter)<0);
  return m_aPreMessageFilters.Add(pFilter);
}

bool CWindowHostUI::UnregisterPreFilter(IMessageFilterUI* pFilter) {
  const int iIndex = m_aPreMessageFilters.Find(pFilter);
  return iIndex >= 0 && m_aPreMessageFilters.Remove(iIndex);
}

bool CWindowHostUI::RegisterAcceleratorTranslator(ITranslateAccelerator* pTranslateAccelerator) {
  UI_CHECK(m_aTranslateAccelerator.Find(pTranslateAccelerator) < 0);
  return m_aTranslateAccelerator.Add(pTranslateAccelerator);
}

bool CWindowHostUI::UnregisterAcceleratorTranslator(
    ITranslateAccelerator* pTranslateAccelerator) {
  const int iIndex = m_aTranslateAccelerator.Find(pTranslateAccelerator);
  return iIndex >= 0 && m_aTranslateAccelerator.Remove(iIndex);
}

}  // namespace SkinUI
