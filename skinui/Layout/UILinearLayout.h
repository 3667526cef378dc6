#pragma once
// CLinearLayoutUI: what the vertical and horizontal layouts share. Children are stacked along one
// axis and placed across the other by the container's child alignment for that axis; children
// whose measured size along the axis is 0 share what the others leave. An optional drag
// separator lies on one edge of the layout itself ("sepheight"/"sepwidth", "sepimm").

#include "Core/UIContainer.h"
#include "Core/UILayoutAxis.h"
#include "Layout/UILayoutSeparator.h"

namespace SkinUI {

class CLinearLayoutUI : public CContainerUI {
 public:
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  UI_DECLARE_ATTRIBUTES()
  // Wants set-cursor events while it has a separator.
  UINT GetBehaviourFlags() const override;
  void HandleEvent(InputEvent& event) override;
  void PostPaint(HDC hDC, const RECT& rcPaint) override;

  // n > 0: an n-pixel band on the bottom (right) edge; -n: on the top (left) edge; 0: none.
  void SetSeparatorSize(int iSize);
  int GetSeparatorSize() const;
  void SetImmediateResize(bool bImmediate);
  bool IsImmediateResize() const;
  RECT GetSeparatorRect(bool bUseProposed = false) const;
  bool IsDragging() const;

 protected:
  // bVertical: children are stacked top to bottom, the band lies on the bottom or top edge and
  // drags the height.
  explicit CLinearLayoutUI(bool bVertical);

 private:
  LayoutAxis m_axis;
  CLayoutSeparator m_separator;
};

}  // namespace SkinUI
