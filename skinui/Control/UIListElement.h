#pragma once
// CListElementUI: the base of the plain list items (one control, no children). It paints the
// background its owner's list info gives it and hands the events it does not take to its owner.

#include <windows.h>

#include "Control/UIListItemOf.h"
#include "Core/UIControl.h"

namespace SkinUI {

class CListElementUI : public CListItemOf<CControlUI> {
 public:
  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void HandleEvent(InputEvent& event) override;
  void PaintElementText(HDC hDC, const RECT& rcText) override;
};

}  // namespace SkinUI
