#pragma once
// Mouse and keyboard input through the platform's input queue, so that a press takes the whole
// road a user's press takes (hit-testing, capture, drag loops, focus, pre-translation). The
// Send* functions only queue the events: they arrive when the caller's thread reads messages.
// The others also run this thread's messages for a moment afterwards.

#include <windows.h>

#include <string>

namespace testing_support {

// A point of a window's client area in screen coordinates.
POINT ScreenPoint(HWND hWnd, int x, int y);

// A left press at `from`, a move to `to` and the release there, in screen coordinates. Every
// event carries its own position, so a cursor that another program moves meanwhile does not
// redirect them.
void DragMouse(POINT from, POINT to);
inline void ClickMouse(POINT at) { DragMouse(at, at); }
// Moves the pointer there, no button held.
void MoveMouse(POINT to);

// Queues a key press with up to two modifier keys held around it.
void SendKeyPress(WORD wVirtualKey, WORD wModifier1 = 0, WORD wModifier2 = 0);
// Queues the text as typed characters.
void SendText(const std::wstring& text);

// A left click at pt, in the client coordinates of hWnd, with the thread's messages run after
// the press and after the release.
void ClickAt(HWND hWnd, POINT pt);
void PressKey(WORD wVirtualKey);

// Dispatches this thread's messages for about ms milliseconds.
void PumpMessages(DWORD ms);
// Pumps until done() holds or ms milliseconds have passed; the final answer of done().
template <class Done>
bool PumpUntil(Done done, DWORD ms) {
  const DWORD dwStart = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - dwStart > ms) return false;
    PumpMessages(2);
  }
  return true;
}

}  // namespace testing_support
