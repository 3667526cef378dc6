// Skin attributes of the control base: positions, sizes, colours, booleans, lists, images, custom
// attributes and attribute strings.

#include <gtest/gtest.h>

#include "ControlFixture.h"
#include "Core/UIControl.h"
#include "HostResourcesFixture.h"

using SkinUI::CControlUI;
using SkinUI::CWindowHostUI;

namespace {

// ---- positions and sizes ----

TEST(ControlAttributeTest, PosGivesOriginAndFixedSize) {
  CControlUI control;
  control.ApplyAttribute(L"pos", L"10,20,110,70");
  EXPECT_EQ(control.GetFixedOrigin().x, 10);
  EXPECT_EQ(control.GetFixedOrigin().y, 20);
  EXPECT_EQ(control.GetFixedWidth(), 100);
  EXPECT_EQ(control.GetFixedHeight(), 50);
}

TEST(ControlAttributeTest, PosRunningBackwardsKeepsTheWidthButMovesTheOrigin) {
  CControlUI control;
  control.ApplyAttribute(L"width", L"40");
  control.ApplyAttribute(L"pos", L"60,5,10,25");
  EXPECT_EQ(control.GetFixedOrigin().x, 60);
  EXPECT_EQ(control.GetFixedOrigin().y, 5);
  EXPECT_EQ(control.GetFixedWidth(), 40);
  EXPECT_EQ(control.GetFixedHeight(), 20);
}

TEST(ControlAttributeTest, ShortListsReadTheMissingNumbersAsZero) {
  CControlUI control;
  control.ApplyAttribute(L"padding", L"7");
  const RECT padding = control.GetPadding();
  EXPECT_TRUE(control_testing::SameRect(padding, RECT{7, 0, 0, 0}))
      << control_testing::Describe(padding);
  control.ApplyAttribute(L"pos", L"3,4");
  EXPECT_EQ(control.GetFixedOrigin().x, 3);
  EXPECT_EQ(control.GetFixedOrigin().y, 4);
}

TEST(ControlAttributeTest, SizeLimitsIgnoreNegativeValuesAndMaximumNeverFallsBelowMinimum) {
  CControlUI control;
  control.ApplyAttribute(L"width", L"-5");
  control.ApplyAttribute(L"minwidth", L"-1");
  EXPECT_EQ(control.GetFixedWidth(), 0);
  EXPECT_EQ(control.GetMinWidth(), 0);
  EXPECT_EQ(control.GetMaxWidth(), 9999);
  control.ApplyAttribute(L"maxheight", L"30");
  control.ApplyAttribute(L"minheight", L"45");
  EXPECT_EQ(control.GetMaxHeight(), 45);
  control.ApplyAttribute(L"height", L"12px");
  EXPECT_EQ(control.GetFixedHeight(), 12);
  control.ApplyAttribute(L"width", L"wide");
  EXPECT_EQ(control.GetFixedWidth(), 0);
}

TEST(ControlAttributeTest, PaddingAndBorderListsTakeFourNumbers) {
  CControlUI control;
  control.ApplyAttribute(L"padding", L"1,2,3,4");
  control.ApplyAttribute(L"bordersize", L"5,6,7,8");
  control.ApplyAttribute(L"borderround", L"9,10");
  EXPECT_TRUE(control_testing::SameRect(control.GetPadding(), RECT{1, 2, 3, 4}));
  EXPECT_TRUE(control_testing::SameRect(control.GetBorderSize(), RECT{5, 6, 7, 8}));
  EXPECT_EQ(control.GetBorderRound().cx, 9);
  EXPECT_EQ(control.GetBorderRound().cy, 10);
  control.ApplyAttribute(L"bordersize", L"2");
  EXPECT_TRUE(control_testing::SameRect(control.GetBorderSize(), RECT{2, 2, 2, 2}));
}

// ---- colours ----

TEST(ControlAttributeTest, BackgroundColoursSkipBlanksAndOneNumberSign) {
  CControlUI control;
  control.ApplyAttribute(L"bkcolor", L"  #FF102030");
  EXPECT_EQ(control.GetBkColor(), 0xFF102030u);
  control.ApplyAttribute(L"bkcolor1", L"80AABBCC");
  EXPECT_EQ(control.GetBkColor(), 0x80AABBCCu);
  control.ApplyAttribute(L"bkcolor2", L"#FF000001");
  control.ApplyAttribute(L"bkcolor3", L" FF000002");
  EXPECT_EQ(control.GetBkColor2(), 0xFF000001u);
  EXPECT_EQ(control.GetBkColor3(), 0xFF000002u);
}

TEST(ControlAttributeTest, BorderColoursDoNotSkipBlanksBeforeTheNumberSign) {
  CControlUI control;
  control.ApplyAttribute(L"bordercolor", L"#FF102030");
  control.ApplyAttribute(L"focusbordercolor", L"FF405060");
  EXPECT_EQ(control.GetBorderColor(), 0xFF102030u);
  EXPECT_EQ(control.GetFocusBorderColor(), 0xFF405060u);
  control.ApplyAttribute(L"bordercolor", L"  #FF102030");
  EXPECT_EQ(control.GetBorderColor(), 0u);
}

// ---- booleans and flags ----

TEST(ControlAttributeTest, OnlyTheExactTextTrueIsTrue) {
  CControlUI control;
  control.ApplyAttribute(L"visible", L"TRUE");
  EXPECT_FALSE(control.IsVisible());
  control.ApplyAttribute(L"visible", L"true");
  EXPECT_TRUE(control.IsVisible());
  control.ApplyAttribute(L"enabled", L"1");
  control.ApplyAttribute(L"mouse", L"false");
  control.ApplyAttribute(L"keyboard", L"yes");
  control.ApplyAttribute(L"menu", L"true");
  control.ApplyAttribute(L"colorhsl", L"true");
  EXPECT_FALSE(control.IsEnabled());
  EXPECT_FALSE(control.IsMouseEnabled());
  EXPECT_FALSE(control.IsKeyboardEnabled());
  EXPECT_TRUE(control.IsContextMenuEnabled());
  EXPECT_TRUE(control.IsColorHSL());
}

TEST(ControlAttributeTest, FloatTakesABooleanOrFourFractions) {
  CControlUI control;
  control.ApplyAttribute(L"float", L"true");
  EXPECT_TRUE(control.IsFloat());
  control.ApplyAttribute(L"float", L"false");
  EXPECT_FALSE(control.IsFloat());
  control.ApplyAttribute(L"float", L"0.5,0.25,0.75,1");
  EXPECT_TRUE(control.IsFloat());
  const SkinUI::FloatRatios ratios = control.GetFloatRatios();
  EXPECT_DOUBLE_EQ(ratios.left, 0.5);
  EXPECT_DOUBLE_EQ(ratios.top, 0.25);
  EXPECT_DOUBLE_EQ(ratios.right, 0.75);
  EXPECT_DOUBLE_EQ(ratios.bottom, 1.0);
}

TEST(ControlAttributeTest, TooltipBreaksLinesAndShortcutTakesTheFirstCharacter) {
  CControlUI control;
  control.ApplyAttribute(L"tooltip", L"a<n>b<n>");
  control.ApplyAttribute(L"shortcut", L"Quit");
  control.ApplyAttribute(L"tag", L"42abc");
  control.ApplyAttribute(L"text", L"确定");
  EXPECT_STREQ(control.GetToolTip(), L"a\r\nb\r\n");
  EXPECT_EQ(control.GetShortcut(), L'Q');
  EXPECT_EQ(control.GetTag(), 42u);
  EXPECT_STREQ(control.GetText(), L"确定");
  EXPECT_EQ(control.GetCustomAttribute(L"text"), nullptr);
}

// ---- custom attributes ----

TEST(ControlAttributeTest, UnknownNamesBecomeCustomAttributesAndTheFirstValueWins) {
  CControlUI control;
  control.ApplyAttribute(L"group", L"first");
  control.ApplyAttribute(L"group", L"second");
  control.ApplyAttribute(L"Width", L"80");  // names compare exactly
  control.ApplyAttribute(L"empty", L"");
  EXPECT_STREQ(control.GetCustomAttribute(L"group"), L"first");
  EXPECT_STREQ(control.GetCustomAttribute(L"Width"), L"80");
  EXPECT_EQ(control.GetFixedWidth(), 0);
  EXPECT_EQ(control.GetCustomAttribute(L"empty"), nullptr);
  control.RemoveAllCustomAttributes();
  EXPECT_EQ(control.GetCustomAttribute(L"group"), nullptr);
  control.AddCustomAttribute(L"group", L"third");
  EXPECT_STREQ(control.GetCustomAttribute(L"group"), L"third");
}

// ---- attribute strings ----

TEST(ControlAttributeStringTest, AppliesEveryPairSeparatedByOneBlank) {
  CControlUI control;
  control.ApplyAttributeString(L"name=\"cancel\" text=\"a b=c\" width=\"70\"");
  EXPECT_STREQ(control.GetName(), L"cancel");
  EXPECT_STREQ(control.GetText(), L"a b=c");
  EXPECT_EQ(control.GetFixedWidth(), 70);
}

TEST(ControlAttributeStringTest, StopsAtAMalformedPairKeepingWhatWasApplied) {
  CControlUI missingQuote;
  missingQuote.ApplyAttributeString(L"width=\"10\" height=20 name=\"x\"");
  EXPECT_EQ(missingQuote.GetFixedWidth(), 10);
  EXPECT_EQ(missingQuote.GetFixedHeight(), 0);
  EXPECT_STREQ(missingQuote.GetName(), L"");

  CControlUI twoBlanks;
  twoBlanks.ApplyAttributeString(L"width=\"10\"  height=\"20\"");
  EXPECT_EQ(twoBlanks.GetFixedWidth(), 10);
  EXPECT_EQ(twoBlanks.GetFixedHeight(), 0);

  CControlUI unterminated;
  unterminated.ApplyAttributeString(L"text=\"open");
  EXPECT_STREQ(unterminated.GetText(), L"");
  unterminated.ApplyAttributeString(L"novalue");
  EXPECT_EQ(unterminated.GetCustomAttribute(L"novalue"), nullptr);
}

TEST(ControlAttributeStringTest, KeepsSurrogatePairsWhole) {
  CControlUI control;
  control.ApplyAttributeString(L"text=\"\xD83D\xDE00!\"");
  EXPECT_STREQ(control.GetText(), L"\xD83D\xDE00!");
}

// ---- background image ----

class ControlImageTest : public skin_testing::HostResourcesTest {};

TEST_F(ControlImageTest, FloatingControlWithoutASizeTakesItsBackgroundImageSize) {
  CControlUI floating;
  floating.SetHost(&m_host, nullptr, false);
  floating.ApplyAttribute(L"float", L"true");
  floating.ApplyAttribute(L"bkimage", L"file='bk.png' corner='1,1,1,1'");
  EXPECT_STREQ(floating.GetBkImage(), L"file='bk.png' corner='1,1,1,1'");
  EXPECT_EQ(floating.GetFixedWidth(), 2);
  EXPECT_EQ(floating.GetFixedHeight(), 3);

  CControlUI sized;
  sized.SetHost(&m_host, nullptr, false);
  sized.ApplyAttribute(L"float", L"true");
  sized.ApplyAttribute(L"width", L"30");
  sized.ApplyAttribute(L"bkimage", L"bk.png");
  EXPECT_EQ(sized.GetFixedWidth(), 30);
  EXPECT_EQ(sized.GetFixedHeight(), 0);
}

TEST_F(ControlImageTest, SettingTheSameLoadedImageAgainLoadsNothing) {
  CControlUI control;
  control.SetHost(&m_host, nullptr, false);
  control.SetBkImage(L"bk.png");
  const size_t requests = skin_testing::FakeImageLoader::Requests().size();
  EXPECT_EQ(requests, 1u);
  control.SetBkImage(L"bk.png");
  EXPECT_EQ(skin_testing::FakeImageLoader::Requests().size(), requests);
  control.SetBkImage(L"missing.png");
  control.SetBkImage(L"missing.png");  // not loaded: tried again
  EXPECT_EQ(skin_testing::FakeImageLoader::Requests().size(), requests + 2);
}

}  // namespace
