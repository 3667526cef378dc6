#pragma once
// An axis of a layout: the vertical layout stacks along y and places across x, the horizontal
// layout the other way round, and a container scrolls along either. Code that reads every
// coordinate through an axis serves both orientations with one routine.

#include <windows.h>

#include "Core/UIControl.h"

namespace SkinUI {

class LayoutAxis {
 public:
  explicit LayoutAxis(bool bVertical) : m_bVertical(bVertical) {}

  bool IsVertical() const { return m_bVertical; }
  // The other axis.
  LayoutAxis Across() const { return LayoutAxis(!m_bVertical); }

  // The coordinate of a point, the component of a size, and the two edges and the extent of a
  // rectangle along this axis.
  LONG Of(const POINT& pt) const { return m_bVertical ? pt.y : pt.x; }
  LONG Of(const SIZE& sz) const { return m_bVertical ? sz.cy : sz.cx; }
  LONG& Of(SIZE& sz) const { return m_bVertical ? sz.cy : sz.cx; }
  LONG& Near(RECT& rc) const { return m_bVertical ? rc.top : rc.left; }
  LONG& Far(RECT& rc) const { return m_bVertical ? rc.bottom : rc.right; }
  LONG Near(const RECT& rc) const { return m_bVertical ? rc.top : rc.left; }
  LONG Far(const RECT& rc) const { return m_bVertical ? rc.bottom : rc.right; }
  LONG Extent(const RECT& rc) const { return Far(rc) - Near(rc); }

  // A size of nAlong on this axis and nAcross on the other.
  SIZE MakeSize(LONG nAlong, LONG nAcross) const {
    return m_bVertical ? SIZE{nAcross, nAlong} : SIZE{nAlong, nAcross};
  }
  // A rectangle from its edges on this axis and on the other.
  RECT MakeRect(LONG nNear, LONG nFar, LONG nAcrossNear, LONG nAcrossFar) const {
    return m_bVertical ? RECT{nAcrossNear, nNear, nAcrossFar, nFar}
                       : RECT{nNear, nAcrossNear, nFar, nAcrossFar};
  }

  // A control's size limits on this axis.
  int FixedOf(const CControlUI& control) const {
    return m_bVertical ? control.GetFixedHeight() : control.GetFixedWidth();
  }
  int MinOf(const CControlUI& control) const {
    return m_bVertical ? control.GetMinHeight() : control.GetMinWidth();
  }
  int MaxOf(const CControlUI& control) const {
    return m_bVertical ? control.GetMaxHeight() : control.GetMaxWidth();
  }
  void SetFixed(CControlUI& control, int n) const {
    if (m_bVertical) {
      control.SetFixedHeight(n);
    } else {
      control.SetFixedWidth(n);
    }
  }

 private:
  bool m_bVertical;
};

}  // namespace SkinUI
