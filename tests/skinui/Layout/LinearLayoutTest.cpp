// Child rectangles of the vertical and horizontal layouts: fixed, measured-to-stretch, minimum
// and maximum sizes, paddings, gaps, insets, alignment and floating children; and the drag
// separator on one edge of the layout. Each case is written as the vertical layout sees it and
// runs on both layouts, the horizontal one seeing every rectangle, size and point transposed.

#include <gtest/gtest.h>

#include <string>

#include "LayoutTestSupport.h"
#include "support/DibCanvas.h"

using layout_testing::PlacedAt;
using SkinUI::CControlUI;

namespace {

class LinearLayoutTest : public layout_testing::AxisTest {
 protected:
  void SetMinAlong(CControlUI& control, int n) const {
    IsVertical() ? control.SetMinHeight(n) : control.SetMinWidth(n);
  }
  void SetMaxAlong(CControlUI& control, int n) const {
    IsVertical() ? control.SetMaxHeight(n) : control.SetMaxWidth(n);
  }
  int FixedAlong(const CControlUI& control) const {
    return IsVertical() ? control.GetFixedHeight() : control.GetFixedWidth();
  }
  LONG Near(const RECT& rc) const { return IsVertical() ? rc.top : rc.left; }
  LONG Far(const RECT& rc) const { return IsVertical() ? rc.bottom : rc.right; }
  // The across alignment by the vertical layout's words "left", "center" and "right".
  void AlignAcross(LPCWSTR pstrWord) {
    if (IsVertical()) {
      m_layout->ApplyAttribute(L"childalign", pstrWord);
      return;
    }
    const std::wstring word = pstrWord;
    m_layout->ApplyAttribute(L"childvalign", word == L"left"     ? L"top"
                                             : word == L"center" ? L"vcenter"
                                                                 : L"bottom");
  }
  // The alignment of the stacking axis, which the layout ignores.
  void AlignAlongToEnd() {
    m_layout->ApplyAttribute(IsVertical() ? L"childvalign" : L"childalign",
                             IsVertical() ? L"bottom" : L"right");
  }
  LPCWSTR SeparatorAttribute() const { return IsVertical() ? L"sepheight" : L"sepwidth"; }
  void Place(RECT rc) { m_layout->SetPosition(T(rc)); }
  void Send(int iKind, int x, int y) {
    SkinUI::InputEvent event = {};
    event.iKind = iKind;
    event.ptMouse = T(x, y);
    m_layout->HandleEvent(event);
  }
};

INSTANTIATE_TEST_SUITE_P(Axes, LinearLayoutTest, ::testing::Bool(),
                         layout_testing::AxisTest::AxisName);

TEST_P(LinearLayoutTest, StretchingChildrenShareTheRoomWithTheRemainderGoingToTheLast) {
  CControlUI* a = AddChild(0, 0);
  CControlUI* b = AddChild(0, 0);
  CControlUI* c = AddChild(0, 0);
  Place(RECT{0, 0, 50, 100});
  EXPECT_TRUE(PlacedAt(a, T(RECT{0, 0, 50, 33})));
  EXPECT_TRUE(PlacedAt(b, T(RECT{0, 33, 50, 66})));
  EXPECT_TRUE(PlacedAt(c, T(RECT{0, 66, 50, 100})));
}

TEST_P(LinearLayoutTest, LeadingPaddingsReduceTheLastStretchingChildTwice) {
  CControlUI* a = AddChild(0, 0);
  CControlUI* b = AddChild(0, 0);
  a->SetPadding(T(RECT{0, 5, 0, 0}));
  b->SetPadding(T(RECT{0, 5, 0, 0}));
  Place(RECT{0, 0, 50, 100});
  EXPECT_TRUE(PlacedAt(a, T(RECT{0, 5, 50, 50})));
  EXPECT_TRUE(PlacedAt(b, T(RECT{0, 55, 50, 90})));
}

TEST_P(LinearLayoutTest, MinimumAndMaximumSizesWinOverFixedAndStretchedSizes) {
  CControlUI* fixed = AddChild(0, 30);
  SetMinAlong(*fixed, 40);
  CControlUI* capped = AddChild(0, 0);
  SetMaxAlong(*capped, 20);
  CControlUI* last = AddChild(0, 10);
  Place(RECT{0, 0, 60, 200});
  EXPECT_TRUE(PlacedAt(fixed, T(RECT{0, 0, 60, 40})));
  EXPECT_TRUE(PlacedAt(capped, T(RECT{0, 40, 60, 60})));
  EXPECT_TRUE(PlacedAt(last, T(RECT{0, 60, 60, 70})));

  // A capped stretching child leaves the rest to the stretching child after it.
  m_layout->RemoveAllItems();
  capped = AddChild(0, 0);
  SetMaxAlong(*capped, 25);
  CControlUI* rest = AddChild(0, 0);
  Place(RECT{0, 0, 10, 100});
  EXPECT_TRUE(PlacedAt(capped, T(RECT{0, 0, 10, 25})));
  EXPECT_TRUE(PlacedAt(rest, T(RECT{0, 25, 10, 100})));
}

TEST_P(LinearLayoutTest, InsetAndChildPaddingSeparateTheChildren) {
  const RECT rcInset = T(RECT{5, 6, 7, 8});
  wchar_t szInset[32];
  ::wsprintfW(szInset, L"%d,%d,%d,%d", rcInset.left, rcInset.top, rcInset.right, rcInset.bottom);
  m_layout->ApplyAttribute(L"inset", szInset);
  m_layout->ApplyAttribute(L"childpadding", L"10");
  CControlUI* a = AddChild(0, 40);
  CControlUI* b = AddChild(30, 20);
  Place(RECT{10, 10, 110, 210});
  EXPECT_TRUE(PlacedAt(a, T(RECT{15, 16, 103, 56})));
  EXPECT_TRUE(PlacedAt(b, T(RECT{15, 66, 45, 86})));

  // A stretching child between fixed ones: the gaps count twice for the last stretcher.
  m_layout->RemoveAllItems();
  m_layout->ApplyAttribute(L"inset", L"2,2,2,2");
  m_layout->ApplyAttribute(L"childpadding", L"5");
  a = AddChild(0, 30);
  b = AddChild(0, 0);
  CControlUI* c = AddChild(10, 20);
  Place(RECT{0, 0, 44, 104});
  EXPECT_TRUE(PlacedAt(a, T(RECT{2, 2, 42, 32})));
  EXPECT_TRUE(PlacedAt(b, T(RECT{2, 37, 42, 72})));
  EXPECT_TRUE(PlacedAt(c, T(RECT{2, 77, 12, 97})));
}

TEST_P(LinearLayoutTest, InvisibleChildrenTakeNoSpace) {
  m_layout->SetChildPadding(4);
  CControlUI* a = AddChild(0, 10);
  CControlUI* hidden = AddChild(0, 50);
  CControlUI* c = AddChild(0, 0);
  hidden->SetVisible(false);
  Place(RECT{0, 0, 20, 100});
  EXPECT_TRUE(PlacedAt(a, T(RECT{0, 0, 20, 10})));
  // The gap is counted once in the flow and once more in the last stretcher's share.
  EXPECT_TRUE(PlacedAt(c, T(RECT{0, 14, 20, 96})));
}

TEST_P(LinearLayoutTest, TheAcrossAlignmentPlacesNarrowChildrenAndTheOtherIsIgnored) {
  CControlUI* child = AddChild(30, 10);
  child->SetPadding(T(RECT{3, 0, 4, 0}));
  AlignAlongToEnd();
  Place(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, T(RECT{3, 0, 33, 10})));
  AlignAcross(L"center");
  Place(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, T(RECT{35, 0, 65, 10}))) << "centred without paddings";
  AlignAcross(L"right");
  Place(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, T(RECT{66, 0, 96, 10})));
  AlignAcross(L"left");
  Place(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, T(RECT{3, 0, 33, 10})));
}

TEST_P(LinearLayoutTest, FloatingChildFollowsItsRatiosAndLeavesTheFlowAlone) {
  CControlUI* floating = AddChild(20, 10);
  floating->SetFloat(true);
  const POINT ptOrigin = T(5, 6);
  floating->SetFixedOrigin(ptOrigin.x, ptOrigin.y);
  floating->SetFloatRatios(IsVertical() ? 0.5 : 0, IsVertical() ? 0 : 0.5, IsVertical() ? 0.5 : 0,
                           IsVertical() ? 0 : 0.5);
  CControlUI* flow = AddChild(0, 0);
  Place(RECT{10, 20, 110, 120});
  EXPECT_TRUE(PlacedAt(floating, T(RECT{65, 26, 85, 36})));
  EXPECT_TRUE(PlacedAt(flow, T(RECT{10, 20, 110, 120})));
}

TEST_P(LinearLayoutTest, SeparatorBandSitsOnTheEdgeItsSignNames) {
  Place(RECT{0, 10, 50, 110});
  m_layout->ApplyAttribute(SeparatorAttribute(), L"-4");
  RECT rc = m_layout->GetSeparatorRect();
  EXPECT_EQ(Near(rc), 10);
  EXPECT_EQ(Far(rc), 14);
  m_layout->ApplyAttribute(SeparatorAttribute(), L"6");
  rc = m_layout->GetSeparatorRect();
  EXPECT_EQ(Near(rc), 104);
  EXPECT_EQ(Far(rc), 110);
}

TEST_P(LinearLayoutTest, DraggingTheLeadingSeparatorResizesWithinTheLimits) {
  m_layout->ApplyAttribute(SeparatorAttribute(), L"-4");
  SetMaxAlong(*m_layout, 110);
  Place(RECT{0, 10, 50, 110});
  EXPECT_EQ(m_layout->GetBehaviourFlags(), 2u);
  Send(SkinUI::kEventButtonDown, 20, 11);
  ASSERT_TRUE(m_layout->IsDragging());
  Send(SkinUI::kEventMouseMove, 20, 5);
  EXPECT_EQ(FixedAlong(*m_layout), 106);
  EXPECT_EQ(Near(m_layout->GetSeparatorRect(true)), 4);
  // The tracker moves; the layout itself waits for the button to come up.
  EXPECT_TRUE(PlacedAt(m_layout.get(), T(RECT{0, 10, 50, 110})));
  Send(SkinUI::kEventMouseMove, 20, -5);
  EXPECT_EQ(FixedAlong(*m_layout), 110);
  Send(SkinUI::kEventMouseMove, 20, -9);
  EXPECT_EQ(FixedAlong(*m_layout), 110);
  Send(SkinUI::kEventButtonUp, 20, -9);
  EXPECT_FALSE(m_layout->IsDragging());
  EXPECT_TRUE(PlacedAt(m_layout.get(), T(RECT{0, 0, 50, 110})));
}

TEST_P(LinearLayoutTest, ImmediateDraggingOfTheTrailingSeparatorResizesAtOnce) {
  m_layout->ApplyAttribute(SeparatorAttribute(), L"5");
  m_layout->ApplyAttribute(L"sepimm", L"true");
  SetMinAlong(*m_layout, 80);
  Place(RECT{0, 0, 40, 100});
  Send(SkinUI::kEventButtonDown, 10, 97);
  Send(SkinUI::kEventMouseMove, 10, 107);
  EXPECT_EQ(FixedAlong(*m_layout), 110);
  EXPECT_TRUE(PlacedAt(m_layout.get(), T(RECT{0, 0, 40, 110})));
  Send(SkinUI::kEventMouseMove, 10, 57);
  EXPECT_EQ(FixedAlong(*m_layout), 80);
  Send(SkinUI::kEventButtonUp, 10, 57);
  EXPECT_TRUE(PlacedAt(m_layout.get(), T(RECT{0, 0, 40, 80})));
}

TEST_P(LinearLayoutTest, PressesOutsideTheBandDoNotDrag) {
  Place(RECT{0, 0, 50, 100});
  EXPECT_EQ(m_layout->GetBehaviourFlags(), 0u);
  Send(SkinUI::kEventButtonDown, 20, 99);
  EXPECT_FALSE(m_layout->IsDragging());
  m_layout->SetSeparatorSize(5);
  Send(SkinUI::kEventButtonDown, 20, 50);
  EXPECT_FALSE(m_layout->IsDragging());
  m_layout->SetEnabled(false);
  Send(SkinUI::kEventButtonDown, 20, 99);
  EXPECT_FALSE(m_layout->IsDragging());
}

TEST_P(LinearLayoutTest, ATrackerBandDarkensThePostPaintWhileDragging) {
  m_layout->SetSeparatorSize(-4);
  Place(RECT{0, 10, 20, 60});
  const POINT szCanvas = T(20, 80);
  testing_support::DibCanvas canvas(szCanvas.x, szCanvas.y, 0xFFFFFFFF);
  m_layout->PostPaint(canvas.dc(), RECT{0, 0, szCanvas.x, szCanvas.y});
  EXPECT_EQ(canvas.CountOtherThan(0xFFFFFF, 0, 0, szCanvas.x, szCanvas.y), 0);
  Send(SkinUI::kEventButtonDown, 5, 11);
  Send(SkinUI::kEventMouseMove, 5, 6);
  m_layout->PostPaint(canvas.dc(), RECT{0, 0, szCanvas.x, szCanvas.y});
  const RECT ink = canvas.InkBounds(0xFFFFFF);
  EXPECT_TRUE(PlacedAt(m_layout.get(), T(RECT{0, 10, 20, 60})));
  EXPECT_EQ(Near(ink), 5);
  EXPECT_EQ(Far(ink), 9);
  const POINT ptInside = T(5, 6);
  EXPECT_LT(canvas.Rgb(ptInside.x, ptInside.y) & 0xFF, 0x80u);
}

}  // namespace
