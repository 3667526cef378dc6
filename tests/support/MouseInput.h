#pragma once
// Real mouse input through the platform's input queue, for tests that need a press to take the
// whole road a user's press takes (hit-testing, capture, drag loops).

#include <windows.h>

namespace testing_support {

// A left press at `from`, a move to `to` and the release there, in screen coordinates. Every
// event carries its own position, so a cursor that another program moves meanwhile does not
// redirect them. The events wait in the queue until the caller's thread reads messages.
void DragMouse(POINT from, POINT to);
inline void ClickMouse(POINT at) { DragMouse(at, at); }

// A point of a window's client area in screen coordinates.
POINT ScreenPoint(HWND hWnd, int x, int y);

}  // namespace testing_support
