// The tile layout's grid cells and the tab layout's selection: who is shown, where, and what is
// announced.

#include <gtest/gtest.h>

#include <vector>

#include "Control/UIScrollBar.h"
#include "ControlFixture.h"
#include "Layout/UITabLayout.h"
#include "Layout/UITileLayout.h"
#include "LayoutTestSupport.h"

using control_testing::ControlHostTest;
using layout_testing::AddSizedChild;
using layout_testing::CountedControl;
using layout_testing::PlacedAt;
using SkinUI::CControlUI;
using SkinUI::CTabLayoutUI;
using SkinUI::CTileLayoutUI;

namespace {

// ---- tile ----

TEST(TileLayoutTest, AutomaticColumnsSpreadTheSpareWidthIntoTheGaps) {
  CTileLayoutUI tile;
  CControlUI* children[4];
  for (CControlUI*& child : children) child = AddSizedChild(tile, 0, 0);
  tile.SetPosition(RECT{0, 0, 250, 300});
  EXPECT_EQ(tile.GetColumnsInUse(), 3);
  EXPECT_EQ(tile.GetRows(), 2);
  EXPECT_TRUE(PlacedAt(children[0], RECT{0, 0, 80, 80}));
  EXPECT_TRUE(PlacedAt(children[1], RECT{85, 0, 165, 80}));
  EXPECT_TRUE(PlacedAt(children[2], RECT{170, 0, 250, 80}));
  EXPECT_TRUE(PlacedAt(children[3], RECT{0, 80, 80, 160}));
}

TEST(TileLayoutTest, OneRequestedColumnHasNoGapWhateverTheChildPadding) {
  CTileLayoutUI tile;
  tile.ApplyAttribute(L"columns", L"1");
  tile.ApplyAttribute(L"childpadding", L"10");
  tile.ApplyAttribute(L"childvpadding", L"7");
  tile.ApplyAttribute(L"itemsize", L"40,30");
  CControlUI* a = AddSizedChild(tile, 0, 0);
  CControlUI* b = AddSizedChild(tile, 0, 0);
  tile.SetPosition(RECT{10, 10, 200, 200});
  EXPECT_TRUE(PlacedAt(a, RECT{10, 10, 50, 40}));
  EXPECT_TRUE(PlacedAt(b, RECT{10, 47, 50, 77}));
}

TEST(TileLayoutTest, AHiddenChildLeavesItsCellEmpty) {
  CTileLayoutUI tile;
  tile.SetColumns(3);
  tile.SetChildPadding(2);
  CControlUI* a = AddSizedChild(tile, 0, 0);
  CControlUI* hidden = AddSizedChild(tile, 0, 0);
  CControlUI* c = AddSizedChild(tile, 0, 0);
  hidden->SetVisible(false);
  tile.SetPosition(RECT{0, 0, 300, 100});
  EXPECT_TRUE(PlacedAt(a, RECT{0, 0, 80, 80}));
  EXPECT_TRUE(PlacedAt(c, RECT{164, 0, 244, 80}));
}

TEST(TileLayoutTest, ChildrenSmallerThanTheCellAlignInsideIt) {
  CTileLayoutUI tile;
  tile.SetColumns(1);
  tile.ApplyAttribute(L"childalign", L"center");
  tile.ApplyAttribute(L"childvalign", L"bottom");
  CControlUI* child = AddSizedChild(tile, 0, 0);
  child->SetMaxWidth(20);
  child->SetMaxHeight(30);
  tile.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_TRUE(PlacedAt(child, RECT{30, 50, 50, 80}));
}

TEST(TileLayoutTest, ZeroWidthItemsFallBackToOneColumn) {
  CTileLayoutUI tile;
  tile.ApplyAttribute(L"itemsize", L"0,10");
  CControlUI* a = AddSizedChild(tile, 0, 0);
  CControlUI* b = AddSizedChild(tile, 0, 0);
  tile.SetPosition(RECT{0, 0, 100, 100});
  EXPECT_EQ(tile.GetColumnsInUse(), 1);
  EXPECT_TRUE(PlacedAt(b, RECT{0, 10, 0, 20}));
  EXPECT_TRUE(PlacedAt(a, RECT{0, 0, 0, 10}));
}

// ---- tab ----

// Focus changes on the way are announced too; only the tab announcements matter here.
class TabLayoutTest : public ControlHostTest {
 protected:
  std::vector<control_testing::RecordedNotification> TabSelections() const {
    std::vector<control_testing::RecordedNotification> found;
    for (const auto& n : m_recorder.received) {
      if (n.type == L"tabselect") found.push_back(n);
    }
    return found;
  }
};

TEST_F(TabLayoutTest, TheFirstVisibleChildIsShownAndTheOthersHidden) {
  CTabLayoutUI tab;
  CControlUI* a = AddSizedChild(tab, 0, 0);
  CControlUI* b = AddSizedChild(tab, 0, 0);
  CControlUI* c = AddSizedChild(tab, 0, 0);
  EXPECT_EQ(tab.GetCurSel(), 0);
  EXPECT_TRUE(a->IsVisible());
  EXPECT_FALSE(b->IsVisible());
  EXPECT_FALSE(c->IsVisible());
}

TEST_F(TabLayoutTest, SelectingATabShowsItAndAnnouncesNewAndOldIndex) {
  CTabLayoutUI tab;
  tab.SetHost(&m_host, nullptr);
  CControlUI* a = AddSizedChild(tab, 0, 0);
  AddSizedChild(tab, 0, 0);
  CControlUI* c = AddSizedChild(tab, 0, 0);
  m_recorder.received.clear();
  EXPECT_TRUE(tab.SelectIndex(2));
  EXPECT_TRUE(c->IsVisible());
  EXPECT_FALSE(a->IsVisible());
  const auto selections = TabSelections();
  ASSERT_EQ(selections.size(), 1u);
  EXPECT_EQ(selections[0].sender, &tab);
  EXPECT_EQ(selections[0].wParam, 2u);
  EXPECT_EQ(selections[0].lParam, 0);

  m_recorder.received.clear();
  EXPECT_TRUE(tab.SelectIndex(2));
  EXPECT_FALSE(tab.SelectIndex(3));
  EXPECT_EQ(tab.GetCurSel(), 2);
  EXPECT_TRUE(TabSelections().empty());
  tab.SetHost(nullptr, nullptr);
}

TEST_F(TabLayoutTest, RemovingTheSelectedTabSelectsTheFirstSilently) {
  CTabLayoutUI tab;
  tab.SetHost(&m_host, nullptr);
  int destroyed = 0;
  CControlUI* a = new CountedControl(&destroyed);
  CControlUI* b = new CountedControl(&destroyed);
  tab.AddItem(a);
  tab.AddItem(b);
  tab.AddItem(new CountedControl(&destroyed));
  tab.SelectIndex(1, false);
  tab.SetDeferredDelete(false);
  m_recorder.received.clear();
  EXPECT_TRUE(tab.RemoveItem(b));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(tab.GetCurSel(), 0);
  EXPECT_TRUE(a->IsVisible());
  EXPECT_TRUE(TabSelections().empty());
  tab.SetHost(nullptr, nullptr);
}

TEST_F(TabLayoutTest, InsertingBeforeTheSelectionKeepsTheSameTabSelected) {
  CTabLayoutUI tab;
  AddSizedChild(tab, 0, 0);
  CControlUI* second = AddSizedChild(tab, 0, 0);
  tab.SelectIndex(1, false);
  auto* inserted = new CControlUI;
  EXPECT_TRUE(tab.InsertItemAt(inserted, 0));
  EXPECT_EQ(tab.GetCurSel(), 2);
  EXPECT_EQ(tab.GetItemAt(2), second);
  EXPECT_TRUE(second->IsVisible());
  EXPECT_FALSE(inserted->IsVisible()) << "only the selected tab shows";
  tab.RemoveAllItems();
  EXPECT_EQ(tab.GetCurSel(), -1);
  EXPECT_EQ(tab.GetItemCount(), 0);
}

TEST_F(TabLayoutTest, TheSelectedChildFillsTheInsetAreaLessItsPadding) {
  CTabLayoutUI tab;
  tab.ApplyAttribute(L"inset", L"4,4,4,4");
  CControlUI* a = AddSizedChild(tab, 0, 0);
  CControlUI* b = AddSizedChild(tab, 50, 0);
  b->SetPadding(RECT{1, 2, 3, 4});
  tab.ApplyAttribute(L"selectedid", L"1");
  tab.SetPosition(RECT{0, 0, 100, 80});
  EXPECT_TRUE(PlacedAt(b, RECT{5, 6, 55, 72}));
  EXPECT_FALSE(a->IsVisible());
  EXPECT_STREQ(tab.GetCustomAttribute(L"selectedid"), L"1");
}

TEST_F(TabLayoutTest, ShownScrollBarsTakeNothingFromTheSelectedPage) {
  CTabLayoutUI tab;
  tab.ApplyAttribute(L"inset", L"4,4,4,4");
  tab.EnableScrollBars(true, true);
  ASSERT_TRUE(tab.GetVerticalScrollBar()->IsVisible());
  ASSERT_TRUE(tab.GetHorizontalScrollBar()->IsVisible());
  CControlUI* page = AddSizedChild(tab, 0, 0);
  tab.SetPosition(RECT{0, 0, 100, 80});
  EXPECT_TRUE(PlacedAt(page, RECT{4, 4, 96, 76}));
}

}  // namespace
