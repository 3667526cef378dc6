#pragma once
// What controls and listeners receive: the input record a host hands to a control, the
// notification record a control hands to the window's listeners, and the one-operation
// listener interfaces a host keeps lists of.

#include <windows.h>

#include "Utils/UIString.h"

namespace SkinUI {

class CControlUI;

// Kinds of InputEvent. Controls treat the kinds strictly between kEventMouseBegin and
// kEventMouseEnd as mouse events.
enum InputEventKind {
  kEventKeyDown = 2026,
  kEventKeyUp = 2027,
  kEventChar = 2028,
  kEventSysKey = 2029,
  kEventMouseBegin = 2031,
  kEventMouseMove = 2032,
  kEventMouseLeave = 2033,
  kEventMouseEnter = 2034,
  kEventMouseHover = 2035,
  kEventButtonDown = 2036,
  kEventButtonUp = 2037,
  kEventRightButtonUp = 2038,
  kEventRightButtonDown = 2039,
  kEventDoubleClick = 2040,
  kEventContextMenu = 2041,
  kEventScrollWheel = 2042,
  kEventMouseEnd = 2043,
  kEventKillFocus = 2044,
  kEventSetFocus = 2045,
  kEventWindowSize = 2046,
  kEventSetCursor = 2047,
  kEventTimer = 2048,
};

inline bool IsMouseEventKind(int iKind) {
  return iKind > kEventMouseBegin && iKind < kEventMouseEnd;
}

// Modifier bits of InputEvent::wKeyState (set while the key or button is down).
enum InputKeyState : WORD {
  kKeyStateLeftButton = 0x01,
  kKeyStateRightButton = 0x02,
  kKeyStateShift = 0x04,
  kKeyStateControl = 0x08,
  kKeyStateAlt = 0x20,
};

// One input event for one control. Fields an event kind does not use are 0.
struct InputEvent {
  int iKind;
  CControlUI* pSender;
  DWORD dwTimestamp;  // GetTickCount milliseconds
  POINT ptMouse;      // client coordinates
  WCHAR chKey;
  WORD wKeyState;
  WPARAM wParam;
  LPARAM lParam;
};

// One notification ("click", "selectchanged", ...) on its way to the window's listeners.
struct NotifyEvent {
  CUIString sType;
  // The sender's virtual window name, filled only while the host routes by virtual windows.
  CUIString sVirtualWnd;
  // Null when the sender was destroyed while the notification waited in the host's queue.
  CControlUI* pSender;
  DWORD dwTimestamp;
  POINT ptMouse;
  WPARAM wParam;
  LPARAM lParam;
};

// The name a notification table matches against a sender. It belongs to the control base,
// which answers with the control's GetName; a null sender has no name.
CUIString GetNotifySenderName(CControlUI* pSender);

class INotifyUI {
 public:
  virtual void Notify(NotifyEvent& event) = 0;

 protected:
  ~INotifyUI() = default;
};

class IMessageFilterUI {
 public:
  // Sets bHandled to take the message; the result is then the message's result.
  virtual LRESULT FilterMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

class ITranslateAccelerator {
 public:
  // 0 means that the message was translated and must not be dispatched.
  virtual LRESULT TranslateAcceleratorKey(MSG* pMsg) = 0;

 protected:
  ~ITranslateAccelerator() = default;
};

}  // namespace SkinUI
