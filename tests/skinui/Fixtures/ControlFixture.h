#pragma once
// A window host attached to a shown 300 x 200 window, so that what controls invalidate can be
// read back as the window's update rectangle, and a listener that records notifications.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/UIControl.h"
#include "Core/UIManager.h"

namespace control_testing {

struct RecordedNotification {
  std::wstring type;
  std::wstring virtualWnd;
  SkinUI::CControlUI* sender;
  WPARAM wParam;
  LPARAM lParam;
};

class NotificationRecorder : public SkinUI::INotifyUI {
 public:
  void Notify(SkinUI::NotifyEvent& event) override {
    received.push_back({event.sType.GetData(), event.sVirtualWnd.GetData(), event.pSender,
                        event.wParam, event.lParam});
  }
  std::vector<RecordedNotification> received;
};

class ControlHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuillControlTestHost";
    ::RegisterClassW(&wc);  // fails harmlessly when a previous test registered it
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"controls", WS_POPUP, 0, 0, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    m_host.AttachWindow(m_hWnd);
    m_host.RegisterNotifier(&m_recorder);
    Validate();
  }
  void TearDown() override {
    m_host.UnregisterNotifier(&m_recorder);
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
  }

  void Validate() { ::ValidateRect(m_hWnd, nullptr); }
  // The window's pending update area; empty when nothing was invalidated.
  RECT UpdateRect() const {
    RECT rc = {0, 0, 0, 0};
    if (!::GetUpdateRect(m_hWnd, &rc, FALSE)) rc = RECT{0, 0, 0, 0};
    return rc;
  }
  bool NothingInvalidated() const {
    const RECT rc = UpdateRect();
    return ::IsRectEmpty(&rc) != FALSE;
  }

  HWND m_hWnd = nullptr;
  SkinUI::CWindowHostUI m_host;
  NotificationRecorder m_recorder;
};

inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Prints as "(l,t)-(r,b)" in failure messages.
inline std::string Describe(const RECT& rc) {
  return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + ")-(" +
         std::to_string(rc.right) + "," + std::to_string(rc.bottom) + ")";
}

}  // namespace control_testing
