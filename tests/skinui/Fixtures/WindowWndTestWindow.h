#pragma once
// A CWindowWnd that records what reaches it, for the window wrapper's tests.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Core/UIBase.h"
#include "Core/UIManager.h"

namespace skin_testing {

// Resource id of the icon compiled into the window tests.
const UINT kTestIconId = 1;

class RecordingWindow : public SkinUI::CWindowWnd {
 public:
  explicit RecordingWindow(std::wstring className = L"QuillTestWindow")
      : m_className(std::move(className)) {}
  ~RecordingWindow() override {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  }

  // Runs first for every message; answering true ends the processing with lRes.
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> onMessage;

  std::vector<UINT> messages;
  HWND handleAtCreate = nullptr;
  int goneCount = 0;
  HWND goneHandle = nullptr;

  size_t Count(UINT uMsg) const {
    size_t n = 0;
    for (UINT m : messages) n += m == uMsg ? 1 : 0;
    return n;
  }

 protected:
  LPCWSTR WindowClassName() const override { return m_className.c_str(); }

  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(uMsg);
    if (uMsg == WM_CREATE) handleAtCreate = m_hWnd;
    LRESULT lRes = 0;
    if (onMessage && onMessage(uMsg, wParam, lParam, lRes)) return lRes;
    return CWindowWnd::ProcessMessage(uMsg, wParam, lParam);
  }

  void OnWindowGone(HWND hWnd) override {
    ++goneCount;
    goneHandle = hWnd;
  }

 private:
  std::wstring m_className;
};

// Every test program hands its own module to the framework first.
inline void UseTestModule() {
  SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
}

// Delivers what is already queued for the thread.
inline void PumpPending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace skin_testing
