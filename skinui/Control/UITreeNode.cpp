// Tree nodes: the row's parts, the family of nodes, colours following the mouse, attributes.

#include "Control/UITreeNode.h"

#include "Control/UICheckBox.h"
#include "Control/UILabel.h"
#include "Control/UIOption.h"
#include "Control/UITreeView.h"
#include "Core/UIAttributeValues.h"
#include "Layout/UIHorizontalLayout.h"

namespace SkinUI {

using namespace attribute_values;

CTreeNodeUI::CTreeNodeUI()
    : m_bExpanded(true),
      m_dwItemTextColor(0),
      m_dwItemHotTextColor(0),
      m_dwSelItemTextColor(0),
      m_dwSelItemHotTextColor(0),
      m_pRow(new CHorizontalLayoutUI),
      m_pIndentLine(new CLabelUI),
      m_pFolderButton(new CCheckBoxUI),
      m_pCheckBox(new CCheckBoxUI),
      m_pItemButton(new COptionUI),
      m_pTreeView(nullptr),
      m_pParentNode(nullptr),
      m_nIndent(0) {
  m_pIndentLine->SetVisible(false);
  SetIndent(kRootIndent);
  m_pCheckBox->SetVisible(false);
  m_pItemButton->SetTextStyle(m_pItemButton->GetTextStyle() & ~(kTextCenter | kTextRight));
  m_pItemButton->SetMouseEnabled(false);
  m_pRow->AddItem(m_pIndentLine);
  m_pRow->AddItem(m_pFolderButton);
  m_pRow->AddItem(m_pCheckBox);
  m_pRow->AddItem(m_pItemButton);
  CContainerUI::AddItem(m_pRow);
  SetFixedHeight(kDefaultHeight);
}

CTreeNodeUI::~CTreeNodeUI() {
  if (m_pParentNode != nullptr) m_pParentNode->DetachChild(this);
  // Outside a tree no list holds the child nodes: they are this node's to destroy.
  const bool bOwnsChildren = m_pTreeView == nullptr;
  CTypedPtrArrayUI<CTreeNodeUI> aChildren = m_aChildNodes;
  m_aChildNodes.Empty();
  for (int i = 0; i < aChildren.GetSize(); ++i) {
    CTreeNodeUI* pChild = aChildren[i];
    pChild->m_pParentNode = nullptr;
    if (bOwnsChildren && pChild->m_pTreeView == nullptr) delete pChild;
  }
}

LPCWSTR CTreeNodeUI::ClassName() const { return L"TreeNodeUI"; }

LPVOID CTreeNodeUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"TreeNode") == 0) return static_cast<CTreeNodeUI*>(this);
  return CListContainerElementUI::QueryNamedInterface(pstrName);
}

CUIString CTreeNodeUI::GetText() const { return m_pItemButton->GetText(); }
void CTreeNodeUI::SetText(LPCWSTR pstrText) { m_pItemButton->SetText(pstrText); }

void CTreeNodeUI::SetFixedHeight(int cy) {
  CListContainerElementUI::SetFixedHeight(cy);
  if (cy < 0) return;
  m_pFolderButton->SetFixedWidth(cy);
  m_pCheckBox->SetFixedWidth(cy);
}

bool CTreeNodeUI::Select(bool bSelect, bool bNotify, bool bInformOwner, bool bRightClick) {
  const bool bResult = CListContainerElementUI::Select(bSelect, bNotify, bInformOwner, bRightClick);
  m_pItemButton->SetSelected(IsSelected(), false);
  return bResult;
}

bool CTreeNodeUI::Activate() {
  if (!IsVisible() || !IsEnabled()) return false;
  if (GetChildCount() > 0) m_item.Notify(L"itemdbclick");
  return CListContainerElementUI::Activate();
}

void CTreeNodeUI::HandleEvent(InputEvent& event) {
  if (IsEnabled() && (IsMouseEnabled() || !IsMouseEventKind(event.iKind))) {
    switch (event.iKind) {
      case kEventDoubleClick:
        m_item.Notify(L"itemdbclick");
        Invalidate();
        return;
      case kEventMouseEnter:
        if (IsSelected() && m_dwSelItemHotTextColor != 0) {
          m_pItemButton->SetTextColor(m_dwSelItemHotTextColor);
        } else {
          m_pItemButton->SetTextColor(m_dwItemHotTextColor);
        }
        break;
      case kEventMouseLeave:
        if (!IsSelected()) {
          m_pItemButton->SetTextColor(m_dwItemTextColor);
        } else if (m_dwSelItemTextColor != 0) {
          m_pItemButton->SetTextColor(m_dwSelItemTextColor);
        }
        break;
      default:
        break;
    }
  }
  CListContainerElementUI::HandleEvent(event);
}

bool CTreeNodeUI::AddItem(CControlUI* pControl) {
  if (pControl == nullptr) return false;
  CTreeNodeUI* pNode = static_cast<CTreeNodeUI*>(pControl->QueryNamedInterface(L"TreeNode"));
  if (pNode != nullptr) return AppendChild(pNode);
  return m_pRow->AddItem(pControl);
}

bool CTreeNodeUI::RemoveItem(CControlUI* pControl) {
  if (pControl == nullptr) return false;
  CTreeNodeUI* pNode = static_cast<CTreeNodeUI*>(pControl->QueryNamedInterface(L"TreeNode"));
  if (pNode != nullptr) return RemoveChild(pNode);
  return m_pRow->RemoveItem(pControl);
}

CTreeNodeUI* CTreeNodeUI::GetChildAt(int iIndex) const {
  return m_aChildNodes.GetAt(iIndex);
}

CTreeNodeUI* CTreeNodeUI::GetLastDescendant() {
  CTreeNodeUI* pLast = this;
  while (pLast->GetChildCount() > 0) pLast = pLast->GetChildAt(pLast->GetChildCount() - 1);
  return pLast;
}

int CTreeNodeUI::GetIndexInTree() const {
  return m_pTreeView != nullptr ? m_pTreeView->GetItemIndex(const_cast<CTreeNodeUI*>(this)) : -1;
}

void CTreeNodeUI::SetIndent(int nSkinPixels) {
  m_nIndent = nSkinPixels;
  // Given as the skin would give it, so that the line's width follows the window's DPI.
  CUIString sWidth;
  sWidth.Format(L"%d", nSkinPixels);
  m_pIndentLine->ApplyAttribute(L"width", sWidth);
}

void CTreeNodeUI::IndentChildren() {
  for (int i = 0; i < GetChildCount(); ++i) {
    CTreeNodeUI* pChild = GetChildAt(i);
    pChild->m_pIndentLine->SetVisible(true);
    pChild->SetIndent(m_nIndent + kIndentStep);
    pChild->IndentChildren();
  }
}

bool CTreeNodeUI::AppendChild(CTreeNodeUI* pChild) {
  if (pChild == nullptr || pChild == this || pChild->m_pParentNode != nullptr) return false;
  const int iInsertAt = GetLastDescendant()->GetIndexInTree() + 1;
  if (!m_aChildNodes.Add(pChild)) return false;
  pChild->m_pParentNode = this;
  pChild->m_pItemButton->SetGroup(m_pItemButton->GetGroup());
  IndentChildren();
  if (m_pTreeView != nullptr) m_pTreeView->InsertNodeAt(pChild, iInsertAt);
  return true;
}

void CTreeNodeUI::DetachChild(CTreeNodeUI* pChild) {
  if (pChild == nullptr || pChild->m_pParentNode != this) return;
  m_aChildNodes.RemoveFirst(pChild);
  pChild->m_pParentNode = nullptr;
}

bool CTreeNodeUI::RemoveChild(CTreeNodeUI* pChild) {
  if (pChild == nullptr || pChild->m_pParentNode != this) return false;
  if (m_pTreeView != nullptr) return m_pTreeView->RemoveNode(pChild);
  DetachChild(pChild);
  return true;
}

void CTreeNodeUI::UnlinkFromTree() {
  m_pParentNode = nullptr;
  m_aChildNodes.Empty();
  m_pTreeView = nullptr;
}

void CTreeNodeUI::SetItemTextColor(DWORD dwColor) {
  m_dwItemTextColor = dwColor;
  m_pItemButton->SetTextColor(dwColor);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD dwColor) { m_dwItemHotTextColor = dwColor; }
void CTreeNodeUI::SetSelItemTextColor(DWORD dwColor) { m_dwSelItemTextColor = dwColor; }
void CTreeNodeUI::SetSelItemHotTextColor(DWORD dwColor) { m_dwSelItemHotTextColor = dwColor; }

UI_BEGIN_ATTRIBUTES(CTreeNodeUI, CListContainerElementUI)
UI_ATTRIBUTE(L"text", kTextValue, self.SetText(pstrValue))
UI_ATTRIBUTE(L"horizattr", kAttributeListValue, self.m_pRow->ApplyAttributeString(pstrValue))
UI_ATTRIBUTE(L"dotlineattr", kAttributeListValue, self.m_pIndentLine->ApplyAttributeString(pstrValue))
UI_ATTRIBUTE(L"folderattr", kAttributeListValue, self.m_pFolderButton->ApplyAttributeString(pstrValue))
UI_ATTRIBUTE(L"checkboxattr", kAttributeListValue, self.m_pCheckBox->ApplyAttributeString(pstrValue))
UI_ATTRIBUTE(L"itemattr", kAttributeListValue, self.m_pItemButton->ApplyAttributeString(pstrValue))
UI_ATTRIBUTE(L"itemtextcolor", kColorValue, self.SetItemTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"itemhottextcolor", kColorValue, self.SetItemHotTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"selitemtextcolor", kColorValue, self.SetSelItemTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"selitemhottextcolor", kColorValue, self.SetSelItemHotTextColor(ReadColor(pstrValue)))
UI_END_ATTRIBUTES()

}  // namespace SkinUI
