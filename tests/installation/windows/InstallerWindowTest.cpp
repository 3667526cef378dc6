// The installer's four skins from the real archive, shown as bare installer windows: their
// controls, what a user sees of them (a screenshot of each is kept in the test's working folder),
// and the caption drag that ends the sizing frame.

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "Core/UIAccessibleTree.h"
#include "InstallerWindowFixture.h"
#include "support/MessagePump.h"
#include "support/RealInput.h"

namespace installer_window_testing {
namespace {

using testing_support::DibCanvas;

struct SkinView {
  const char* label;
  const wchar_t* file;
  SIZE size;
  std::vector<std::wstring> names;
  std::vector<std::wstring> customElements;  // elements only the window's callback could make
  RECT rcTitle;                              // "titlename"
  RECT rcClose;                              // "closebtn"
  POINT ptBody;                              // a point of the white body
  const wchar_t* title;                      // what "titlename" shows
};

const SkinView kSkins[] = {
    {"Main", L"installation.xml", {620, 240},
     {L"titlename", L"closebtn", L"progress", L"download_size", L"btn_cancle"}, {},
     {10, 14, 130, 38}, {584, 16, 600, 32}, {300, 60}, L"引导安装程序"},
    {"MessageBox", L"msgbox.xml", {370, 150}, {L"titlename", L"closebtn", L"main_txt"}, {},
     {10, 7, 130, 31}, {338, 12, 350, 24}, {20, 60}, L"提示"},
    {"UninstallPrompt", L"uninstall_tip.xml", {556, 199},
     {L"titlename", L"closebtn", L"main_txt", L"btn_ok", L"btn_cancle"}, {},
     {10, 7, 130, 31}, {514, 12, 526, 24}, {10, 45}, L"提示"},
    {"ProxyLogin", L"proxy_login.xml", {420, 262},
     {L"titlename", L"closebtn", L"main_txt", L"realm_txt", L"retry_txt", L"user", L"password", L"btn_ok",
      L"btn_cancle"},
     {}, {10, 7, 150, 31}, {394, 12, 406, 24}, {10, 60}, L"代理服务器登录"},
};

bool IsNearWhite(uint32_t pixel) {
  return ((pixel >> 16) & 0xFF) > 0xE0 && ((pixel >> 8) & 0xFF) > 0xE0 && (pixel & 0xFF) > 0xE0;
}

int CountNearWhite(const DibCanvas& canvas, const RECT& rc) {
  int n = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) n += IsNearWhite(canvas.At(x, y)) ? 1 : 0;
  }
  return n;
}

class InstallerSkins : public InstallerWindowTest, public ::testing::WithParamInterface<SkinView> {};

TEST_P(InstallerSkins, BuildEveryNamedControlAndShowTheTitleBarCloseGlyphAndBody) {
  const SkinView& skin = GetParam();
  BareXMLWnd window(skin.file);
  ASSERT_NE(window.CreateShown(), nullptr);
  for (const std::wstring& name : skin.names) {
    EXPECT_NE(window.Find(name.c_str()), nullptr) << testing::PrintToString(name);
  }
  EXPECT_EQ(window.customElements, skin.customElements);
  EXPECT_EQ(window.GetWindowHost().GetCaptionArea().bottom, 48);

  RECT rc = {};
  ::GetClientRect(window, &rc);
  ASSERT_EQ(rc.right, skin.size.cx);
  ASSERT_EQ(rc.bottom, skin.size.cy);
  DibCanvas canvas(rc.right, rc.bottom);
  CaptureClient(window, canvas);
  SaveScreenshot(canvas, skin.label);

  // The title bar image runs from 0x3498E3 to 0x1A87D9.
  const uint32_t title = canvas.Rgb(skin.rcTitle.right + 20, 3);
  EXPECT_GE(title & 0xFF, 0xD0u) << std::hex << title;
  EXPECT_LE(title >> 16, 0x40u) << std::hex << title;
  // White glyphs on it: the title's characters and the close cross.
  EXPECT_GE(CountNearWhite(canvas, skin.rcTitle), 20);
  EXPECT_GE(CountNearWhite(canvas, skin.rcClose), 6);
  EXPECT_EQ(canvas.Rgb(skin.ptBody.x, skin.ptBody.y), 0xFFFFFFu);
}

// Every object a screen reader finds under pControl, with its depth.
void CollectTree(SkinUI::CControlUI* pControl, std::vector<SkinUI::CControlUI*>& objects) {
  for (SkinUI::CControlUI* pChild : SkinUI::accessible_tree::ChildrenOf(pControl)) {
    objects.push_back(pChild);
    CollectTree(pChild, objects);
  }
}

TEST_P(InstallerSkins, AreDialogsTitledByTheirCaptionAndShowNoUnnamedGroupings) {
  const SkinView& skin = GetParam();
  BareXMLWnd window(skin.file);
  ASSERT_NE(window.CreateShown(), nullptr);
  wchar_t szTitle[64] = {};
  ::GetWindowTextW(window, szTitle, 64);
  EXPECT_EQ(std::wstring(szTitle), skin.title) << "the window is named by the title it shows";
  SkinUI::CControlUI* pRoot = window.GetWindowHost().GetRoot();
  EXPECT_EQ(SkinUI::accessible_tree::Describe(pRoot).lRole, ROLE_SYSTEM_DIALOG);
  EXPECT_EQ(SkinUI::accessible_tree::NameOf(pRoot), skin.title);
  std::vector<SkinUI::CControlUI*> objects;
  CollectTree(pRoot, objects);
  EXPECT_GE(objects.size(), skin.names.size()) << "every named control is there";
  for (SkinUI::CControlUI* pObject : objects) {
    const bool bUnnamedGrouping = SkinUI::accessible_tree::Describe(pObject).lRole == ROLE_SYSTEM_GROUPING &&
                                  SkinUI::accessible_tree::NameOf(pObject).IsEmpty();
    EXPECT_FALSE(bUnnamedGrouping) << "a layout container in the tree: " << testing::PrintToString(std::wstring(pObject->ClassName()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    FromTheArchive, InstallerSkins, ::testing::ValuesIn(kSkins),
    [](const ::testing::TestParamInfo<SkinView>& info) { return std::string(info.param.label); });

TEST_F(InstallerWindowTest, DraggingTheCaptionMovesTheWindowAndTakesItsSizingFrameAway) {
  BareXMLWnd window(L"installation.xml");
  ASSERT_NE(window.CreateShown(), nullptr);
  wchar_t szClass[16] = {};
  ::GetClassNameW(window, szClass, 16);
  EXPECT_STREQ(szClass, L"QMWnd");
  ASSERT_NE(::GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME, 0);

  testing_support::DragMouse(testing_support::ScreenPoint(window, 300, 10),
                             testing_support::ScreenPoint(window, 330, 30));
  RECT rcWindow = {};
  EXPECT_TRUE(testing_support::PumpMessagesUntil([&] {
    ::GetWindowRect(window, &rcWindow);
    return rcWindow.left == BareXMLWnd::kLeft + 30 && rcWindow.top == BareXMLWnd::kTop + 20;
  })) << rcWindow.left << "," << rcWindow.top;
  EXPECT_EQ(::GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME, 0);
}

}  // namespace
}  // namespace installer_window_testing
