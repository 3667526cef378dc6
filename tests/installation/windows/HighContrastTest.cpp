// The installer's windows while the system's high-contrast mode is on (the "High Contrast Black"
// colours): backgrounds, the title bar's picture and the skin's text colours give way to the
// system's, buttons with text become faces with an edge, the progress fill is the highlight; a
// window follows the switch as it is turned on and off. A picture of each stays in the working
// folder.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Control/UIProgress.h"
#include "InstallerWindowFixture.h"
#include "support/HighContrastStandIn.h"
#include "support/MessagePump.h"

namespace installer_window_testing {
namespace {

using testing_support::DibCanvas;
using testing_support::HighContrastStandIn;

uint32_t System(int nIndex) {
  const COLORREF cr = ::GetSysColor(nIndex);
  return (GetRValue(cr) << 16) | (GetGValue(cr) << 8) | GetBValue(cr);
}

int CountOf(const DibCanvas& canvas, uint32_t rgb, const RECT& rc) {
  return (rc.right - rc.left) * (rc.bottom - rc.top) -
         canvas.CountOtherThan(rgb, rc.left, rc.top, rc.right, rc.bottom);
}

// The blues of the skin's title bar and buttons.
bool IsSkinBlue(uint32_t rgb) { return (rgb >> 16) < 0x80 && (rgb & 0xFF) > 0xC0; }

struct ContrastSkin {
  const char* label;
  const wchar_t* file;
  std::vector<std::wstring> buttons;  // with text
};

const ContrastSkin kSkins[] = {
    {"Main", L"installation.xml", {L"btn_cancle"}},
    {"MessageBox", L"msgbox.xml", {}},
    {"UninstallPrompt", L"uninstall_tip.xml", {L"btn_ok", L"btn_cancle"}},
    {"ProxyLogin", L"proxy_login.xml", {L"btn_ok", L"btn_cancle"}},
};

class HighContrast : public InstallerWindowTest {
 protected:
  void SetUp() override {
    InstallerWindowTest::SetUp();
    ASSERT_TRUE(standIn.IsInstalled());
  }

  // The client area once the window has handled what it was sent.
  static void Capture(HWND hWnd, DibCanvas& canvas) {
    testing_support::PumpMessagesUntil([] { return false; }, 100);
    ::UpdateWindow(hWnd);
    CaptureClient(hWnd, canvas);
  }

  HighContrastStandIn standIn;
};

class HighContrastSkins : public HighContrast, public ::testing::WithParamInterface<ContrastSkin> {};

TEST_P(HighContrastSkins, DrawWithTheSystemsColours) {
  const ContrastSkin& skin = GetParam();
  standIn.Switch(true);
  BareXMLWnd window(skin.file);
  ASSERT_NE(window.CreateShown(), nullptr);
  RECT rc = {};
  ::GetClientRect(window, &rc);
  DibCanvas canvas(rc.right, rc.bottom);
  Capture(window, canvas);
  SaveScreenshot(canvas, std::string("HighContrast_") + skin.label);

  // The title bar's picture and the white body are the window's colour; the title is in its
  // text colour.
  EXPECT_EQ(canvas.CountOtherThan(System(COLOR_WINDOW), 200, 2, 300, 6), 0);
  EXPECT_GE(CountOf(canvas, System(COLOR_WINDOWTEXT), window.Find(L"titlename")->GetPosition()),
            20);
  int nBlue = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) nBlue += IsSkinBlue(canvas.Rgb(x, y)) ? 1 : 0;
  }
  EXPECT_EQ(nBlue, 0);

  for (const std::wstring& name : skin.buttons) {
    const RECT& rcButton = window.Find(name.c_str())->GetPosition();
    const int yMiddle = (rcButton.top + rcButton.bottom) / 2;
    EXPECT_EQ(canvas.Rgb(rcButton.left + 3, yMiddle), System(COLOR_BTNFACE))
        << testing::PrintToString(name);
    EXPECT_EQ(canvas.Rgb(rcButton.left, yMiddle), System(COLOR_BTNTEXT))
        << testing::PrintToString(name);
    const RECT rcInside = {rcButton.left + 2, rcButton.top + 2, rcButton.right - 2,
                           rcButton.bottom - 2};
    // Text on the face, its fully covered pixels in the button text colour.
    EXPECT_GE(canvas.CountOtherThan(System(COLOR_BTNFACE), rcInside.left, rcInside.top,
                                    rcInside.right, rcInside.bottom),
              10)
        << testing::PrintToString(name);
    EXPECT_GE(CountOf(canvas, System(COLOR_BTNTEXT), rcInside), 1) << testing::PrintToString(name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FromTheArchive, HighContrastSkins, ::testing::ValuesIn(kSkins),
    [](const ::testing::TestParamInfo<ContrastSkin>& info) { return std::string(info.param.label); });

TEST_F(HighContrast, TheProgressFillIsTheHighlightInItsEdge) {
  standIn.Switch(true);
  BareXMLWnd window(L"installation.xml");
  ASSERT_NE(window.CreateShown(), nullptr);
  auto* pProgress = static_cast<SkinUI::CProgressUI*>(window.Find(L"progress"));
  pProgress->SetValue(50);
  RECT rc = {};
  ::GetClientRect(window, &rc);
  DibCanvas canvas(rc.right, rc.bottom);
  Capture(window, canvas);
  SaveScreenshot(canvas, "HighContrast_Main_half_done");

  const RECT& rcBar = pProgress->GetPosition();
  const int yMiddle = (rcBar.top + rcBar.bottom) / 2;
  const int xHalf = (rcBar.left + rcBar.right) / 2;
  EXPECT_EQ(canvas.Rgb(rcBar.left, yMiddle), System(COLOR_WINDOWTEXT));
  EXPECT_EQ(canvas.Rgb((rcBar.left + xHalf) / 2, yMiddle), System(COLOR_HIGHLIGHT));
  EXPECT_EQ(canvas.Rgb((xHalf + rcBar.right) / 2, yMiddle), System(COLOR_WINDOW));
}

TEST_F(HighContrast, AWindowFollowsTheSwitchAndComesBackAsItWas) {
  BareXMLWnd window(L"installation.xml");
  ASSERT_NE(window.CreateShown(), nullptr);
  RECT rc = {};
  ::GetClientRect(window, &rc);
  DibCanvas before(rc.right, rc.bottom), during(rc.right, rc.bottom), after(rc.right, rc.bottom);
  Capture(window, before);

  standIn.Switch(true);
  Capture(window, during);
  EXPECT_EQ(during.Rgb(300, 60), System(COLOR_WINDOW));

  standIn.Switch(false);
  Capture(window, after);
  EXPECT_TRUE(after.SamePixels(before));
  EXPECT_EQ(after.Rgb(300, 60), 0xFFFFFFu);
}

}  // namespace
}  // namespace installer_window_testing
