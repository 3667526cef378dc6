// The container base: its child list and ownership, attributes, its own stacking layout,
// floating children, tree searches and hit tests, and the painting order and clipping of its
// children read back from a 32-bit surface.

#include <gtest/gtest.h>

#include "ControlFixture.h"
#include "Core/UIContainer.h"
#include "LayoutTestSupport.h"
#include "support/DibCanvas.h"

using layout_testing::CountedControl;
using layout_testing::PlacedAt;
using SkinUI::CContainerUI;
using SkinUI::CControlUI;
using SkinUI::IContainerUI;
using testing_support::DibCanvas;

namespace {

CControlUI* CALLBACK AnyControl(CControlUI* pControl, LPVOID) { return pControl; }

CControlUI* CALLBACK ControlNamed(CControlUI* pControl, LPVOID pData) {
  return pControl->GetName() == static_cast<LPCWSTR>(pData) ? pControl : nullptr;
}

class ListItemControl : public CControlUI {
 public:
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override {
    if (::lstrcmpW(pstrName, L"ListItem") == 0) return this;
    return CControlUI::QueryNamedInterface(pstrName);
  }
};

// ---- the child list and ownership ----

TEST(ContainerItemsTest, ChildrenAreFoundByIndexAndMovedWithinTheList) {
  CContainerUI container;
  auto* a = new CControlUI;
  auto* b = new CControlUI;
  auto* c = new CControlUI;
  EXPECT_FALSE(container.AddItem(nullptr));
  EXPECT_TRUE(container.AddItem(a));
  EXPECT_TRUE(container.AddItem(c));
  EXPECT_TRUE(container.InsertItemAt(b, 1));
  EXPECT_EQ(container.GetItemCount(), 3);
  EXPECT_EQ(container.GetItemAt(1), b);
  EXPECT_EQ(container.GetItemAt(-1), nullptr);
  EXPECT_EQ(container.GetItemAt(3), nullptr);
  EXPECT_EQ(b->GetParent(), &container);

  EXPECT_TRUE(container.MoveItemTo(a, 2));
  EXPECT_EQ(container.GetItemIndex(a), 2);
  EXPECT_EQ(container.GetItemIndex(b), 0);
  CControlUI stranger;
  EXPECT_FALSE(container.MoveItemTo(&stranger, 0));
  EXPECT_EQ(container.GetItemIndex(&stranger), -1);
}

TEST(ContainerItemsTest, AnInsertPositionOutsideTheListIsRefusedAndTheChildLeftAlone) {
  CContainerUI container;
  CControlUI child;
  EXPECT_FALSE(container.InsertItemAt(&child, 1));
  EXPECT_FALSE(container.InsertItemAt(&child, -1));
  EXPECT_EQ(container.GetItemCount(), 0);
  EXPECT_EQ(child.GetParent(), nullptr);
}

TEST(ContainerItemsTest, RemovedChildrenAreDestroyedOnlyWhenTheContainerOwnsThem) {
  int destroyed = 0;
  auto* kept = new CountedControl(&destroyed);
  {
    CContainerUI container;
    auto* owned = new CountedControl(&destroyed);
    container.AddItem(owned);
    container.AddItem(new CountedControl(&destroyed));
    EXPECT_TRUE(container.RemoveItemAt(0));
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(container.RemoveItem(owned));

    container.SetOwningChildren(false);
    container.AddItem(kept);
    EXPECT_TRUE(container.RemoveItem(kept));
    EXPECT_EQ(destroyed, 1);
    container.SetOwningChildren(true);
  }
  // The container's end took its remaining child with it.
  EXPECT_EQ(destroyed, 2);
  delete kept;
}

class ContainerOnHostTest : public control_testing::ControlHostTest {};

TEST_F(ContainerOnHostTest, ARemovedChildLivesUntilTheHostsDelayedCleanupRuns) {
  int destroyed = 0;
  CContainerUI container;
  container.SetHost(&m_host, nullptr);
  auto* child = new CountedControl(&destroyed);
  container.AddItem(child);
  EXPECT_EQ(child->GetHost(), &m_host);
  EXPECT_TRUE(container.RemoveItem(child));
  EXPECT_EQ(container.GetItemCount(), 0);
  EXPECT_EQ(destroyed, 0);
  LRESULT lRes = 0;
  m_host.HandleWindowMessage(SkinUI::CWindowHostUI::kQueuedNotifyMessage, 0, 0, lRes);
  EXPECT_EQ(destroyed, 1);
  container.SetHost(nullptr, nullptr);
}

TEST(ContainerItemsTest, HidingTheContainerHidesItsChildrenAndNewOnesStayHidden) {
  CContainerUI container;
  auto* a = new CControlUI;
  container.AddItem(a);
  container.SetVisible(false);
  EXPECT_FALSE(a->IsVisible());
  auto* late = new CControlUI;
  container.AddItem(late);
  EXPECT_FALSE(late->IsVisible());
  container.SetVisible(true);
  EXPECT_TRUE(a->IsVisible());
  EXPECT_TRUE(late->IsVisible());
}

TEST(ContainerItemsTest, ContainerAnswersForItsListInterface) {
  CContainerUI container;
  container.AddItem(new CControlUI);
  auto* pList = static_cast<IContainerUI*>(container.QueryNamedInterface(L"IContainer"));
  ASSERT_NE(pList, nullptr);
  EXPECT_EQ(pList->GetItemCount(), 1);
  EXPECT_EQ(container.QueryNamedInterface(L"Container"), &container);
  EXPECT_EQ(container.QueryNamedInterface(L"Control"), &container);
  EXPECT_STREQ(container.ClassName(), L"ContainerUI");
}

TEST(ContainerItemsTest, SelectableItemsAreVisibleEnabledListItems) {
  CContainerUI container;
  EXPECT_EQ(container.FindSelectableItem(0, true), -1);
  container.AddItem(new CControlUI);
  auto* disabled = new ListItemControl;
  disabled->SetEnabled(false);
  container.AddItem(disabled);
  container.AddItem(new ListItemControl);
  container.AddItem(new CControlUI);
  EXPECT_EQ(container.FindSelectableItem(0, true), 2);
  EXPECT_EQ(container.FindSelectableItem(3, true), -1);
  EXPECT_EQ(container.FindSelectableItem(99, false), 2);
  // Nothing at or before index 1: the search turns forward from the start.
  EXPECT_EQ(container.FindSelectableItem(1, false), 2);
}

// ---- attributes ----

TEST(ContainerAttributesTest, SpacingAndAlignmentValuesAreReadOrIgnored) {
  CContainerUI container;
  container.ApplyAttribute(L"childpadding", L"-5");
  EXPECT_EQ(container.GetChildPadding(), 0);
  container.ApplyAttribute(L"childalign", L"right");
  container.ApplyAttribute(L"childalign", L"middle");
  EXPECT_EQ(container.GetChildAlign(), SkinUI::kChildAlignRight);
  container.ApplyAttribute(L"childvalign", L"vcenter");
  container.ApplyAttribute(L"childvalign", L"Bottom");
  EXPECT_EQ(container.GetChildVAlign(), SkinUI::kChildVAlignCenter);
  container.ApplyAttribute(L"inset", L"1,2,3");
  const RECT rc = container.GetInset();
  EXPECT_EQ(rc.left, 1);
  EXPECT_EQ(rc.top, 2);
  EXPECT_EQ(rc.right, 3);
  EXPECT_EQ(rc.bottom, 0);
  container.ApplyAttribute(L"mousechild", L"false");
  EXPECT_FALSE(container.IsMouseChildEnabled());
}

// ---- the container's own layout ----

TEST(ContainerLayoutTest, ChildrenFillTheInsetAreaWithinTheirLimits) {
  CContainerUI container;
  container.SetInset(RECT{10, 10, 10, 10});
  auto* narrow = new CControlUI;
  narrow->SetMaxWidth(50);
  auto* tall = new CControlUI;
  tall->SetMinHeight(40);
  auto* floating = new CControlUI;
  floating->SetFloat(true);
  floating->SetFixedOrigin(2, 3);
  floating->SetFixedWidth(10);
  floating->SetFixedHeight(5);
  floating->SetFloatRatios(1, 1, 1, 1);
  container.AddItem(narrow);
  container.AddItem(tall);
  container.AddItem(floating);
  container.SetPosition(RECT{100, 100, 200, 150});
  EXPECT_TRUE(PlacedAt(narrow, RECT{110, 110, 160, 140}));
  EXPECT_TRUE(PlacedAt(tall, RECT{110, 110, 190, 150}));
  // Ratios of 1 pin the floating child to the bottom-right corner plus its origin.
  EXPECT_TRUE(PlacedAt(floating, RECT{202, 153, 212, 158}));
}

TEST(ContainerLayoutTest, AnEmptyContainerOnlyTakesItsRectangle) {
  CContainerUI container;
  container.SetPosition(RECT{1, 2, 3, 4});
  EXPECT_TRUE(PlacedAt(&container, RECT{1, 2, 3, 4}));
}

// ---- searching ----

// A 40 x 20 container at (10, 10) with a 5-pixel inset; child "left" covers (12,12)-(40,28),
// child "right" (30,15)-(48,25), overlapping "left" and reaching into the inset.
class ContainerSearchTest : public ::testing::Test {
 protected:
  ContainerSearchTest() {
    m_container.SetName(L"box");
    m_container.SetInset(RECT{5, 5, 5, 5});
    m_left = new CControlUI;
    m_left->SetName(L"left");
    m_right = new CControlUI;
    m_right->SetName(L"right");
    m_container.AddItem(m_left);
    m_container.AddItem(m_right);
    m_container.SetPosition(RECT{10, 10, 50, 30});
    m_left->SetPosition(RECT{12, 12, 40, 28});
    m_right->SetPosition(RECT{30, 15, 48, 25});
  }
  CControlUI* HitTest(int x, int y, UINT uExtra = 0) {
    POINT pt = {x, y};
    return m_container.FindControl(AnyControl, &pt,
                                   SkinUI::kFindVisible | SkinUI::kFindHitTest | uExtra);
  }

  CContainerUI m_container;
  CControlUI* m_left;
  CControlUI* m_right;
};

TEST_F(ContainerSearchTest, HitTestsPreferTheFirstChildUnlessTopFirstIsAsked) {
  EXPECT_EQ(HitTest(35, 20), m_left);
  EXPECT_EQ(HitTest(35, 20, SkinUI::kFindTopFirst), m_right);
  EXPECT_EQ(HitTest(5, 5), nullptr);
}

TEST_F(ContainerSearchTest, PointsInTheInsetBelongToTheContainerNotToOverhangingChildren) {
  EXPECT_EQ(HitTest(13, 20), &m_container);
  EXPECT_EQ(HitTest(47, 20, SkinUI::kFindTopFirst), &m_container);
}

TEST_F(ContainerSearchTest, FloatingChildrenAreHitEvenInTheInset) {
  auto* floating = new CControlUI;
  floating->SetFloat(true);
  m_container.AddItem(floating);
  floating->SetPosition(RECT{0, 0, 6, 6});
  EXPECT_EQ(HitTest(12, 12, SkinUI::kFindTopFirst), floating);
}

TEST_F(ContainerSearchTest, MouseFlagsDecideWhetherContainerOrChildrenAnswer) {
  m_container.SetMouseChildEnabled(false);
  EXPECT_EQ(HitTest(20, 20), &m_container);
  m_container.SetMouseChildEnabled(true);
  m_container.SetMouseEnabled(false);
  EXPECT_EQ(HitTest(20, 20), m_left);
  EXPECT_EQ(HitTest(13, 20), nullptr);
}

TEST_F(ContainerSearchTest, SearchesByNameDescendIntoNestedContainers) {
  auto* inner = new CContainerUI;
  auto* deep = new CControlUI;
  deep->SetName(L"deep");
  inner->AddItem(deep);
  m_container.AddItem(inner);
  EXPECT_EQ(m_container.FindControl(ControlNamed, const_cast<LPWSTR>(L"deep"), 0), deep);
  EXPECT_EQ(m_container.FindControl(ControlNamed, const_cast<LPWSTR>(L"box"),
                                    SkinUI::kFindMeFirst),
            &m_container);
  m_left->SetVisible(false);
  EXPECT_EQ(m_container.FindControl(ControlNamed, const_cast<LPWSTR>(L"left"),
                                    SkinUI::kFindVisible),
            nullptr);
}

// ---- painting ----

const uint32_t kCanvas = 0x101010;
const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;
const uint32_t kBlue = 0x0000FF;
const uint32_t kYellow = 0xFFFF00;

class ContainerPaintTest : public ContainerSearchTest {
 protected:
  ContainerPaintTest() : m_canvas(60, 40, 0xFF000000 | kCanvas) {
    m_container.SetBkColor(0xFF000000 | kRed);
    m_left->SetBkColor(0xFF000000 | kGreen);
    m_right->SetBkColor(0xFF000000 | kBlue);
  }
  bool PaintAll(CControlUI* pStop = nullptr) {
    return m_container.Paint(m_canvas.dc(), RECT{0, 0, 60, 40}, pStop);
  }

  DibCanvas m_canvas;
};

TEST_F(ContainerPaintTest, LaterChildrenPaintOverEarlierOnesInsideTheInset) {
  EXPECT_TRUE(PaintAll());
  EXPECT_EQ(m_canvas.Rgb(20, 20), kGreen);
  EXPECT_EQ(m_canvas.Rgb(35, 20), kBlue);
  // Children are cut at the inset; the container's own background shows there.
  EXPECT_EQ(m_canvas.Rgb(13, 13), kRed);
  EXPECT_EQ(m_canvas.Rgb(46, 20), kRed);
  EXPECT_EQ(m_canvas.Rgb(20, 27), kRed);
  EXPECT_EQ(m_canvas.CountOtherThan(kCanvas, 0, 0, 60, 10), 0);
  EXPECT_EQ(m_canvas.CountOtherThan(kCanvas, 50, 0, 60, 40), 0);
}

TEST_F(ContainerPaintTest, FloatingChildrenPaintOverTheInsetButNotOutsideTheContainer) {
  auto* floating = new CControlUI;
  floating->SetFloat(true);
  floating->SetBkColor(0xFF000000 | kYellow);
  m_container.AddItem(floating);
  floating->SetPosition(RECT{35, 15, 50, 30});
  PaintAll();
  EXPECT_EQ(m_canvas.Rgb(47, 27), kYellow);
  EXPECT_EQ(m_canvas.Rgb(52, 32), kCanvas);
  EXPECT_EQ(m_canvas.CountOtherThan(kCanvas, 50, 0, 60, 40), 0);
  EXPECT_EQ(m_canvas.CountOtherThan(kCanvas, 0, 30, 60, 40), 0);
}

TEST_F(ContainerPaintTest, PaintingStopsAtTheStopControl) {
  EXPECT_FALSE(PaintAll(m_right));
  EXPECT_EQ(m_canvas.Rgb(35, 20), kGreen);
}

TEST_F(ContainerPaintTest, OnlyTheDirtyPartAndVisibleChildrenArePainted) {
  m_left->SetVisible(false);
  m_container.Paint(m_canvas.dc(), RECT{0, 0, 33, 40}, nullptr);
  EXPECT_EQ(m_canvas.Rgb(20, 20), kRed);
  EXPECT_EQ(m_canvas.Rgb(31, 20), kBlue);
  EXPECT_EQ(m_canvas.Rgb(35, 20), kCanvas);
}

TEST_F(ContainerPaintTest, FloatingChildrenStillPaintWhenOnlyTheInsetIsDirty) {
  auto* floating = new CControlUI;
  floating->SetFloat(true);
  floating->SetBkColor(0xFF000000 | kYellow);
  m_container.AddItem(floating);
  floating->SetPosition(RECT{0, 0, 2, 2});
  m_container.Paint(m_canvas.dc(), RECT{0, 0, 14, 14}, nullptr);
  EXPECT_EQ(m_canvas.Rgb(11, 11), kYellow);
  EXPECT_EQ(m_canvas.Rgb(13, 13), kRed);
  EXPECT_EQ(m_canvas.Rgb(20, 20), kCanvas);
}

}  // namespace
