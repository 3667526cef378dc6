// Tree views: nodes in the list, the handlers that open, close and check subtrees, attributes.

#include "Control/UITreeView.h"

#include "Control/UICheckBox.h"
#include "Control/UIListHeader.h"
#include "Control/UITreeNode.h"
#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

CTreeNodeUI* AsTreeNode(CControlUI* pControl) {
  if (pControl == nullptr || ::lstrcmpiW(pControl->ClassName(), L"TreeNodeUI") != 0) return nullptr;
  return static_cast<CTreeNodeUI*>(pControl->QueryNamedInterface(L"TreeNode"));
}

}  // namespace

CTreeNodeUI* NodeOfRowControl(CControlUI* pControl) {
  for (CControlUI* p = pControl; p != nullptr; p = p->GetParent()) {
    CTreeNodeUI* pNode = static_cast<CTreeNodeUI*>(p->QueryNamedInterface(L"TreeNode"));
    if (pNode != nullptr) return pNode;
  }
  return nullptr;
}

CTreeViewUI::CTreeViewUI() : m_bVisibleFolderBtn(true), m_bVisibleCheckBtn(false), m_nItemMinWidth(0) {
  m_pHeader->SetVisible(false);
}

CTreeViewUI::~CTreeViewUI() { UnlinkAllNodes(); }

LPCWSTR CTreeViewUI::ClassName() const { return L"TreeViewUI"; }

LPVOID CTreeViewUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"TreeView") == 0) return static_cast<CTreeViewUI*>(this);
  return CListUI::QueryNamedInterface(pstrName);
}

template <class Fn>
void CTreeViewUI::ForEachNode(Fn fn) {
  for (int i = 0; i < GetItemCount(); ++i) {
    CTreeNodeUI* pNode = AsTreeNode(GetItemAt(i));
    if (pNode != nullptr) fn(pNode);
  }
}

void CTreeViewUI::UnlinkAllNodes() {
  ForEachNode([](CTreeNodeUI* pNode) { pNode->UnlinkFromTree(); });
}

// ---- nodes in the list ----

void CTreeViewUI::AdoptNode(CTreeNodeUI* pNode) {
  pNode->OnNotify += MakeDelegate(this, &CTreeViewUI::HandleNodeDoubleClick);
  pNode->GetFolderButton()->OnNotify += MakeDelegate(this, &CTreeViewUI::HandleFolderToggled);
  pNode->GetCheckBox()->OnNotify += MakeDelegate(this, &CTreeViewUI::HandleCheckToggled);
  pNode->GetFolderButton()->SetVisible(m_bVisibleFolderBtn);
  pNode->GetCheckBox()->SetVisible(m_bVisibleCheckBtn);
  if (m_nItemMinWidth > 0) pNode->SetMinWidth(m_nItemMinWidth);
}

bool CTreeViewUI::AddNode(CTreeNodeUI* pNode) {
  if (pNode == nullptr) return false;
  AdoptNode(pNode);
  if (!CListUI::AddItem(pNode)) return false;
  pNode->AttachToTree(this);
  for (int i = 0; i < pNode->GetChildCount(); ++i) AddNode(pNode->GetChildAt(i));
  return true;
}

int CTreeViewUI::InsertNodeAt(CTreeNodeUI* pNode, int iIndex) {
  if (pNode == nullptr) return -1;
  AdoptNode(pNode);
  if (!CListUI::InsertItemAt(pNode, iIndex)) return -1;
  pNode->AttachToTree(this);
  int iNext = iIndex + 1;
  for (int i = 0; i < pNode->GetChildCount() && iNext >= 0; ++i) {
    iNext = InsertNodeAt(pNode->GetChildAt(i), iNext);
  }
  return iNext;
}

bool CTreeViewUI::RemoveNode(CTreeNodeUI* pNode) {
  if (pNode == nullptr || pNode->GetTreeView() != this) return false;
  while (pNode->GetChildCount() > 0) RemoveNode(pNode->GetChildAt(pNode->GetChildCount() - 1));
  if (pNode->GetOwnerNode() != nullptr) pNode->GetOwnerNode()->DetachChild(pNode);
  pNode->UnlinkFromTree();
  return CListUI::RemoveItem(pNode);
}

bool CTreeViewUI::AddItem(CControlUI* pControl) {
  CTreeNodeUI* pNode = AsTreeNode(pControl);
  return pNode != nullptr ? AddNode(pNode) : CListUI::AddItem(pControl);
}

bool CTreeViewUI::InsertItemAt(CControlUI* pControl, int iIndex) {
  CTreeNodeUI* pNode = AsTreeNode(pControl);
  return pNode != nullptr ? InsertNodeAt(pNode, iIndex) >= 0 : CListUI::InsertItemAt(pControl, iIndex);
}

bool CTreeViewUI::RemoveItem(CControlUI* pControl) {
  CTreeNodeUI* pNode = AsTreeNode(pControl);
  return pNode != nullptr ? RemoveNode(pNode) : CListUI::RemoveItem(pControl);
}

bool CTreeViewUI::RemoveItemAt(int iIndex) { return RemoveItem(GetItemAt(iIndex)); }

void CTreeViewUI::RemoveAllItems() {
  UnlinkAllNodes();
  CListUI::RemoveAllItems();
}

void CTreeViewUI::HandleEvent(InputEvent& event) {
  if (event.iKind == kEventKeyDown && (event.chKey == VK_LEFT || event.chKey == VK_RIGHT)) {
    CTreeNodeUI* pNode = AsTreeNode(GetItemAt(GetCurSel()));
    const bool bOpen = event.chKey == VK_RIGHT;
    if (pNode != nullptr && pNode->GetChildCount() > 0 && pNode->IsNodeExpanded() != bOpen) {
      // The folder button is selected while the node is closed.
      pNode->GetFolderButton()->SetSelected(!bOpen, true);
      return;
    }
  }
  CListUI::HandleEvent(event);
}

// ---- reactions to the nodes ----

bool CTreeViewUI::HandleFolderToggled(void* pParam) {
  NotifyEvent* pEvent = static_cast<NotifyEvent*>(pParam);
  if (pEvent->sType != kNotifySelectChanged) return true;
  CTreeNodeUI* pNode = NodeOfRowControl(pEvent->pSender);
  if (pNode == nullptr) return true;
  const bool bExpand = !pNode->GetFolderButton()->IsSelected();
  pNode->SetNodeExpanded(bExpand);
  ExpandSubtree(bExpand, pNode);
  pNode->NotifyAccessible(AccessibleEvent::kState);
  return true;
}

bool CTreeViewUI::HandleCheckToggled(void* pParam) {
  NotifyEvent* pEvent = static_cast<NotifyEvent*>(pParam);
  if (pEvent->sType != kNotifySelectChanged) return true;
  CTreeNodeUI* pNode = NodeOfRowControl(pEvent->pSender);
  if (pNode != nullptr) CheckSubtree(pNode->GetCheckBox()->IsSelected(), pNode);
  return true;
}

bool CTreeViewUI::HandleNodeDoubleClick(void* pParam) {
  NotifyEvent* pEvent = static_cast<NotifyEvent*>(pParam);
  if (pEvent->sType != L"itemdbclick") return true;
  CTreeNodeUI* pNode = AsTreeNode(pEvent->pSender);
  if (pNode == nullptr) return true;
  CCheckBoxUI* pFolder = pNode->GetFolderButton();
  pFolder->SetSelected(!pFolder->IsSelected(), true);
  return true;
}

void CTreeViewUI::CheckSubtree(bool bCheck, CTreeNodeUI* pNode) {
  if (pNode == nullptr) {
    ForEachNode([bCheck](CTreeNodeUI* pEach) { pEach->GetCheckBox()->SetSelected(bCheck, false); });
    return;
  }
  for (int i = 0; i < pNode->GetChildCount(); ++i) {
    CTreeNodeUI* pChild = pNode->GetChildAt(i);
    pChild->GetCheckBox()->SetSelected(bCheck, false);
    CheckSubtree(bCheck, pChild);
  }
}

void CTreeViewUI::ExpandSubtree(bool bExpand, CTreeNodeUI* pNode) {
  auto apply = [bExpand](CTreeNodeUI* pEach) {
    pEach->SetVisible(bExpand);
    // A closed folder closes its own children in turn, through its notification.
    if (!bExpand) pEach->GetFolderButton()->SetSelected(true, true);
  };
  if (pNode == nullptr) {
    ForEachNode(apply);
    return;
  }
  for (int i = 0; i < pNode->GetChildCount(); ++i) apply(pNode->GetChildAt(i));
}

// ---- settings applied to every node ----

void CTreeViewUI::ShowFolderButtons(bool bShow) {
  m_bVisibleFolderBtn = bShow;
  ForEachNode([bShow](CTreeNodeUI* pNode) { pNode->GetFolderButton()->SetVisible(bShow); });
}

bool CTreeViewUI::AreFolderButtonsShown() const { return m_bVisibleFolderBtn; }

void CTreeViewUI::ShowCheckButtons(bool bShow) {
  m_bVisibleCheckBtn = bShow;
  ForEachNode([bShow](CTreeNodeUI* pNode) { pNode->GetCheckBox()->SetVisible(bShow); });
}

bool CTreeViewUI::AreCheckButtonsShown() const { return m_bVisibleCheckBtn; }

void CTreeViewUI::SetNodeMinWidth(int cx) {
  m_nItemMinWidth = cx;
  ForEachNode([cx](CTreeNodeUI* pNode) { pNode->SetMinWidth(cx); });
}

int CTreeViewUI::GetNodeMinWidth() const { return m_nItemMinWidth; }

void CTreeViewUI::SetItemTextColor(DWORD dwColor) {
  ForEachNode([dwColor](CTreeNodeUI* pNode) { pNode->SetItemTextColor(dwColor); });
}

void CTreeViewUI::SetItemHotTextColor(DWORD dwColor) {
  ForEachNode([dwColor](CTreeNodeUI* pNode) { pNode->SetItemHotTextColor(dwColor); });
}

void CTreeViewUI::SetSelItemTextColor(DWORD dwColor) {
  ForEachNode([dwColor](CTreeNodeUI* pNode) { pNode->SetSelItemTextColor(dwColor); });
}

void CTreeViewUI::SetSelItemHotTextColor(DWORD dwColor) {
  ForEachNode([dwColor](CTreeNodeUI* pNode) { pNode->SetSelItemHotTextColor(dwColor); });
}

UI_BEGIN_ATTRIBUTES(CTreeViewUI, CListUI)
UI_ATTRIBUTE(L"visiblefolderbtn", kBoolValue, self.ShowFolderButtons(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"visiblecheckbtn", kBoolValue, self.ShowCheckButtons(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"itemminwidth", kPixelValue, self.SetNodeMinWidth(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"itemtextcolor", kColorValue, self.ApplyToNodes(L"itemtextcolor", pstrValue))
UI_ATTRIBUTE(L"itemhottextcolor", kColorValue, self.ApplyToNodes(L"itemhottextcolor", pstrValue))
UI_ATTRIBUTE(L"selitemtextcolor", kColorValue, self.ApplyToNodes(L"selitemtextcolor", pstrValue))
UI_ATTRIBUTE(L"selitemhottextcolor", kColorValue,
             self.ApplyToNodes(L"selitemhottextcolor", pstrValue))
UI_END_ATTRIBUTES()

// The nodes read the same names.
void CTreeViewUI::ApplyToNodes(LPCWSTR pstrName, LPCWSTR pstrValue) {
  ForEachNode([pstrName, pstrValue](CTreeNodeUI* pNode) { pNode->ApplyAttribute(pstrName, pstrValue); });
}


}  // namespace SkinUI
