// Lists: routing of children to header and body, layout of the columns, selection, events and
// attributes.

#include "Control/UIList.h"

#include <cwchar>

#include "Control/UIListBody.h"
#include "Control/UIListHeader.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

int ColumnCount(const CListHeaderUI* pHeader) {
  const int n = pHeader->GetItemCount();
  return n < ListInfo::kMaxColumns ? n : ListInfo::kMaxColumns;
}

bool IsHeaderItem(CControlUI* pControl) {
  return std::wcsstr(pControl->ClassName(), L"ListHeaderItemUI") != nullptr;
}

}  // namespace

CListUI::CListUI()
    : m_pList(new CListBodyUI(this)),
      m_pHeader(new CListHeaderUI),
      m_selection(this, m_pList),
      m_bScrollSelect(false),
      m_iExpandedItem(-1),
      m_pTextSource(nullptr) {
  CContainerUI::AddItem(m_pHeader);
  CContainerUI::AddItem(m_pList);
}

LPCWSTR CListUI::ClassName() const { return L"ListUI"; }

LPVOID CListUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"List") == 0) return static_cast<CListUI*>(this);
  if (::lstrcmpW(pstrName, L"IList") == 0) return static_cast<IListUI*>(this);
  if (::lstrcmpW(pstrName, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::QueryNamedInterface(pstrName);
}

bool CListUI::IsTabReachable() const { return IsEnabled() && IsKeyboardEnabled(); }

// ---- children ----

CControlUI* CListUI::GetItemAt(int iIndex) const { return m_pList->GetItemAt(iIndex); }
int CListUI::GetItemIndex(CControlUI* pControl) const { return m_pList->GetItemIndex(pControl); }
int CListUI::GetItemCount() const { return m_pList->GetItemCount(); }

int CListUI::FindSelectableItem(int iIndex, bool bForward) const {
  return m_pList->FindSelectableItem(iIndex, bForward);
}

bool CListUI::RouteToHeader(CControlUI* pControl, int iIndex, bool& bResult) {
  CListHeaderUI* pHeader = static_cast<CListHeaderUI*>(pControl->QueryNamedInterface(L"ListHeader"));
  if (pHeader != nullptr) {
    bResult = false;
    if (pHeader == m_pHeader) return true;
    if (m_pHeader->GetItemCount() == 0) {
      // The skin's own header takes the place of the empty one the list made.
      CListHeaderUI* pOld = m_pHeader;
      if (!CContainerUI::InsertItemAt(pHeader, 0)) return true;
      m_pHeader = pHeader;
      CContainerUI::RemoveItem(pOld);
      m_ListInfo.nColumns = ColumnCount(m_pHeader);
      bResult = true;
    } else {
      bResult = CContainerUI::AddItem(pHeader);
    }
    return true;
  }
  if (!IsHeaderItem(pControl)) return false;
  const int nHeaderItems = m_pHeader->GetItemCount();
  bResult = m_pHeader->InsertItemAt(pControl, iIndex < 0 || iIndex > nHeaderItems ? nHeaderItems : iIndex);
  m_ListInfo.nColumns = ColumnCount(m_pHeader);
  return true;
}

bool CListUI::AddItem(CControlUI* pControl) {
  // Not the overridable insert: a tree view's insert adds whole subtrees.
  return CListUI::InsertItemAt(pControl,
                               pControl != nullptr && IsHeaderItem(pControl) ? -1 : GetItemCount());
}

bool CListUI::InsertItemAt(CControlUI* pControl, int iIndex) {
  if (pControl == nullptr) return false;
  bool bResult = false;
  if (RouteToHeader(pControl, iIndex, bResult)) return bResult;
  if (!m_pList->InsertItemAt(pControl, iIndex)) return false;
  m_selection.ItemInserted(pControl, iIndex, this);
  if (iIndex <= m_iExpandedItem) ++m_iExpandedItem;
  return true;
}

bool CListUI::MoveItemTo(CControlUI* pControl, int iIndex) {
  CControlUI* pCurrent = m_pList->GetItemAt(m_selection.GetCurSel());
  CControlUI* pAnchor = m_pList->GetItemAt(m_selection.GetAnchor());
  CControlUI* pExpanded = m_pList->GetItemAt(m_iExpandedItem);
  if (!m_pList->MoveItemTo(pControl, iIndex)) return false;
  m_selection.ItemsMoved(pCurrent, pAnchor);
  m_iExpandedItem = pExpanded != nullptr ? m_pList->GetItemIndex(pExpanded) : -1;
  return true;
}

bool CListUI::RemoveItem(CControlUI* pControl) {
  if (pControl == nullptr) return false;
  if (pControl->GetParent() == m_pHeader && IsHeaderItem(pControl)) {
    const bool bRemoved = m_pHeader->RemoveItem(pControl);
    m_ListInfo.nColumns = ColumnCount(m_pHeader);
    return bRemoved;
  }
  const int iIndex = m_pList->GetItemIndex(pControl);
  if (iIndex < 0) return false;
  const bool bWasSelected = m_selection.ItemLeaving(pControl);
  if (!m_pList->RemoveItem(pControl)) return false;
  if (m_iExpandedItem == iIndex) {
    m_iExpandedItem = -1;
  } else if (m_iExpandedItem > iIndex) {
    --m_iExpandedItem;
  }
  m_selection.ItemRemoved(iIndex, bWasSelected);
  return true;
}

bool CListUI::RemoveItemAt(int iIndex) { return RemoveItem(GetItemAt(iIndex)); }

void CListUI::RemoveAllItems() {
  m_selection.AllItemsLeaving();
  m_pList->RemoveAllItems();
  m_iExpandedItem = -1;
}

// ---- layout ----

void CListUI::PlaceHeaderItems(const RECT& rcHeader) {
  // A hidden header hides its items too; they are shown to its layout only.
  const bool bHidden = !m_pHeader->IsVisible();
  if (bHidden) {
    for (int i = 0; i < m_pHeader->GetItemCount(); ++i) {
      m_pHeader->GetItemAt(i)->SetInheritedVisible(true);
    }
  }
  m_pHeader->SetPosition(rcHeader, false);
  if (bHidden) {
    for (int i = 0; i < m_pHeader->GetItemCount(); ++i) {
      m_pHeader->GetItemAt(i)->SetInheritedVisible(false);
    }
  }
  const int cxScroll = m_pList->GetScrollPosition().cx;
  if (cxScroll != 0) {
    for (int i = 0; i < m_pHeader->GetItemCount(); ++i) {
      m_pHeader->GetItemAt(i)->MoveBy(-cxScroll, 0, false);
    }
  }
  TakeColumns();
}

void CListUI::TakeColumns() {
  m_ListInfo.nColumns = ColumnCount(m_pHeader);
  for (int i = 0; i < m_ListInfo.nColumns; ++i) {
    m_ListInfo.rcColumn[i] = m_pHeader->GetItemAt(i)->GetPosition();
  }
}

void CListUI::ShiftColumns(int dx) {
  for (int i = 0; i < m_pHeader->GetItemCount(); ++i) {
    m_pHeader->GetItemAt(i)->MoveBy(dx, 0, false);
  }
  for (int i = 0; i < m_ListInfo.nColumns; ++i) ::OffsetRect(&m_ListInfo.rcColumn[i], dx, 0);
  m_pHeader->Invalidate();
}

void CListUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  RECT rcHeader = {rc.left + m_rcInset.left, rc.top + m_rcInset.top, rc.right - m_rcInset.right,
                   rc.bottom - m_rcInset.bottom};
  const SIZE szHeader = m_pHeader->MeasureSize(
      SIZE{rcHeader.right - rcHeader.left, rcHeader.bottom - rcHeader.top});
  rcHeader.bottom = rcHeader.top + szHeader.cy;
  // The body lines its items up under the columns: they need places before the body's layout.
  PlaceHeaderItems(rcHeader);
  CVerticalLayoutUI::SetPosition(rc, bNeedInvalidate);
  PlaceHeaderItems(m_pHeader->IsVisible() ? m_pHeader->GetPosition() : rcHeader);
}

// ---- scrolling ----

SIZE CListUI::GetScrollPosition() const { return m_pList->GetScrollPosition(); }
SIZE CListUI::GetScrollRange() const { return m_pList->GetScrollRange(); }
void CListUI::SetScrollPosition(SIZE szPos) { m_pList->SetScrollPosition(szPos); }
void CListUI::ScrollLineUp() { m_pList->ScrollLineUp(); }
void CListUI::ScrollLineDown() { m_pList->ScrollLineDown(); }
void CListUI::ScrollPageUp() { m_pList->ScrollPageUp(); }
void CListUI::ScrollPageDown() { m_pList->ScrollPageDown(); }
void CListUI::ScrollToTop() { m_pList->ScrollToTop(); }
void CListUI::ScrollToBottom() { m_pList->ScrollToBottom(); }
void CListUI::ScrollLineLeft() { m_pList->ScrollLineLeft(); }
void CListUI::ScrollLineRight() { m_pList->ScrollLineRight(); }
void CListUI::ScrollPageLeft() { m_pList->ScrollPageLeft(); }
void CListUI::ScrollPageRight() { m_pList->ScrollPageRight(); }
void CListUI::ScrollToLeft() { m_pList->ScrollToLeft(); }
void CListUI::ScrollToRight() { m_pList->ScrollToRight(); }

void CListUI::EnableScrollBars(bool bEnableVertical, bool bEnableHorizontal) {
  m_pList->EnableScrollBars(bEnableVertical, bEnableHorizontal);
}

CScrollBarBaseUI* CListUI::GetVerticalScrollBar() const { return m_pList->GetVerticalScrollBar(); }
CScrollBarBaseUI* CListUI::GetHorizontalScrollBar() const { return m_pList->GetHorizontalScrollBar(); }

// ---- selection ----

ListInfo* CListUI::GetListInfo() { return &m_ListInfo; }
int CListUI::GetCurSel() const { return m_selection.GetCurSel(); }

bool CListUI::SelectIndex(int iIndex, bool bTakeFocus, bool bNotify) {
  return m_selection.SelectIndex(iIndex, bTakeFocus, bNotify);
}

bool CListUI::SelectRange(int iIndex, bool bTakeFocus, bool bNotify) {
  return m_selection.SelectRange(iIndex, bTakeFocus, bNotify);
}

void CListUI::DispatchListEvent(InputEvent& event) { HandleEvent(event); }

CListHeaderUI* CListUI::GetHeader() const { return m_pHeader; }
CListBodyUI* CListUI::GetList() const { return m_pList; }
IListTextSourceUI* CListUI::GetItemTextSource() const { return m_pTextSource; }

void CListUI::SetItemTextSource(IListTextSourceUI* pSource) {
  m_pTextSource = pSource;
  Invalidate();
}

void CListUI::SetMultiExpanding(bool bMultiExpandable) {
  m_ListInfo.bMultiExpandable = bMultiExpandable;
}

bool CListUI::ExpandElement(int iIndex, bool bExpand) {
  if (m_iExpandedItem >= 0 && !m_ListInfo.bMultiExpandable) {
    IListItemUI* pExpanded = AsListItem(GetItemAt(m_iExpandedItem));
    m_iExpandedItem = -1;
    if (pExpanded != nullptr) pExpanded->Expand(false);
  }
  if (!bExpand) return false;
  CControlUI* pControl = GetItemAt(iIndex);
  IListItemUI* pItem = AsListItem(pControl);
  if (pItem == nullptr || !pControl->IsVisible() || !pItem->Expand(true)) return false;
  m_iExpandedItem = iIndex;
  RequestLayout();
  return true;
}

int CListUI::GetExpandedElement() const { return m_iExpandedItem; }

// ---- events ----

void CListUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CVerticalLayoutUI>(*this, event) || NoteFocusEvent(event)) return;
  const int iCur = GetCurSel();
  switch (event.iKind) {
    case kEventKeyDown:
      if (m_selection.HandleNavigationKey(event.chKey)) return;
      break;
    case kEventButtonDown:
    case kEventRightButtonUp:
      SelectIndex(-1);
      if (IsEnabled() && m_pHost != nullptr) {
        m_pHost->RaiseNotification(this, event.iKind == kEventButtonDown ? kNotifyItemClick
                                                                        : kNotifyItemRightClick);
      }
      return;
    case kEventRightButtonDown:
      return;
    case kEventScrollWheel: {
      const bool bTowardUser = event.wParam != 0;
      if (m_bScrollSelect) {
        SelectIndex(FindSelectableItem(iCur + (bTowardUser ? 1 : -1), bTowardUser), true);
      } else if (bTowardUser) {
        ScrollLineDown();
      } else {
        ScrollLineUp();
      }
      return;
    }
    default:
      break;
  }
  CVerticalLayoutUI::HandleEvent(event);
}

// ---- attributes ----

// The bars belong to the body: its own attributes keep the other bar as it is.
UI_BEGIN_ATTRIBUTES(CListUI, CVerticalLayoutUI)
UI_ATTRIBUTE(L"header", kTextValue, self.m_pHeader->SetVisible(::lstrcmpW(pstrValue, L"hidden") != 0))
UI_ATTRIBUTE(L"headerbkimage", kImageValue, self.m_pHeader->SetBkImage(pstrValue))
UI_ATTRIBUTE(L"scrollselect", kBoolValue, self.SetScrollSelect(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"multiexpanding", kBoolValue, self.SetMultiExpanding(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"vscrollbar", kBoolValue, self.m_pList->ApplyAttribute(L"vscrollbar", pstrValue))
UI_ATTRIBUTE(L"hscrollbar", kBoolValue, self.m_pList->ApplyAttribute(L"hscrollbar", pstrValue))
UI_ATTRIBUTE(L"vscrollbarstyle", kAttributeListValue,
             self.m_pList->ApplyAttribute(L"vscrollbarstyle", pstrValue))
UI_ATTRIBUTE(L"hscrollbarstyle", kAttributeListValue,
             self.m_pList->ApplyAttribute(L"hscrollbarstyle", pstrValue))
UI_END_ATTRIBUTES()

// The item attributes every row reads ("item..."), kept in the list info.
void CListUI::ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (!ApplyListInfoAttributeTo(*this, m_ListInfo, pstrName, pstrValue)) {
    CVerticalLayoutUI::ApplyUnlistedAttribute(pstrName, pstrValue);
  }
}


}  // namespace SkinUI
