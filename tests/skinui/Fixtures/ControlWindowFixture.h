#pragma once
// A real 320 x 240 window whose every message goes through its window host, a tree attached and
// laid out in it, and input delivered the way the window manager delivers it: mouse and key
// messages sent to the window, modifier keys held through the thread's keyboard state,
// notifications recorded in order.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ControlDriving.h"
#include "Core/UIControl.h"
#include "HostPaintFixture.h"

namespace control_testing {

struct Note {
  std::wstring type;
  SkinUI::CControlUI* sender;
  WPARAM wParam;
  LPARAM lParam;
};

class ControlWindowTest : public host_paint_testing::HostPaintTest {
 protected:
  static constexpr int kWindowWidth = 320;
  static constexpr int kWindowHeight = 240;

  void SetUp() override {
    HostPaintTest::SetUp();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWindowWidth, kWindowHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
  void TearDown() override {
    HoldKeys(false, false);
    HostPaintTest::TearDown();
  }
  void Notify(SkinUI::NotifyEvent& event) override {
    m_notes.push_back({event.sType.GetData(), event.pSender, event.wParam, event.lParam});
  }

  // Attaches the tree, lays it out and paints it; what that notified is forgotten. What the
  // window's code does once its skin is built comes before the first paint.
  void Show(SkinUI::CControlUI* pRoot, const std::function<void()>& beforeFirstPaint = nullptr) {
    m_host.AttachRoot(pRoot);
    if (beforeFirstPaint) beforeFirstPaint();
    Relayout();
    m_notes.clear();
  }
  void Relayout() {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
  }
  void Click(int x, int y, UINT uDown = WM_LBUTTONDOWN, UINT uUp = WM_LBUTTONUP) {
    ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    ::SendMessageW(m_hWnd, uDown, uDown == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageW(m_hWnd, uUp, 0, MAKELPARAM(x, y));
  }
  void ClickControl(SkinUI::CControlUI* pControl) {
    const RECT rc = pControl->GetPosition();
    Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  }
  // A key pressed over the host window (which hands it to its focus control).
  void Key(UINT vk) {
    ::SendMessageW(m_hWnd, WM_KEYDOWN, vk, 0);
    ::SendMessageW(m_hWnd, WM_KEYUP, vk, 0xC0000000);
  }
  void HoldKeys(bool bCtrl, bool bShift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = bCtrl ? 0x80 : 0;
    keys[VK_SHIFT] = bShift ? 0x80 : 0;
    ::SetKeyboardState(keys);
  }
  // Delivers what was posted (closing windows, queued notifications, delayed deletions).
  void Pump() { PumpFor(80); }

  std::vector<std::wstring> NoteTypes() const {
    std::vector<std::wstring> types;
    for (const Note& note : m_notes) types.push_back(note.type);
    return types;
  }
  // The notes of one type, with their two parameters.
  std::vector<std::pair<int, int>> Params(const wchar_t* pstrType) const {
    std::vector<std::pair<int, int>> params;
    for (const Note& note : m_notes) {
      if (note.type == pstrType) {
        params.emplace_back(static_cast<int>(note.wParam), static_cast<int>(note.lParam));
      }
    }
    return params;
  }

  SolidImageLoaderScope m_images;
  std::vector<Note> m_notes;
};

typedef std::vector<std::wstring> TypeList;
typedef std::vector<std::pair<int, int>> ParamList;

}  // namespace control_testing
