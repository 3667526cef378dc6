#pragma once
// What one window host defers until after the current message: copies of asynchronous
// notifications, and controls whose destruction must wait because the message being handled
// may still be inside them. One posted message delivers the first and destroys the second.

#include <windows.h>

#include <memory>

#include "Core/UIEvents.h"
#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CControlUI;

class CHostNotifyQueue {
 public:
  static const UINT kMessage = WM_APP + 1;

  CHostNotifyQueue();
  ~CHostNotifyQueue();
  CHostNotifyQueue(const CHostNotifyQueue&) = delete;
  CHostNotifyQueue& operator=(const CHostNotifyQueue&) = delete;

  // Posts kMessage to hWnd unless one is on its way already.
  void Post(HWND hWnd);
  // The posted message has arrived: the next request posts again.
  void MarkArrived() { m_bPosted = false; }

  // A copy of event joins the queue; without bAllowRepeat a queued one of the same sender and
  // type takes the new parameters instead. False when nothing new was queued.
  bool Queue(const NotifyEvent& event, bool bAllowRepeat);
  // The oldest queued notification, or null.
  std::unique_ptr<NotifyEvent> TakeNext();
  // Queued notifications of a control being destroyed still go out, without a sender.
  void ForgetSender(CControlUI* pControl);
  void DropNotifications();

  // The queue owns pControl from now on.
  void DeferDelete(CControlUI* pControl);
  void DestroyDeferred();

 private:
  COwnedPtrArrayUI<NotifyEvent> m_aNotifications;
  COwnedPtrArrayUI<CControlUI> m_aDeferredDeletes;
  bool m_bPosted = false;
};

}  // namespace SkinUI
