#include "support/MouseInput.h"

namespace testing_support {

namespace {

// Absolute input positions are fractions of the primary screen in 1/65536; aiming at the
// pixel's centre makes either rounding of the platform land on the pixel.
INPUT MouseEvent(POINT at, DWORD dwButton) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  const int cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = ::MulDiv(at.x, 65536, cx) + 65536 / (2 * cx);
  input.mi.dy = ::MulDiv(at.y, 65536, cy) + 65536 / (2 * cy);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | dwButton;
  return input;
}

}  // namespace

void DragMouse(POINT from, POINT to) {
  INPUT inputs[] = {MouseEvent(from, 0), MouseEvent(from, MOUSEEVENTF_LEFTDOWN),
                    MouseEvent(to, 0), MouseEvent(to, MOUSEEVENTF_LEFTUP)};
  ::SendInput(ARRAYSIZE(inputs), inputs, sizeof(INPUT));
}

POINT ScreenPoint(HWND hWnd, int x, int y) {
  POINT pt = {x, y};
  ::ClientToScreen(hWnd, &pt);
  return pt;
}

}  // namespace testing_support
