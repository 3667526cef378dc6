#include "support/RealInput.h"

#include <vector>

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

INPUT KeyEvent(WORD wVirtualKey, WCHAR chUnicode, DWORD dwFlags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = wVirtualKey;
  input.ki.wScan = chUnicode != 0 ? chUnicode
                                  : static_cast<WORD>(::MapVirtualKeyW(wVirtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = dwFlags;
  return input;
}

void Send(std::vector<INPUT>& inputs) {
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

POINT ScreenPoint(HWND hWnd, int x, int y) {
  POINT pt = {x, y};
  ::ClientToScreen(hWnd, &pt);
  return pt;
}

void DragMouse(POINT from, POINT to) {
  std::vector<INPUT> inputs = {MouseEvent(from, 0), MouseEvent(from, MOUSEEVENTF_LEFTDOWN),
                               MouseEvent(to, 0), MouseEvent(to, MOUSEEVENTF_LEFTUP)};
  Send(inputs);
}

void MoveMouse(POINT to) {
  std::vector<INPUT> inputs = {MouseEvent(to, 0)};
  Send(inputs);
}

void SendKeyPress(WORD wVirtualKey, WORD wModifier1, WORD wModifier2) {
  std::vector<INPUT> inputs;
  for (WORD wModifier : {wModifier1, wModifier2}) {
    if (wModifier != 0) inputs.push_back(KeyEvent(wModifier, 0, 0));
  }
  inputs.push_back(KeyEvent(wVirtualKey, 0, 0));
  inputs.push_back(KeyEvent(wVirtualKey, 0, KEYEVENTF_KEYUP));
  for (WORD wModifier : {wModifier2, wModifier1}) {
    if (wModifier != 0) inputs.push_back(KeyEvent(wModifier, 0, KEYEVENTF_KEYUP));
  }
  Send(inputs);
}

void SendText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t ch : text) {
    inputs.push_back(KeyEvent(0, ch, KEYEVENTF_UNICODE));
    inputs.push_back(KeyEvent(0, ch, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
  Send(inputs);
}

void ClickAt(HWND hWnd, POINT pt) {
  const POINT at = ScreenPoint(hWnd, pt.x, pt.y);
  std::vector<INPUT> press = {MouseEvent(at, 0), MouseEvent(at, MOUSEEVENTF_LEFTDOWN)};
  Send(press);
  PumpMessages(30);
  std::vector<INPUT> release = {MouseEvent(at, MOUSEEVENTF_LEFTUP)};
  Send(release);
  PumpMessages(30);
}

void PressKey(WORD wVirtualKey) {
  SendKeyPress(wVirtualKey);
  PumpMessages(30);
}

void PumpMessages(DWORD ms) {
  const DWORD dwStart = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(1);
  } while (::GetTickCount() - dwStart < ms);
}

}  // namespace testing_support
