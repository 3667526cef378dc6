#pragma once
// CListContainerElementUI: a list item that holds other controls; child i lines up under header
// column i. It selects itself on click ("itemclick", "itemrclick"), sends "itemdbclick" and
// "itemactivate" on a double click and "itembegindrag" when a selected item is dragged.

#include <windows.h>

#include "Control/UIListItemOf.h"
#include "Core/UIContainer.h"

namespace SkinUI {

class CListContainerElementUI : public CListItemOf<CContainerUI> {
 public:
  CListContainerElementUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void HandleEvent(InputEvent& event) override;
  // The item's own text, if it has one, in the owner's item styling.
  void PaintElementText(HDC hDC, const RECT& rcText) override;

 protected:
  // The container layout without the column alignment (the list view's items).
  void PlaceChildrenInContainer(RECT rc, bool bNeedInvalidate);
  // Mouse, click, drag and key events of a container item; false for the rest.
  bool HandleItemEvent(InputEvent& event);

  bool m_bDragPending;
};

}  // namespace SkinUI
