#pragma once
// CFocusCuePainterUI: the outline of a host's focus control, drawn over the painted tree once
// the keyboard has moved the focus in the window. It is not part of the tree: the host paints
// it after everything else, as it does the controls registered for post-painting.

#include <windows.h>

#include "Core/UIControl.h"

namespace SkinUI {

class CFocusCuePainterUI : public CControlUI {
 public:
  explicit CFocusCuePainterUI(CWindowHostUI& host);

  void PostPaint(HDC hDC, const RECT& rcPaint) override;

  // Where a control's outline goes: inside it, clear of its edge where it has the room.
  static RECT OutlineRect(const CControlUI* pControl);

 private:
  CWindowHostUI& m_host;
};

}  // namespace SkinUI
