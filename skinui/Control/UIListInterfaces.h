#pragma once
// The views through which list items and the controls that own them (lists, combo boxes, the
// list view, the tree view) talk to each other, and the callback that supplies column texts.

#include <windows.h>

#include "Control/UIListInfo.h"
#include "Core/UIEvents.h"

namespace SkinUI {

class CControlUI;
class CContainerUI;
class CListHeaderUI;
class CListBodyUI;

// What owns list items: their shared styling, the selection and the events they pass on.
class IListOwnerUI {
 public:
  virtual ListInfo* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectIndex(int iIndex, bool bTakeFocus = false, bool bNotify = true) = 0;
  virtual void DispatchListEvent(InputEvent& event) = 0;
  // The range from the anchor to iIndex (Shift).
  virtual bool SelectRange(int iIndex, bool bTakeFocus = false, bool bNotify = true) = 0;

 protected:
  ~IListOwnerUI() = default;
};

// Per-column texts for text elements, asked for on every paint. Null draws nothing.
class IListTextSourceUI {
 public:
  virtual LPCWSTR GetItemText(CControlUI* pItem, int iIndex, int iColumn) = 0;

 protected:
  ~IListTextSourceUI() = default;
};

class IListUI : public IListOwnerUI {
 public:
  virtual CListHeaderUI* GetHeader() const = 0;
  virtual CListBodyUI* GetList() const = 0;
  virtual IListTextSourceUI* GetItemTextSource() const = 0;
  virtual void SetItemTextSource(IListTextSourceUI* pSource) = 0;
  virtual bool ExpandElement(int iIndex, bool bExpand = true) = 0;
  virtual int GetExpandedElement() const = 0;

 protected:
  ~IListUI() = default;
};

class IListItemUI {
 public:
  virtual int GetIndex() const = 0;
  virtual void SetIndex(int iIndex) = 0;
  virtual IListOwnerUI* GetOwner() = 0;
  virtual void SetOwner(CControlUI* pOwner) = 0;
  virtual bool IsSelected() const = 0;
  virtual bool Select(bool bSelect = true, bool bNotify = true, bool bInformOwner = true,
                      bool bRightClick = false) = 0;
  virtual void SetSelectedSilently(bool bSelected) = 0;
  virtual bool IsExpanded() const = 0;
  virtual bool Expand(bool bExpand = true) = 0;
  virtual void PaintElementText(HDC hDC, const RECT& rcText) = 0;

 protected:
  ~IListItemUI() = default;
};

// The list item view of a control, or null.
inline IListItemUI* AsListItem(CControlUI* pControl);

}  // namespace SkinUI

#include "Core/UIControl.h"

namespace SkinUI {

inline IListItemUI* AsListItem(CControlUI* pControl) {
  if (pControl == nullptr) return nullptr;
  return static_cast<IListItemUI*>(pControl->QueryNamedInterface(L"ListItem"));
}

}  // namespace SkinUI
