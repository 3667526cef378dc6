// What controls ask of their host: screen areas to repaint, a layout pass, the focus, and
// notifications to the window's listeners, at once or queued until after the current message.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

void SendFocusEvent(CControlUI* pControl, int iKind, CControlUI* pSender) {
  InputEvent event = {};
  event.iKind = iKind;
  event.pSender = pSender;
  event.dwTimestamp = ::GetTickCount();
  pControl->DispatchEvent(event);
}

}  // namespace

void CWindowHostUI::Invalidate(RECT& rcItem) {
  if (rcItem.left < 0) rcItem.left = 0;
  if (rcItem.top < 0) rcItem.top = 0;
  if (rcItem.right < rcItem.left) rcItem.right = rcItem.left;
  if (rcItem.bottom < rcItem.top) rcItem.bottom = rcItem.top;
  if (m_bLayered) {
    // A layered window repaints from its refresh timer, never through the window manager.
    ::UnionRect(&m_rcLayeredUpdate, &m_rcLayeredUpdate, &rcItem);
  } else if (m_hWndPaint != nullptr) {
    ::InvalidateRect(m_hWndPaint, &rcItem, FALSE);
  }
}

void CWindowHostUI::RequestFullLayout() { m_bUpdateNeeded = true; }

bool CWindowHostUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

CControlUI* CWindowHostUI::GetFocusControl() const { return m_pFocus; }

void CWindowHostUI::SetFocusControl(CControlUI* pControl, bool bFocusWnd) {
  if (bFocusWnd && m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && pControl != m_pFocus) {
    ::SetFocus(m_hWndPaint);
  }
  if (pControl == m_pFocus) return;
  // A control may destroy itself while it handles its focus event (the host then forgets it as
  // the focus control): no notification may name it after that.
  if (m_pFocus != nullptr) {
    CControlUI* pOld = m_pFocus;
    SendFocusEvent(pOld, kEventKillFocus, pControl);
    if (m_pFocus == pOld) RaiseNotification(pOld, L"killfocus");
    m_pFocus = nullptr;
  }
  if (pControl != nullptr && pControl->GetHost() == this && pControl->IsVisible() &&
      pControl->IsEnabled()) {
    m_pFocus = pControl;
    SendFocusEvent(pControl, kEventSetFocus, pControl);
    if (m_pFocus == pControl) RaiseNotification(pControl, L"setfocus");
  }
}

bool CWindowHostUI::RegisterNotifier(INotifyUI* pNotifier) {
  UI_CHECK(m_aNotifiers.Find(pNotifier) < 0);
  return m_aNotifiers.Add(pNotifier);
}

bool CWindowHostUI::UnregisterNotifier(INotifyUI* pNotifier) {
  const int iIndex = m_aNotifiers.Find(pNotifier);
  return iIndex >= 0 && m_aNotifiers.Remove(iIndex);
}

void CWindowHostUI::RaiseNotification(NotifyEvent& event, bool bAsync, bool bAllowRepeat) {
  event.ptMouse = m_ptLastMousePos;
  event.dwTimestamp = ::GetTickCount();
  if (m_bUsedVirtualWnd && event.pSender != nullptr) {
    event.sVirtualWnd = event.pSender->GetVirtualWindowName();
  }
  if (!bAsync) {
    DeliverNotification(event);
    return;
  }
  if (!bAllowRepeat) {
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
      NotifyEvent* pQueued = static_cast<NotifyEvent*>(m_aAsyncNotify[i]);
      if (pQueued->pSender == event.pSender && pQueued->sType == event.sType) {
        pQueued->wParam = event.wParam;
        pQueued->lParam = event.lParam;
        pQueued->ptMouse = event.ptMouse;
        pQueued->dwTimestamp = event.dwTimestamp;
        return;
      }
    }
  }
  NotifyEvent* pCopy = new NotifyEvent(event);
  if (!m_aAsyncNotify.Add(pCopy)) {
    delete pCopy;
    return;
  }
  PostQueuedNotify();
}

void CWindowHostUI::DeliverNotification(NotifyEvent& event) {
  if (event.pSender != nullptr && event.pSender->OnNotify) event.pSender->OnNotify(&event);
  // A listener may register or unregister others while it runs: index afresh each step.
  for (int i = 0; i < m_aNotifiers.GetSize(); ++i) {
    static_cast<INotifyUI*>(m_aNotifiers[i])->Notify(event);
  }
}

void CWindowHostUI::RaiseNotification(CControlUI* pControl, LPCWSTR pstrType, WPARAM wParam,
                                      LPARAM lParam, bool bAsync, bool bAllowRepeat) {
  NotifyEvent event = {};
  event.sType = pstrType;
  event.pSender = pControl;
  event.wParam = wParam;
  event.lParam = lParam;
  RaiseNotification(event, bAsync, bAllowRepeat);
}

void CWindowHostUI::UseVirtualWindowNames(bool bUsed) { m_bUsedVirtualWnd = bUsed; }

void CWindowHostUI::ForgetControl(CControlUI* pControl) {
  if (pControl == m_pFocus) m_pFocus = nullptr;
  if (pControl == m_pEventKey) m_pEventKey = nullptr;
  if (pControl == m_pEventHover) m_pEventHover = nullptr;
  if (pControl == m_pEventClick) {
    m_pEventClick = nullptr;
    // Nothing is left to receive the button release.
    if (m_bMouseCapture) ReleaseMouse();
  }
  StopAllTimers(pControl);
  for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
    NotifyEvent* pQueued = static_cast<NotifyEvent*>(m_aAsyncNotify[i]);
    if (pQueued->pSender == pControl) pQueued->pSender = nullptr;
  }
  if (pControl == m_pRoot) m_pRoot = nullptr;
  const CUIString sName = pControl->GetName();
  if (!sName.IsEmpty() && m_mNameHash.Find(sName) == pControl) m_mNameHash.Remove(sName);
  UnregisterPostPaint(pControl);
  for (int i = m_aNativeWindowControls.GetSize() - 1; i >= 0; --i) {
    if (m_aNativeWindowControls[i] == pControl) {
      m_aNativeWindowControls.Remove(i);
      m_aNativeWindows.Remove(i);
    }
  }
}

}  // namespace SkinUI
