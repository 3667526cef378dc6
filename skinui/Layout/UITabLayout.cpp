// The tab layout: which child is shown, and the shown child's place.

#include "Layout/UITabLayout.h"

#include <algorithm>
#include <cwchar>

#include "Core/UIManager.h"

namespace SkinUI {

CTabLayoutUI::CTabLayoutUI() : m_iCurSel(-1) {}

LPCWSTR CTabLayoutUI::ClassName() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"TabLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

bool CTabLayoutUI::AddItem(CControlUI* pControl) {
  if (!CContainerUI::AddItem(pControl)) return false;
  if (m_iCurSel == -1 && pControl->IsVisible()) {
    m_iCurSel = GetItemIndex(pControl);
  } else {
    pControl->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::InsertItemAt(CControlUI* pControl, int iIndex) {
  if (!CContainerUI::InsertItemAt(pControl, iIndex)) return false;
  if (m_iCurSel == -1 && pControl->IsVisible()) {
    m_iCurSel = GetItemIndex(pControl);
  } else {
    // Only the selected page shows: a page slipped in before it would otherwise be laid out
    // on top of it.
    if (m_iCurSel != -1 && iIndex <= m_iCurSel) ++m_iCurSel;
    pControl->SetVisible(false);
  }
  return true;
}

bool CTabLayoutUI::RemoveItem(CControlUI* pControl) {
  const int iIndex = GetItemIndex(pControl);
  if (!CContainerUI::RemoveItem(pControl)) return false;
  if (iIndex == m_iCurSel) {
    if (GetItemCount() > 0) {
      m_iCurSel = 0;
      GetItemAt(0)->SetVisible(true);
    } else {
      m_iCurSel = -1;
    }
    RequestParentLayout();
  } else if (iIndex < m_iCurSel) {
    --m_iCurSel;
  }
  return true;
}

void CTabLayoutUI::RemoveAllItems() {
  m_iCurSel = -1;
  CContainerUI::RemoveAllItems();
  RequestParentLayout();
}

int CTabLayoutUI::GetCurSel() const { return m_iCurSel; }

bool CTabLayoutUI::SelectIndex(int iIndex, bool bNotify) {
  if (iIndex < 0 || iIndex >= GetItemCount()) return false;
  if (iIndex == m_iCurSel) return true;
  const int iOldSel = m_iCurSel;
  m_iCurSel = iIndex;
  for (int i = 0; i < GetItemCount(); ++i) {
    CControlUI* pChild = GetItemAt(i);
    if (i == iIndex) {
      pChild->SetVisible(true);
      pChild->SetFocus();
    } else {
      pChild->SetVisible(false);
    }
  }
  RequestParentLayout();
  if (m_pHost != nullptr) {
    m_pHost->MoveFocus(true);
    if (bNotify) {
      m_pHost->RaiseNotification(this, kNotifyTabSelect, static_cast<WPARAM>(m_iCurSel),
                                 static_cast<LPARAM>(iOldSel));
    }
  }
  return true;
}

void CTabLayoutUI::SetPosition(RECT rcPos, bool bNeedInvalidate) {
  CControlUI::SetPosition(rcPos, bNeedInvalidate);
  // The inset only: a tab layout never lays its scroll bars out, so they take no room.
  RECT rcContent = m_rcItem;
  rcContent.left += m_rcInset.left;
  rcContent.top += m_rcInset.top;
  rcContent.right -= m_rcInset.right;
  rcContent.bottom -= m_rcInset.bottom;
  for (int i = 0; i < GetItemCount(); ++i) {
    CControlUI* pChild = GetItemAt(i);
    if (!pChild->IsVisible()) continue;
    if (pChild->IsFloat()) {
      PlaceFloatingChild(i);
      continue;
    }
    if (i != m_iCurSel) continue;
    const RECT pad = pChild->GetPadding();
    RECT rc = rcContent;
    rc.left += pad.left;
    rc.top += pad.top;
    rc.right -= pad.right;
    rc.bottom -= pad.bottom;
    const SIZE sz = pChild->MeasureSize(SIZE{rc.right - rc.left, rc.bottom - rc.top});
    int cx = sz.cx == 0 ? std::max(0, static_cast<int>(rc.right - rc.left)) : sz.cx;
    int cy = sz.cy == 0 ? std::max(0, static_cast<int>(rc.bottom - rc.top)) : sz.cy;
    cx = ClampToLimits(cx, pChild->GetMinWidth(), pChild->GetMaxWidth());
    cy = ClampToLimits(cy, pChild->GetMinHeight(), pChild->GetMaxHeight());
    pChild->SetPosition(RECT{rc.left, rc.top, rc.left + cx, rc.top + cy}, false);
  }
}

// The container keeps the value as a custom attribute as well.
UI_BEGIN_ATTRIBUTES(CTabLayoutUI, CContainerUI)
UI_ATTRIBUTE(L"selectedid", kIntValue,
             self.SelectIndex(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)), true);
             self.AddCustomAttribute(L"selectedid", pstrValue))
UI_END_ATTRIBUTES()


}  // namespace SkinUI
