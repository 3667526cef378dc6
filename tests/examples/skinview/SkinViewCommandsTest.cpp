// skinview without a window, as a CI job runs it: "--check" lists exactly what a skin gets wrong
// and says so in its exit code, "--tree" prints the control tree of a skin it knows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SkinViewRun.h"

namespace skinview_testing {
namespace {

using Lines = std::vector<std::wstring>;

struct CheckCase {
  const char* label;
  const wchar_t* skin;
  int nExitCode;
  Lines output;
  Lines errors;
};

class SkinViewCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(SkinViewCheck, ListsExactlyWhatTheSkinGetsWrong) {
  const CheckCase& check = GetParam();
  const SkinViewRun run = RunSkinView({DataFile(check.skin), L"--check"});
  EXPECT_EQ(run.nExitCode, check.nExitCode);
  EXPECT_EQ(run.output, check.output);
  EXPECT_EQ(run.errors, check.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Skins, SkinViewCheck,
    testing::Values(
        // A misspelt attribute, an unknown element, a bad colour and a missing image.
        CheckCase{"Planted", L"planted.xml", 1,
                  {L"planted.xml:4:23: warning: unknown attribute \"bordersise\" on Button; did you mean \"bordersize\"?",
                   L"planted.xml:5:6: warning: unknown element \"Buton\"; it is skipped with all it holds",
                   L"planted.xml:6:12: warning: bkcolor=\"#GG0000FF\" on Label: expected colour #AARRGGBB",
                   L"planted.xml:7:13: warning: image \"missing.png\" (normalimage on Button) cannot be read"},
                  {}},
        CheckCase{"Clean", L"tree.xml", 0, {}, {}},
        CheckCase{"DoesNotParse", L"broken.xml", 1, {}, {L"broken.xml:3:15: error: Expected attribute value"}}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.label); });

// Every control and layout the framework has, with defaults, child layouts and images: a check
// that cries wolf here would be ignored everywhere.
TEST(SkinViewCheckGallery, TheGallerysSkinWhichUsesEveryControlIsClean) {
  const SkinViewRun run = RunSkinView({GallerySkin(), L"--check"});
  EXPECT_EQ(run.nExitCode, 0);
  EXPECT_EQ(run.output, Lines{});
  EXPECT_EQ(run.errors, Lines{});
}

TEST(SkinViewTree, PrintsEachControlsClassNameAndPlace) {
  const SkinViewRun run = RunSkinView({DataFile(L"tree.xml"), L"--tree"});
  EXPECT_EQ(run.nExitCode, 0);
  const Lines expected = {
      L"VerticalLayoutUI \"root\" [0,0,300,200]",
      L"  HorizontalLayoutUI \"bar\" [0,0,300,40]",
      L"    LabelUI \"title\" [0,0,100,40]",
      L"    ControlUI [100,0,270,40]",
      L"    ButtonUI \"closebtn\" [270,0,300,40]",
      L"  LabelUI \"note\" [0,0,0,0] hidden",
      L"  VerticalLayoutUI [0,40,300,200]",
      L"    LabelUI \"first\" [10,50,290,74]",
      L"    LabelUI \"second\" [10,79,290,103]",
      L"    TextUI \"badge\" [200,140,260,160]",
  };
  EXPECT_EQ(run.output, expected);
}

TEST(SkinViewTree, AtAnotherDpiAndSizeThePlacesAreTheWindowsPixels) {
  const SkinViewRun run = RunSkinView({DataFile(L"tree.xml"), L"--tree", L"--dpi", L"192", L"--size", L"400,200"});
  EXPECT_EQ(run.nExitCode, 0);
  ASSERT_GE(run.output.size(), 5u);
  EXPECT_EQ(run.output[0], L"VerticalLayoutUI \"root\" [0,0,800,400]");
  EXPECT_EQ(run.output[3], L"    ControlUI [200,0,740,80]");
}

TEST(SkinViewCommandLine, ACommandLineItCannotTakeEndsWithTheUsageAndTwo) {
  const SkinViewRun run = RunSkinView({DataFile(L"tree.xml"), L"--dpi", L"9000"});
  EXPECT_EQ(run.nExitCode, 2);
  ASSERT_FALSE(run.errors.empty());
  EXPECT_EQ(run.errors[0], L"skinview: --dpi needs a number from 72 to 480");
}

}  // namespace
}  // namespace skinview_testing
