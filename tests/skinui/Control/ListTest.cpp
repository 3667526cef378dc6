// Lists on a real window: selection by mouse and keys with the notifications in order, items
// removed under the selection, header columns resized by dragging, the text source, alternate
// row backgrounds and scrolling.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Control/UIList.h"
#include "Control/UIListBody.h"
#include "Control/UIListHeader.h"
#include "Control/UIListHeaderItem.h"
#include "Control/UIListTextElement.h"
#include "Control/UIScrollBar.h"
#include "ControlWindowFixture.h"
#include "support/DibCanvas.h"

namespace {

using namespace SkinUI;
using control_testing::ParamList;
using control_testing::TypeList;
using testing_support::DibCanvas;

const int kHeaderHeight = 24;
const int kRowHeight = 20;
const int kColumnWidth = 60;

class ListTest : public control_testing::ControlWindowTest {
 protected:
  // A list with 60-pixel columns and rows of 20 pixels whose texts are "r<row>c<column>".
  CListUI* MakeList(int nRows, int nColumns = 3) {
    CListUI* pList = new CListUI;
    for (int c = 0; c < nColumns; ++c) {
      CListHeaderItemUI* pColumn = new CListHeaderItemUI;
      pColumn->SetFixedWidth(kColumnWidth);
      pColumn->SetFixedHeight(kHeaderHeight);
      pList->AddItem(pColumn);
    }
    for (int r = 0; r < nRows; ++r) {
      CListTextElementUI* pRow = new CListTextElementUI;
      pRow->SetFixedHeight(kRowHeight);
      for (int c = 0; c < nColumns; ++c) {
        pRow->SetColumnText(c, (L"r" + std::to_wstring(r) + L"c" + std::to_wstring(c)).c_str());
      }
      pList->AddItem(pRow);
    }
    return pList;
  }
  CListUI* ShowList(int nRows, int nColumns = 3) {
    CListUI* pList = MakeList(nRows, nColumns);
    Show(pList);
    return pList;
  }
  void ClickRow(int iRow) { Click(20, kHeaderHeight + iRow * kRowHeight + kRowHeight / 2); }
  // The item notifications, without the focus changes that come with clicks.
  TypeList ItemTypes() const {
    TypeList types;
    for (const auto& type : NoteTypes()) {
      if (type != L"setfocus" && type != L"killfocus") types.push_back(type);
    }
    return types;
  }
  static bool RowSelected(CListUI* pList, int iRow) {
    return AsListItem(pList->GetItemAt(iRow))->IsSelected();
  }
};

TEST_F(ListTest, ClickingARowSelectsItAloneAndAgainOnlyReportsTheClick) {
  CListUI* pList = ShowList(6);
  ClickRow(2);
  EXPECT_EQ(ItemTypes(), (TypeList{L"itemclick", L"itemselect"}));
  EXPECT_EQ(Params(L"itemselect"), (ParamList{{2, -1}}));
  m_notes.clear();
  ClickRow(4);
  EXPECT_EQ(Params(L"itemselect"), (ParamList{{4, 2}}));
  EXPECT_FALSE(RowSelected(pList, 2));
  EXPECT_TRUE(RowSelected(pList, 4));
  m_notes.clear();
  ClickRow(4);
  EXPECT_EQ(ItemTypes(), (TypeList{L"itemclick"}));
  EXPECT_EQ(pList->GetSelectedCount(), 1);
}

TEST_F(ListTest, CtrlTogglesRowsAndShiftSelectsARangeFromTheAnchor) {
  CListUI* pList = ShowList(8);
  ClickRow(2);
  HoldKeys(true, false);
  ClickRow(4);
  EXPECT_EQ(pList->GetSelectedCount(), 2);
  m_notes.clear();
  ClickRow(4);
  EXPECT_EQ(Params(L"itemunselect"), (ParamList{{4, 0}}));
  EXPECT_EQ(pList->GetSelectedCount(), 1);
  EXPECT_EQ(pList->GetCurSel(), 2);
  EXPECT_FALSE(RowSelected(pList, 4));

  HoldKeys(false, true);
  m_notes.clear();
  ClickRow(5);
  EXPECT_EQ(Params(L"itemselectmutil"), (ParamList{{2, 5}}));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(RowSelected(pList, i), i >= 2 && i <= 5) << i;
  EXPECT_EQ(pList->GetSelectedCount(), 4);
}

TEST_F(ListTest, KeysMoveTheSelectionOverSelectableRows) {
  CListUI* pList = ShowList(6);
  pList->GetItemAt(1)->SetEnabled(false);
  ClickRow(0);
  m_notes.clear();
  Key(VK_DOWN);  // row 1 is disabled
  Key(VK_END);
  Key(VK_UP);
  Key(VK_HOME);
  Key(VK_UP);  // already at the top: no change
  EXPECT_EQ(Params(L"itemselect"), (ParamList{{2, 0}, {5, 2}, {4, 5}, {0, 4}}));
  EXPECT_EQ(pList->GetCurSel(), 0);
}

TEST_F(ListTest, RemovingTheSelectedRowWhileCtrlIsHeldSelectsTheOneBefore) {
  CListUI* pList = ShowList(5);
  pList->SelectIndex(3);
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  const bool bRemoved = pList->RemoveItemAt(3);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  EXPECT_TRUE(bRemoved);
  EXPECT_EQ(pList->GetCurSel(), 2);
  EXPECT_TRUE(RowSelected(pList, 2));
}

TEST_F(ListTest, RemovingRowsKeepsTheSelectionOnItsItemOrTheOneBefore) {
  CListUI* pList = ShowList(5);
  pList->SelectIndex(3);
  m_notes.clear();
  EXPECT_TRUE(pList->RemoveItemAt(3));
  EXPECT_EQ(pList->GetCurSel(), 2);
  EXPECT_TRUE(RowSelected(pList, 2));
  EXPECT_TRUE(m_notes.empty()) << "the new selection is silent";
  EXPECT_TRUE(pList->RemoveItemAt(0));
  EXPECT_EQ(pList->GetCurSel(), 1);
  for (int i = 0; i < pList->GetItemCount(); ++i) EXPECT_EQ(AsListItem(pList->GetItemAt(i))->GetIndex(), i);

  EXPECT_FALSE(pList->RemoveItemAt(9));
  EXPECT_FALSE(pList->SelectIndex(9));
  EXPECT_EQ(pList->GetItemAt(-1), nullptr);
  Relayout();
  ClickRow(0);  // the focus sits on a row that goes with the rest
  ASSERT_EQ(m_host.GetFocusControl(), pList->GetItemAt(0));
  pList->RemoveAllItems();
  Pump();
  EXPECT_EQ(pList->GetCurSel(), -1);
  EXPECT_EQ(m_host.GetFocusControl(), nullptr);
  Key(VK_DOWN);
  Relayout();
  EXPECT_EQ(pList->GetItemCount(), 0);
}

TEST_F(ListTest, AHeaderHasAtMostThirtyTwoColumns) {
  CListUI* pList = ShowList(1, 40);
  EXPECT_EQ(pList->GetHeader()->GetItemCount(), 40);
  EXPECT_EQ(pList->GetListInfo()->nColumns, ListInfo::kMaxColumns);
}

TEST_F(ListTest, RowsSpanColumnsThatShareTheHeaderWithoutWidths) {
  CListUI* pList = new CListUI;
  for (int c = 0; c < 2; ++c) pList->AddItem(new CListHeaderItemUI);
  pList->AddItem(new CListTextElementUI);
  Show(pList);
  EXPECT_EQ(pList->GetListInfo()->rcColumn[1].right, kWindowWidth);
  EXPECT_EQ(pList->GetItemAt(0)->GetWidth(), kWindowWidth);
}

TEST_F(ListTest, DraggingAColumnSeparatorMovesTheColumnsAfterIt) {
  CListUI* pList = ShowList(3);
  const int y = kHeaderHeight / 2;
  ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(kColumnWidth - 2, y));
  ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kColumnWidth - 2, y));
  ::SendMessageW(m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kColumnWidth + 38, y));
  pList->RemoveAllItems();  // the rows go while the column is being dragged
  Pump();
  ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(kColumnWidth + 38, y));
  Relayout();
  const ListInfo* pInfo = pList->GetListInfo();
  EXPECT_EQ(pInfo->rcColumn[0].right - pInfo->rcColumn[0].left, kColumnWidth + 40);
  EXPECT_EQ(pInfo->rcColumn[1].left, kColumnWidth + 40);
  EXPECT_EQ(pList->GetHeader()->GetItemAt(2)->GetPosition().left, 2 * kColumnWidth + 40);
  EXPECT_TRUE(NoteTypes().empty() || NoteTypes() == TypeList{L"setfocus"}) << "a drag is no header click";

  // Dragged below its minimum the column keeps the last width above it.
  ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kColumnWidth + 38, y));
  ::SendMessageW(m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, y));
  ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(0, y));
  Relayout();
  EXPECT_EQ(pInfo->rcColumn[0].right - pInfo->rcColumn[0].left, kColumnWidth + 40);
}

// Answers for column 0 and has nothing for the others.
class PartialTextSource : public IListTextSourceUI {
 public:
  LPCWSTR GetItemText(CControlUI* /*pItem*/, int iIndex, int iColumn) override {
    asked.emplace_back(iIndex, iColumn);
    return iColumn == 0 ? sLong.c_str() : nullptr;
  }
  ParamList asked;
  const std::wstring sLong = std::wstring(100000, L'W');
};

TEST_F(ListTest, TextsComeFromTheSourceAndAMissingTextLeavesItsColumnBlank) {
  CListUI* pList = ShowList(2);
  PartialTextSource source;
  pList->SetItemTextSource(&source);
  DibCanvas canvas(kWindowWidth, kWindowHeight, 0x00FFFFFF);
  pList->Paint(canvas.dc(), RECT{0, 0, kWindowWidth, kWindowHeight}, nullptr);
  EXPECT_EQ(source.asked, (ParamList{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));
  const int top = kHeaderHeight;
  EXPECT_GT(canvas.CountOtherThan(0xFFFFFF, 0, top, kColumnWidth, top + kRowHeight), 0);
  EXPECT_EQ(canvas.CountOtherThan(0xFFFFFF, kColumnWidth, top, 3 * kColumnWidth, top + 2 * kRowHeight), 0);
  pList->SetItemTextSource(nullptr);
}

TEST_F(ListTest, AlternateBackgroundsLeaveOddRowsUncoloured) {
  CListUI* pList = MakeList(2);
  pList->ApplyAttribute(L"itembkcolor", L" #FF00FF00");
  pList->ApplyAttribute(L"itemaltbk", L"true");
  Show(pList);
  DibCanvas canvas(kWindowWidth, kWindowHeight, 0x00FFFFFF);
  pList->Paint(canvas.dc(), RECT{0, 0, kWindowWidth, kWindowHeight}, nullptr);
  EXPECT_EQ(canvas.Rgb(2 * kColumnWidth + 30, kHeaderHeight + 2), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(2 * kColumnWidth + 30, kHeaderHeight + kRowHeight + 2), 0xFFFFFFu);
}

TEST_F(ListTest, PagingScrollsTheRowsAndKeysBringTheSelectionIntoView) {
  CListUI* pList = MakeList(30);
  pList->ApplyAttribute(L"vscrollbar", L"true");
  pList->ApplyAttribute(L"hscrollbar", L"true");
  Show(pList);
  auto* pBar = pList->GetVerticalScrollBar();
  ASSERT_NE(pBar, nullptr);
  ASSERT_NE(pList->GetHorizontalScrollBar(), nullptr) << "either bar setting keeps the other";
  EXPECT_TRUE(pBar->IsVisible());
  const int yFirst = pList->GetItemAt(0)->GetPosition().top;
  ClickRow(0);
  Key(VK_NEXT);
  const int nPage = pList->GetList()->GetHeight();
  EXPECT_EQ(pList->GetScrollPosition().cy, nPage);
  EXPECT_EQ(pList->GetItemAt(0)->GetPosition().top, yFirst - nPage);

  Key(VK_END);
  const RECT rcBody = pList->GetList()->GetPosition();
  const RECT rcLast = pList->GetItemAt(29)->GetPosition();
  EXPECT_LE(rcLast.bottom, rcBody.bottom);
  EXPECT_GE(rcLast.top, rcBody.top);
  EXPECT_EQ(pList->GetScrollPosition().cy, pList->GetScrollRange().cy);
}

}  // namespace
