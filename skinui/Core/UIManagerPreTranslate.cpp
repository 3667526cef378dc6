// Messages the modal loop is about to dispatch: accelerator translators and pre-message filters
// of the host whose window the message is for may take them first.

#include <wchar.h>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

// CharUpperW converts a single character passed in the low word of its pointer argument.
WCHAR UpperCase(WCHAR ch) {
  return static_cast<WCHAR>(reinterpret_cast<UINT_PTR>(
      ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(ch)))));
}

struct ShortcutSearch {
  WCHAR chKey;  // upper case
  bool bFound;
};

// A label's shortcut names the control that follows it: the first control after the match that
// is not a label answers.
CControlUI* CALLBACK FindShortcutTarget(CControlUI* pControl, LPVOID pData) {
  ShortcutSearch* pSearch = static_cast<ShortcutSearch*>(pData);
  if (!pControl->IsVisible()) return nullptr;
  if (UpperCase(pControl->GetShortcut()) == pSearch->chKey) pSearch->bFound = true;
  if (pSearch->bFound && ::wcsstr(pControl->ClassName(), L"LabelUI") == nullptr) return pControl;
  return nullptr;
}

}  // namespace

bool CWindowHostUI::TranslateForHosts(MSG* pMsg) {
  auto answer = [pMsg](CWindowHostUI* pHost) {
    LRESULT lRes = 0;
    return pHost->TranslateAccelerator(pMsg) ||
           pHost->PreTranslate(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
  };
  const CTypedPtrArrayUI<CWindowHostUI>& hosts = LiveHosts();
  if ((::GetWindowLongW(pMsg->hwnd, GWL_STYLE) & WS_CHILD) != 0) {
    // A child window belongs to the innermost host around it: the last attached comes first.
    for (int i = hosts.GetSize() - 1; i >= 0; --i) {
      CWindowHostUI* pHost = hosts[i];
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
    CWindowHostUI* pHost = hosts[i];
    if (pHost->m_hWndPaint == pMsg->hwnd) return answer(pHost);
  }
  return false;
}

bool CWindowHostUI::TranslateAccelerator(MSG* pMsg) {
  for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
    if (m_aTranslateAccelerator[i]->TranslateAcceleratorKey(pMsg) == 0) return true;
  }
  return false;
}

bool CWindowHostUI::PreTranslate(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  for (int i = 0; i < m_aPreMessageFilters.GetSize(); ++i) {
    bool bHandled = false;
    const LRESULT lResult =
        m_aPreMessageFilters[i]->FilterMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled) {
      lRes = lResult;
      return true;
    }
  }
  switch (uMsg) {
    case WM_KEYDOWN: {
      if (wParam != VK_TAB) return false;
      // Ctrl+Tab leaves even a control that types Tab, so the keyboard never gets stuck there.
      if (FocusWantsTab() && ::GetKeyState(VK_CONTROL) >= 0) return false;
      ShowFocusCues();
      MoveFocus(::GetKeyState(VK_SHIFT) >= 0, true);
      return true;
    }
    case WM_SYSCHAR: {
      if (m_pRoot == nullptr) return false;
      ShortcutSearch search = {UpperCase(static_cast<WCHAR>(wParam)), false};
      CControlUI* pControl = m_pRoot->FindControl(FindShortcutTarget, &search,
                                                  kFindEnabled | kFindTopFirst | kFindMeFirst);
      if (pControl == nullptr) return false;
      pControl->SetFocus();
      pControl->Activate();
      return true;
    }
    case WM_SYSKEYDOWN:
      if (m_input.focus != nullptr) {
        SendInput(m_input.focus, kEventSysKey, m_input.ptLastMouse, 0, 0, CHostInput::CurrentKeyState(),
                  static_cast<WCHAR>(wParam));
      }
      return false;
    default:
      return false;
  }
}

// A control that takes Tab as input (a rich edit typing it) keeps it from moving the focus.
bool CWindowHostUI::FocusWantsTab() const {
  if (m_input.focus == nullptr || !m_input.focus->IsVisible() || !m_input.focus->IsEnabled()) return false;
  return m_input.focus->WantsTabKey();
}

bool CWindowHostUI::RegisterPreFilter(IMessageFilterUI* pFilter) {
  UI_CHECK(m_aPreMessageFilters.Find(pFilter)<0);
  return m_aPreMessageFilters.Add(pFilter);
}

bool CWindowHostUI::UnregisterPreFilter(IMessageFilterUI* pFilter) {
  return m_aPreMessageFilters.RemoveFirst(pFilter);
}

bool CWindowHostUI::RegisterAcceleratorTranslator(ITranslateAccelerator* pTranslateAccelerator) {
  UI_CHECK(m_aTranslateAccelerator.Find(pTranslateAccelerator) < 0);
  return m_aTranslateAccelerator.Add(pTranslateAccelerator);
}

bool CWindowHostUI::UnregisterAcceleratorTranslator(
    ITranslateAccelerator* pTranslateAccelerator) {
  return m_aTranslateAccelerator.RemoveFirst(pTranslateAccelerator);
}

}  // namespace SkinUI
