// Skinned windows on real windows: the skin from each kind of source, the frame that the skin
// replaces, hit-testing of its caption and sizing border, the default keys and the system
// buttons pressed with the mouse.

#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <vector>

#include "SkinnedWindowFixture.h"
#include "support/MessagePump.h"
#include "support/RealInput.h"

namespace skinned_window_testing {
namespace {

using SkinUI::CControlUI;
using testing_support::ClickMouse;
using testing_support::PumpMessagesUntil;
using testing_support::ScreenPoint;

class SkinSources : public SkinnedWindowTest, public ::testing::WithParamInterface<SkinSource> {};

TEST_P(SkinSources, BuildTheSkinIntoTheWindowsHostAtTheSkinsSize) {
  TestSkinWindow window(GetParam());
  ASSERT_NE(window.CreateShown(), nullptr);
  EXPECT_EQ(window.skinLoaded, 1);
  for (LPCWSTR pstrName : {L"closebtn", L"maxbtn", L"title", L"body"}) {
    EXPECT_NE(window.Find(pstrName), nullptr) << testing::PrintToString(std::wstring(pstrName));
  }
  RECT rc = {};
  ::GetClientRect(window, &rc);
  EXPECT_EQ(rc.right, 300);
  EXPECT_EQ(rc.bottom, 200);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, SkinSources,
    ::testing::Values(
        SkinSource{"Folder", SkinUI::kSkinFromFolder, L"skinned_window.xml"},
        SkinSource{"ArchiveFile", SkinUI::kSkinFromArchiveFile, L"skinned_window.xml"},
        SkinSource{"XmlResource", SkinUI::kSkinFromResource, L"201"},
        SkinSource{"ArchiveResource", SkinUI::kSkinFromArchiveResource, L"skinned_window.xml",
                   kSkinArchiveResource}),
    [](const ::testing::TestParamInfo<SkinSource>& info) { return std::string(info.param.label); });

TEST_F(SkinnedWindowTest, HasNoNativeFrameKeepsItsPlaceAndRoundsItsCorners) {
  auto window = ShowFolderSkin();
  const LONG lStyle = ::GetWindowLongW(*window, GWL_STYLE);
  EXPECT_EQ(lStyle & WS_CAPTION, 0);
  EXPECT_EQ(lStyle & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);

  RECT rcWindow = {}, rcClient = {};
  ::GetWindowRect(*window, &rcWindow);
  ::GetClientRect(*window, &rcClient);
  const POINT ptClientOrigin = ScreenPoint(*window, 0, 0);
  EXPECT_EQ(ptClientOrigin.x, rcWindow.left);
  EXPECT_EQ(ptClientOrigin.y, rcWindow.top);
  EXPECT_EQ(rcWindow.right - rcWindow.left, rcClient.right);
  EXPECT_EQ(rcWindow.bottom - rcWindow.top, rcClient.bottom);
  EXPECT_EQ(rcWindow.left, TestSkinWindow::kLeft);
  EXPECT_EQ(rcWindow.top, TestSkinWindow::kTop);

  HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(::GetWindowRgn(*window, hRgn), COMPLEXREGION);
  EXPECT_FALSE(::PtInRegion(hRgn, 0, 0));
  EXPECT_FALSE(::PtInRegion(hRgn, 299, 199));
  EXPECT_TRUE(::PtInRegion(hRgn, 150, 0));
  EXPECT_TRUE(::PtInRegion(hRgn, 299, 100));
  ::DeleteObject(hRgn);

  MINMAXINFO info = {};
  ::SendMessageW(*window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 200);
  EXPECT_EQ(info.ptMinTrackSize.y, 150);
  MONITORINFO mi = {sizeof(mi)};
  ::GetMonitorInfoW(::MonitorFromWindow(*window, MONITOR_DEFAULTTONEAREST), &mi);
  EXPECT_EQ(info.ptMaxTrackSize.x, mi.rcWork.right - mi.rcWork.left);
  EXPECT_EQ(info.ptMaxTrackSize.y, mi.rcWork.bottom - mi.rcWork.top);
}

TEST_F(SkinnedWindowTest, ASkinWithoutRoundCornerLeavesTheWindowRectangular) {
  auto window = ShowFolderSkin(L"fixed_window.xml");
  HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(::GetWindowRgn(*window, hRgn), ERROR);
  ::DeleteObject(hRgn);
}

struct HitCase {
  const wchar_t* skin;
  POINT pt;  // client coordinates
  LRESULT expected;
  const char* what;
};

void PrintTo(const HitCase& hit, std::ostream* os) {
  *os << hit.what << " (" << hit.pt.x << "," << hit.pt.y << ")";
}

class CaptionHitTest : public SkinnedWindowTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(CaptionHitTest, AnswersForThePoint) {
  const HitCase& hit = GetParam();
  auto window = ShowFolderSkin(hit.skin);
  const POINT pt = ScreenPoint(*window, hit.pt.x, hit.pt.y);
  EXPECT_EQ(::SendMessageW(*window, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), hit.expected)
      << hit.what;
}

INSTANTIATE_TEST_SUITE_P(
    SizingBorderAndCaption, CaptionHitTest,
    ::testing::Values(
        HitCase{L"skinned_window.xml", {0, 0}, HTTOPLEFT, "top-left corner"},
        HitCase{L"skinned_window.xml", {150, 3}, HTTOP, "top edge, 4 pixels deep"},
        HitCase{L"skinned_window.xml", {299, 0}, HTTOPRIGHT, "top-right corner"},
        HitCase{L"skinned_window.xml", {0, 100}, HTLEFT, "left edge"},
        HitCase{L"skinned_window.xml", {296, 100}, HTRIGHT, "right edge, 4 pixels deep"},
        HitCase{L"skinned_window.xml", {295, 100}, HTCLIENT, "just inside the right edge"},
        HitCase{L"skinned_window.xml", {3, 196}, HTBOTTOMLEFT, "bottom-left corner"},
        HitCase{L"skinned_window.xml", {150, 196}, HTBOTTOM, "bottom edge, 4 pixels deep"},
        HitCase{L"skinned_window.xml", {299, 199}, HTBOTTOMRIGHT, "bottom-right corner"},
        HitCase{L"skinned_window.xml", {170, 20}, HTCAPTION, "empty title bar"},
        HitCase{L"skinned_window.xml", {130, 20}, HTCAPTION, "label in the caption"},
        HitCase{L"skinned_window.xml", {30, 20}, HTCLIENT, "option in the caption"},
        HitCase{L"skinned_window.xml", {80, 20}, HTCLIENT, "text in the caption"},
        HitCase{L"skinned_window.xml", {270, 20}, HTCLIENT, "button in the caption"},
        HitCase{L"skinned_window.xml", {150, 40}, HTCLIENT, "first row below the caption"},
        HitCase{L"fixed_window.xml", {0, 0}, HTCAPTION, "corner without sizing border"},
        HitCase{L"fixed_window.xml", {0, 100}, HTCLIENT, "left edge without sizing border"},
        HitCase{L"fixed_window.xml", {299, 199}, HTCLIENT, "bottom-right without sizing border"}));

// Records the keys that reach the window's host.
class KeyRecorder : public SkinUI::IMessageFilterUI {
 public:
  std::vector<WPARAM> keys;
  LRESULT FilterMessage(UINT uMsg, WPARAM wParam, LPARAM, bool&) override {
    if (uMsg == WM_KEYDOWN) keys.push_back(wParam);
    return 0;
  }
};

TEST_F(SkinnedWindowTest, EscapeIsSwallowedAndReturnReachesTheFocusedButton) {
  auto window = ShowFolderSkin();
  KeyRecorder recorder;
  window->GetWindowHost().RegisterMessageFilter(&recorder);
  window->Find(L"closebtn")->SetFocus();
  ::PostMessageW(*window, WM_KEYDOWN, VK_ESCAPE, 0);
  ::PostMessageW(*window, WM_KEYDOWN, VK_RETURN, 0);
  // Return on the focused close button clicks it: the window ends with the button's result.
  EXPECT_EQ(RunModalAtMost(*window), 2);
  EXPECT_EQ(recorder.keys, std::vector<WPARAM>{VK_RETURN});
}

TEST_F(SkinnedWindowTest, ClickingTheCloseButtonEndsTheModalLoopWithTwo) {
  auto window = ShowFolderSkin();
  ClickMouse(ScreenPoint(*window, 272, 20));
  EXPECT_EQ(RunModalAtMost(*window), 2);
  EXPECT_FALSE(::IsWindow(*window));
}

TEST_F(SkinnedWindowTest, TheControlTreeGoesWithTheWindowAndOnlyOnce) {
  auto window = ShowFolderSkin();
  ASSERT_NE(window->Find(L"probe"), nullptr);
  ProbeControl::destroyed = 0;
  ::DestroyWindow(*window);
  EXPECT_EQ(ProbeControl::destroyed, 1);
  window.reset();
  EXPECT_EQ(ProbeControl::destroyed, 1);
}

TEST_F(SkinnedWindowTest, MaximiseAndRestoreButtonsSwapAndMinimiseIconifies) {
  auto window = ShowFolderSkin();
  CControlUI* pMax = window->Find(L"maxbtn");
  CControlUI* pRestore = window->Find(L"restorebtn");

  ClickMouse(ScreenPoint(*window, 225, 18));
  ASSERT_TRUE(PumpMessagesUntil([&] { return ::IsZoomed(*window) != FALSE; }));
  EXPECT_FALSE(pMax->IsVisible());
  EXPECT_TRUE(pRestore->IsVisible());
  // Maximised, the edges are no sizing border.
  const POINT ptEdge = ScreenPoint(*window, 0, 100);
  EXPECT_EQ(::SendMessageW(*window, WM_NCHITTEST, 0, MAKELPARAM(ptEdge.x, ptEdge.y)), HTCLIENT);

  ::UpdateWindow(*window);
  ClickMouse(ScreenPoint(*window, 225, 18));
  ASSERT_TRUE(PumpMessagesUntil([&] { return ::IsZoomed(*window) == FALSE; }));
  EXPECT_TRUE(pMax->IsVisible());
  EXPECT_FALSE(pRestore->IsVisible());

  ::UpdateWindow(*window);
  ClickMouse(ScreenPoint(*window, 200, 18));
  EXPECT_TRUE(PumpMessagesUntil([&] { return ::IsIconic(*window) != FALSE; }));
}

}  // namespace
}  // namespace skinned_window_testing
