#pragma once
// Mouse clicks and key presses through the platform's input queue (as a user's would arrive),
// followed by a short message pump so that the windows of this thread have handled them.

#include <windows.h>

namespace testing_support {

// A left click at pt, in the client coordinates of hWnd.
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
