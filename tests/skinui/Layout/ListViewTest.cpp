// The list view's rubber band on a real window: short drags are clicks, a band selects the items
// it touches, and dragged above the control it scrolls.

#include <gtest/gtest.h>

#include "ControlWindowFixture.h"
#include "Layout/CListCtrlItemElementUI.h"
#include "Layout/CListCtrlUI.h"

namespace {

using namespace SkinUI;
using control_testing::ParamList;

// Four 60 x 40 cells a row one pixel apart; right of x = 243 lies no item.
const int kFreeX = 280;

class ListViewTest : public control_testing::ControlWindowTest {
 protected:
  CListCtrlUI* ShowListView(int nItems) {
    CListCtrlUI* pView = new CListCtrlUI;
    pView->ApplyAttribute(L"itemsize", L"60,40");
    pView->ApplyAttribute(L"childpadding", L"1");
    pView->SetColumns(4);
    pView->ApplyAttribute(L"vscrollbar", L"true");
    for (int i = 0; i < nItems; ++i) pView->AddItem(new CListCtrlItemElementUI);
    Show(pView);
    return pView;
  }
  void Drag(POINT ptFrom, POINT ptTo) {
    ::SendMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(ptFrom.x, ptFrom.y));
    ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptFrom.x, ptFrom.y));
    ::SendMessageW(m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptTo.x, ptTo.y));
  }
  void Release(POINT pt) { ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y)); }
};

TEST_F(ListViewTest, ADragWithinTwentyPixelsSelectsNothing) {
  CListCtrlUI* pView = ShowListView(10);
  Drag(POINT{kFreeX, 5}, POINT{kFreeX - 20, 25});
  const RECT rcBand = pView->GetBandRect();
  EXPECT_TRUE(::IsRectEmpty(&rcBand));
  Release(POINT{kFreeX - 20, 25});
  EXPECT_TRUE(Params(L"itemselect").empty());
  EXPECT_EQ(pView->GetSelectedCount(), 0);
}

TEST_F(ListViewTest, ABandSelectsTheItemsItTouchesAndUnselectsThoseItLeaves) {
  CListCtrlUI* pView = ShowListView(10);
  Drag(POINT{kFreeX, 5}, POINT{140, 70});  // columns 2 and 3 of rows 0 and 1
  EXPECT_EQ(Params(L"itemselect"), (ParamList{{2, -1}, {3, 2}, {6, 3}, {7, 6}}));
  EXPECT_EQ(pView->GetSelectedCount(), 4);
  m_notes.clear();
  ::SendMessageW(m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 30));  // row 0, column 3 only
  Release(POINT{200, 30});
  EXPECT_EQ(Params(L"itemunselect"), (ParamList{{2, 0}, {6, 0}, {7, 0}}));
  EXPECT_EQ(pView->GetSelectedCount(), 1);
  EXPECT_EQ(pView->GetCurSel(), 3);
  EXPECT_FALSE(pView->IsBandActive());
}

TEST_F(ListViewTest, ABandDraggedAboveTheControlScrollsOneLineUpPerMove) {
  CListCtrlUI* pView = ShowListView(40);
  pView->SetScrollPosition(SIZE{0, 80});
  const int nStart = pView->GetScrollPosition().cy;
  ASSERT_GT(nStart, 0);
  Drag(POINT{kFreeX, 100}, POINT{kFreeX - 30, -10});
  const int nAfterOne = pView->GetScrollPosition().cy;
  ::SendMessageW(m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kFreeX - 31, -10));
  const int nLine = nStart - nAfterOne;
  EXPECT_GT(nLine, 0);
  EXPECT_EQ(pView->GetScrollPosition().cy, nStart - 2 * nLine);
  Release(POINT{kFreeX - 31, -10});
}

}  // namespace
