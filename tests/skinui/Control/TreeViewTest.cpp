// Tree views on a real window: folders open and close subtrees (and the rows below move),
// double clicks toggle folders, check boxes check subtrees, and nodes leave with their subtrees.

#include <gtest/gtest.h>

#include "Control/UICheckBox.h"
#include "Control/UILabel.h"
#include "Control/UIListBody.h"
#include "Control/UITreeNode.h"
#include "Control/UITreeView.h"
#include "ControlWindowFixture.h"

namespace {

using namespace SkinUI;

const int kRow = CTreeNodeUI::kDefaultHeight;

// A (A1 (A1a), A2), B
class TreeViewTest : public control_testing::ControlWindowTest {
 protected:
  void SetUp() override {
    ControlWindowTest::SetUp();
    m_pTree = new CTreeViewUI;
    m_pA = Node(L"A");
    m_pA1 = Node(L"A1");
    m_pA1a = Node(L"A1a");
    m_pA2 = Node(L"A2");
    m_pB = Node(L"B");
    m_pA1->AppendChild(m_pA1a);
    m_pA->AppendChild(m_pA1);
    m_pA->AppendChild(m_pA2);
    m_pTree->AddItem(m_pA);
    m_pTree->AddItem(m_pB);
    Show(m_pTree);
  }
  static CTreeNodeUI* Node(LPCWSTR pstrText) {
    CTreeNodeUI* pNode = new CTreeNodeUI;
    pNode->SetText(pstrText);
    return pNode;
  }
  int TopOf(CControlUI* pControl) {
    Relayout();
    return pControl->GetPosition().top - m_pTree->GetList()->GetPosition().top;
  }

  CTreeViewUI* m_pTree = nullptr;
  CTreeNodeUI* m_pA = nullptr;
  CTreeNodeUI* m_pA1 = nullptr;
  CTreeNodeUI* m_pA1a = nullptr;
  CTreeNodeUI* m_pA2 = nullptr;
  CTreeNodeUI* m_pB = nullptr;
};

TEST_F(TreeViewTest, ChildrenFollowTheirParentIndentedOneStepPerLevel) {
  const CTreeNodeUI* aOrder[] = {m_pA, m_pA1, m_pA1a, m_pA2, m_pB};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(m_pTree->GetItemAt(i), aOrder[i]) << i;
  EXPECT_FALSE(m_pA->GetIndentLine()->IsVisible());
  EXPECT_EQ(m_pA1->GetIndentLine()->GetFixedWidth(), 2 + CTreeNodeUI::kIndentStep);
  EXPECT_EQ(m_pA1a->GetIndentLine()->GetFixedWidth(), 2 + 2 * CTreeNodeUI::kIndentStep);
  EXPECT_GT(m_pA->GetWidth(), 0) << "rows fill the tree without a width of their own";
}

TEST_F(TreeViewTest, IndentsDoubleWhenTheWindowMovesToTwiceTheDpi) {
  m_host.SetDpi(192);
  EXPECT_EQ(m_pA->GetIndentLine()->GetFixedWidth(), 2 * 2);
  EXPECT_EQ(m_pA1->GetIndentLine()->GetFixedWidth(), 2 * (2 + CTreeNodeUI::kIndentStep));
  EXPECT_EQ(m_pA1a->GetIndentLine()->GetFixedWidth(), 2 * (2 + 2 * CTreeNodeUI::kIndentStep));
}

TEST_F(TreeViewTest, ClosingAFolderHidesTheSubtreeAndMovesTheRowsBelowUp) {
  EXPECT_EQ(TopOf(m_pB), 4 * kRow);
  ClickControl(m_pA->GetFolderButton());
  EXPECT_FALSE(m_pA->IsNodeExpanded());
  for (CTreeNodeUI* pNode : {m_pA1, m_pA1a, m_pA2}) EXPECT_FALSE(pNode->IsVisible());
  EXPECT_TRUE(m_pA1->GetFolderButton()->IsSelected()) << "descendants' folders close too";
  EXPECT_EQ(TopOf(m_pB), kRow);

  ClickControl(m_pA->GetFolderButton());
  EXPECT_TRUE(m_pA1->IsVisible());
  EXPECT_TRUE(m_pA2->IsVisible());
  EXPECT_FALSE(m_pA1a->IsVisible()) << "A1 stays closed";
  EXPECT_EQ(TopOf(m_pB), 3 * kRow);
}

TEST_F(TreeViewTest, DoubleClickingARowTogglesItsFolder) {
  const RECT rc = m_pA->GetPosition();
  const LPARAM lPoint = MAKELPARAM(rc.right - 10, (rc.top + rc.bottom) / 2);
  ::SendMessageW(m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, lPoint);
  ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, lPoint);
  EXPECT_TRUE(m_pA->GetFolderButton()->IsSelected());
  EXPECT_FALSE(m_pA2->IsVisible());
  EXPECT_EQ(Params(L"itemdbclick").size(), 1u);
}

TEST_F(TreeViewTest, CheckingANodeChecksItsWholeSubtree) {
  m_pTree->ShowCheckButtons(true);
  Relayout();
  ClickControl(m_pA->GetCheckBox());
  for (CTreeNodeUI* pNode : {m_pA, m_pA1, m_pA1a, m_pA2}) EXPECT_TRUE(pNode->GetCheckBox()->IsSelected());
  EXPECT_FALSE(m_pB->GetCheckBox()->IsSelected());
  ClickControl(m_pA1->GetCheckBox());
  EXPECT_FALSE(m_pA1a->GetCheckBox()->IsSelected());
  EXPECT_TRUE(m_pA2->GetCheckBox()->IsSelected());
}

TEST_F(TreeViewTest, OtherControlsArePlainItemsAndNodesLeaveWithTheirSubtrees) {
  CLabelUI* pLabel = new CLabelUI;
  EXPECT_TRUE(m_pTree->AddItem(pLabel));
  EXPECT_EQ(m_pTree->GetItemIndex(pLabel), 5);
  EXPECT_EQ(pLabel->QueryNamedInterface(L"TreeNode"), nullptr);

  m_pTree->SelectIndex(2);
  EXPECT_TRUE(m_pTree->RemoveItem(m_pA));
  Pump();
  EXPECT_EQ(m_pTree->GetItemCount(), 2);
  EXPECT_EQ(m_pTree->GetItemAt(0), m_pB);
  EXPECT_EQ(m_pTree->GetCurSel(), 0);
  EXPECT_EQ(TopOf(m_pB), 0);
  m_pTree->RemoveAllItems();
  Pump();
  EXPECT_EQ(m_pTree->GetItemCount(), 0);
}

}  // namespace
