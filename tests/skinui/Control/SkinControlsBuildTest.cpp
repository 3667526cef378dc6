// Skins that hold edits, combo boxes, lists, tree views and the list view, built into a real
// window's host.

#include <gtest/gtest.h>

#include "Control/UICombo.h"
#include "Control/UIEdit.h"
#include "Control/UIList.h"
#include "Control/UIListHeader.h"
#include "Control/UICheckBox.h"
#include "Control/UITreeNode.h"
#include "Control/UITreeView.h"
#include "ControlWindowFixture.h"
#include "Core/UIDlgBuilder.h"
#include "Layout/CListCtrlUI.h"
#include "Layout/UIHorizontalLayout.h"

namespace {

using namespace SkinUI;

class SkinControlsBuildTest : public control_testing::ControlWindowTest {
 protected:
  template <class T>
  T* Named(LPCWSTR pstrName) {
    return dynamic_cast<T*>(m_host.FindControlByName(pstrName));
  }
};

TEST_F(SkinControlsBuildTest, EveryElementBecomesItsControlInPlace) {
  CSkinBuilder builder;
  CControlUI* pRoot = builder.Build(
      L"<Window size=\"320,240\"><VerticalLayout>"
      L"<Edit name=\"user\" password=\"true\" maxchar=\"8\" text=\"abc\" height=\"24\"/>"
      L"<Combo name=\"combo\" itemtextcolor=\"#FF112233\" height=\"24\">"
      L"<ListLabelElement text=\"one\"/><ListLabelElement text=\"two\" selected=\"true\"/></Combo>"
      L"<List name=\"list\" header=\"hidden\" height=\"60\">"
      L"<ListHeader><ListHeaderItem text=\"A\" width=\"80\"/><ListHeaderItem width=\"80\"/></ListHeader>"
      L"<ListTextElement/><ListLabelElement text=\"x\"/>"
      L"<ListContainerElement><Label text=\"in\"/></ListContainerElement></List>"
      L"<TreeView name=\"tree\" visiblecheckbtn=\"true\" height=\"60\">"
      L"<TreeNode text=\"root\"><TreeNode text=\"child\"><Label name=\"extra\"/></TreeNode></TreeNode>"
      L"<TreeNode text=\"second\"/></TreeView>"
      L"<ListCtrl name=\"view\" itemsize=\"40,40\"><ListCtrlItem/><listctrlitem/></ListCtrl>"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &m_host);
  ASSERT_NE(pRoot, nullptr);
  Show(pRoot);

  CEditUI* pEdit = Named<CEditUI>(L"user");
  ASSERT_NE(pEdit, nullptr);
  EXPECT_TRUE(pEdit->IsPassword());
  EXPECT_EQ(pEdit->GetMaxChar(), 8u);

  CComboUI* pCombo = Named<CComboUI>(L"combo");
  ASSERT_NE(pCombo, nullptr);
  EXPECT_EQ(pCombo->GetItemCount(), 2);
  EXPECT_STREQ(pCombo->GetText(), L"two");
  EXPECT_EQ(pCombo->GetListInfo()->dwTextColor, 0xFF112233u);

  CListUI* pList = Named<CListUI>(L"list");
  ASSERT_NE(pList, nullptr);
  EXPECT_EQ(pList->GetHeader()->GetItemCount(), 2) << "the skin's header replaced the empty one";
  EXPECT_FALSE(pList->GetHeader()->IsVisible());
  EXPECT_EQ(pList->GetListInfo()->nColumns, 2);
  ASSERT_EQ(pList->GetItemCount(), 3);
  EXPECT_EQ(AsListItem(pList->GetItemAt(2))->GetOwner(), static_cast<IListOwnerUI*>(pList));

  CTreeViewUI* pTree = Named<CTreeViewUI>(L"tree");
  ASSERT_NE(pTree, nullptr);
  ASSERT_EQ(pTree->GetItemCount(), 3);
  CTreeNodeUI* pChild = dynamic_cast<CTreeNodeUI*>(pTree->GetItemAt(1));
  ASSERT_NE(pChild, nullptr);
  EXPECT_STREQ(pChild->GetText(), L"child");
  EXPECT_EQ(pChild->GetOwnerNode(), pTree->GetItemAt(0));
  EXPECT_STREQ(pTree->GetItemAt(2)->GetText(), L"second");
  EXPECT_EQ(pChild->GetRowLayout()->GetItemIndex(m_host.FindControlByName(L"extra")), 4)
      << "other elements in a node join its row";
  EXPECT_TRUE(pChild->GetCheckBox()->IsVisible());

  CListCtrlUI* pView = Named<CListCtrlUI>(L"view");
  ASSERT_NE(pView, nullptr);
  EXPECT_EQ(pView->GetItemCount(), 1) << "\"ListCtrlItem\" is matched with its exact case";
}

TEST_F(SkinControlsBuildTest, TreeNodesOutsideATreeStopTheirLevel) {
  CSkinBuilder builder;
  CControlUI* pRoot = builder.Build(
      L"<Window><VerticalLayout><TreeNode text=\"lost\"><TreeNode/></TreeNode><Label/>"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &m_host);
  ASSERT_NE(pRoot, nullptr);
  Show(pRoot);
  EXPECT_EQ(static_cast<CContainerUI*>(pRoot)->GetItemCount(), 0);
}

}  // namespace
