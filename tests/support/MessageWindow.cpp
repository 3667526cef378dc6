#include "support/MessageWindow.h"

#include "support/MessagePump.h"

namespace testing_support {

namespace {
constexpr wchar_t kClassName[] = L"QuillTestMessageWindow";
}

MessageWindow::MessageWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);  // fails harmlessly when a previous window registered it
  m_hWnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
}

MessageWindow::~MessageWindow() {
  if (m_hWnd) DestroyWindow(m_hWnd);
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && msg >= WM_USER && msg < 0xC000) {
    const Message message{msg, wParam, lParam};
    if (self->onMessage) self->onMessage(message);
    self->m_received.push_back(message);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool MessageWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  return PumpMessagesUntil(done, timeoutMs);
}

void MessageWindow::PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

size_t MessageWindow::Count(UINT msg) const {
  size_t n = 0;
  for (const Message& m : m_received) n += m.msg == msg;
  return n;
}

}  // namespace testing_support
