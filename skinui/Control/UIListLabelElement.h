#pragma once
// CListLabelElementUI: a list item showing one text in its owner's item styling. A click selects
// it ("itemclick"), a double click or Return activates it ("itemactivate").

#include <windows.h>

#include "Control/UIListElement.h"

namespace SkinUI {

class CListLabelElementUI : public CListElementUI {
 public:
  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void HandleEvent(InputEvent& event) override;
  SIZE MeasureSize(SIZE szAvailable) override;
  void PaintTextLayer(HDC hDC) override;
  void PaintElementText(HDC hDC, const RECT& rcText) override;

 protected:
  // Events every text element takes the same way; false for the rest.
  bool HandleItemEvent(InputEvent& event);
  // rc less the item text padding.
  RECT PaddedRect(RECT rc) const;
  int ItemFontHeight() const;
};

}  // namespace SkinUI
