#pragma once
// A message-only window that records the application messages (WM_USER and above) posted
// to it, for tests of code that reports to a window from another thread.

#include <windows.h>

#include <functional>
#include <vector>

namespace testing_support {

class MessageWindow {
 public:
  struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };

  MessageWindow();  // belongs to the calling thread, which must pump it
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND hwnd() const { return m_hWnd; }

  // Called on the window's thread as each message arrives, before it is recorded.
  std::function<void(const Message&)> onMessage;

  // Pumps the thread's messages until `done` is true or `timeoutMs` has passed; returns
  // `done`'s last answer.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
  // Pumps for a fixed time (to catch messages that should not come).
  void PumpFor(DWORD ms);

  const std::vector<Message>& received() const { return m_received; }
  size_t Count(UINT msg) const;
  void Clear() { m_received.clear(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND m_hWnd = nullptr;
  std::vector<Message> m_received;
};

}  // namespace testing_support
