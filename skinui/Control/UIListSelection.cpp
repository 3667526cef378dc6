// Single and multiple selection over list items.

#include "Control/UIListSelection.h"

#include "Control/UIListInterfaces.h"
#include "Control/UIScrollBar.h"
#include "Core/UIContainer.h"
#include "Core/UIManager.h"

namespace SkinUI {

CListSelection::CListSelection(CControlUI* pOwner, CContainerUI* pItems)
    : m_pOwner(pOwner),
      m_pItems(pItems),
      m_iCurSel(-1),
      m_iAnchor(-1),
      m_nSelected(0),
      m_bScrollIntoView(true) {}

IListItemUI* CListSelection::ItemAt(int iIndex) const {
  return AsListItem(m_pItems->GetItemAt(iIndex));
}

void CListSelection::Notify(const wchar_t* pstrType, int iFirst, int iSecond) const {
  CWindowHostUI* pHost = m_pOwner->GetHost();
  if (pHost != nullptr) {
    pHost->RaiseNotification(m_pOwner, pstrType, static_cast<WPARAM>(iFirst),
                             static_cast<LPARAM>(iSecond));
  }
}

int CListSelection::CountSelected() const {
  int n = 0;
  for (int i = 0; i < m_pItems->GetItemCount(); ++i) {
    IListItemUI* pItem = ItemAt(i);
    if (pItem != nullptr && pItem->IsSelected()) ++n;
  }
  return n;
}

void CListSelection::EnsureVisible(int iIndex) const {
  CControlUI* pControl = m_pItems->GetItemAt(iIndex);
  if (pControl == nullptr || !m_bScrollIntoView) return;
  RECT rcClient = m_pItems->GetPosition();
  const RECT rcInset = m_pItems->GetInset();
  rcClient.top += rcInset.top;
  rcClient.bottom -= rcInset.bottom;
  const CScrollBarBaseUI* pBar = m_pItems->GetHorizontalScrollBar();
  if (pBar != nullptr && pBar->IsVisible()) rcClient.bottom -= pBar->GetFixedHeight();
  const RECT& rcItem = pControl->GetPosition();
  int dy = 0;
  if (rcItem.bottom > rcClient.bottom) {
    dy = rcItem.bottom - rcClient.bottom;
  } else if (rcItem.top < rcClient.top) {
    dy = rcItem.top - rcClient.top;
  }
  if (dy == 0) return;
  SIZE sz = m_pItems->GetScrollPosition();
  sz.cy += dy;
  m_pItems->SetScrollPosition(sz);
}

bool CListSelection::SelectIndex(int iIndex, bool bTakeFocus, bool bNotify) {
  return Select(iIndex, ::GetKeyState(VK_CONTROL) < 0, bTakeFocus, bNotify);
}

bool CListSelection::TakeToggledItem(int iIndex, bool bNotify) {
  return Select(iIndex, true, false, bNotify);
}

bool CListSelection::Select(int iIndex, bool bCtrl, bool bTakeFocus, bool bNotify) {
  const int iOld = m_iCurSel;
  if (!bCtrl) {
    for (int i = 0; i < m_pItems->GetItemCount(); ++i) {
      IListItemUI* pItem = ItemAt(i);
      if (i != iIndex && pItem != nullptr && pItem->IsSelected()) {
        pItem->Select(false, bNotify, false, false);
      }
    }
    m_iCurSel = -1;
    m_iAnchor = -1;
    m_nSelected = 0;
  }
  IListItemUI* pItem = iIndex >= 0 ? ItemAt(iIndex) : nullptr;
  if (pItem == nullptr) return false;

  if (bCtrl && !pItem->IsSelected()) {
    // Toggled off by a Ctrl click: the last item still selected becomes the current one.
    m_nSelected = CountSelected();
    if (m_nSelected == 0) {
      m_iCurSel = -1;
      m_iAnchor = -1;
    } else if (iIndex == iOld) {
      for (int i = m_pItems->GetItemCount() - 1; i >= 0; --i) {
        IListItemUI* pOther = ItemAt(i);
        if (pOther == nullptr || !pOther->IsSelected()) continue;
        m_iCurSel = i;
        m_iAnchor = i;
        break;
      }
    }
    if (bNotify) Notify(L"itemunselect", iIndex, 0);
    return true;
  }

  if (!pItem->IsSelected()) pItem->SetSelectedSilently(true);
  m_nSelected = bCtrl ? CountSelected() : 1;
  m_iCurSel = iIndex;
  m_iAnchor = iIndex;
  if (iIndex == iOld) return true;
  EnsureVisible(iIndex);
  if (bTakeFocus) m_pItems->GetItemAt(iIndex)->SetFocus();
  if (bNotify) Notify(kNotifyItemSelect, iIndex, iOld);
  return true;
}

bool CListSelection::SelectRange(int iIndex, bool bTakeFocus, bool bNotify) {
  if (m_iCurSel < 0) m_iCurSel = 0;
  if (m_iAnchor < 0) m_iAnchor = m_iCurSel;
  if (iIndex == m_iAnchor) return true;
  IListItemUI* pItem = ItemAt(iIndex);
  if (pItem == nullptr) return false;
  pItem->SetSelectedSilently(true);
  EnsureVisible(iIndex);
  if (bTakeFocus) m_pItems->GetItemAt(iIndex)->SetFocus();
  if (bNotify) Notify(L"itemselectmutil", m_iAnchor, iIndex);
  const int iLow = m_iAnchor < iIndex ? m_iAnchor : iIndex;
  const int iHigh = m_iAnchor < iIndex ? iIndex : m_iAnchor;
  m_nSelected = 0;
  for (int i = 0; i < m_pItems->GetItemCount(); ++i) {
    IListItemUI* pOther = ItemAt(i);
    if (pOther == nullptr) continue;
    const bool bInside = i >= iLow && i <= iHigh;
    if (pOther->IsSelected() != bInside) pOther->SetSelectedSilently(bInside);
    if (bInside) ++m_nSelected;
  }
  m_iCurSel = iIndex;
  return true;
}

bool CListSelection::HandleNavigationKey(WCHAR chKey) {
  switch (chKey) {
    case VK_RETURN:
      if (m_iCurSel >= 0 && m_pItems->GetItemAt(m_iCurSel) != nullptr) {
        m_pItems->GetItemAt(m_iCurSel)->Activate();
      }
      return true;
    case VK_PRIOR:
      m_pItems->ScrollPageUp();
      return true;
    case VK_NEXT:
      m_pItems->ScrollPageDown();
      return true;
    case VK_HOME:
      SelectIndex(m_pItems->FindSelectableItem(0, true), true, true);
      return true;
    case VK_END:
      SelectIndex(m_pItems->FindSelectableItem(m_pItems->GetItemCount() - 1, false), true, true);
      return true;
    case VK_UP:
      SelectIndex(m_pItems->FindSelectableItem(m_iCurSel - 1, false), true, true);
      return true;
    case VK_DOWN:
      SelectIndex(m_pItems->FindSelectableItem(m_iCurSel + 1, true), true, true);
      return true;
    default:
      return false;
  }
}

void RenumberListItems(const CContainerUI* pItems, int iFrom) {
  for (int i = iFrom < 0 ? 0 : iFrom; i < pItems->GetItemCount(); ++i) {
    IListItemUI* pItem = AsListItem(pItems->GetItemAt(i));
    if (pItem != nullptr) pItem->SetIndex(i);
  }
}

void CListSelection::ItemInserted(CControlUI* pControl, int iIndex, CControlUI* pOwner) {
  IListItemUI* pItem = AsListItem(pControl);
  if (pItem != nullptr) {
    pItem->SetOwner(pOwner);
    pItem->SetIndex(iIndex);
  }
  // Appending, the common case, renumbers nothing.
  if (iIndex + 1 >= m_pItems->GetItemCount()) return;
  RenumberListItems(m_pItems, iIndex + 1);
  if (m_iCurSel >= iIndex) ++m_iCurSel;
  if (m_iAnchor >= iIndex) ++m_iAnchor;
}

bool CListSelection::ItemLeaving(CControlUI* pControl) {
  IListItemUI* pItem = AsListItem(pControl);
  if (pItem == nullptr) return false;
  pItem->SetOwner(nullptr);
  return pItem->IsSelected();
}

void CListSelection::AllItemsLeaving() {
  for (int i = 0; i < m_pItems->GetItemCount(); ++i) ItemLeaving(m_pItems->GetItemAt(i));
  m_iCurSel = -1;
  m_iAnchor = -1;
  m_nSelected = 0;
}

void CListSelection::ItemRemoved(int iIndex, bool bWasSelected) {
  RenumberListItems(m_pItems, iIndex);
  if (m_iAnchor == iIndex) {
    m_iAnchor = -1;
  } else if (m_iAnchor > iIndex) {
    --m_iAnchor;
  }
  if (bWasSelected && m_nSelected > 0) --m_nSelected;
  if (iIndex == m_iCurSel) {
    m_iCurSel = -1;
    m_iAnchor = -1;
    const int iNext = m_pItems->FindSelectableItem(iIndex - 1, false);
    // A replacement, whatever keys are down: with Ctrl it would toggle, and no row be left.
    if (iNext >= 0) Select(iNext, false, false, false);
  } else if (iIndex < m_iCurSel) {
    --m_iCurSel;
  }
}

void CListSelection::ItemsMoved(CControlUI* pCurrent, CControlUI* pAnchor) {
  RenumberListItems(m_pItems, 0);
  m_iCurSel = pCurrent != nullptr ? m_pItems->GetItemIndex(pCurrent) : -1;
  m_iAnchor = pAnchor != nullptr ? m_pItems->GetItemIndex(pAnchor) : -1;
}

}  // namespace SkinUI
