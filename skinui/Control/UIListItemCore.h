#pragma once
// CListItemCore: what every kind of list item keeps and does alike — its index and owner, its
// selected and hot states, selecting itself with Ctrl and Shift, and the item background and
// text colour its owner's list info gives it.

#include <windows.h>

#include "Control/UIListInterfaces.h"

namespace SkinUI {

class CListItemCore {
 public:
  explicit CListItemCore(CControlUI* pItem);

  int GetIndex() const { return m_iIndex; }
  void SetIndex(int iIndex) { m_iIndex = iIndex; }
  IListOwnerUI* GetOwner() const { return m_pOwner; }
  CControlUI* GetOwnerControl() const { return m_pOwnerControl; }
  // The owner's list view is asked of the control ("IListOwner"); null detaches the item.
  void SetOwner(CControlUI* pOwner);
  // The owner's list info, or null without an owner.
  ListInfo* Info() const;

  bool IsSelected() const { return m_bSelected; }
  void SetSelectedSilently(bool bSelected) { m_bSelected = bSelected; }
  bool IsHot() const { return m_bHot; }
  // Invalidates the item when the state changes.
  void SetHot(bool bHot);

  // Ctrl toggles instead of setting (not for a right click); Shift asks the owner for a range.
  bool Select(bool bSelect, bool bNotify, bool bInformOwner, bool bRightClick);
  // Called after the item became invisible: a hidden item cannot stay selected.
  void ItemHidden();
  // Sends a notification from the item through its host.
  void Notify(LPCWSTR pstrType, WPARAM wParam = 0, LPARAM lParam = 0) const;
  // Hands an event the item does not take to its owner; false without an owner.
  bool PassToOwner(InputEvent& event) const;

  // Background colour, state or background image and the bottom line. With bImageEndsPaint
  // (the list view's items) an image that draws ends the painting before the line.
  void PaintBackground(HDC hDC, const RECT& rcPaint, ImageDrawInfo& ownImage,
                       bool bImageEndsPaint = false) const;
  DWORD TextColor() const;

 private:
  bool IsOddRowWithAlternateBk(const ListInfo& info) const;

  CControlUI* m_pItem;
  CControlUI* m_pOwnerControl;
  IListOwnerUI* m_pOwner;
  int m_iIndex;
  bool m_bSelected;
  bool m_bHot;
};

}  // namespace SkinUI
