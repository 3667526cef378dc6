// Scroll bars of containers: when they appear and with which range, how scrolling moves the
// children, the keys and wheel that scroll, and the bar's strip kept free of child paint. Each
// case is written for a vertical layout with a vertical bar and runs on a horizontal layout with
// a horizontal bar too, which sees every rectangle and point transposed.

#include <gtest/gtest.h>

#include "Control/UIScrollBar.h"
#include "LayoutTestSupport.h"
#include "support/DibCanvas.h"

using layout_testing::PlacedAt;
using SkinUI::CControlUI;
using SkinUI::CScrollBarBaseUI;
using SkinUI::InputEvent;

namespace {

InputEvent Event(int iKind, WPARAM wParam, WCHAR chKey = 0, POINT pt = {0, 0}) {
  InputEvent event = {};
  event.iKind = iKind;
  event.wParam = wParam;
  event.chKey = chKey;
  event.ptMouse = pt;
  return event;
}

// A 100 x 100 layout with a 10-pixel bar along its axis and two children 75 long.
class ScrollTest : public layout_testing::AxisTest {
 protected:
  ScrollTest() {
    if (IsVertical()) {
      m_layout->ApplyAttribute(L"vscrollbarstyle", L"width=\"10\"");
      m_bar = m_layout->GetVerticalScrollBar();
    } else {
      m_layout->ApplyAttribute(L"hscrollbarstyle", L"height=\"10\"");
      m_bar = m_layout->GetHorizontalScrollBar();
    }
    m_first = AddChild(0, 75);
    m_second = AddChild(0, 75);
    m_layout->SetPosition(RECT{0, 0, 100, 100});
  }
  void SetFixedAlong(CControlUI& control, int n) const {
    IsVertical() ? control.SetFixedHeight(n) : control.SetFixedWidth(n);
  }
  int Along(SIZE sz) const { return IsVertical() ? sz.cy : sz.cx; }
  int Position() const { return Along(m_layout->GetScrollPosition()); }
  void ScrollTo(int nPos) {
    m_layout->SetScrollPosition(IsVertical() ? SIZE{0, nPos} : SIZE{nPos, 0});
  }
  void ScrollLineForward() {
    IsVertical() ? m_layout->ScrollLineDown() : m_layout->ScrollLineRight();
  }
  void ScrollPageForward() {
    IsVertical() ? m_layout->ScrollPageDown() : m_layout->ScrollPageRight();
  }
  void ScrollToEnd() { IsVertical() ? m_layout->ScrollToBottom() : m_layout->ScrollToRight(); }

  CScrollBarBaseUI* m_bar = nullptr;
  CControlUI* m_first = nullptr;
  CControlUI* m_second = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Axes, ScrollTest, ::testing::Bool(), layout_testing::AxisTest::AxisName);

TEST_P(ScrollTest, LongerContentShowsTheBarWithTheOverflowAsRange) {
  ASSERT_NE(m_bar, nullptr);
  EXPECT_EQ(IsVertical() ? m_bar->GetFixedWidth() : m_bar->GetFixedHeight(), 10);
  EXPECT_TRUE(m_bar->IsVisible());
  EXPECT_EQ(Along(m_layout->GetScrollRange()), 50);
  EXPECT_EQ(Position(), 0);
  EXPECT_TRUE(PlacedAt(m_bar, T(RECT{90, 0, 100, 100})));
  EXPECT_TRUE(PlacedAt(m_first, T(RECT{0, 0, 90, 75})));
  EXPECT_TRUE(PlacedAt(m_second, T(RECT{0, 75, 90, 150})));
  const RECT rcClient = m_layout->GetClientPosition();
  EXPECT_EQ(IsVertical() ? rcClient.bottom : rcClient.right, 150);
  // Turning the bar off deletes it.
  m_layout->ApplyAttribute(IsVertical() ? L"vscrollbar" : L"hscrollbar", L"false");
  EXPECT_EQ(IsVertical() ? m_layout->GetVerticalScrollBar() : m_layout->GetHorizontalScrollBar(),
            nullptr);
}

TEST_P(ScrollTest, ScrollingMovesTheChildrenAndSurvivesARelayout) {
  ScrollLineForward();
  EXPECT_EQ(Position(), 8);
  EXPECT_TRUE(PlacedAt(m_first, T(RECT{0, -8, 90, 67})));
  ScrollToEnd();
  EXPECT_EQ(Position(), 50);
  EXPECT_TRUE(PlacedAt(m_second, T(RECT{0, 25, 90, 100})));
  ScrollTo(50);
  EXPECT_TRUE(PlacedAt(m_second, T(RECT{0, 25, 90, 100})));
  ScrollTo(500);
  EXPECT_EQ(Position(), 50);
  m_layout->SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(m_first, T(RECT{0, -50, 90, 25})));
}

TEST_P(ScrollTest, ShrunkContentHidesTheBarAndResetsIt) {
  ScrollPageForward();
  EXPECT_EQ(Position(), 50);
  SetFixedAlong(*m_first, 30);
  SetFixedAlong(*m_second, 30);
  m_layout->SetPosition(RECT{0, 0, 100, 100});
  EXPECT_FALSE(m_bar->IsVisible());
  EXPECT_EQ(m_bar->GetScrollRange(), 0);
  EXPECT_EQ(m_bar->GetScrollValue(), 0);
  EXPECT_TRUE(PlacedAt(m_first, T(RECT{0, 0, 100, 30})));
  EXPECT_TRUE(PlacedAt(m_second, T(RECT{0, 30, 100, 60})));
}

// Without a vertical bar the same keys scroll the horizontal one.
TEST_P(ScrollTest, KeysAndTheWheelScroll) {
  InputEvent end = Event(SkinUI::kEventKeyDown, VK_END, VK_END);
  m_layout->HandleEvent(end);
  EXPECT_EQ(Position(), 50);
  InputEvent up = Event(SkinUI::kEventKeyDown, VK_UP, VK_UP);
  m_layout->HandleEvent(up);
  EXPECT_EQ(Position(), 42);
  InputEvent home = Event(SkinUI::kEventKeyDown, VK_HOME, VK_HOME);
  m_layout->HandleEvent(home);
  EXPECT_EQ(Position(), 0);
  InputEvent towardUser = Event(SkinUI::kEventScrollWheel, 1);
  m_layout->HandleEvent(towardUser);
  EXPECT_EQ(Position(), 8);
  InputEvent away = Event(SkinUI::kEventScrollWheel, 0);
  m_layout->HandleEvent(away);
  EXPECT_EQ(Position(), 0);
}

TEST_P(ScrollTest, TheBarIsHitAndItsStripStaysFreeOfChildPaint) {
  POINT pt = T(95, 50);
  EXPECT_EQ(m_layout->FindControl(
                [](CControlUI* p, LPVOID) -> CControlUI* { return p; }, &pt,
                SkinUI::kFindVisible | SkinUI::kFindHitTest),
            m_bar);
  testing_support::DibCanvas canvas(100, 100, 0xFF000000);
  m_first->SetBkColor(0xFF00FF00);
  m_second->SetBkColor(0xFF00FF00);
  m_layout->Paint(canvas.dc(), RECT{0, 0, 100, 100}, nullptr);
  const POINT ptChild = T(50, 50);
  EXPECT_EQ(canvas.Rgb(ptChild.x, ptChild.y), 0x00FF00u);
  const RECT rcChildren = T(RECT{0, 0, 90, 100});
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, rcChildren.left, rcChildren.top, rcChildren.right,
                                  rcChildren.bottom),
            0);
  const POINT ptBar = T(95, 50);
  EXPECT_NE(canvas.Rgb(ptBar.x, ptBar.y), 0x00FF00u);
}

}  // namespace
