// The shadow window follows its window on screen, never takes the mouse, and goes with the
// window; a window whose shadow goes first keeps working.

#include <memory>

#include "ShadowFixture.h"

namespace shadow_testing {
namespace {

using SkinUI::CShadowUI;
using SkinUI::CWindowHostUI;

bool IsVisible(HWND hWnd) { return ::IsWindowVisible(hWnd) != FALSE; }

// hAbove comes before hBelow in the z-order.
bool IsAbove(HWND hAbove, HWND hBelow) {
  for (HWND h = ::GetWindow(hAbove, GW_HWNDNEXT); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (h == hBelow) return true;
  }
  return false;
}

class ShadowFollowTest : public ShadowTest {
 protected:
  // A visible generated shadow: rounded window, solid 20 pixels around it, shifted by the
  // offset.
  void AttachSolidShadow() {
    RoundWindow();
    Shadow().SetShadowSize(kSize);
    Shadow().SetShadowSharpness(0);
    Shadow().SetShadowOffset(kOffsetX, kOffsetY);
    AttachWithShadow();
    ASSERT_NE(ShadowWindow(), nullptr);
  }
  bool ShadowMatchesWindow() {
    return SameRect(ShadowRect(), Inflated(WindowRect(), kSize - kOffsetX, kSize - kOffsetY,
                                           kSize + kOffsetX, kSize + kOffsetY));
  }
  void Resize(int cx, int cy) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  static const int kSize = 20;
  static const int kOffsetX = 3, kOffsetY = -2;
};

TEST_F(ShadowFollowTest, MovedWindowTakesItsShadowAlong) {
  AttachSolidShadow();
  EXPECT_TRUE(IsVisible(ShadowWindow()));
  EXPECT_TRUE(ShadowMatchesWindow());
  ::SetWindowPos(m_hWnd, nullptr, 420, 310, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(ShadowMatchesWindow());
  EXPECT_TRUE(IsAbove(ShadowWindow(), m_hWnd)) << "the shadow is moved to the top";
}

TEST_F(ShadowFollowTest, HiddenWindowHidesItsShadowAndShowingDrawsItAgain) {
  AttachSolidShadow();
  ::ShowWindow(m_hWnd, SW_HIDE);
  EXPECT_FALSE(IsVisible(ShadowWindow()));
  const int nPresented = Presented().count;
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(IsVisible(ShadowWindow()));
  PumpFor(100);
  EXPECT_GT(Presented().count, nPresented) << "drawn again at the next paint";
  EXPECT_TRUE(ShadowMatchesWindow());
}

class ShadowWindowStateTest : public ShadowFollowTest, public ::testing::WithParamInterface<int> {};

TEST_P(ShadowWindowStateTest, MinimisedOrMaximisedWindowHidesTheShadowUntilRestored) {
  AttachSolidShadow();
  ::ShowWindow(m_hWnd, GetParam());
  EXPECT_FALSE(IsVisible(ShadowWindow()));
  const int nPresented = Presented().count;
  ::ShowWindow(m_hWnd, SW_RESTORE);
  PumpFor(100);
  EXPECT_TRUE(IsVisible(ShadowWindow()));
  EXPECT_GT(Presented().count, nPresented);
  EXPECT_EQ(Presented().cx, kWidth + 2 * kSize);
  EXPECT_TRUE(ShadowMatchesWindow());
}

INSTANTIATE_TEST_SUITE_P(States, ShadowWindowStateTest, ::testing::Values(SW_MINIMIZE, SW_MAXIMIZE),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == SW_MINIMIZE ? "minimised"
                                                                        : "maximised");
                         });

TEST_F(ShadowFollowTest, ShrinkingRedrawsAtOnceAndGrowingAtTheNextPaint) {
  AttachSolidShadow();
  PumpFor(50);
  int nPresented = Presented().count;
  Resize(100, 60);
  EXPECT_EQ(Presented().count, nPresented + 1);
  EXPECT_EQ(Presented().cx, 100 + 2 * kSize);
  EXPECT_EQ(Presented().cy, 60 + 2 * kSize);
  EXPECT_TRUE(ShadowMatchesWindow());

  nPresented = Presented().count;
  Resize(160, 90);
  EXPECT_EQ(Presented().count, nPresented) << "not before the window paints";
  PaintPending();
  EXPECT_EQ(Presented().count, nPresented + 1);
  EXPECT_EQ(Presented().cx, 160 + 2 * kSize);
  EXPECT_TRUE(ShadowMatchesWindow());
}

// A recording window below the shadow's margin.
class ClickTarget {
 public:
  explicit ClickTarget(const RECT& rc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"QuillShadowClickTarget";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"target", WS_POPUP, rc.left,
                               rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                               wc.hInstance, nullptr);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    Clicks() = 0;
  }
  ~ClickTarget() { ::DestroyWindow(m_hWnd); }
  HWND hwnd() const { return m_hWnd; }
  static int& Clicks() {
    static int nClicks = 0;
    return nClicks;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_LBUTTONDOWN) ++Clicks();
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  }
  HWND m_hWnd;
};

TEST_F(ShadowFollowTest, ClickOnTheShadowReachesTheWindowBelow) {
  ClickTarget target(RECT{kLeft - 40, kTop, kLeft - 2, kTop + kHeight});
  AttachSolidShadow();
  // Moving puts the shadow on top, over the target.
  ::SetWindowPos(m_hWnd, nullptr, kLeft, kTop + 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(IsAbove(ShadowWindow(), target.hwnd()));
  const LONG_PTR lExStyle = ::GetWindowLongPtrW(ShadowWindow(), GWL_EXSTYLE);
  EXPECT_EQ(lExStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);

  // Ten pixels left of the window: solid shadow on top of the target.
  POINT pt = {kLeft - 10, kTop + kHeight / 2};
  const RECT rcShadow = ShadowRect();
  ASSERT_TRUE(::PtInRect(&rcShadow, pt));
  const PresentedImage& image = Presented();
  ASSERT_GT(image.AlphaAt(pt.x - rcShadow.left, pt.y - rcShadow.top), 0);
  EXPECT_EQ(::WindowFromPoint(pt), target.hwnd());

  ::SetCursorPos(pt.x, pt.y);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(::SendInput(2, inputs, sizeof(INPUT)), 2u);
  PumpFor(200);
  EXPECT_EQ(ClickTarget::Clicks(), 1);
}

TEST_F(ShadowFollowTest, ShadowGoesWithItsWindow) {
  AttachSolidShadow();
  const HWND hShadow = ShadowWindow();
  const HWND hWindow = m_hWnd;
  ASSERT_EQ(CShadowUI::FromWindow(hWindow), &Shadow());
  ::DestroyWindow(hWindow);
  m_hWnd = nullptr;
  EXPECT_FALSE(::IsWindow(hShadow));
  EXPECT_EQ(CShadowUI::FromWindow(hWindow), nullptr);
  EXPECT_EQ(ShadowWindow(), nullptr);
}

TEST_F(ShadowFollowTest, NoShadowWindowUntilEnabledBeforeATreeIsAttached) {
  AttachRecordingRoot();
  EXPECT_EQ(ShadowWindow(), nullptr);
  EXPECT_EQ(CShadowUI::FromWindow(m_hWnd), nullptr);
  // Enabling later waits for the next tree.
  Shadow().EnableShadow(true);
  EXPECT_EQ(ShadowWindow(), nullptr);
  AttachRecordingRoot();
  EXPECT_NE(ShadowWindow(), nullptr);
}

TEST_F(ShadowFollowTest, NewTreeOnTheSameWindowKeepsOneShadowFollowingIt) {
  AttachSolidShadow();
  const HWND hShadow = ShadowWindow();
  AttachRecordingRoot();
  PumpFor(50);
  EXPECT_EQ(ShadowWindow(), hShadow);
  ::SetWindowPos(m_hWnd, nullptr, 330, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(ShadowMatchesWindow());
}

TEST_F(ShadowFollowTest, SecondHostOnTheWindowGetsNoSecondShadow) {
  AttachSolidShadow();
  CWindowHostUI second;
  second.AttachWindow(m_hWnd);
  CShadowUI::OfHost(second)->EnableShadow(true);
  second.AttachRoot(new SkinUI::CControlUI);
  EXPECT_EQ(CShadowUI::OfHost(second)->GetShadowWindow(), nullptr);
  EXPECT_EQ(CShadowUI::FromWindow(m_hWnd), &Shadow());
  ::SetWindowPos(m_hWnd, nullptr, 260, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(ShadowMatchesWindow());
}

// ---- a shadow that goes before its window ----

// A plain window that counts the WM_USER messages its own procedure receives.
LRESULT CALLBACK CountingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_USER) ++*reinterpret_cast<int*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

WNDPROC g_pfnBeforeLaterHook = nullptr;
LRESULT CALLBACK LaterHookProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(g_pfnBeforeLaterHook, hWnd, uMsg, wParam, lParam);
}

class ShadowGoesFirstTest : public ::testing::TestWithParam<bool> {};

TEST_P(ShadowGoesFirstTest, WindowOutlivingItsShadowKeepsWorkingAndTakesANewOne) {
  const bool bHookedAfterUs = GetParam();
  CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &CountingProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuillShadowOutlived";
  ::RegisterClassW(&wc);
  HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"outlived", WS_POPUP, 50, 50, 100, 60,
                                nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hWnd, nullptr);
  int nUserMessages = 0;
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&nUserMessages));
  ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);

  auto pHost = std::make_unique<CWindowHostUI>();
  pHost->AttachWindow(hWnd);
  CShadowUI::OfHost(*pHost)->EnableShadow(true);
  pHost->AttachRoot(new SkinUI::CControlUI);
  const HWND hShadow = CShadowUI::OfHost(*pHost)->GetShadowWindow();
  ASSERT_NE(hShadow, nullptr);
  if (bHookedAfterUs) {
    g_pfnBeforeLaterHook = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterHookProc)));
  }

  pHost.reset();
  EXPECT_FALSE(::IsWindow(hShadow));
  EXPECT_EQ(CShadowUI::FromWindow(hWnd), nullptr);
  const LONG_PTR lProc = ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
  EXPECT_EQ(lProc, reinterpret_cast<LONG_PTR>(bHookedAfterUs ? &LaterHookProc : &CountingProc));
  ::SetWindowPos(hWnd, nullptr, 70, 80, 120, 70, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(hWnd, WM_USER, 0, 0);
  EXPECT_EQ(nUserMessages, 1);

  // A new shadow follows the window again.
  CWindowHostUI next;
  next.AttachWindow(hWnd);
  CShadowUI::OfHost(next)->EnableShadow(true);
  next.AttachRoot(new SkinUI::CControlUI);
  EXPECT_EQ(CShadowUI::FromWindow(hWnd), CShadowUI::OfHost(next));
  ::SetWindowPos(hWnd, nullptr, 90, 95, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT rcShadow = {};
  ::GetWindowRect(CShadowUI::OfHost(next)->GetShadowWindow(), &rcShadow);
  EXPECT_EQ(rcShadow.left, 90);
  ::SendMessageW(hWnd, WM_USER, 0, 0);
  EXPECT_EQ(nUserMessages, 2);
  EXPECT_TRUE(::DestroyWindow(hWnd));
  EXPECT_EQ(CShadowUI::FromWindow(hWnd), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Hooks, ShadowGoesFirstTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "hooked_after_the_shadow" : "alone");
                         });

}  // namespace
}  // namespace shadow_testing
