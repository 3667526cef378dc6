// Scroll bars of containers: when they appear and with which range, how scrolling moves the
// children, the keys and wheel that scroll, and the bar's column kept free of child paint.

#include <gtest/gtest.h>

#include "Control/UIScrollBar.h"
#include "Layout/UIHorizontalLayout.h"
#include "Layout/UIVerticalLayout.h"
#include "LayoutTestSupport.h"
#include "support/DibCanvas.h"

using layout_testing::AddSizedChild;
using layout_testing::PlacedAt;
using SkinUI::CControlUI;
using SkinUI::CHorizontalLayoutUI;
using SkinUI::CScrollBarUI;
using SkinUI::CVerticalLayoutUI;
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

// A 100 x 100 vertical layout with a 10-pixel vertical bar and two children 75 high.
class VerticalScrollTest : public ::testing::Test {
 protected:
  VerticalScrollTest() {
    m_layout.ApplyAttribute(L"vscrollbarstyle", L"width=\"10\"");
    m_bar = m_layout.GetVerticalScrollBar();
    m_first = AddSizedChild(m_layout, 0, 75);
    m_second = AddSizedChild(m_layout, 0, 75);
    m_layout.SetPosition(RECT{0, 0, 100, 100});
  }
  int Position() const { return m_layout.GetScrollPosition().cy; }

  CVerticalLayoutUI m_layout;
  CScrollBarUI* m_bar = nullptr;
  CControlUI* m_first = nullptr;
  CControlUI* m_second = nullptr;
};

TEST_F(VerticalScrollTest, TallerContentShowsTheBarWithTheOverflowAsRange) {
  ASSERT_NE(m_bar, nullptr);
  EXPECT_EQ(m_bar->GetFixedWidth(), 10);
  EXPECT_TRUE(m_bar->IsVisible());
  EXPECT_EQ(m_layout.GetScrollRange().cy, 50);
  EXPECT_EQ(Position(), 0);
  EXPECT_TRUE(PlacedAt(m_bar, RECT{90, 0, 100, 100}));
  EXPECT_TRUE(PlacedAt(m_first, RECT{0, 0, 90, 75}));
  EXPECT_TRUE(PlacedAt(m_second, RECT{0, 75, 90, 150}));
  const RECT rcClient = m_layout.GetClientPosition();
  EXPECT_EQ(rcClient.bottom, 150);
}

TEST_F(VerticalScrollTest, ScrollingMovesTheChildrenAndSurvivesARelayout) {
  m_layout.ScrollLineDown();
  EXPECT_EQ(Position(), 8);
  EXPECT_TRUE(PlacedAt(m_first, RECT{0, -8, 90, 67}));
  m_layout.ScrollToBottom();
  EXPECT_EQ(Position(), 50);
  EXPECT_TRUE(PlacedAt(m_second, RECT{0, 25, 90, 100}));
  m_layout.SetScrollPosition(SIZE{0, 50});
  EXPECT_TRUE(PlacedAt(m_second, RECT{0, 25, 90, 100}));
  m_layout.SetScrollPosition(SIZE{0, 500});
  EXPECT_EQ(Position(), 50);
  m_layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(m_first, RECT{0, -50, 90, 25}));
}

TEST_F(VerticalScrollTest, ShrunkContentHidesTheBarAndResetsIt) {
  m_layout.ScrollPageDown();
  EXPECT_EQ(Position(), 50);
  m_first->SetFixedHeight(30);
  m_second->SetFixedHeight(30);
  m_layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_FALSE(m_bar->IsVisible());
  EXPECT_EQ(m_bar->GetScrollRange(), 0);
  EXPECT_EQ(m_bar->GetScrollValue(), 0);
  EXPECT_TRUE(PlacedAt(m_first, RECT{0, 0, 100, 30}));
  EXPECT_TRUE(PlacedAt(m_second, RECT{0, 30, 100, 60}));
}

TEST_F(VerticalScrollTest, KeysAndTheWheelScroll) {
  InputEvent end = Event(SkinUI::kEventKeyDown, VK_END, VK_END);
  m_layout.HandleEvent(end);
  EXPECT_EQ(Position(), 50);
  InputEvent up = Event(SkinUI::kEventKeyDown, VK_UP, VK_UP);
  m_layout.HandleEvent(up);
  EXPECT_EQ(Position(), 42);
  InputEvent home = Event(SkinUI::kEventKeyDown, VK_HOME, VK_HOME);
  m_layout.HandleEvent(home);
  EXPECT_EQ(Position(), 0);
  InputEvent towardUser = Event(SkinUI::kEventScrollWheel, 1);
  m_layout.HandleEvent(towardUser);
  EXPECT_EQ(Position(), 8);
  InputEvent away = Event(SkinUI::kEventScrollWheel, 0);
  m_layout.HandleEvent(away);
  EXPECT_EQ(Position(), 0);
}

TEST_F(VerticalScrollTest, TheBarIsHitAndItsColumnStaysFreeOfChildPaint) {
  POINT pt = {95, 50};
  EXPECT_EQ(m_layout.FindControl(
                [](CControlUI* p, LPVOID) -> CControlUI* { return p; }, &pt,
                SkinUI::kFindVisible | SkinUI::kFindHitTest),
            m_bar);
  testing_support::DibCanvas canvas(100, 100, 0xFF000000);
  m_first->SetBkColor(0xFF00FF00);
  m_second->SetBkColor(0xFF00FF00);
  m_layout.Paint(canvas.dc(), RECT{0, 0, 100, 100}, nullptr);
  EXPECT_EQ(canvas.Rgb(50, 50), 0x00FF00u);
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 0, 90, 100), 0);
  EXPECT_NE(canvas.Rgb(95, 50), 0x00FF00u);
}

TEST(HorizontalScrollTest, WiderContentShowsABarAlongTheBottom) {
  CHorizontalLayoutUI layout;
  layout.ApplyAttribute(L"hscrollbarstyle", L"height=\"10\"");
  CScrollBarUI* bar = layout.GetHorizontalScrollBar();
  ASSERT_NE(bar, nullptr);
  CControlUI* a = AddSizedChild(layout, 80, 0);
  CControlUI* b = AddSizedChild(layout, 80, 0);
  layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(layout.GetScrollRange().cx, 60);
  EXPECT_TRUE(PlacedAt(bar, RECT{0, 90, 100, 100}));
  EXPECT_TRUE(PlacedAt(b, RECT{80, 0, 160, 90}));
  layout.ScrollPageRight();
  EXPECT_EQ(layout.GetScrollPosition().cx, 60);
  EXPECT_TRUE(PlacedAt(a, RECT{-60, 0, 20, 90}));
  layout.ApplyAttribute(L"hscrollbar", L"false");
  EXPECT_EQ(layout.GetHorizontalScrollBar(), nullptr);
}

}  // namespace
