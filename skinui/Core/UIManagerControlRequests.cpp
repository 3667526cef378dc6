// What controls ask of their host: screen areas to repaint, a layout pass, notifications to the
// window's listeners at once or queued until after the current message, and their own deletion
// after it; and what the host forgets of a control that goes.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

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

bool CWindowHostUI::RegisterNotifier(INotifyUI* pNotifier) {
  UI_CHECK(m_aNotifiers.Find(pNotifier) < 0);
  return m_aNotifiers.Add(pNotifier);
}

bool CWindowHostUI::UnregisterNotifier(INotifyUI* pNotifier) {
  return m_aNotifiers.RemoveFirst(pNotifier);
}

void CWindowHostUI::RaiseNotification(NotifyEvent& event, bool bAsync, bool bAllowRepeat) {
  event.ptMouse = m_input.ptLastMouse;
  event.dwTimestamp = ::GetTickCount();
  if (m_bUsedVirtualWnd && event.pSender != nullptr) {
    event.sVirtualWnd = event.pSender->GetVirtualWindowName();
  }
  if (!bAsync) {
    DeliverNotification(event);
    return;
  }
  if (m_queue.Queue(event, bAllowRepeat)) PostQueuedNotify();
}

void CWindowHostUI::DeliverNotification(NotifyEvent& event) {
  if (event.pSender != nullptr && event.pSender->OnNotify) event.pSender->OnNotify(&event);
  // A listener may register or unregister others while it runs: index afresh each step.
  for (int i = 0; i < m_aNotifiers.GetSize(); ++i) {
    m_aNotifiers[i]->Notify(event);
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
  if (pControl == m_input.focus) m_input.focus = nullptr;
  if (pControl == m_input.keyTarget) m_input.keyTarget = nullptr;
  if (pControl == m_input.hover) m_input.hover = nullptr;
  if (pControl == m_input.pressed) {
    m_input.pressed = nullptr;
    // Nothing is left to receive the button release.
    if (m_input.bCaptured) ReleaseMouse();
  }
  StopAllTimers(pControl);
  m_queue.ForgetSender(pControl);
  if (pControl == m_pRoot) m_pRoot = nullptr;
  const CUIString sName = pControl->GetName();
  if (!sName.IsEmpty() && m_mNameHash.Find(sName) == pControl) m_mNameHash.Remove(sName);
  UnregisterPostPaint(pControl);
  m_nativeWindows.Forget(pControl);
}

void CWindowHostUI::DeferDelete(CControlUI* pControl) {
  if (pControl == nullptr) return;
  pControl->SetHost(this, nullptr, false);
  m_queue.DeferDelete(pControl);
  PostQueuedNotify();
}

void CWindowHostUI::PostQueuedNotify() { m_queue.Post(m_hWndPaint); }

void CWindowHostUI::HandleQueuedNotify() {
  m_queue.MarkArrived();
  m_queue.DestroyDeferred();
  while (std::unique_ptr<NotifyEvent> pEvent = m_queue.TakeNext()) DeliverNotification(*pEvent);
}

}  // namespace SkinUI
