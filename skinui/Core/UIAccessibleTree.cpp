// The accessibility tree over the control tree: who shows whom, and what is left out.

#include "Core/UIAccessibleTree.h"

#include "Core/UIContainer.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIScrollBarBase.h"

namespace SkinUI {
namespace accessible_tree {

namespace {

// The visible children pControl shows itself, layout-only ones among them still whole.
void AppendOwnChildren(CControlUI* pControl, std::vector<CControlUI*>& children);

void AppendShown(CControlUI* pChild, std::vector<CControlUI*>& children) {
  if (IsLayoutOnly(pChild)) {
    AppendOwnChildren(pChild, children);
  } else {
    children.push_back(pChild);
  }
}

void AppendOwnChildren(CControlUI* pControl, std::vector<CControlUI*>& children) {
  auto* pItems = static_cast<IContainerUI*>(pControl->QueryNamedInterface(L"IContainer"));
  if (pItems != nullptr) {
    const int nCount = pItems->GetItemCount();
    for (int i = 0; i < nCount; ++i) {
      CControlUI* pItem = pItems->GetItemAt(i);
      if (pItem != nullptr && pItem->IsVisible()) AppendShown(pItem, children);
    }
  }
  auto* pContainer = static_cast<CContainerUI*>(pControl->QueryNamedInterface(L"Container"));
  if (pContainer != nullptr) {
    for (CControlUI* pBar : {static_cast<CControlUI*>(pContainer->GetVerticalScrollBar()),
                             static_cast<CControlUI*>(pContainer->GetHorizontalScrollBar())}) {
      if (pBar != nullptr && pBar->IsVisible()) children.push_back(pBar);
    }
  }
}

// Whether pChild is among the children ChildrenOf gives, found from pChild upwards: events ask
// this of the ancestors of every control they name, and a list's thousands of items must not
// be walked for one scroll.
bool Shows(CControlUI* pParent, CControlUI* pChild) {
  if (!pChild->IsVisible() || !Describe(pParent).bExposeChildren) return false;
  auto* pContainer = static_cast<CContainerUI*>(pParent->QueryNamedInterface(L"Container"));
  if (pContainer != nullptr && (pChild == static_cast<CControlUI*>(pContainer->GetVerticalScrollBar()) ||
                                pChild == static_cast<CControlUI*>(pContainer->GetHorizontalScrollBar()))) {
    return true;
  }
  auto* pItems = static_cast<IContainerUI*>(pParent->QueryNamedInterface(L"IContainer"));
  if (pItems == nullptr) return false;
  // pChild itself, or the layout-only containers that hold it, one of them among the items.
  for (CControlUI* p = pChild; p != nullptr && p != pParent; p = p->GetParent()) {
    if (p != pChild && !IsLayoutOnly(p)) return false;
    if (pItems->GetItemIndex(p) >= 0) return p != pChild || !IsLayoutOnly(pChild);
  }
  return false;
}

}  // namespace

bool IsRoot(const CControlUI* pControl) {
  return pControl->GetHost() != nullptr && pControl->GetHost()->GetRoot() == pControl;
}

AccessibleDescription Describe(CControlUI* pControl) {
  AccessibleDescription desc;
  pControl->DescribeAccessible(desc);
  if (IsRoot(pControl)) desc.lRole = ROLE_SYSTEM_CLIENT;
  if (pControl->GetAccessibleRole() != 0) desc.lRole = pControl->GetAccessibleRole();
  return desc;
}

CUIString NameOf(CControlUI* pControl) {
  CUIString sName = pControl->GetAccessibleName();
  if (sName.IsEmpty()) sName = Describe(pControl).sName;
  if (sName.IsEmpty()) sName = pControl->GetToolTip();
  if (sName.IsEmpty() && IsRoot(pControl)) {
    const HWND hWnd = pControl->GetHost()->GetHostWindow();
    WCHAR szTitle[256] = {};
    if (hWnd != nullptr) ::GetWindowTextW(hWnd, szTitle, 256);
    sName = szTitle;
  }
  CWindowHostUI::ApplyLanguageTokens(sName);
  return sName;
}

bool IsLayoutOnly(CControlUI* pControl) {
  if (pControl->GetAccessibleRole() != 0 || IsRoot(pControl)) return false;
  AccessibleDescription desc;
  pControl->DescribeAccessible(desc);
  // A grouping that keeps its children to itself stands for them: it stays.
  return desc.lRole == ROLE_SYSTEM_GROUPING && desc.bExposeChildren && NameOf(pControl).IsEmpty();
}

std::vector<CControlUI*> ChildrenOf(CControlUI* pControl) {
  std::vector<CControlUI*> children;
  if (Describe(pControl).bExposeChildren) AppendOwnChildren(pControl, children);
  return children;
}

CControlUI* ParentOf(CControlUI* pControl) {
  if (IsRoot(pControl) || IsLayoutOnly(pControl)) return nullptr;
  for (CControlUI* pAncestor = pControl->GetParent(); pAncestor != nullptr;
       pAncestor = pAncestor->GetParent()) {
    if (!Shows(pAncestor, pControl)) continue;
    // An ancestor that is itself out of the tree (a list's body, a row of the layout) is
    // passed over: the one above it shows its children too.
    if (IsRoot(pAncestor) || ParentOf(pAncestor) != nullptr) return pAncestor;
  }
  return nullptr;
}

CControlUI* SelfOrAncestorInTree(CControlUI* pControl) {
  for (CControlUI* p = pControl; p != nullptr; p = p->GetParent()) {
    if (IsRoot(p) || ParentOf(p) != nullptr) return p;
  }
  return nullptr;
}

}  // namespace accessible_tree
}  // namespace SkinUI
