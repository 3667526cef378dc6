// Placement, floating controls, visibility, enabling and the screen areas controls invalidate.

#include <gtest/gtest.h>

#include "ControlFixture.h"
#include "Core/UIControl.h"

using control_testing::ControlHostTest;
using control_testing::Describe;
using control_testing::SameRect;
using SkinUI::CControlUI;

namespace {

// ---- placement ----

TEST(ControlPlacementTest, InvertedRectangleCollapsesToItsTopLeft) {
  CControlUI control;
  control.SetPosition(RECT{50, 40, 10, 20});
  EXPECT_TRUE(SameRect(control.GetPosition(), RECT{50, 40, 50, 40}))
      << Describe(control.GetPosition());
}

TEST(ControlPlacementTest, FloatingChildFollowsTheParentsWidthByItsRatios) {
  CControlUI parent;
  CControlUI child;
  child.SetHost(nullptr, &parent, false);
  child.ApplyAttribute(L"float", L"0.5,0,0.5,0");
  child.ApplyAttribute(L"pos", L"10,10,60,40");

  // What a container computes for a 200-pixel and a 300-pixel wide parent at (100, 50).
  parent.SetPosition(RECT{100, 50, 300, 150});
  child.SetPosition(RECT{110, 10, 160, 40});
  EXPECT_TRUE(SameRect(child.GetPosition(), RECT{210, 60, 260, 90}))
      << Describe(child.GetPosition());
  EXPECT_TRUE(SameRect(child.GetPositionInParent(), RECT{110, 10, 160, 40}));
  EXPECT_EQ(child.GetFixedOrigin().x, 10);
  EXPECT_EQ(child.GetFixedOrigin().y, 10);
  EXPECT_EQ(child.GetFixedWidth(), 50);
  EXPECT_EQ(child.GetFixedHeight(), 30);

  parent.SetPosition(RECT{100, 50, 400, 150});
  child.SetPosition(RECT{160, 10, 210, 40});
  EXPECT_EQ(child.GetFixedOrigin().x, 10);
  EXPECT_EQ(child.GetFixedWidth(), 50);
}

TEST(ControlPlacementTest, FloatingControlWithoutParentKeepsItsRectangle) {
  CControlUI control;
  control.SetPosition(RECT{1, 2, 3, 4});
  control.SetFloat(true);
  control.SetPosition(RECT{10, 20, 30, 40});
  EXPECT_TRUE(SameRect(control.GetPosition(), RECT{1, 2, 3, 4}));
}

// ---- visibility and enabling ----

TEST(ControlVisibilityTest, VisibleOnlyWhenNeitherItselfNorAnAncestorHidesIt) {
  CControlUI control;
  EXPECT_TRUE(control.IsVisible());
  control.SetInheritedVisible(false);
  EXPECT_FALSE(control.IsVisible());
  control.SetInheritedVisible(true);
  control.SetVisible(false);
  EXPECT_FALSE(control.IsVisible());
  EXPECT_FALSE(control.Activate());
  control.SetVisible(true);
  control.SetEnabled(false);
  EXPECT_FALSE(control.Activate());
  control.SetEnabled(true);
  EXPECT_TRUE(control.Activate());
}

class ControlFocusTest : public ControlHostTest {};

TEST_F(ControlFocusTest, HidingTheFocusedControlClearsTheHostsFocus) {
  CControlUI control;
  control.SetHost(&m_host, nullptr, false);
  control.SetPosition(RECT{0, 0, 10, 10});
  control.SetFocus();
  ASSERT_EQ(m_host.GetFocusControl(), &control);
  EXPECT_TRUE(control.IsFocused());

  control.SetVisible(false);
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  EXPECT_FALSE(control.IsFocused());
  ASSERT_EQ(m_recorder.received.size(), 2u);
  EXPECT_EQ(m_recorder.received[0].type, L"setfocus");
  EXPECT_EQ(m_recorder.received[1].type, L"killfocus");
  EXPECT_EQ(m_recorder.received[1].sender, &control);
}

TEST_F(ControlFocusTest, AHiddenOrDisabledControlCannotTakeTheFocus) {
  CControlUI hidden;
  hidden.SetHost(&m_host, nullptr, false);
  hidden.SetVisible(false);
  hidden.SetFocus();
  CControlUI disabled;
  disabled.SetHost(&m_host, nullptr, false);
  disabled.SetEnabled(false);
  disabled.SetFocus();
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  EXPECT_TRUE(m_recorder.received.empty());
}

TEST_F(ControlFocusTest, ADestroyedFocusControlLeavesTheHostWithoutFocus) {
  {
    CControlUI control;
    control.SetHost(&m_host, nullptr, false);
    control.SetFocus();
    ASSERT_EQ(m_host.GetFocusControl(), &control);
  }
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
}

// ---- invalidation ----

class ControlInvalidateTest : public ControlHostTest {
 protected:
  void SetUp() override {
    ControlHostTest::SetUp();
    m_parent.SetHost(&m_host, nullptr, false);
    m_child.SetHost(&m_host, &m_parent, false);
    m_parent.SetPosition(RECT{20, 20, 120, 100});
    m_child.SetPosition(RECT{100, 30, 160, 60});
    Validate();
  }
  CControlUI m_parent;
  CControlUI m_child;
};

TEST_F(ControlInvalidateTest, InvalidateRepaintsOnlyThePartInsideEveryAncestor) {
  m_child.Invalidate();
  EXPECT_TRUE(SameRect(UpdateRect(), RECT{100, 30, 120, 60})) << Describe(UpdateRect());
}

TEST_F(ControlInvalidateTest, HiddenControlsAndControlsOutsideTheirParentInvalidateNothing) {
  m_child.SetVisible(false);
  Validate();
  m_child.Invalidate();
  m_child.SetText(L"changed");
  EXPECT_TRUE(NothingInvalidated()) << Describe(UpdateRect());

  m_child.SetVisible(true);
  m_child.SetPosition(RECT{130, 30, 160, 60}, false);
  Validate();
  m_child.SetBkColor(0xFF00FF00);
  EXPECT_TRUE(NothingInvalidated()) << Describe(UpdateRect());
}

TEST_F(ControlInvalidateTest, MovingRepaintsTheOldAndNewPlacesInsideTheParent) {
  CControlUI inner;
  inner.SetHost(&m_host, &m_parent, false);
  inner.SetPosition(RECT{30, 30, 40, 40});
  Validate();
  inner.SetPosition(RECT{60, 70, 80, 90});
  EXPECT_TRUE(SameRect(UpdateRect(), RECT{30, 30, 80, 90})) << Describe(UpdateRect());
  Validate();
  inner.MoveBy(50, 0);
  EXPECT_TRUE(SameRect(UpdateRect(), RECT{60, 70, 120, 90})) << Describe(UpdateRect());
  Validate();
  inner.MoveBy(1, 1, false);
  EXPECT_TRUE(NothingInvalidated()) << Describe(UpdateRect());
}

TEST_F(ControlInvalidateTest, ChildOfAHiddenParentDoesNotRepaintWhenPlaced) {
  m_parent.SetInheritedVisible(false);
  m_child.SetPosition(RECT{30, 30, 50, 50});
  EXPECT_TRUE(NothingInvalidated()) << Describe(UpdateRect());
}

TEST_F(ControlInvalidateTest, GeometryChangesAskTheHostForALayout) {
  m_child.SetPosition(m_child.GetPosition());
  EXPECT_FALSE(m_child.IsLayoutDirty());
  EXPECT_FALSE(m_host.IsUpdateNeeded());
  m_child.SetFixedWidth(20);
  EXPECT_TRUE(m_parent.IsLayoutDirty());
  EXPECT_TRUE(m_host.IsUpdateNeeded());
  // The parent is repainted as a whole.
  EXPECT_TRUE(SameRect(UpdateRect(), RECT{20, 20, 120, 100})) << Describe(UpdateRect());
}

TEST_F(ControlInvalidateTest, SizeHandlersRunOncePerPlacement) {
  struct Counter {
    int calls = 0;
    bool OnSize(void* pParam) {
      ++calls;
      // Placing the control again from its own size handler must not recurse.
      static_cast<CControlUI*>(pParam)->SetPosition(RECT{0, 0, 5, 5});
      return true;
    }
  } counter;
  m_child.OnSize += SkinUI::MakeDelegate(&counter, &Counter::OnSize);
  m_child.SetPosition(RECT{100, 30, 150, 60});
  EXPECT_EQ(counter.calls, 1);
  EXPECT_TRUE(SameRect(m_child.GetPosition(), RECT{0, 0, 5, 5}));
}

}  // namespace
