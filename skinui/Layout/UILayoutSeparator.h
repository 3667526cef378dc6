#pragma once
// The drag separator of the vertical and horizontal layouts: a band on one edge of the layout
// that the user drags to change the layout's fixed height (vertical) or width (horizontal).
// While dragging, the layout either follows at once or shows a dark tracker band in its
// post-paint pass.

#include <windows.h>

#include "Core/UIControl.h"
#include "Core/UILayoutAxis.h"

namespace SkinUI {

class CLayoutSeparator {
 public:
  explicit CLayoutSeparator(bool bVertical);

  // n > 0: an n-pixel band on the bottom (right) edge; -n: on the top (left) edge; 0: none.
  int GetSize() const { return m_iSize; }
  void SetSize(int iSize) { m_iSize = iSize; }
  bool IsImmediate() const { return m_bImmediate; }
  void SetImmediate(CControlUI& layout, bool bImmediate);
  bool IsDragging() const { return m_bDragging; }

  // The band of rcItem, or of the proposed rectangle while dragging when asked.
  RECT GetBand(const RECT& rcItem, bool bUseProposed) const;
  // Button down, mouse move, button up and set-cursor over the band. rcItem is the layout's own
  // rectangle, which the drag moves. False for events left to the container.
  bool HandleEvent(CControlUI& layout, RECT& rcItem, const InputEvent& event);
  void PaintTracker(HDC hDC) const;

 private:
  void MoveBy(CControlUI& layout, RECT& rcItem, POINT pt);

  // The axis the band drags along.
  LayoutAxis m_axis;
  int m_iSize;
  bool m_bImmediate;
  bool m_bDragging;
  POINT m_ptLastMouse;
  RECT m_rcProposed;
};

}  // namespace SkinUI
