#pragma once
// CListCtrlItemElementUI: an item of the list view. Its children keep the container's own
// layout (no header columns); a state image that draws ends its background.

#include "Control/UIListContainerElement.h"

namespace SkinUI {

class CListCtrlItemElementUI : public CListContainerElementUI {
 public:
  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void PaintBackgroundColor(HDC hDC) override;
};

}  // namespace SkinUI
