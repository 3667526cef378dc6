// The list view: items in the grid, selection by click, keys, wheel and rubber band.

#include "Layout/CListCtrlUI.h"

#include <cstdlib>

#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

CListCtrlUI::CListCtrlUI()
    : m_selection(this, this),
      m_bScrollSelect(false),
      m_bBandActive(false),
      m_ptBandStart{0, 0},
      m_ptBandCurrent{0, 0},
      m_rcBand{0, 0, 0, 0},
      m_nLastScrollY(0) {}

LPCWSTR CListCtrlUI::ClassName() const { return L"ListViewUI"; }

LPVOID CListCtrlUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListCtrl") == 0) return static_cast<CListCtrlUI*>(this);
  if (::lstrcmpW(pstrName, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  return CTileLayoutUI::QueryNamedInterface(pstrName);
}

bool CListCtrlUI::IsTabReachable() const { return IsEnabled() && IsKeyboardEnabled(); }

void CListCtrlUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_LIST;
  desc.sName = m_sText;
}

// ---- items ----

bool CListCtrlUI::AddItem(CControlUI* pControl) {
  return CListCtrlUI::InsertItemAt(pControl, m_items.GetSize());
}

bool CListCtrlUI::InsertItemAt(CControlUI* pControl, int iIndex) {
  if (!CTileLayoutUI::InsertItemAt(pControl, iIndex)) return false;
  m_selection.ItemInserted(pControl, iIndex, this);
  return true;
}

bool CListCtrlUI::MoveItemTo(CControlUI* pControl, int iIndex) {
  CControlUI* pCurrent = GetItemAt(m_selection.GetCurSel());
  CControlUI* pAnchor = GetItemAt(m_selection.GetAnchor());
  if (!CTileLayoutUI::MoveItemTo(pControl, iIndex)) return false;
  m_selection.ItemsMoved(pCurrent, pAnchor);
  return true;
}

bool CListCtrlUI::RemoveItem(CControlUI* pControl) {
  const int iIndex = GetItemIndex(pControl);
  if (iIndex < 0) return false;
  const bool bWasSelected = m_selection.ItemLeaving(pControl);
  if (!CTileLayoutUI::RemoveItem(pControl)) return false;
  m_selection.ItemRemoved(iIndex, bWasSelected);
  return true;
}

bool CListCtrlUI::RemoveItemAt(int iIndex) { return RemoveItem(GetItemAt(iIndex)); }

void CListCtrlUI::RemoveAllItems() {
  m_selection.AllItemsLeaving();
  CTileLayoutUI::RemoveAllItems();
}

// ---- selection ----

ListInfo* CListCtrlUI::GetListInfo() { return &m_ListInfo; }
int CListCtrlUI::GetCurSel() const { return m_selection.GetCurSel(); }

bool CListCtrlUI::SelectIndex(int iIndex, bool bTakeFocus, bool bNotify) {
  return m_selection.SelectIndex(iIndex, bTakeFocus, bNotify);
}

bool CListCtrlUI::SelectRange(int iIndex, bool bTakeFocus, bool bNotify) {
  return m_selection.SelectRange(iIndex, bTakeFocus, bNotify);
}

void CListCtrlUI::DispatchListEvent(InputEvent& event) { HandleEvent(event); }

// ---- the rubber band ----

void CListCtrlUI::UpdateBand(bool bAllowScroll) {
  if (std::abs(m_ptBandCurrent.x - m_ptBandStart.x) <= kBandThreshold &&
      std::abs(m_ptBandCurrent.y - m_ptBandStart.y) <= kBandThreshold) {
    return;
  }
  if (m_ptBandCurrent.x < m_rcItem.left) m_ptBandCurrent.x = m_rcItem.left;
  if (m_ptBandCurrent.x > m_rcItem.right) m_ptBandCurrent.x = m_rcItem.right;
  if (bAllowScroll) {
    if (m_ptBandCurrent.y < m_rcItem.top) {
      ScrollLineUp();
    } else if (m_ptBandCurrent.y > m_rcItem.bottom) {
      ScrollLineDown();
    }
  }
  const HWND hWnd = m_pHost != nullptr ? m_pHost->GetHostWindow() : nullptr;
  if (hWnd != nullptr) {
    ::InvalidateRect(hWnd, &m_rcItem, FALSE);
    ::UpdateWindow(hWnd);
  }
  m_rcBand.left = m_ptBandStart.x < m_ptBandCurrent.x ? m_ptBandStart.x : m_ptBandCurrent.x;
  m_rcBand.right = m_ptBandStart.x < m_ptBandCurrent.x ? m_ptBandCurrent.x : m_ptBandStart.x;
  m_rcBand.top = m_ptBandStart.y < m_ptBandCurrent.y ? m_ptBandStart.y : m_ptBandCurrent.y;
  m_rcBand.bottom = m_ptBandStart.y < m_ptBandCurrent.y ? m_ptBandCurrent.y : m_ptBandStart.y;
  if (bAllowScroll) {
    const int nScrollY = GetScrollPosition().cy;
    m_ptBandStart.y += m_nLastScrollY - nScrollY;
    m_nLastScrollY = nScrollY;
  }

  m_selection.SetScrollIntoView(false);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    IListItemUI* pItem = AsListItem(pChild);
    if (pItem == nullptr) continue;
    RECT rcCommon;
    const bool bInBand = ::IntersectRect(&rcCommon, &pChild->GetPosition(), &m_rcBand) != FALSE;
    if (pItem->IsSelected() == bInBand) continue;
    pItem->Select(bInBand, true, false, false);
    m_selection.TakeToggledItem(i, true);
  }
  m_selection.SetScrollIntoView(true);

  if (m_rcBand.top < m_rcItem.top) m_rcBand.top = m_rcItem.top;
  if (m_pHost != nullptr && m_pHost->GetHostDC() != nullptr) {
    CSkinRenderer::RenderImage(m_pHost->GetHostDC(), m_pHost, m_rcBand, m_rcBand, m_diSelectFrame);
  }
}

void CListCtrlUI::EndBand() {
  m_bBandActive = false;
  const HWND hWnd = m_pHost != nullptr ? m_pHost->GetHostWindow() : nullptr;
  if (hWnd == nullptr) return;
  ::InvalidateRect(hWnd, nullptr, TRUE);
  ::UpdateWindow(hWnd);
}

void CListCtrlUI::FollowScroll() {
  const int nScrollY = GetScrollPosition().cy;
  if (m_bBandActive) {
    m_ptBandStart.y += m_nLastScrollY - nScrollY;
    if (::PtInRect(&m_rcItem, m_ptBandCurrent)) UpdateBand(false);
  }
  m_nLastScrollY = nScrollY;
}

// ---- events ----

void CListCtrlUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CTileLayoutUI>(*this, event) || NoteFocusEvent(event)) return;
  const int iCur = GetCurSel();
  switch (event.iKind) {
    case kEventButtonDown:
      SelectIndex(-1, false, true);
      if (IsEnabled() && m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyItemClick);
      m_bBandActive = true;
      m_ptBandStart = event.ptMouse;
      m_ptBandCurrent = event.ptMouse;
      m_nLastScrollY = GetScrollPosition().cy;
      return;
    case kEventMouseMove:
      if (m_bBandActive) {
        m_ptBandCurrent = event.ptMouse;
        UpdateBand(true);
      }
      return;
    case kEventButtonUp:
      if (m_bBandActive) EndBand();
      return;
    case kEventRightButtonDown:
      return;
    case kEventRightButtonUp:
      SelectIndex(-1, false, true);
      if (IsEnabled() && m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyItemRightClick);
      return;
    case kEventScrollWheel:
      if (event.wParam == 0) {
        if (m_bScrollSelect) {
          SelectIndex(FindSelectableItem(iCur - 1, false), false, true);
        } else {
          ScrollLineUp();
        }
      } else if (m_bScrollSelect) {
        SelectIndex(FindSelectableItem(iCur + 1, true), false, true);
      } else {
        ScrollLineDown();
      }
      FollowScroll();
      return;
    case kEventKeyDown:
      if (!m_selection.HandleNavigationKey(event.chKey)) CControlUI::HandleEvent(event);
      return;
    default:
      break;
  }
  CTileLayoutUI::HandleEvent(event);
}

// ---- attributes ----

// Of the tile layout's names only these two; the rest of the chain is the container's.
UI_BEGIN_ATTRIBUTES(CListCtrlUI, CContainerUI)
UI_ATTRIBUTE(L"itemsize", kPixelSizeValue,
             ApplyTableAttribute(CTileLayoutUI::GetThisAttributeTable(), self, L"itemsize", pstrValue))
UI_ATTRIBUTE(L"childvpadding", kPixelValue,
             ApplyTableAttribute(CTileLayoutUI::GetThisAttributeTable(), self, L"childvpadding",
                                 pstrValue))
UI_ATTRIBUTE(L"scrollselect", kBoolValue, self.m_bScrollSelect = IsTrue(pstrValue))
UI_ATTRIBUTE(L"selectframeimage", kImageValue, StoreImageAttribute(self.m_diSelectFrame, pstrValue))
UI_END_ATTRIBUTES()

void CListCtrlUI::ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (!ApplyListInfoAttributeTo(*this, m_ListInfo, pstrName, pstrValue)) {
    CContainerUI::ApplyUnlistedAttribute(pstrName, pstrValue);
  }
}


}  // namespace SkinUI
