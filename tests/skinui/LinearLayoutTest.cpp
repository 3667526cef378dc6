// Child rectangles of the vertical and horizontal layouts: fixed, measured-to-stretch, minimum
// and maximum sizes, paddings, gaps, insets, alignment and floating children.

#include <gtest/gtest.h>

#include "Layout/UIHorizontalLayout.h"
#include "Layout/UIVerticalLayout.h"
#include "LayoutTestSupport.h"
#include "support/DibCanvas.h"

using layout_testing::AddSizedChild;
using layout_testing::PlacedAt;
using SkinUI::CControlUI;
using SkinUI::CHorizontalLayoutUI;
using SkinUI::CVerticalLayoutUI;

namespace {

// ---- vertical ----

TEST(VerticalLayoutTest, StretchingChildrenShareTheHeightWithTheRemainderGoingToTheLast) {
  CVerticalLayoutUI layout;
  CControlUI* a = AddSizedChild(layout, 0, 0);
  CControlUI* b = AddSizedChild(layout, 0, 0);
  CControlUI* c = AddSizedChild(layout, 0, 0);
  layout.SetPosition(RECT{0, 0, 50, 100});
  EXPECT_TRUE(PlacedAt(a, RECT{0, 0, 50, 33}));
  EXPECT_TRUE(PlacedAt(b, RECT{0, 33, 50, 66}));
  EXPECT_TRUE(PlacedAt(c, RECT{0, 66, 50, 100}));
}

TEST(VerticalLayoutTest, TopPaddingsReduceTheLastStretchingChildTwice) {
  CVerticalLayoutUI layout;
  CControlUI* a = AddSizedChild(layout, 0, 0);
  CControlUI* b = AddSizedChild(layout, 0, 0);
  a->SetPadding(RECT{0, 5, 0, 0});
  b->SetPadding(RECT{0, 5, 0, 0});
  layout.SetPosition(RECT{0, 0, 50, 100});
  EXPECT_TRUE(PlacedAt(a, RECT{0, 5, 50, 50}));
  EXPECT_TRUE(PlacedAt(b, RECT{0, 55, 50, 90}));
}

TEST(VerticalLayoutTest, MinimumAndMaximumHeightsWinOverFixedAndStretchedHeights) {
  CVerticalLayoutUI layout;
  CControlUI* fixed = AddSizedChild(layout, 0, 30);
  fixed->SetMinHeight(40);
  CControlUI* capped = AddSizedChild(layout, 0, 0);
  capped->SetMaxHeight(20);
  CControlUI* last = AddSizedChild(layout, 0, 10);
  layout.SetPosition(RECT{0, 0, 60, 200});
  EXPECT_TRUE(PlacedAt(fixed, RECT{0, 0, 60, 40}));
  EXPECT_TRUE(PlacedAt(capped, RECT{0, 40, 60, 60}));
  EXPECT_TRUE(PlacedAt(last, RECT{0, 60, 60, 70}));
}

TEST(VerticalLayoutTest, InsetAndChildPaddingSeparateFixedChildren) {
  CVerticalLayoutUI layout;
  layout.ApplyAttribute(L"inset", L"5,6,7,8");
  layout.ApplyAttribute(L"childpadding", L"10");
  CControlUI* a = AddSizedChild(layout, 0, 40);
  CControlUI* b = AddSizedChild(layout, 30, 20);
  layout.SetPosition(RECT{10, 10, 110, 210});
  EXPECT_TRUE(PlacedAt(a, RECT{15, 16, 103, 56}));
  EXPECT_TRUE(PlacedAt(b, RECT{15, 66, 45, 86}));
}

TEST(VerticalLayoutTest, InvisibleChildrenTakeNoSpace) {
  CVerticalLayoutUI layout;
  layout.SetChildPadding(4);
  CControlUI* a = AddSizedChild(layout, 0, 10);
  CControlUI* hidden = AddSizedChild(layout, 0, 50);
  CControlUI* c = AddSizedChild(layout, 0, 0);
  hidden->SetVisible(false);
  layout.SetPosition(RECT{0, 0, 20, 100});
  EXPECT_TRUE(PlacedAt(a, RECT{0, 0, 20, 10}));
  // The gap is counted once in the flow and once more in the last stretcher's share.
  EXPECT_TRUE(PlacedAt(c, RECT{0, 14, 20, 96}));
}

TEST(VerticalLayoutTest, ChildAlignPlacesNarrowChildrenCentredOrOnTheRight) {
  CVerticalLayoutUI layout;
  CControlUI* child = AddSizedChild(layout, 30, 10);
  child->SetPadding(RECT{3, 0, 4, 0});
  layout.ApplyAttribute(L"childalign", L"center");
  layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, RECT{35, 0, 65, 10}));
  layout.ApplyAttribute(L"childalign", L"right");
  layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, RECT{66, 0, 96, 10}));
  layout.ApplyAttribute(L"childalign", L"left");
  layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, RECT{3, 0, 33, 10}));
}

TEST(VerticalLayoutTest, FloatingChildFollowsItsRatiosAndLeavesTheFlowAlone) {
  CVerticalLayoutUI layout;
  CControlUI* floating = AddSizedChild(layout, 20, 10);
  floating->SetFloat(true);
  floating->SetFixedOrigin(5, 6);
  floating->SetFloatRatios(0.5, 0, 0.5, 0);
  CControlUI* flow = AddSizedChild(layout, 0, 0);
  layout.SetPosition(RECT{10, 20, 110, 120});
  EXPECT_TRUE(PlacedAt(floating, RECT{65, 26, 85, 36}));
  EXPECT_TRUE(PlacedAt(flow, RECT{10, 20, 110, 120}));
}

TEST(VerticalLayoutTest, SeparatorBandSitsOnTheEdgeItsSignNames) {
  CVerticalLayoutUI layout;
  layout.SetPosition(RECT{0, 10, 50, 110});
  layout.ApplyAttribute(L"sepheight", L"-4");
  RECT rc = layout.GetSeparatorRect();
  EXPECT_EQ(rc.top, 10);
  EXPECT_EQ(rc.bottom, 14);
  layout.ApplyAttribute(L"sepheight", L"6");
  rc = layout.GetSeparatorRect();
  EXPECT_EQ(rc.top, 104);
  EXPECT_EQ(rc.bottom, 110);
}

SkinUI::InputEvent MouseAt(int iKind, int x, int y) {
  SkinUI::InputEvent event = {};
  event.iKind = iKind;
  event.ptMouse = POINT{x, y};
  return event;
}

void Send(CControlUI& control, int iKind, int x, int y) {
  SkinUI::InputEvent event = MouseAt(iKind, x, y);
  control.HandleEvent(event);
}

TEST(VerticalLayoutTest, DraggingTheTopSeparatorResizesWithinTheLimits) {
  CVerticalLayoutUI layout;
  layout.ApplyAttribute(L"sepheight", L"-4");
  layout.SetMaxHeight(110);
  layout.SetPosition(RECT{0, 10, 50, 110});
  EXPECT_EQ(layout.GetBehaviourFlags(), 2u);
  Send(layout, SkinUI::kEventButtonDown, 20, 11);
  ASSERT_TRUE(layout.IsDragging());
  Send(layout, SkinUI::kEventMouseMove, 20, 5);
  EXPECT_EQ(layout.GetFixedHeight(), 106);
  EXPECT_EQ(layout.GetSeparatorRect(true).top, 4);
  // The tracker moves; the layout itself waits for the button to come up.
  EXPECT_TRUE(PlacedAt(&layout, RECT{0, 10, 50, 110}));
  Send(layout, SkinUI::kEventMouseMove, 20, -5);
  EXPECT_EQ(layout.GetFixedHeight(), 110);
  Send(layout, SkinUI::kEventMouseMove, 20, -9);
  EXPECT_EQ(layout.GetFixedHeight(), 110);
  Send(layout, SkinUI::kEventButtonUp, 20, -9);
  EXPECT_FALSE(layout.IsDragging());
  EXPECT_TRUE(PlacedAt(&layout, RECT{0, 0, 50, 110}));
}

TEST(VerticalLayoutTest, PressesOutsideTheBandDoNotDrag) {
  CVerticalLayoutUI layout;
  layout.SetPosition(RECT{0, 0, 50, 100});
  EXPECT_EQ(layout.GetBehaviourFlags(), 0u);
  Send(layout, SkinUI::kEventButtonDown, 20, 99);
  EXPECT_FALSE(layout.IsDragging());
  layout.SetSeparatorSize(5);
  Send(layout, SkinUI::kEventButtonDown, 20, 50);
  EXPECT_FALSE(layout.IsDragging());
  layout.SetEnabled(false);
  Send(layout, SkinUI::kEventButtonDown, 20, 99);
  EXPECT_FALSE(layout.IsDragging());
}

TEST(HorizontalLayoutTest, ImmediateDraggingOfTheRightSeparatorResizesAtOnce) {
  CHorizontalLayoutUI layout;
  layout.ApplyAttribute(L"sepwidth", L"5");
  layout.ApplyAttribute(L"sepimm", L"true");
  layout.SetMinWidth(80);
  layout.SetPosition(RECT{0, 0, 100, 40});
  Send(layout, SkinUI::kEventButtonDown, 97, 10);
  Send(layout, SkinUI::kEventMouseMove, 107, 10);
  EXPECT_EQ(layout.GetFixedWidth(), 110);
  EXPECT_TRUE(PlacedAt(&layout, RECT{0, 0, 110, 40}));
  Send(layout, SkinUI::kEventMouseMove, 57, 10);
  EXPECT_EQ(layout.GetFixedWidth(), 80);
  Send(layout, SkinUI::kEventButtonUp, 57, 10);
  EXPECT_TRUE(PlacedAt(&layout, RECT{0, 0, 80, 40}));
}

TEST(HorizontalLayoutTest, ATrackerBandDarkensThePostPaintWhileDragging) {
  CHorizontalLayoutUI layout;
  layout.SetSeparatorSize(-4);
  layout.SetPosition(RECT{10, 0, 60, 20});
  testing_support::DibCanvas canvas(80, 20, 0xFFFFFFFF);
  layout.PostPaint(canvas.dc(), RECT{0, 0, 80, 20});
  EXPECT_EQ(canvas.CountOtherThan(0xFFFFFF, 0, 0, 80, 20), 0);
  Send(layout, SkinUI::kEventButtonDown, 11, 5);
  Send(layout, SkinUI::kEventMouseMove, 6, 5);
  layout.PostPaint(canvas.dc(), RECT{0, 0, 80, 20});
  const RECT ink = canvas.InkBounds(0xFFFFFF);
  EXPECT_TRUE(PlacedAt(&layout, RECT{10, 0, 60, 20}));
  EXPECT_EQ(ink.left, 5);
  EXPECT_EQ(ink.right, 9);
  EXPECT_LT(canvas.Rgb(6, 5) & 0xFF, 0x80u);
}

// ---- horizontal ----

TEST(HorizontalLayoutTest, StretchingChildrenShareTheWidthWithTheRemainderGoingToTheLast) {
  CHorizontalLayoutUI layout;
  CControlUI* a = AddSizedChild(layout, 0, 0);
  CControlUI* b = AddSizedChild(layout, 0, 0);
  CControlUI* c = AddSizedChild(layout, 0, 0);
  layout.SetPosition(RECT{0, 0, 100, 40});
  EXPECT_TRUE(PlacedAt(a, RECT{0, 0, 33, 40}));
  EXPECT_TRUE(PlacedAt(b, RECT{33, 0, 66, 40}));
  EXPECT_TRUE(PlacedAt(c, RECT{66, 0, 100, 40}));
}

TEST(HorizontalLayoutTest, FixedWidthsGapsAndAStretchingChildFillTheRow) {
  CHorizontalLayoutUI layout;
  layout.ApplyAttribute(L"childpadding", L"5");
  layout.ApplyAttribute(L"inset", L"2,2,2,2");
  CControlUI* a = AddSizedChild(layout, 30, 0);
  CControlUI* b = AddSizedChild(layout, 0, 0);
  CControlUI* c = AddSizedChild(layout, 20, 10);
  layout.SetPosition(RECT{0, 0, 104, 44});
  EXPECT_TRUE(PlacedAt(a, RECT{2, 2, 32, 42}));
  // 100 wide: 30 + 5 + stretch + 5 + 20, the gaps counted twice for the last stretcher.
  EXPECT_TRUE(PlacedAt(b, RECT{37, 2, 72, 42}));
  EXPECT_TRUE(PlacedAt(c, RECT{77, 2, 97, 12}));
}

TEST(HorizontalLayoutTest, OnlyTheVerticalAlignmentMovesChildren) {
  CHorizontalLayoutUI layout;
  CControlUI* child = AddSizedChild(layout, 10, 20);
  child->SetPadding(RECT{0, 0, 0, 3});
  layout.ApplyAttribute(L"childalign", L"right");
  layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, RECT{0, 0, 10, 20}));
  layout.ApplyAttribute(L"childvalign", L"vcenter");
  layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, RECT{0, 40, 10, 60}));
  layout.ApplyAttribute(L"childvalign", L"bottom");
  layout.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, RECT{0, 77, 10, 97}));
}

TEST(HorizontalLayoutTest, MaximumWidthCapsAStretchingChild) {
  CHorizontalLayoutUI layout;
  CControlUI* capped = AddSizedChild(layout, 0, 0);
  capped->SetMaxWidth(25);
  CControlUI* rest = AddSizedChild(layout, 0, 0);
  layout.SetPosition(RECT{0, 0, 100, 10});
  EXPECT_TRUE(PlacedAt(capped, RECT{0, 0, 25, 10}));
  EXPECT_TRUE(PlacedAt(rest, RECT{25, 0, 100, 10}));
}

}  // namespace
