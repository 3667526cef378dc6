// The installer's four windows on a screen of the DPI the test's prefix has (QUILL_WINE_DPI:
// 96, 144 or 192): the skin scaled to it (window, caption, fonts, the images' drawn variants),
// a picture of each kept in the working folder, and at 96 DPI the very pixels the windows had
// before they could scale, whether built there or moved there from another screen.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "InstallerWindowFixture.h"
#include "support/MessagePump.h"

namespace installer_window_testing {
namespace {

using testing_support::DibCanvas;

struct DpiSkin {
  const char* label;
  const wchar_t* file;
  SIZE size;
  int nTitleFontSize;  // font 0
  // PixelHash of the window as the installer drew it before windows scaled (at 96 DPI); the
  // prompt's since its question is plain text.
  uint64_t uHash96;
};

const DpiSkin kSkins[] = {
    {"Main", L"installation.xml", {620, 240}, 18, 0xF084B3D53118E759ull},
    {"MessageBox", L"msgbox.xml", {370, 150}, 16, 0xD9C6038C63DED18Dull},
    {"UninstallPrompt", L"uninstall_tip.xml", {556, 199}, 16, 0x3A6BE2D5F56D0FF0ull},
    {"ProxyLogin", L"proxy_login.xml", {420, 262}, 16, 0x3037D5CFC89B3807ull},
};

UINT PrefixDpi() {
  const char* pstrDpi = std::getenv("QUILL_WINE_DPI");
  return pstrDpi != nullptr ? static_cast<UINT>(std::atoi(pstrDpi)) : 96;
}

int Scaled(int n, UINT uDpi) { return ::MulDiv(n, static_cast<int>(uDpi), 96); }

// The title bar's picture as the window loads it for its DPI.
std::wstring TitleBarImage(UINT uDpi) {
  if (uDpi == 192) return L"installation/bkimage@2x.png";
  if (uDpi == 144) return L"installation/bkimage@1.5x.png";
  return L"installation/bkimage.png";
}

class DpiSkins : public InstallerWindowTest, public ::testing::WithParamInterface<DpiSkin> {
 protected:
  // Shown at the screen's top left, where even twice its size stays on this screen.
  static HWND Show(BareXMLWnd& window) { return window.CreateShown(0, 0); }

  // What the system sends a window dragged to a screen of uDpi: the new DPI and the rectangle
  // it suggests, the window's scaled to the new DPI.
  static void MoveToScreenOf(HWND hWnd, UINT uDpi, UINT uOldDpi) {
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    const RECT rcSuggested = {rc.left, rc.top,
                              rc.left + ::MulDiv(rc.right - rc.left, uDpi, uOldDpi),
                              rc.top + ::MulDiv(rc.bottom - rc.top, uDpi, uOldDpi)};
    ::SendMessageW(hWnd, WM_DPICHANGED, MAKEWPARAM(uDpi, uDpi),
                   reinterpret_cast<LPARAM>(&rcSuggested));
    ::UpdateWindow(hWnd);
  }

  static uint64_t ClientHash(HWND hWnd, const std::string& label) {
    RECT rc = {};
    ::GetClientRect(hWnd, &rc);
    DibCanvas canvas(rc.right, rc.bottom);
    CaptureClient(hWnd, canvas);
    SaveScreenshot(canvas, label);
    return PixelHash(canvas);
  }
};

TEST_P(DpiSkins, DrawTheSkinScaledToTheScreensDpi) {
  const DpiSkin& skin = GetParam();
  const UINT uDpi = PrefixDpi();
  BareXMLWnd window(skin.file);
  ASSERT_NE(Show(window), nullptr);
  SkinUI::CWindowHostUI& host = window.GetWindowHost();
  ASSERT_EQ(host.GetDpi(), uDpi);

  RECT rc = {};
  ::GetClientRect(window, &rc);
  EXPECT_EQ(rc.right, Scaled(skin.size.cx, uDpi));
  EXPECT_EQ(rc.bottom, Scaled(skin.size.cy, uDpi));
  EXPECT_EQ(host.GetCaptionArea().bottom, Scaled(48, uDpi));

  // The title's font is made at the scaled size, not stretched: its lines are as much taller
  // as the screen is denser than a 96-DPI one (within the font's own rounding).
  HFONT hFont96 = ::CreateFontW(-skin.nTitleFontSize, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, 0, 0, 0, 0, L"微软雅黑");
  HDC hdc = ::GetDC(nullptr);
  HGDIOBJ hOld = ::SelectObject(hdc, hFont96);
  TEXTMETRICW tm96 = {};
  ::GetTextMetricsW(hdc, &tm96);
  ::SelectObject(hdc, hOld);
  ::ReleaseDC(nullptr, hdc);
  ::DeleteObject(hFont96);
  EXPECT_NEAR(host.GetFontInfo(0)->tm.tmHeight, Scaled(tm96.tmHeight, uDpi), 1);

  // Each picture comes from the variant drawn for this DPI, and only from it.
  for (UINT uVariant : {96u, 144u, 192u}) {
    EXPECT_EQ(host.LookupImage(TitleBarImage(uVariant).c_str()) != nullptr, uVariant == uDpi)
        << testing::PrintToString(TitleBarImage(uVariant));
  }

  const uint64_t uHash = ClientHash(window, std::string(skin.label) + "_" + std::to_string(uDpi));
  if (uDpi == 96) {
    EXPECT_EQ(uHash, skin.uHash96) << std::hex << uHash;
  }
}

TEST_P(DpiSkins, MovedToA96DpiScreenShowTheirOldPixels) {
  const DpiSkin& skin = GetParam();
  const UINT uDpi = PrefixDpi();
  BareXMLWnd window(skin.file);
  ASSERT_NE(Show(window), nullptr);
  // A window that starts at 96 DPI goes to a 192-DPI screen and back.
  UINT uFrom = uDpi;
  if (uDpi == 96) {
    MoveToScreenOf(window, 192, 96);
    uFrom = 192;
  }
  MoveToScreenOf(window, 96, uFrom);
  EXPECT_EQ(window.GetWindowHost().GetDpi(), 96u);
  RECT rc = {};
  ::GetClientRect(window, &rc);
  EXPECT_EQ(rc.right, skin.size.cx);
  EXPECT_EQ(rc.bottom, skin.size.cy);
  const uint64_t uHash =
      ClientHash(window, std::string(skin.label) + "_" + std::to_string(uDpi) + "_moved_to_96");
  EXPECT_EQ(uHash, skin.uHash96) << std::hex << uHash;
}

INSTANTIATE_TEST_SUITE_P(
    FromTheArchive, DpiSkins, ::testing::ValuesIn(kSkins),
    [](const ::testing::TestParamInfo<DpiSkin>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace installer_window_testing
