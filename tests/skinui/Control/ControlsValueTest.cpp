// Progress bars, sliders and scroll bars: value arithmetic, the fill's pixels, the thumb, and
// what dragging, the wheel and held arrow buttons do to the value.

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "Control/UIProgress.h"
#include "Control/UIScrollBar.h"
#include "Control/UISlider.h"
#include "ControlDriving.h"
#include "Core/UIContainer.h"
#include "support/DibCanvas.h"

using namespace SkinUI;
using control_testing::Describe;
using control_testing::SameRect;
using testing_support::DibCanvas;

namespace {

const uint32_t kCanvas = 0x00101010;

class ValueControlTest : public control_testing::ControlDriveTest {
 protected:
  size_t Count(LPCWSTR pstrType) const {
    size_t n = 0;
    for (const auto& r : m_recorder.received) n += r.type == pstrType ? 1 : 0;
    return n;
  }
};

// ---- progress ----

TEST_F(ValueControlTest, ProgressValueIsClampedIntoItsRange) {
  CProgressUI* pProgress = Adopt(new CProgressUI, RECT{0, 0, 200, 12});
  pProgress->ApplyAttribute(L"value", L"150");
  EXPECT_EQ(pProgress->GetValue(), 100);
  pProgress->SetMinValue(10);
  pProgress->SetValue(-3);
  EXPECT_EQ(pProgress->GetValue(), 10);
  EXPECT_EQ(pProgress->GetFixedHeight(), 12);
  EXPECT_EQ(pProgress->GetTextStyle(), 0x21u);
}

TEST_F(ValueControlTest, HorizontalFillCoversTheValuesShareFromTheLeft) {
  CProgressUI* pProgress = Adopt(new CProgressUI, RECT{0, 0, 200, 20});
  pProgress->ApplyAttribute(L"foreimage", L"00FF00.png");
  pProgress->SetValue(25);
  DibCanvas canvas(200, 20, kCanvas);
  pProgress->Paint(canvas.dc(), RECT{0, 0, 200, 20}, nullptr);
  EXPECT_TRUE(SameRect(pProgress->GetFillRect(), RECT{0, 0, 50, 20}));
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 0, 50, 20), 0);
  EXPECT_EQ(canvas.CountOtherThan(kCanvas, 50, 0, 200, 20), 0);
}

TEST_F(ValueControlTest, VerticalFillRisesFromTheBottom) {
  CProgressUI* pProgress = Adopt(new CProgressUI, RECT{0, 0, 10, 100});
  pProgress->ApplyAttribute(L"hor", L"false");
  pProgress->ApplyAttribute(L"foreimage", L"0000FF.png");
  pProgress->SetValue(30);
  DibCanvas canvas(10, 100, kCanvas);
  pProgress->Paint(canvas.dc(), RECT{0, 0, 10, 100}, nullptr);
  EXPECT_EQ(canvas.CountOtherThan(kCanvas, 0, 0, 10, 70), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 0, 70, 10, 100), 0);
}

TEST_F(ValueControlTest, FillIgnoresTheDestinationWrittenInTheImageString) {
  CProgressUI* pProgress = Adopt(new CProgressUI, RECT{0, 0, 100, 10});
  pProgress->ApplyAttribute(L"foreimage", L"file='00FF00.png' dest='80,0,100,10'");
  pProgress->ApplyAttribute(L"isstretchfore", L"false");
  pProgress->SetValue(40);
  DibCanvas canvas(100, 10, kCanvas);
  pProgress->Paint(canvas.dc(), RECT{0, 0, 100, 10}, nullptr);
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 0, 40, 10), 0);
  EXPECT_EQ(canvas.CountOtherThan(kCanvas, 40, 0, 100, 10), 0);
  EXPECT_STREQ(pProgress->GetCustomAttribute(L"isstretchfore"), L"false");
}

TEST_F(ValueControlTest, EmptyRangeIsRepairedWhenPainted) {
  CProgressUI* pProgress = Adopt(new CProgressUI, RECT{0, 0, 100, 10});
  pProgress->SetMaxValue(0);
  DibCanvas canvas(100, 10, kCanvas);
  pProgress->Paint(canvas.dc(), RECT{0, 0, 100, 10}, nullptr);
  EXPECT_EQ(pProgress->GetMaxValue(), 1);
}

TEST_F(ValueControlTest, FillOfARangeWiderThanAnIntKeepsItsShare) {
  CProgressUI* pProgress = Adopt(new CProgressUI, RECT{0, 0, 200, 20});
  pProgress->ApplyAttribute(L"min", L"-2000000000");
  pProgress->ApplyAttribute(L"max", L"2000000000");
  pProgress->ApplyAttribute(L"foreimage", L"00FF00.png");
  pProgress->SetValue(1000000000);
  DibCanvas canvas(200, 20, kCanvas);
  pProgress->Paint(canvas.dc(), RECT{0, 0, 200, 20}, nullptr);
  EXPECT_TRUE(SameRect(pProgress->GetFillRect(), RECT{0, 0, 150, 20}))
      << Describe(pProgress->GetFillRect());
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 0, 150, 20), 0);
  EXPECT_EQ(canvas.CountOtherThan(kCanvas, 150, 0, 200, 20), 0);

  CProgressUI* pTop = Adopt(new CProgressUI, RECT{0, 0, 100, 10});
  pTop->SetMaxValue(INT_MAX);
  pTop->SetMinValue(INT_MAX);
  pTop->Paint(canvas.dc(), RECT{0, 0, 100, 10}, nullptr);
  EXPECT_LT(pTop->GetMinValue(), pTop->GetMaxValue()) << "an empty range at the top is repaired";
}

// ---- slider ----

TEST_F(ValueControlTest, SliderRangeWiderThanAnIntPlacesTheThumbAndStopsTheWheelAtTheEnds) {
  CSliderUI* pSlider = Adopt(new CSliderUI, RECT{0, 0, 110, 20});
  pSlider->ApplyAttribute(L"thumbsize", L"10,6");
  pSlider->ApplyAttribute(L"min", L"-2000000000");
  pSlider->ApplyAttribute(L"max", L"2000000000");
  pSlider->SetValue(1000000000);
  EXPECT_TRUE(SameRect(pSlider->GetThumbRect(), RECT{75, 7, 85, 13}))
      << Describe(pSlider->GetThumbRect());

  CSliderUI* pWide = Adopt(new CSliderUI, RECT{0, 30, 110, 50});
  pWide->SetMinValue(INT_MIN);
  pWide->SetMaxValue(INT_MAX);
  pWide->ApplyAttribute(L"step", L"10");
  pWide->SetValue(INT_MAX - 1);
  Send(pWide, kEventScrollWheel, 0, 0, 0);
  EXPECT_EQ(pWide->GetValue(), INT_MAX);
  pWide->SetValue(INT_MIN + 1);
  Send(pWide, kEventScrollWheel, 0, 0, 1);
  EXPECT_EQ(pWide->GetValue(), INT_MIN);
}


TEST_F(ValueControlTest, PressingTheSliderTakesTheValueUnderThePointer) {
  CSliderUI* pSlider = Adopt(new CSliderUI, RECT{0, 0, 110, 20});
  Send(pSlider, kEventButtonDown, 55, 10);
  EXPECT_EQ(pSlider->GetValue(), 50);
  EXPECT_EQ(Count(L"valuechanged"), 0u);
  Send(pSlider, kEventMouseMove, 105, 10);
  EXPECT_EQ(pSlider->GetValue(), 100);
  EXPECT_EQ(Count(L"valuechanged"), 0u);  // not immediate
  Send(pSlider, kEventButtonUp, 2, 10);
  EXPECT_EQ(pSlider->GetValue(), 0);
  EXPECT_EQ(Count(L"valuechanged"), 1u);
  Send(pSlider, kEventMouseMove, 55, 10);  // released: no more dragging
  EXPECT_EQ(pSlider->GetValue(), 0);
}

TEST_F(ValueControlTest, ImmediateSliderNotifiesWhileDragging) {
  CSliderUI* pSlider = Adopt(new CSliderUI, RECT{0, 0, 110, 20});
  pSlider->ApplyAttribute(L"imm", L"true");
  Send(pSlider, kEventButtonDown, 55, 10);
  Send(pSlider, kEventMouseMove, 65, 10);
  Send(pSlider, kEventMouseMove, 75, 10);
  EXPECT_EQ(pSlider->GetValue(), 70);
  EXPECT_EQ(Count(L"valuechanged"), 2u);
}

TEST_F(ValueControlTest, WheelMovesTheSliderByItsStep) {
  CSliderUI* pSlider = Adopt(new CSliderUI, RECT{0, 0, 110, 20});
  pSlider->ApplyAttribute(L"step", L"7");
  pSlider->SetValue(95);
  Send(pSlider, kEventScrollWheel, 0, 0, 0);
  EXPECT_EQ(pSlider->GetValue(), 100);
  Send(pSlider, kEventScrollWheel, 0, 0, 1);
  EXPECT_EQ(pSlider->GetValue(), 93);
  EXPECT_EQ(Count(L"valuechanged"), 2u);
}

TEST_F(ValueControlTest, ThumbSitsAtTheValuesShareOfTheTrack) {
  CSliderUI* pSlider = Adopt(new CSliderUI, RECT{10, 0, 120, 20});
  pSlider->ApplyAttribute(L"thumbsize", L"10,6");
  pSlider->SetValue(50);
  EXPECT_TRUE(SameRect(pSlider->GetThumbRect(), RECT{60, 7, 70, 13}))
      << Describe(pSlider->GetThumbRect());
  CSliderUI* pVertical = Adopt(new CSliderUI, RECT{0, 0, 20, 110});
  pVertical->ApplyAttribute(L"hor", L"false");
  pVertical->SetValue(25);
  EXPECT_TRUE(SameRect(pVertical->GetThumbRect(), RECT{5, 75, 15, 85}))
      << Describe(pVertical->GetThumbRect());
  Send(pVertical, kEventButtonDown, 10, 30);  // 75 of 100 pixels up from the bottom
  EXPECT_EQ(pVertical->GetValue(), 75);
}

TEST_F(ValueControlTest, DisabledSliderIgnoresThePointer) {
  CSliderUI* pSlider = Adopt(new CSliderUI, RECT{0, 0, 110, 20});
  Send(pSlider, kEventMouseEnter, 5, 5);
  EXPECT_EQ(pSlider->GetSliderState(), static_cast<UINT>(SkinUI::kStateHot));
  pSlider->SetEnabled(false);
  EXPECT_EQ(pSlider->GetSliderState(), 0u);
  Send(pSlider, kEventButtonDown, 55, 10);
  EXPECT_EQ(pSlider->GetValue(), 0);
  EXPECT_EQ(pSlider->GetBehaviourFlags(), 0u);
}

TEST_F(ValueControlTest, ThumbImageIsDrawnAtTheThumb) {
  CSliderUI* pSlider = Adopt(new CSliderUI, RECT{0, 0, 110, 20});
  pSlider->ApplyAttribute(L"thumbimage", L"FF0000.png");
  pSlider->ApplyAttribute(L"thumbpushedimage", L"0000FF.png");
  pSlider->SetValue(50);
  DibCanvas canvas(110, 20, kCanvas);
  pSlider->Paint(canvas.dc(), RECT{0, 0, 110, 20}, nullptr);
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 50, 5, 60, 15), 0);
  EXPECT_EQ(canvas.CountOtherThan(kCanvas, 0, 0, 50, 20), 0);
  Send(pSlider, kEventButtonDown, 55, 10);
  pSlider->Paint(canvas.dc(), RECT{0, 0, 110, 20}, nullptr);
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 50, 5, 60, 15), 0);
}

// ---- scroll bar ----

TEST_F(ValueControlTest, ThumbLengthFollowsTheVisibleShare) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  EXPECT_TRUE(SameRect(pBar->GetButton1Rect(), RECT{0, 0, 16, 16}));
  EXPECT_TRUE(SameRect(pBar->GetButton2Rect(), RECT{0, 84, 16, 100}));
  EXPECT_TRUE(SameRect(pBar->GetThumbRect(), RECT{0, 16, 16, 50}))
      << Describe(pBar->GetThumbRect());
  pBar->SetScrollValue(100, false);
  EXPECT_TRUE(SameRect(pBar->GetThumbRect(), RECT{0, 50, 16, 84}))
      << Describe(pBar->GetThumbRect());
}

TEST_F(ValueControlTest, HorizontalBarLaysItsPartsAlongX) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 100, 16});
  pBar->ApplyAttribute(L"hor", L"true");
  EXPECT_EQ(pBar->GetFixedHeight(), 16);
  EXPECT_EQ(pBar->GetFixedWidth(), 0);
  pBar->SetPosition(RECT{0, 0, 100, 16});
  pBar->ApplyAttribute(L"showbutton1", L"false");
  EXPECT_TRUE(SameRect(pBar->GetButton1Rect(), RECT{0, 0, 0, 0}));
  // Track 84: thumb max(16, 100 * 84 / 200) = 42.
  EXPECT_TRUE(SameRect(pBar->GetThumbRect(), RECT{0, 0, 42, 16})) << Describe(pBar->GetThumbRect());
}

TEST_F(ValueControlTest, ShortBarSharesItsLengthBetweenTheButtons) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 24});
  EXPECT_TRUE(SameRect(pBar->GetButton1Rect(), RECT{0, 0, 16, 12}));
  EXPECT_TRUE(SameRect(pBar->GetButton2Rect(), RECT{0, 12, 16, 24}));
  const RECT rcThumb = pBar->GetThumbRect();
  EXPECT_TRUE(::IsRectEmpty(&rcThumb));
}

TEST_F(ValueControlTest, ScrollValueAndRangeStayConsistent) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  pBar->SetScrollValue(-5);
  EXPECT_EQ(pBar->GetScrollValue(), 0);
  pBar->SetScrollValue(80, false);
  pBar->SetScrollRange(50);
  EXPECT_EQ(pBar->GetScrollValue(), 50);
  pBar->SetScrollRange(-10);
  EXPECT_EQ(pBar->GetScrollRange(), 0);
  EXPECT_EQ(pBar->GetScrollValue(), 0);
  EXPECT_TRUE(SameRect(pBar->GetThumbRect(), RECT{0, 16, 16, 84}));
}

TEST_F(ValueControlTest, ValueChangesQueueOneScrollNotificationWithNewAndOldPositions) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  pBar->SetScrollValue(30);
  EXPECT_EQ(Count(L"scroll"), 0u);  // queued, not delivered at once
  pBar->SetScrollRange(20);         // a shrinking range moves the value silently
  pBar->SetScrollValue(20);         // unchanged: nothing
  LRESULT lRes = 0;
  m_host.HandleWindowMessage(CWindowHostUI::kQueuedNotifyMessage, 0, 0, lRes);
  ASSERT_EQ(Count(L"scroll"), 1u);
  EXPECT_EQ(m_recorder.received[0].wParam, 30u);
  EXPECT_EQ(m_recorder.received[0].lParam, 0);
  EXPECT_EQ(pBar->GetScrollValue(), 20);
  MSG msg;
  while (::PeekMessageW(&msg, m_hWnd, CWindowHostUI::kQueuedNotifyMessage,
                        CWindowHostUI::kQueuedNotifyMessage, PM_REMOVE)) {
  }
}

TEST_F(ValueControlTest, ALineStepAtEitherEndQueuesNoScrollNotification) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  const struct {
    int value;
    int arrowY;
  } ends[] = {{0, 8}, {100, 92}};
  for (const auto& end : ends) {
    pBar->SetScrollValue(end.value, false);
    Send(pBar, kEventButtonDown, 8, end.arrowY);
    Send(pBar, kEventButtonUp, 8, end.arrowY);
    EXPECT_EQ(pBar->GetScrollValue(), end.value);
  }
  LRESULT lRes = 0;
  m_host.HandleWindowMessage(CWindowHostUI::kQueuedNotifyMessage, 0, 0, lRes);
  EXPECT_EQ(Count(L"scroll"), 0u);
  MSG msg;
  while (::PeekMessageW(&msg, m_hWnd, CWindowHostUI::kQueuedNotifyMessage,
                        CWindowHostUI::kQueuedNotifyMessage, PM_REMOVE)) {
  }
}

TEST_F(ValueControlTest, HeldArrowScrollsOnceThenRepeatsAfterSixTicks) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  Send(pBar, kEventButtonDown, 8, 90);
  EXPECT_EQ(pBar->GetScrollValue(), 8);
  for (int i = 0; i < 5; ++i) Send(pBar, kEventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
  EXPECT_EQ(pBar->GetScrollValue(), 8);
  Send(pBar, kEventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
  EXPECT_EQ(pBar->GetScrollValue(), 16);
  Send(pBar, kEventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
  EXPECT_EQ(pBar->GetScrollValue(), 24);
  Send(pBar, kEventButtonUp, 8, 90);
  EXPECT_EQ(pBar->GetButton2State() & SkinUI::kStatePushed, 0u);
  Send(pBar, kEventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
  EXPECT_EQ(pBar->GetScrollValue(), 24);
}

TEST_F(ValueControlTest, TrackClickPagesByTheBarLength) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  pBar->SetScrollRange(1000);
  Send(pBar, kEventButtonDown, 8, 80);  // after the thumb
  EXPECT_EQ(pBar->GetScrollValue(), 100);
  Send(pBar, kEventButtonUp, 8, 80);
  const RECT rcThumb = pBar->GetThumbRect();
  Send(pBar, kEventButtonDown, 8, rcThumb.top - 1);  // before it
  EXPECT_EQ(pBar->GetScrollValue(), 0);
}

TEST_F(ValueControlTest, DraggingTheThumbMovesTheValueOnTheNextTick) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  // Thumb 34 long: D = 100 - 32 - 34 = 34 pixels carry the whole range of 100.
  Send(pBar, kEventButtonDown, 8, 20);
  EXPECT_NE(pBar->GetThumbState() & SkinUI::kStateCaptured, 0u);
  Send(pBar, kEventMouseMove, 8, 37);
  EXPECT_EQ(pBar->GetScrollValue(), 0);
  Send(pBar, kEventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
  EXPECT_EQ(pBar->GetScrollValue(), 50);
  Send(pBar, kEventMouseMove, 8, 200);
  Send(pBar, kEventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
  EXPECT_EQ(pBar->GetScrollValue(), 100);
  Send(pBar, kEventButtonUp, 8, 200);
  EXPECT_EQ(pBar->GetThumbState() & (SkinUI::kStateCaptured | SkinUI::kStatePushed), 0u);
}

TEST_F(ValueControlTest, ScrollBarPartsPaintTheirStateImages) {
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  pBar->ApplyAttribute(L"button1normalimage", L"FF0000.png");
  pBar->ApplyAttribute(L"button2normalimage", L"00FF00.png");
  pBar->ApplyAttribute(L"thumbnormalimage", L"0000FF.png");
  pBar->ApplyAttribute(L"thumbpushedimage", L"FFFF00.png");
  pBar->ApplyAttribute(L"button1color", L"#FF808080");
  DibCanvas canvas(16, 100, kCanvas);
  pBar->Paint(canvas.dc(), RECT{0, 0, 16, 100}, nullptr);
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 0, 0, 16, 16), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 0, 16, 16, 50), 0);
  EXPECT_EQ(canvas.CountOtherThan(kCanvas, 0, 50, 16, 84), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 84, 16, 100), 0);
  Send(pBar, kEventButtonDown, 8, 30);
  pBar->Paint(canvas.dc(), RECT{0, 0, 16, 100}, nullptr);
  EXPECT_EQ(canvas.CountOtherThan(0xFFFF00, 0, 16, 16, 50), 0);
}

// A container that records the scrolling its bar asks of it.
class ScrollRecordingContainer : public CContainerUI {
 public:
  void ScrollLineUp() override { calls.push_back(L"lineup"); }
  void ScrollLineDown() override { calls.push_back(L"linedown"); }
  void ScrollPageUp() override { calls.push_back(L"pageup"); }
  void ScrollPageDown() override { calls.push_back(L"pagedown"); }
  void ScrollLineRight() override { calls.push_back(L"lineright"); }
  SIZE GetScrollPosition() const override { return SIZE{7, 0}; }
  void SetScrollPosition(SIZE szPos) override { positions.push_back(szPos); }
  std::vector<std::wstring> calls;
  std::vector<SIZE> positions;
};

TEST_F(ValueControlTest, OwnedBarScrollsItsOwnerInsteadOfItself) {
  ScrollRecordingContainer owner;
  CScrollBarUI* pBar = Adopt(new CScrollBarUI, RECT{0, 0, 16, 100});
  pBar->SetOwner(&owner);
  Send(pBar, kEventButtonDown, 8, 8);  // button 1
  Send(pBar, kEventButtonUp, 8, 8);
  Send(pBar, kEventButtonDown, 8, 90);  // button 2
  Send(pBar, kEventButtonUp, 8, 90);
  Send(pBar, kEventButtonDown, 8, 70);  // the track after the thumb
  Send(pBar, kEventButtonUp, 8, 70);
  EXPECT_EQ(owner.calls, (std::vector<std::wstring>{L"lineup", L"linedown", L"pagedown"}));
  EXPECT_EQ(pBar->GetScrollValue(), 0);
  // Dragging the thumb half its travel: the owner's vertical position follows, its horizontal
  // one stays.
  Send(pBar, kEventButtonDown, 8, 20);
  Send(pBar, kEventMouseMove, 8, 37);
  Send(pBar, kEventTimer, 0, 0, CScrollBarUI::kRepeatTimerId);
  ASSERT_EQ(owner.positions.size(), 1u);
  EXPECT_EQ(owner.positions[0].cx, 7);
  EXPECT_EQ(owner.positions[0].cy, 50);
  Send(pBar, kEventButtonUp, 8, 37);
  pBar->SetOwner(nullptr);
}

}  // namespace
