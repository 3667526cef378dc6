#include "Core/UIHostNotifyQueue.h"

#include "Core/UIControl.h"

namespace SkinUI {

// Out of line, where the records are complete types.
CHostNotifyQueue::CHostNotifyQueue() = default;

CHostNotifyQueue::~CHostNotifyQueue() {
  DestroyDeferred();
  DropNotifications();
}

void CHostNotifyQueue::Post(HWND hWnd) {
  if (m_bPosted || hWnd == nullptr) return;
  m_bPosted = ::PostMessageW(hWnd, kMessage, 0, 0) != FALSE;
}

bool CHostNotifyQueue::Queue(const NotifyEvent& event, bool bAllowRepeat) {
  if (!bAllowRepeat) {
    for (int i = 0; i < m_aNotifications.GetSize(); ++i) {
      NotifyEvent* pQueued = m_aNotifications[i];
      if (pQueued->pSender == event.pSender && pQueued->sType == event.sType) {
        pQueued->wParam = event.wParam;
        pQueued->lParam = event.lParam;
        pQueued->ptMouse = event.ptMouse;
        pQueued->dwTimestamp = event.dwTimestamp;
        return false;
      }
    }
  }
  NotifyEvent* pCopy = new NotifyEvent(event);
  if (m_aNotifications.Add(pCopy)) return true;
  delete pCopy;
  return false;
}

std::unique_ptr<NotifyEvent> CHostNotifyQueue::TakeNext() {
  if (m_aNotifications.IsEmpty()) return nullptr;
  return std::unique_ptr<NotifyEvent>(m_aNotifications.Take(0));
}

void CHostNotifyQueue::ForgetSender(CControlUI* pControl) {
  for (int i = 0; i < m_aNotifications.GetSize(); ++i) {
    if (m_aNotifications[i]->pSender == pControl) m_aNotifications[i]->pSender = nullptr;
  }
}

void CHostNotifyQueue::DropNotifications() { m_aNotifications.DeleteAll(); }

void CHostNotifyQueue::DeferDelete(CControlUI* pControl) { m_aDeferredDeletes.Add(pControl); }

void CHostNotifyQueue::DestroyDeferred() {
  // A control's destructor reaches back into its host, and so into this list: each control
  // leaves it before it is destroyed.
  m_aDeferredDeletes.DeleteAll();
}

}  // namespace SkinUI
