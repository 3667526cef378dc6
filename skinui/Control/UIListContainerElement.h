#pragma once
// CListContainerElementUI: a list item that holds other controls; child i lines up under header
// column i. It selects itself on click ("itemclick", "itemrclick"), sends "itemdbclick" and
// "itemactivate" on a double click and "itembegindrag" when a selected item is dragged.

#include <windows.h>

#include "Control/UIListItemCore.h"
#include "Core/UIContainer.h"

namespace SkinUI {

class CListContainerElementUI : public CContainerUI, public IListItemUI {
 public:
  CListContainerElementUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  UINT GetBehaviourFlags() const override;
  bool Activate() override;
  void SetVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void HandleEvent(InputEvent& event) override;
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  void PaintBackgroundColor(HDC hDC) override;
  void PaintBackgroundImage(HDC hDC) override;

  // ---- IListItemUI ----
  int GetIndex() const override;
  void SetIndex(int iIndex) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* pOwner) override;
  bool IsSelected() const override;
  bool Select(bool bSelect = true, bool bNotify = true, bool bInformOwner = true,
              bool bRightClick = false) override;
  void SetSelectedSilently(bool bSelected) override;
  bool IsExpanded() const override;
  bool Expand(bool bExpand = true) override;
  // The item's own text, if it has one, in the owner's item styling.
  void PaintElementText(HDC hDC, const RECT& rcText) override;

  bool IsHot() const { return m_item.IsHot(); }

 protected:
  // The container layout without the column alignment (the list view's items).
  void PlaceChildrenInContainer(RECT rc, bool bNeedInvalidate);
  // Mouse, click, drag and key events of a container item; false for the rest.
  bool HandleItemEvent(InputEvent& event);

  CListItemCore m_item;
  bool m_bDragPending;
};

}  // namespace SkinUI
