#pragma once
// CListSelection: the selection a list-like owner keeps over the list items of one container —
// the current item, the anchor that Shift ranges start from and how many items are selected —
// and the notifications it sends ("itemselect", "itemunselect", "itemselectmutil"). Lists and the
// list view share it; indexes follow the items as they are inserted, moved and removed.

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CContainerUI;
class IListItemUI;

class CListSelection {
 public:
  // pOwner sends the notifications; pItems holds the items and scrolls them into view.
  CListSelection(CControlUI* pOwner, CContainerUI* pItems);

  int GetCurSel() const { return m_iCurSel; }
  int GetAnchor() const { return m_iAnchor; }
  int GetSelectedCount() const { return m_nSelected; }

  // Without Ctrl held the item becomes the only selected one; with Ctrl the item's own (already
  // toggled) state is taken into the bookkeeping.
  bool SelectIndex(int iIndex, bool bTakeFocus, bool bNotify);
  // The bookkeeping of a Ctrl click whatever the keyboard says: the item at iIndex has already
  // taken its new state (the list view's rubber band).
  bool TakeToggledItem(int iIndex, bool bNotify);
  // Selects from the anchor to iIndex and nothing outside.
  bool SelectRange(int iIndex, bool bTakeFocus, bool bNotify);
  // Return, Page Up and Down, Home, End, Up and Down as every list-like owner takes them; false
  // for other keys.
  bool HandleNavigationKey(WCHAR chKey);
  // Scrolling the current item into view; the list view's rubber band turns it off.
  void SetScrollIntoView(bool bScroll) { m_bScrollIntoView = bScroll; }

  // Bookkeeping as the item list changes. An item that arrived at iIndex gets pOwner as owner
  // and its index; the items after it are renumbered.
  void ItemInserted(CControlUI* pControl, int iIndex, CControlUI* pOwner);
  // An item about to leave lets go of its owner (its destruction may wait for the host); true
  // when it was selected.
  bool ItemLeaving(CControlUI* pControl);
  // A removed current item hands the selection to the nearest selectable item before it,
  // without notification.
  void ItemRemoved(int iIndex, bool bWasSelected);
  // The current item and the anchor by identity, as remembered before a move.
  void ItemsMoved(CControlUI* pCurrent, CControlUI* pAnchor);
  // Every item is about to leave.
  void AllItemsLeaving();

 private:
  bool Select(int iIndex, bool bCtrl, bool bTakeFocus, bool bNotify);
  IListItemUI* ItemAt(int iIndex) const;
  void Notify(const wchar_t* pstrType, int iFirst, int iSecond) const;
  int CountSelected() const;
  void EnsureVisible(int iIndex) const;

  CControlUI* m_pOwner;
  CContainerUI* m_pItems;
  int m_iCurSel;
  int m_iAnchor;
  int m_nSelected;
  bool m_bScrollIntoView;
};

// Sets every list item's index from iFrom on to its position in pItems.
void RenumberListItems(const CContainerUI* pItems, int iFrom);

}  // namespace SkinUI
