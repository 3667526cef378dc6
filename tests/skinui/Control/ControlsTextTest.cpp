// Labels, buttons, options and check boxes driven the way the window host drives them: skin
// attributes, input events, notifications and the pixels their state images leave.

#include <gtest/gtest.h>

#include <memory>

#include "Control/UIButton.h"
#include "Control/UICheckBox.h"
#include "Control/UILabel.h"
#include "Control/UIOption.h"
#include "Control/UIText.h"
#include "ControlDriving.h"
#include "support/DibCanvas.h"

using namespace SkinUI;
using control_testing::MakeEvent;
using testing_support::DibCanvas;

namespace {

const uint32_t kCanvas = 0x00101010;

class TextControlTest : public control_testing::ControlDriveTest {
 protected:
  void Click(CControlUI* pControl) {
    const RECT rc = pControl->GetPosition();
    Send(pControl, kEventButtonDown, rc.left + 1, rc.top + 1);
    Send(pControl, kEventButtonUp, rc.left + 1, rc.top + 1);
  }
  std::vector<std::wstring> Types() const {
    std::vector<std::wstring> types;
    for (const auto& n : m_recorder.received) types.push_back(n.type);
    return types;
  }
  uint32_t PaintedAt(CControlUI* pControl, int x, int y) {
    DibCanvas canvas(80, 60, kCanvas);
    pControl->Paint(canvas.dc(), RECT{0, 0, 80, 60}, nullptr);
    return canvas.Rgb(x, y);
  }
};

// ---- labels ----

TEST_F(TextControlTest, AlignWordsApplyInTheOrderLeftCenterRight) {
  CLabelUI* pLabel = Adopt(new CLabelUI);
  pLabel->ApplyAttribute(L"align", L"center right");
  EXPECT_EQ(pLabel->GetTextStyle() & 0x3u, 0x2u);
  pLabel->ApplyAttribute(L"align", L"middle");  // none of the words: unchanged
  EXPECT_EQ(pLabel->GetTextStyle() & 0x3u, 0x2u);
  pLabel->ApplyAttribute(L"align", L"left");
  EXPECT_EQ(pLabel->GetTextStyle() & 0x3u, 0x0u);
  pLabel->ApplyAttribute(L"valign", L"bottom");
  EXPECT_EQ(pLabel->GetTextStyle() & 0xCu, 0x8u);
  pLabel->ApplyAttribute(L"valign", L"top");
  EXPECT_EQ(pLabel->GetTextStyle() & 0xCu, 0x0u);
}

TEST_F(TextControlTest, LabelStyleAttributesToggleTheirBits) {
  CLabelUI* pLabel = Adopt(new CLabelUI);
  EXPECT_EQ(pLabel->GetTextStyle(), 0x24u);
  pLabel->ApplyAttribute(L"multiline", L"true");
  pLabel->ApplyAttribute(L"endellipsis", L"true");
  EXPECT_EQ(pLabel->GetTextStyle(), 0x8004u);
  pLabel->ApplyAttribute(L"multiline", L"TRUE");  // only "true" is true
  pLabel->ApplyAttribute(L"endellipsis", L"false");
  EXPECT_EQ(pLabel->GetTextStyle(), 0x24u);
  pLabel->ApplyAttribute(L"textcolor", L"#FF123456");
  pLabel->ApplyAttribute(L"textpadding", L"1,2,3,4");
  pLabel->ApplyAttribute(L"font", L"3");
  EXPECT_EQ(pLabel->GetTextColor(), 0xFF123456u);
  EXPECT_TRUE(control_testing::SameRect(pLabel->GetTextPadding(), RECT{1, 2, 3, 4}));
  EXPECT_EQ(pLabel->GetFont(), 3);
}

TEST_F(TextControlTest, ShadowOffsetFollowsTheAngleAndIgnoresAnglesOutOfRange) {
  CLabelUI label;
  label.ApplyAttribute(L"shadowoffset", L"4,45");
  EXPECT_FLOAT_EQ(label.GetShadowOffsetX(), -4.0f);
  EXPECT_FLOAT_EQ(label.GetShadowOffsetY(), -4.0f);
  label.ApplyAttribute(L"shadowoffset", L"4,-90");
  EXPECT_FLOAT_EQ(label.GetShadowOffsetX(), 4.0f);
  EXPECT_FLOAT_EQ(label.GetShadowOffsetY(), 0.0f);
  label.ApplyAttribute(L"shadowoffset", L"4,200");
  EXPECT_FLOAT_EQ(label.GetShadowOffsetX(), 4.0f);
  label.ApplyAttribute(L"luminousfuzzy", L"0.00001");
  EXPECT_FLOAT_EQ(label.GetLuminousFuzzy(), 3.0f);
}

TEST_F(TextControlTest, LabelWithoutTextColourPaintsInTheHostDefaultAndKeepsIt) {
  m_host.SetDefaultColor(kDefaultTextColor, 0xFFFF0000);
  CLabelUI* pLabel = Adopt(new CLabelUI, RECT{0, 0, 80, 60});
  pLabel->SetText(L"WWWW");
  DibCanvas canvas(80, 60, kCanvas);
  pLabel->Paint(canvas.dc(), RECT{0, 0, 80, 60}, nullptr);
  EXPECT_EQ(pLabel->GetTextColor(), 0xFFFF0000u);
  EXPECT_GT(canvas.CountOtherThan(kCanvas, 0, 0, 80, 60), 0);
  const int nRed = 80 * 60 - canvas.CountOtherThan(0xFF0000, 0, 0, 80, 60);
  EXPECT_GT(nRed, 0);
  m_host.SetDefaultColor(kDefaultTextColor, 0xFF00FF00);
  EXPECT_EQ(pLabel->GetTextColor(), 0xFFFF0000u);
}

TEST_F(TextControlTest, LabelHeightDefaultsToTheFontHeightPlusFour) {
  CLabelUI* pLabel = Adopt(new CLabelUI);
  const FontInfo* pFont = m_host.GetFontInfo(-1);
  ASSERT_NE(pFont, nullptr);
  EXPECT_EQ(pLabel->MeasureSize(SIZE{100, 100}).cy, pFont->tm.tmHeight + 4);
  pLabel->SetFixedHeight(30);
  EXPECT_EQ(pLabel->MeasureSize(SIZE{100, 100}).cy, 30);
}

// Pixels whose colour is near pure red (0xFF0000) or pure blue (0x0000FF), anti-aliasing allowed.
struct InkCount {
  int red = 0;
  int blue = 0;
};

InkCount CountInk(const DibCanvas& canvas) {
  InkCount ink;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const uint32_t rgb = canvas.Rgb(x, y);
      const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
      if (r > 150 && g < 80 && b < 80) ++ink.red;
      if (b > 150 && r < 80 && g < 80) ++ink.blue;
    }
  }
  return ink;
}

TEST_F(TextControlTest, EffectsLabelDrawsItsTextAndShadowInTheirColours) {
  CLabelUI* pLabel = Adopt(new CLabelUI, RECT{0, 0, 80, 60});
  pLabel->ApplyAttribute(L"textcolor", L"#FFFF0000");
  pLabel->ApplyAttribute(L"font", L"-1");
  pLabel->SetText(L"WWWW");
  pLabel->ApplyAttribute(L"enabledeffect", L"true");
  DibCanvas plain(80, 60, 0);
  pLabel->Paint(plain.dc(), RECT{0, 0, 80, 60}, nullptr);
  const InkCount textOnly = CountInk(plain);
  EXPECT_GT(textOnly.red, 0);
  EXPECT_EQ(textOnly.blue, 0);

  pLabel->ApplyAttribute(L"enabledshadow", L"true");
  pLabel->ApplyAttribute(L"textshadowcolora", L"#FF0000FF");
  pLabel->ApplyAttribute(L"shadowoffset", L"6,-135");  // down and to the right
  EXPECT_FLOAT_EQ(pLabel->GetShadowOffsetX(), 6.0f);
  EXPECT_FLOAT_EQ(pLabel->GetShadowOffsetY(), 6.0f);
  DibCanvas shadowed(80, 60, 0);
  pLabel->Paint(shadowed.dc(), RECT{0, 0, 80, 60}, nullptr);
  const InkCount withShadow = CountInk(shadowed);
  EXPECT_GT(withShadow.blue, 0);
  EXPECT_GT(withShadow.red, 0);
}

// ---- text with links ----

TEST_F(TextControlTest, TextRecordsTheFirstEightOfTenLinks) {
  CTextUI* pText = Adopt(new CTextUI, RECT{0, 0, 300, 60});
  pText->ApplyAttribute(L"showhtml", L"true");
  pText->ApplyAttribute(L"multiline", L"false");
  pText->SetText(
      L"<a 0>a</a> <a 1>b</a> <a 2>c</a> <a 3>d</a> <a 4>e</a> <a 5>f</a> <a 6>g</a> "
      L"<a 7>h</a> <a 8>i</a> <a 9>j</a>");
  EXPECT_EQ(pText->GetBehaviourFlags(), SkinUI::kBehaviourPassive);  // plain text until its links are laid out
  DibCanvas canvas(300, 60, kCanvas);
  pText->Paint(canvas.dc(), RECT{0, 0, 300, 60}, nullptr);
  ASSERT_EQ(pText->GetLinkCount(), 8);
  EXPECT_STREQ(pText->GetLinkText(7), L"7");
  EXPECT_EQ(pText->GetBehaviourFlags(), SkinUI::kBehaviourSetCursor);
  pText->SetText(L"");
  pText->Paint(canvas.dc(), RECT{0, 0, 300, 60}, nullptr);
  EXPECT_EQ(pText->GetLinkCount(), 0);
}

TEST_F(TextControlTest, ReleasingOverALinkSendsItsIndex) {
  CTextUI* pText = Adopt(new CTextUI, RECT{0, 0, 300, 60});
  pText->SetShowHtml(true);
  pText->SetText(L"see <a first>one</a> or <a second>two</a>");
  DibCanvas canvas(300, 60, kCanvas);
  pText->Paint(canvas.dc(), RECT{0, 0, 300, 60}, nullptr);
  ASSERT_EQ(pText->GetLinkCount(), 2);
  const RECT rcSecond = pText->GetLinkRect(1);
  const int x = (rcSecond.left + rcSecond.right) / 2;
  const int y = (rcSecond.top + rcSecond.bottom) / 2;
  Send(pText, kEventMouseMove, x, y);
  EXPECT_EQ(pText->GetHotLink(), 1);
  Send(pText, kEventButtonUp, x, y);
  ASSERT_EQ(Types(), std::vector<std::wstring>{L"link"});
  EXPECT_EQ(m_recorder.received[0].wParam, 1u);
  Send(pText, kEventMouseLeave, 299, 59);
  EXPECT_EQ(pText->GetHotLink(), -1);
  Send(pText, kEventButtonUp, 299, 59);  // not over a link
  EXPECT_EQ(m_recorder.received.size(), 1u);
}

TEST_F(TextControlTest, DisabledMultiLineLabelIsDrawnOnOneLine) {
  CLabelUI* pLabel = Adopt(new CLabelUI, RECT{0, 0, 80, 60});
  pLabel->ApplyAttribute(L"multiline", L"true");
  pLabel->ApplyAttribute(L"valign", L"top");
  pLabel->ApplyAttribute(L"textcolor", L"#FFFFFFFF");
  pLabel->ApplyAttribute(L"disabledtextcolor", L"#FFFFFFFF");
  pLabel->SetText(L"A\nB\nC");
  DibCanvas enabled(80, 60, kCanvas);
  pLabel->Paint(enabled.dc(), RECT{0, 0, 80, 60}, nullptr);
  pLabel->SetEnabled(false);
  DibCanvas disabled(80, 60, kCanvas);
  pLabel->Paint(disabled.dc(), RECT{0, 0, 80, 60}, nullptr);
  const RECT rcEnabled = enabled.InkBounds(kCanvas);
  const RECT rcDisabled = disabled.InkBounds(kCanvas);
  ASSERT_FALSE(::IsRectEmpty(&rcEnabled));
  ASSERT_FALSE(::IsRectEmpty(&rcDisabled));
  const FontInfo* pFont = m_host.GetFontInfo(-1);
  EXPECT_GT(rcEnabled.bottom - rcEnabled.top, 2 * pFont->tm.tmHeight);
  EXPECT_LE(rcDisabled.bottom - rcDisabled.top, pFont->tm.tmHeight);
}

// ---- buttons ----

TEST_F(TextControlTest, AutoWidthButtonTakesItsTextExtentPlusPaddingBelowTheMaximum) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  pButton->SetText(L"Install now");
  pButton->ApplyAttribute(L"textpadding", L"5,0,7,0");
  pButton->SetAutoCalcWidth(true);
  SIZE szText = {0, 0};
  ::GetTextExtentPoint32W(m_host.GetHostDC(), L"Install now", 11, &szText);
  const SIZE sz = pButton->MeasureSize(SIZE{300, 200});
  EXPECT_EQ(sz.cx, szText.cx + 12);
  EXPECT_EQ(sz.cy, m_host.GetFontInfo(-1)->tm.tmHeight + 8);
  CButtonUI* pCapped = Adopt(new CButtonUI);
  pCapped->SetText(L"Install now");
  pCapped->SetMaxWidth(szText.cx);
  pCapped->SetAutoCalcWidth(true);
  EXPECT_EQ(pCapped->MeasureSize(SIZE{300, 200}).cx, 0);
}

TEST_F(TextControlTest, PressAndReleaseInsideSendsOneClick) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  Click(pButton);
  ASSERT_EQ(Types(), std::vector<std::wstring>{L"click"});
  EXPECT_EQ(m_recorder.received[0].sender, pButton);
  EXPECT_EQ(pButton->GetButtonState() & (SkinUI::kStatePushed | SkinUI::kStateCaptured), 0u);
}

TEST_F(TextControlTest, DraggingOutBeforeReleaseCancelsTheClick) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  Send(pButton, kEventButtonDown, 20, 20);
  EXPECT_NE(pButton->GetButtonState() & SkinUI::kStatePushed, 0u);
  Send(pButton, kEventMouseMove, 100, 100);
  EXPECT_EQ(pButton->GetButtonState() & SkinUI::kStatePushed, 0u);
  Send(pButton, kEventMouseMove, 20, 20);
  EXPECT_NE(pButton->GetButtonState() & SkinUI::kStatePushed, 0u);
  Send(pButton, kEventMouseMove, 100, 100);
  Send(pButton, kEventButtonUp, 100, 100);
  EXPECT_TRUE(m_recorder.received.empty());
  EXPECT_EQ(pButton->GetButtonState(), 0u);
}

TEST_F(TextControlTest, SpaceAndReturnClickAKeyboardEnabledButton) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  InputEvent event = MakeEvent(kEventKeyDown);
  event.chKey = VK_SPACE;
  pButton->DispatchEvent(event);
  event.chKey = VK_RETURN;
  pButton->DispatchEvent(event);
  event.chKey = L'A';
  pButton->DispatchEvent(event);
  EXPECT_EQ(Types(), (std::vector<std::wstring>{L"click", L"click"}));
  pButton->SetKeyboardEnabled(false);
  event.chKey = VK_SPACE;
  pButton->DispatchEvent(event);
  EXPECT_EQ(m_recorder.received.size(), 2u);
}

TEST_F(TextControlTest, DisabledButtonNeitherPushesNorClicks) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  Send(pButton, kEventMouseEnter, 20, 20);
  pButton->SetEnabled(false);
  EXPECT_EQ(pButton->GetButtonState(), 0u);
  Click(pButton);
  EXPECT_EQ(Types(), std::vector<std::wstring>{L"mouseenter"});
  EXPECT_EQ(pButton->GetBehaviourFlags(), 1u);
}

TEST_F(TextControlTest, HoverSendsEnterAndLeave) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  Send(pButton, kEventMouseEnter, 20, 20);
  EXPECT_NE(pButton->GetButtonState() & SkinUI::kStateHot, 0u);
  Send(pButton, kEventMouseLeave, 100, 100);
  EXPECT_EQ(pButton->GetButtonState() & SkinUI::kStateHot, 0u);
  EXPECT_EQ(Types(), (std::vector<std::wstring>{L"mouseenter", L"mouseleave"}));
}

TEST_F(TextControlTest, FadeStepOf51BringsAlphaToZeroInFiveTicks) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  pButton->ApplyAttribute(L"fadedelta", L"51");
  Send(pButton, kEventMouseEnter, 20, 20);
  const BYTE expected[] = {204, 153, 102, 51, 0, 0};
  for (BYTE alpha : expected) {
    Send(pButton, kEventTimer, 0, 0, CButtonUI::kFadeTimerId);
    EXPECT_EQ(pButton->GetFadeAlpha(), alpha);
  }
  Send(pButton, kEventMouseLeave, 100, 100);
  Send(pButton, kEventTimer, 0, 0, CButtonUI::kFadeTimerId);
  EXPECT_EQ(pButton->GetFadeAlpha(), 51);
}

TEST_F(TextControlTest, EachStateDrawsItsOwnImage) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  pButton->ApplyAttribute(L"normalimage", L"FF0000.png");
  pButton->ApplyAttribute(L"hotimage", L"00FF00.png");
  pButton->ApplyAttribute(L"pushedimage", L"0000FF.png");
  pButton->ApplyAttribute(L"disabledimage", L"808080.png");
  EXPECT_EQ(PaintedAt(pButton, 30, 20), 0xFF0000u);
  Send(pButton, kEventMouseEnter, 20, 20);
  EXPECT_EQ(PaintedAt(pButton, 30, 20), 0x00FF00u);
  Send(pButton, kEventButtonDown, 20, 20);
  EXPECT_EQ(PaintedAt(pButton, 30, 20), 0x0000FFu);
  Send(pButton, kEventButtonUp, 20, 20);
  pButton->SetEnabled(false);
  EXPECT_EQ(PaintedAt(pButton, 30, 20), 0x808080u);
  EXPECT_EQ(PaintedAt(pButton, 5, 5), kCanvas);
}

TEST_F(TextControlTest, MissingStateImagesFallBackToTheNormalImage) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  pButton->ApplyAttribute(L"normalimage", L"FF0000.png");
  pButton->ApplyAttribute(L"hotimage", L"missing.png");
  Send(pButton, kEventMouseEnter, 20, 20);
  EXPECT_EQ(PaintedAt(pButton, 30, 20), 0xFF0000u);
  Send(pButton, kEventButtonDown, 20, 20);
  EXPECT_EQ(PaintedAt(pButton, 30, 20), 0xFF0000u);
}

TEST_F(TextControlTest, HotBackgroundColourFillsWhenNoHotForeImage) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  pButton->ApplyAttribute(L"hotbkcolor", L"#FF00FFFF");
  EXPECT_EQ(PaintedAt(pButton, 30, 20), kCanvas);
  Send(pButton, kEventMouseEnter, 20, 20);
  EXPECT_EQ(PaintedAt(pButton, 30, 20), 0x00FFFFu);
}

// The five state records of a "fivestatusimage" of 100 x 30 show strips of 20 pixels.
void ExpectFiveStrips(const CButtonUI* pButton) {
  const ImageDrawInfo* aStrips[] = {&pButton->NormalImage(), &pButton->PushedImage(),
                                    &pButton->HotImage(), &pButton->FocusedImage(),
                                    &pButton->DisabledImage()};
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(control_testing::SameRect(aStrips[i]->rcSource, RECT{i * 20, 0, i * 20 + 20, 30}))
        << i << " " << control_testing::Describe(aStrips[i]->rcSource);
  }
}

TEST_F(TextControlTest, FiveStatusImageCutsFiveEqualStrips) {
  CButtonUI* pButton = Adopt(new CButtonUI);
  pButton->ApplyAttribute(L"fivestatusimage", L"FF0000-100x30.png");
  ExpectFiveStrips(pButton);
  EXPECT_EQ(pButton->GetFixedWidth(), 0);  // only a floating button takes the strip's size
  CButtonUI* pFloating = Adopt(new CButtonUI);
  pFloating->SetFloat(true);
  pFloating->ApplyAttribute(L"fivestatusimage", L"FF0000-100x30.png");
  EXPECT_EQ(pFloating->GetFixedWidth(), 20);
  EXPECT_EQ(pFloating->GetFixedHeight(), 30);
}

TEST_F(TextControlTest, FiveStatusImageSetBeforeTheHostIsCutOnceHostedAndAfterTheHostReloadsIt) {
  CButtonUI* pButton = new CButtonUI;
  pButton->SetFloat(true);
  pButton->ApplyAttribute(L"fivestatusimage", L"FF0000-100x30.png");
  Adopt(pButton);
  ExpectFiveStrips(pButton);
  EXPECT_EQ(pButton->GetFixedWidth(), 20);

  m_host.RegisterImage(L"FF0000-100x30.png");  // the record's image is let go
  PaintedAt(pButton, 30, 20);
  ExpectFiveStrips(pButton);
}

// ---- options and check boxes ----

TEST_F(TextControlTest, SelectingAGroupedOptionDeselectsTheOthersSilently) {
  COptionUI* apOptions[3];
  for (auto& pOption : apOptions) {
    pOption = Adopt(new COptionUI);
    pOption->ApplyAttribute(L"group", L"size");
  }
  apOptions[0]->SetSelected(true, false);
  apOptions[1]->SetSelected(true, true);
  EXPECT_FALSE(apOptions[0]->IsSelected());
  EXPECT_TRUE(apOptions[1]->IsSelected());
  EXPECT_FALSE(apOptions[2]->IsSelected());
  ASSERT_EQ(Types(), std::vector<std::wstring>{L"selectchanged"});
  EXPECT_EQ(m_recorder.received[0].sender, apOptions[1]);

  m_recorder.received.clear();
  Click(apOptions[1]);
  EXPECT_TRUE(apOptions[1]->IsSelected());
  EXPECT_EQ(Types(), std::vector<std::wstring>{L"click"});

  m_recorder.received.clear();
  Click(apOptions[2]);
  EXPECT_FALSE(apOptions[1]->IsSelected());
  EXPECT_TRUE(apOptions[2]->IsSelected());
  EXPECT_EQ(Types(), (std::vector<std::wstring>{L"click", L"selectchanged"}));
}

TEST_F(TextControlTest, UngroupedOptionTogglesOnEveryClick) {
  COptionUI* pOption = Adopt(new COptionUI);
  Click(pOption);
  EXPECT_TRUE(pOption->IsSelected());
  Click(pOption);
  EXPECT_FALSE(pOption->IsSelected());
  EXPECT_EQ(Types(),
            (std::vector<std::wstring>{L"click", L"selectchanged", L"click", L"selectchanged"}));
}

TEST_F(TextControlTest, DestroyedOptionLeavesItsGroup) {
  COptionUI* pKept = Adopt(new COptionUI);
  pKept->SetGroup(L"mode");
  {
    COptionUI gone;
    gone.SetHost(&m_host, nullptr, true);
    gone.SetGroup(L"mode");
    ASSERT_NE(m_host.OptionGroupMembers(L"mode"), nullptr);
    EXPECT_EQ(m_host.OptionGroupMembers(L"mode")->GetSize(), 2);
  }
  EXPECT_EQ(m_host.OptionGroupMembers(L"mode")->GetSize(), 1);
  pKept->SetSelected(true, true);  // would touch the destroyed member if it were still listed
  EXPECT_TRUE(pKept->IsSelected());
}

TEST_F(TextControlTest, ChangingGroupMovesTheOptionBetweenGroups) {
  COptionUI* pOption = Adopt(new COptionUI);
  pOption->SetGroup(L"a");
  pOption->SetGroup(L"b");
  EXPECT_EQ(
      m_host.OptionGroupMembers(L"a") == nullptr ? 0 : m_host.OptionGroupMembers(L"a")->GetSize(),
      0);
  ASSERT_NE(m_host.OptionGroupMembers(L"b"), nullptr);
  EXPECT_EQ(m_host.OptionGroupMembers(L"b")->GetSize(), 1);
  pOption->SetGroup(nullptr);
  EXPECT_STREQ(pOption->GetGroup(), L"");
}

TEST_F(TextControlTest, SelectedOptionDrawsItsSelectedImages) {
  COptionUI* pOption = Adopt(new COptionUI);
  pOption->ApplyAttribute(L"normalimage", L"FF0000.png");
  pOption->ApplyAttribute(L"selectedimage", L"00FF00.png");
  pOption->ApplyAttribute(L"selectedhotimage", L"0000FF.png");
  EXPECT_EQ(PaintedAt(pOption, 30, 20), 0xFF0000u);
  pOption->SetSelected(true);
  EXPECT_EQ(PaintedAt(pOption, 30, 20), 0x00FF00u);
  Send(pOption, kEventMouseEnter, 20, 20);
  EXPECT_EQ(PaintedAt(pOption, 30, 20), 0x0000FFu);
}

TEST_F(TextControlTest, DisabledOptionKeepsOnlyItsSelectedBit) {
  COptionUI* pOption = Adopt(new COptionUI);
  pOption->SetSelected(true);
  Send(pOption, kEventMouseEnter, 20, 20);
  pOption->SetEnabled(false);
  EXPECT_EQ(pOption->GetButtonState(), SkinUI::kStateSelected);
}

TEST_F(TextControlTest, ControlsAnswerToTheirOwnNamesAndTheirBases) {
  CCheckBoxUI check;
  EXPECT_STREQ(check.ClassName(), L"CheckBoxUI");
  EXPECT_EQ(check.QueryNamedInterface(L"CheckBox"), &check);
  EXPECT_EQ(check.QueryNamedInterface(L"Option"), &check);
  EXPECT_EQ(check.QueryNamedInterface(L"Button"), &check);
  EXPECT_EQ(check.QueryNamedInterface(L"Label"), &check);
  EXPECT_EQ(check.QueryNamedInterface(L"Control"), &check);
  EXPECT_EQ(check.QueryNamedInterface(L"Slider"), nullptr);
  COptionUI option;
  EXPECT_STREQ(option.ClassName(), L"OptionUI");
  EXPECT_EQ(option.QueryNamedInterface(L"CheckBox"), nullptr);
  CButtonUI button;
  EXPECT_STREQ(button.ClassName(), L"ButtonUI");
  EXPECT_EQ(button.QueryNamedInterface(L"Option"), nullptr);
}

}  // namespace
