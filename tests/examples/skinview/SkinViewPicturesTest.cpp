// Pictures of the installer's skins made by "skinview --png" at the DPI of the test's screen
// (QUILL_WINE_DPI: 96 or 192) are the pixels the installer's own windows show there, built from
// the same archive. Both pictures of each skin stay in the working folder.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "Core/UIRender.h"
#include "InstallerWindowFixture.h"
#include "SkinViewRun.h"
#include "support/TestFiles.h"

namespace skinview_testing {
namespace {

using installer_window_testing::BareXMLWnd;
using testing_support::DibCanvas;

struct InstallerSkin {
  const char* label;
  const wchar_t* file;
};

UINT ScreenDpi() {
  const char* pstrDpi = std::getenv("QUILL_WINE_DPI");
  return pstrDpi != nullptr ? static_cast<UINT>(std::atoi(pstrDpi)) : 96;
}

std::wstring InstallerSkinFolder() {
  std::wstring path = L"Z:";
  for (const char* p = QUILL_INSTALLER_SKIN_DIR; *p != '\0'; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

class SkinViewPictures : public installer_window_testing::InstallerWindowTest,
                         public testing::WithParamInterface<InstallerSkin> {};

TEST_P(SkinViewPictures, AreThePixelsTheInstallersWindowShows) {
  const InstallerSkin& skin = GetParam();
  const UINT uDpi = ScreenDpi();
  const std::string label = std::string(skin.label) + "_" + std::to_string(uDpi);

  BareXMLWnd window(skin.file);
  ASSERT_NE(window.CreateShown(0, 0), nullptr);
  ASSERT_EQ(window.GetWindowHost().GetDpi(), uDpi);
  RECT rc = {};
  ::GetClientRect(window, &rc);
  DibCanvas shown(rc.right, rc.bottom);
  installer_window_testing::CaptureClient(window, shown);
  installer_window_testing::SaveScreenshot(shown, "window_" + label);

  const std::wstring picture = testing_support::CurrentFolder() + L"\\skinview_" +
                               std::wstring(label.begin(), label.end()) + L".png";
  const SkinViewRun run = RunSkinView({InstallerSkinFolder() + L"\\" + skin.file, L"--png", picture,
                                       L"--dpi", std::to_wstring(uDpi)});
  ASSERT_EQ(run.nExitCode, 0) << testing::PrintToString(run.errors);

  const std::string bytes = testing_support::ReadFileBytes(picture);
  SkinUI::LoadedImage* pImage =
      SkinUI::CSkinRenderer::DecodeSkinImage(bytes.data(), static_cast<DWORD>(bytes.size()), 0);
  ASSERT_NE(pImage, nullptr);
  EXPECT_EQ(pImage->nWidth, rc.right);
  EXPECT_EQ(pImage->nHeight, rc.bottom);
  EXPECT_FALSE(pImage->bAlpha) << "the window is opaque, and so is its picture";
  int nDifferent = 0;
  if (pImage->nWidth == rc.right && pImage->nHeight == rc.bottom) {
    for (int y = 0; y < rc.bottom; ++y) {
      for (int x = 0; x < rc.right; ++x) {
        nDifferent += (pImage->pPixels[y * rc.right + x] & 0x00FFFFFF) != shown.Rgb(x, y) ? 1 : 0;
      }
    }
  }
  EXPECT_EQ(nDifferent, 0);
  SkinUI::CSkinRenderer::FreeSkinImage(pImage);
}

INSTANTIATE_TEST_SUITE_P(
    FromTheArchive, SkinViewPictures,
    testing::Values(InstallerSkin{"Main", L"installation.xml"}, InstallerSkin{"MessageBox", L"msgbox.xml"},
                    InstallerSkin{"UninstallPrompt", L"uninstall_tip.xml"},
                    InstallerSkin{"ProxyLogin", L"proxy_login.xml"}),
    [](const testing::TestParamInfo<InstallerSkin>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace skinview_testing
