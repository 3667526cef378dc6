#pragma once
// CListUI: a header row of column headers over a scrolling body of list items. Items added to
// the list go to its body (header items to its header); the list owns the items' shared styling,
// single and multiple selection with Ctrl and Shift, keyboard and wheel navigation, expanding
// items, and the item notifications.

#include <windows.h>

#include "Control/UIListInterfaces.h"
#include "Control/UIListSelection.h"
#include "Layout/UIVerticalLayout.h"

namespace SkinUI {

class CListBodyUI;
class CListHeaderUI;

class CListUI : public CVerticalLayoutUI, public IListUI {
 public:
  CListUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  // The list takes the focus for its items, which the arrow keys then select.
  bool IsTabReachable() const override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  void ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

  // ---- IContainerUI: the items live in the body ----
  CControlUI* GetItemAt(int iIndex) const override;
  int GetItemIndex(CControlUI* pControl) const override;
  bool MoveItemTo(CControlUI* pControl, int iIndex) override;
  int GetItemCount() const override;
  bool AddItem(CControlUI* pControl) override;
  bool InsertItemAt(CControlUI* pControl, int iIndex) override;
  bool RemoveItem(CControlUI* pControl) override;
  bool RemoveItemAt(int iIndex) override;
  void RemoveAllItems() override;
  int FindSelectableItem(int iIndex, bool bForward = true) const override;

  // ---- scrolling happens in the body ----
  SIZE GetScrollPosition() const override;
  SIZE GetScrollRange() const override;
  void SetScrollPosition(SIZE szPos) override;
  void ScrollLineUp() override;
  void ScrollLineDown() override;
  void ScrollPageUp() override;
  void ScrollPageDown() override;
  void ScrollToTop() override;
  void ScrollToBottom() override;
  void ScrollLineLeft() override;
  void ScrollLineRight() override;
  void ScrollPageLeft() override;
  void ScrollPageRight() override;
  void ScrollToLeft() override;
  void ScrollToRight() override;
  void EnableScrollBars(bool bEnableVertical = true, bool bEnableHorizontal = false) override;
  CScrollBarBaseUI* GetVerticalScrollBar() const override;
  CScrollBarBaseUI* GetHorizontalScrollBar() const override;

  // ---- IListOwnerUI and IListUI ----
  ListInfo* GetListInfo() override;
  int GetCurSel() const override;
  bool SelectIndex(int iIndex, bool bTakeFocus = false, bool bNotify = true) override;
  void DispatchListEvent(InputEvent& event) override;
  bool SelectRange(int iIndex, bool bTakeFocus = false, bool bNotify = true) override;
  CListHeaderUI* GetHeader() const override;
  CListBodyUI* GetList() const override;
  IListTextSourceUI* GetItemTextSource() const override;
  void SetItemTextSource(IListTextSourceUI* pSource) override;
  bool ExpandElement(int iIndex, bool bExpand = true) override;
  int GetExpandedElement() const override;

  int GetSelectedCount() const { return m_selection.GetSelectedCount(); }
  int GetAnchor() const { return m_selection.GetAnchor(); }
  bool IsScrollSelect() const { return m_bScrollSelect; }
  void SetScrollSelect(bool bScrollSelect) { m_bScrollSelect = bScrollSelect; }
  void SetMultiExpanding(bool bMultiExpandable);
  // Moves the header items and the column extents sideways (the body scrolled by -dx).
  void ShiftColumns(int dx);

 protected:
  // Header and header items go to the list itself and to the header: true when pControl was
  // one of them, with the operation's result in bResult.
  bool RouteToHeader(CControlUI* pControl, int iIndex, bool& bResult);
  // The column extents from the header items' rectangles.
  void TakeColumns();
  // Lays the header's items out even while the header is hidden, so that columns have places.
  void PlaceHeaderItems(const RECT& rcHeader);

  CListBodyUI* m_pList;
  CListHeaderUI* m_pHeader;
  ListInfo m_ListInfo;
  CListSelection m_selection;
  bool m_bScrollSelect;
  int m_iExpandedItem;
  IListTextSourceUI* m_pTextSource;
};

}  // namespace SkinUI
