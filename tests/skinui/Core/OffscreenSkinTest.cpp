// A skin built off screen: at the DPI and size asked for, in high contrast with the colours the
// program gives, and drawn the same whether or not a lint observes the build.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "CheckRecorder.h"
#include "Core/UIOffscreenSkin.h"
#include "Core/UIRender.h"
#include "Core/UISkinIssues.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"

namespace {

using SkinUI::COffscreenSkin;
using SkinUI::DibSurface;

// A blue window with a red strip 20 skin pixels wide at its left.
const wchar_t kStripSkin[] =
    L"<Window size=\"60,30\"><HorizontalLayout bkcolor=\"#FF336699\">"
    L"<Control width=\"20\" bkcolor=\"#FFFF0000\" /></HorizontalLayout></Window>";

DWORD Rgb(const DibSurface& picture, int x, int y) { return picture.Row(y)[x] & 0x00FFFFFF; }

struct DpiCase {
  UINT uDpi;
  SIZE szAsked;  // skin pixels; 0: the skin's own
  SIZE szExpected;
  int cxStrip;
};

class OffscreenSkinDpi : public testing::TestWithParam<DpiCase> {};

TEST_P(OffscreenSkinDpi, IsTheSkinScaledToTheDpiAtTheSizeAskedFor) {
  const DpiCase& dpi = GetParam();
  skin_testing::CheckRecorder checks;
  COffscreenSkin skin;
  ASSERT_TRUE(skin.Build(kStripSkin, dpi.uDpi, dpi.szAsked, false));
  DibSurface picture;
  ASSERT_TRUE(skin.Print(picture));
  ASSERT_EQ(picture.Width(), dpi.szExpected.cx);
  ASSERT_EQ(picture.Height(), dpi.szExpected.cy);
  EXPECT_EQ(Rgb(picture, dpi.cxStrip - 1, picture.Height() / 2), 0xFF0000u);
  EXPECT_EQ(Rgb(picture, dpi.cxStrip, picture.Height() / 2), 0x336699u);
  EXPECT_EQ(picture.Row(0)[picture.Width() - 1] >> 24, 0xFFu) << "a plain window is opaque";
  EXPECT_EQ(checks.conditions(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Screens, OffscreenSkinDpi,
                         testing::Values(DpiCase{96, {0, 0}, {60, 30}, 20},
                                         DpiCase{192, {0, 0}, {120, 60}, 40},
                                         DpiCase{144, {100, 40}, {150, 60}, 30}));

COLORREF BlackScheme(int nIndex) { return nIndex == COLOR_WINDOW ? RGB(1, 2, 3) : RGB(250, 250, 250); }

TEST(OffscreenSkin, InHighContrastControlsDrawWithTheColoursTheProgramGives) {
  SkinUI::CWindowHostUI::SetSystemColorSource(&BlackScheme);
  COffscreenSkin skin;
  ASSERT_TRUE(skin.Build(kStripSkin, 96, SIZE{0, 0}, true));
  DibSurface picture;
  ASSERT_TRUE(skin.Print(picture));
  SkinUI::CWindowHostUI::SetSystemColorSource(nullptr);
  EXPECT_TRUE(skin.GetHost().IsHighContrast());
  EXPECT_EQ(Rgb(picture, 5, 15), 0x010203u);
  EXPECT_EQ(Rgb(picture, 40, 15), 0x010203u);
}

TEST(OffscreenSkin, ASkinThatDoesNotParseBuildsNothingAndSaysWhere) {
  COffscreenSkin skin;
  EXPECT_FALSE(skin.Build(L"<Window>\n<Label text='x'/></Window>", 96, SIZE{0, 0}, false));
  EXPECT_EQ(skin.GetBuilder().GetMarkup()->GetLastErrorLine(), 2);
  DibSurface picture;
  EXPECT_FALSE(skin.Print(picture));
}

TEST(OffscreenSkin, AnObservedBuildDrawsWhatAnUnobservedOneDraws) {
  testing_support::ScratchFolder folder(L"offscreen-skin");
  testing_support::TestImage image(8, 8, 0xFF20A040);
  for (int i = 0; i < 8; ++i) image.at(i, i) = 0x80FFFFFF;
  ASSERT_TRUE(testing_support::WriteFileBytes(folder / L"check.png", testing_support::EncodePng(image)));
  ASSERT_TRUE(testing_support::WriteFileBytes(
      folder / L"observed.xml",
      "<Window size=\"90,40\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" />"
      "<Image name=\"check.png\" /><VerticalLayout bkcolor=\"#FFEEEEEE\" inset=\"2,2,2,2\">"
      "<Label text=\"Observed\" font=\"0\" textcolor=\"#FF101010\" bkimage=\"file='check.png' dest='0,0,8,8'\" "
      "bordersise=\"1\" /><Button text=\"x\" normalimage=\"absent.png\" /></VerticalLayout></Window>"));
  SkinUI::CWindowHostUI::SetSkinFolder(folder.path().c_str());
  // Real images from the folder, whatever loader an earlier test left.
  SkinUI::CWindowHostUI::SetImageLoader(&SkinUI::CSkinRenderer::LoadSkinImage);

  DibSurface plain;
  COffscreenSkin unobserved;
  ASSERT_TRUE(unobserved.Build(L"observed.xml", 96, SIZE{0, 0}, false));
  ASSERT_TRUE(unobserved.Print(plain));

  COffscreenSkin watched;
  SkinUI::CSkinIssueList issues(&watched.GetHost());
  {
    SkinUI::CSkinBuildScope scope(&issues);
    ASSERT_TRUE(watched.Build(L"observed.xml", 96, SIZE{0, 0}, false));
  }
  DibSurface observed;
  ASSERT_TRUE(watched.Print(observed));
  SkinUI::CWindowHostUI::SetSkinFolder(L"");

  EXPECT_EQ(issues.GetCount(), 2);  // the misspelt name and the absent image: it did observe
  ASSERT_EQ(observed.Width(), plain.Width());
  ASSERT_EQ(observed.Height(), plain.Height());
  int nDifferent = 0;
  for (int y = 0; y < plain.Height(); ++y) {
    for (int x = 0; x < plain.Width(); ++x) nDifferent += plain.Row(y)[x] != observed.Row(y)[x] ? 1 : 0;
  }
  EXPECT_EQ(nDifferent, 0);
}

}  // namespace
