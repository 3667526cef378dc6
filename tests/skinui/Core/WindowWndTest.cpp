// The native window wrapper on real windows: class registration, creation, the two window
// procedures, subclassing, showing, centring and icons.

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

#include "CheckRecorder.h"
#include "WindowWndTestWindow.h"

using skin_testing::CheckRecorder;
using skin_testing::RecordingWindow;

namespace {

class WindowWndTest : public ::testing::Test {
 protected:
  void SetUp() override { skin_testing::UseTestModule(); }
  void TearDown() override { skin_testing::PumpPending(); }
};

class EditSuperclass : public RecordingWindow {
 public:
  EditSuperclass() : RecordingWindow(L"QuillTestEdit") {}

 protected:
  LPCWSTR SuperclassName() const override { return L"EDIT"; }
};

RECT WindowRect(HWND hWnd) {
  RECT rc = {};
  ::GetWindowRect(hWnd, &rc);
  return rc;
}

RECT WorkAreaOf(HWND hWnd) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
  return mi.rcWork;
}

TEST_F(WindowWndTest, TwoWindowsOfOneClassShareOneRegistration) {
  CheckRecorder checks;
  RecordingWindow first(L"QuillTestShared"), second(L"QuillTestShared");
  const HWND hFirst = first.Create(nullptr, L"first", WS_POPUP, 0, 0, 0, 60, 40);
  const HWND hSecond = second.Create(nullptr, L"second", WS_POPUP, 0, 0, 0, 60, 40);
  ASSERT_NE(hFirst, nullptr);
  ASSERT_NE(hSecond, nullptr);

  EXPECT_EQ(::GetClassLongPtrW(hFirst, GCW_ATOM), ::GetClassLongPtrW(hSecond, GCW_ATOM));
  EXPECT_TRUE(second.RegisterOwnClass()) << "registering an existing class counts as success";
  EXPECT_TRUE(checks.conditions().empty());

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"QuillTestShared", &wc));
  EXPECT_EQ(wc.hCursor, ::LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(wc.hbrBackground, nullptr);
  EXPECT_EQ(wc.style, 0u);
}

TEST_F(WindowWndTest, MessagesBeforeNcCreateGoToTheDefaultProcedure) {
  // A framed window is asked for its size limits before WM_NCCREATE, while no object is known.
  RecordingWindow window(L"QuillTestFramed");
  const HWND hWnd = window.Create(nullptr, L"framed", WS_OVERLAPPEDWINDOW, 0, 10, 10, 200, 150);
  ASSERT_NE(hWnd, nullptr);
  ASSERT_FALSE(window.messages.empty());
  EXPECT_EQ(window.messages.front(), static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(window.handleAtCreate, hWnd) << "the handle is known before CreateWindowExW returns";
}

TEST_F(WindowWndTest, TheLastMessageLetsGoOfTheWindowOnce) {
  RecordingWindow window;
  const HWND hWnd = window.Create(nullptr, L"gone", WS_POPUP, 0, 0, 0, 60, 40);
  ASSERT_NE(hWnd, nullptr);
  EXPECT_EQ(::GetWindowLongPtrW(hWnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&window));

  ::DestroyWindow(hWnd);
  EXPECT_EQ(window.GetHWND(), nullptr);
  EXPECT_EQ(window.goneCount, 1);
  EXPECT_EQ(window.goneHandle, hWnd);
  EXPECT_EQ(window.Count(WM_NCDESTROY), 0u) << "WM_NCDESTROY is the wrapper's own";
}

// Stands for the windows that delete themselves when their window goes: the object's bytes are
// overwritten when it ends, so a later write shows, and so does an end that never came.
class SelfEndingWindow : public SkinUI::CWindowWnd {
 protected:
  LPCWSTR WindowClassName() const override { return L"QuillTestSelfEnding"; }
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == WM_CREATE) return -1;
    return CWindowWnd::ProcessMessage(uMsg, wParam, lParam);
  }
  void OnWindowGone(HWND) override {
    this->~SelfEndingWindow();
    std::memset(static_cast<void*>(this), 0xDD, sizeof(*this));
  }
};

// The window fails in its WM_CREATE, or (a parent that is no window) before it exists at all.
class FailedCreateTest : public WindowWndTest, public ::testing::WithParamInterface<HWND> {};

TEST_P(FailedCreateTest, EndsASelfDeletingObjectOnceAndNeverTouchesItAfterwards) {
  CheckRecorder checks;
  alignas(SelfEndingWindow) unsigned char storage[sizeof(SelfEndingWindow)];
  SelfEndingWindow* pWindow = new (storage) SelfEndingWindow;
  EXPECT_EQ(pWindow->Create(GetParam(), L"ends", WS_POPUP, 0, 0, 0, 60, 40), nullptr);
  for (unsigned char c : storage) ASSERT_EQ(c, 0xDD);
}

INSTANTIATE_TEST_SUITE_P(Failures, FailedCreateTest,
                         ::testing::Values(HWND(nullptr), reinterpret_cast<HWND>(0x7ff0)));

TEST_F(WindowWndTest, SuperclassedEditKeepsItsOwnBehaviour) {
  EditSuperclass edit;
  const HWND hWnd = edit.Create(nullptr, L"", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 0, 120, 24);
  ASSERT_NE(hWnd, nullptr);
  EXPECT_EQ(::GetPropW(hWnd, L"WndX"), static_cast<HANDLE>(static_cast<SkinUI::CWindowWnd*>(&edit)));

  // Text handling is the edit class's: the wrapper passes what it does not take on.
  ::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"quill"));
  WCHAR szText[16] = {};
  ::GetWindowTextW(hWnd, szText, 16);
  EXPECT_STREQ(szText, L"quill");
  ::SendMessageW(hWnd, EM_SETSEL, 1, 3);
  DWORD dwStart = 0, dwEnd = 0;
  ::SendMessageW(hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart),
                 reinterpret_cast<LPARAM>(&dwEnd));
  EXPECT_EQ(dwStart, 1u);
  EXPECT_EQ(dwEnd, 3u);
  EXPECT_GT(edit.Count(WM_SETTEXT), 0u);

  WCHAR szClass[64] = {};
  ::GetClassNameW(hWnd, szClass, 64);
  EXPECT_STREQ(szClass, L"QuillTestEdit");

  ::DestroyWindow(hWnd);
  EXPECT_EQ(edit.goneCount, 1);
  EXPECT_EQ(edit.GetHWND(), nullptr);
}

TEST_F(WindowWndTest, SubclassingHandsMessagesToTheObjectUntilRestored) {
  const HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 50, 20, nullptr,
                                      nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(hWnd, nullptr);
  const LONG_PTR originalProc = ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC);

  RecordingWindow window(L"QuillTestUnused");
  ASSERT_TRUE(window.Subclass(hWnd));
  ::SendMessageW(hWnd, WM_APP + 5, 0, 0);
  EXPECT_EQ(window.Count(WM_APP + 5), 1u);
  // Messages the object leaves alone still reach the static control.
  ::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
  WCHAR szText[16] = {};
  ::GetWindowTextW(hWnd, szText, 16);
  EXPECT_STREQ(szText, L"changed");

  window.RestoreProc();
  EXPECT_EQ(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC), originalProc);
  ::SendMessageW(hWnd, WM_APP + 6, 0, 0);
  EXPECT_EQ(window.Count(WM_APP + 6), 0u);
  ::DestroyWindow(hWnd);
}

TEST_F(WindowWndTest, ShowWithoutFocusLeavesTheActiveWindowActive) {
  RecordingWindow active, shown;
  ASSERT_NE(active.Create(nullptr, L"active", WS_POPUP, 0, 0, 0, 80, 60), nullptr);
  ASSERT_NE(shown.Create(nullptr, L"shown", WS_POPUP, 0, 100, 0, 80, 60), nullptr);
  active.Show(true, true);
  ::SetActiveWindow(active);
  ASSERT_EQ(::GetActiveWindow(), active.GetHWND());

  shown.Show(true, false);
  EXPECT_TRUE(::IsWindowVisible(shown));
  EXPECT_EQ(::GetActiveWindow(), active.GetHWND());

  shown.Show(false);
  EXPECT_FALSE(::IsWindowVisible(shown));
}

TEST_F(WindowWndTest, CenterOnOwnerCentresOnTheOwnersRectangle) {
  RecordingWindow owner, owned;
  ASSERT_NE(owner.Create(nullptr, L"owner", WS_POPUP, 0, 100, 100, 400, 300), nullptr);
  ASSERT_NE(owned.Create(owner, L"owned", WS_POPUP, 0, 0, 0, 200, 100), nullptr);
  owned.CenterOnOwner();
  const RECT rc = WindowRect(owned);
  EXPECT_EQ(rc.left, 300 - 100);
  EXPECT_EQ(rc.top, 250 - 50);
  EXPECT_EQ(rc.right - rc.left, 200) << "the size stays";
}

TEST_F(WindowWndTest, CenterOnOwnerKeepsAWideWindowOnTheWorkAreasLeftEdge) {
  RecordingWindow window;
  ASSERT_NE(window.Create(nullptr, L"probe", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
  const RECT rcWork = WorkAreaOf(window);
  const int cx = (rcWork.right - rcWork.left) + 200;
  ::SetWindowPos(window, nullptr, 0, 0, cx, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(WindowRect(window).right - WindowRect(window).left, cx);

  window.CenterOnOwner();
  const RECT rc = WindowRect(window);
  EXPECT_EQ(rc.left, rcWork.left);
  EXPECT_EQ(rc.top, (rcWork.top + rcWork.bottom) / 2 - 40);
}

TEST_F(WindowWndTest, SetWindowIconSetsBothSizesAndReportsAMissingIcon) {
  RecordingWindow window;
  ASSERT_NE(window.Create(nullptr, L"icon", WS_POPUP, 0, 0, 0, 60, 40), nullptr);
  window.SetWindowIcon(skin_testing::kTestIconId);
  EXPECT_NE(window.Send(WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(window.Send(WM_GETICON, ICON_SMALL, 0), 0);

  CheckRecorder checks;
  window.SetWindowIcon(999);
  EXPECT_EQ(checks.conditions(), std::vector<std::string>({"hIcon", "hIcon"}));
  EXPECT_EQ(window.Send(WM_GETICON, ICON_BIG, 0), 0) << "the missing icon is set all the same";
}

}  // namespace
