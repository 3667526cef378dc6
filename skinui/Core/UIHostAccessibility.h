#pragma once
// CHostAccessibility: a window's control tree served to assistive technology. A host makes it
// when its window is first painted, or when a client asks for the tree before that
// (WM_GETOBJECT for the client area). From then on the changes controls report reach every
// listener through the platform's events, whether or not a client has asked for anything: a
// screen reader that only listens hears the window open, the focus move and the values change.
// It keeps the one object of each control a client has asked for (none is made before),
// the ids that events name controls by, the pace of value events and the default actions
// waiting to run. Objects hold their controls weakly: one whose control is gone answers that it
// is no longer connected.

#include <windows.h>
#include <oleacc.h>

#include <unordered_map>
#include <vector>

#include "Core/UIControlHandle.h"

namespace SkinUI {

class CAccessibleObject;
class CControlUI;
class CWindowHostUI;
enum class AccessibleEvent : int;

class CHostAccessibility {
 public:
  // Clients hear of a control's value, and of a name that follows its text, at most this
  // often; the last change always follows.
  static const DWORD kPacedEventIntervalMs = 250;

  explicit CHostAccessibility(CWindowHostUI& host);
  ~CHostAccessibility();
  CHostAccessibility(const CHostAccessibility&) = delete;
  CHostAccessibility& operator=(const CHostAccessibility&) = delete;

  // The window is on the screen: from now on changes are told, and it announces itself. A
  // dialog says it started; a window with a message (SetMessageControl) raises an alert named
  // by that message.
  void Open();
  bool IsOpen() const { return m_bOpen; }

  // The control whose text tells what the window is about (a message box's message, a
  // question): the client area is described by it, and the window's alert names it.
  void SetMessageControl(CControlUI* pControl) { m_message = pControl; }
  CControlUI* MessageControl() const { return m_message.Get(); }

  // The answer to WM_GETOBJECT for the client area: the root control's object as
  // LresultFromObject hands it over. False when there is no root or it cannot be handed over
  // (the library is missing, the thread has no COM apartment): the platform's own answer then.
  bool Serve(WPARAM wParam, LRESULT& lRes);

  // The object of a control of this window, with a reference for the caller.
  IAccessible* ObjectFor(CControlUI* pControl);
  // The id that events name a control by: negative and unique in the window, CHILDID_SELF for
  // the root. ControlForEventId gives the control back while it lives.
  LONG EventIdFor(CControlUI* pControl);
  CControlUI* ControlForEventId(LONG lId);

  void Raise(CControlUI* pControl, AccessibleEvent event);
  // Runs the control's Activate once the current message is done: the caller may be a client
  // waiting in another process, and what a click starts (a modal box, the end of the process)
  // must not run inside its call.
  void DeferActivate(CControlUI* pControl);

  // Objects alive in the process, whichever window made them.
  static LONG LiveObjects();

 private:
  struct Entry {
    CControlHandle control;
    CAccessibleObject* pObject = nullptr;  // one reference, ours
    LONG lId = 0;
  };
  struct PacedEvent {
    CControlHandle control;
    DWORD dwEvent = 0;
    DWORD dwLastTick = 0;
    bool bPending = false;
  };

  // The control's entry, made when it has none; an entry left by a destroyed control at the
  // same address is dropped first.
  Entry& EntryFor(CControlUI* pControl);
  // Lets go of the entry's object and event id; the caller removes the entry.
  void ReleaseEntry(const Entry& entry);
  void DropDeadEntries();
  void Fire(DWORD dwEvent, CControlUI* pControl);
  void RaisePaced(CControlUI* pControl, DWORD dwEvent);
  // The timer that sends paced values and runs deferred actions; the next tick in dwDelayMs.
  void ScheduleTick(DWORD dwDelayMs);
  void OnTick();
  static void CALLBACK TimerProc(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);

  CWindowHostUI& m_host;
  std::unordered_map<CControlUI*, Entry> m_entries;
  std::unordered_map<LONG, CControlUI*> m_ids;
  size_t m_nPurgeAt = 64;
  LONG m_lNextId = -1;
  std::vector<PacedEvent> m_paced;
  std::vector<CControlHandle> m_activations;
  CControlHandle m_message;
  bool m_bTimerSet = false;
  // Opened or served: events are told.
  bool m_bOpen = false;
  bool m_bServed = false;
};

}  // namespace SkinUI
