#pragma once
// Building blocks for container and layout tests: children with fixed sizes and limits, a
// control that counts its destruction, and rectangle comparison that prints both sides.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Core/UIContainer.h"
#include "Layout/UIHorizontalLayout.h"
#include "Layout/UIVerticalLayout.h"

namespace layout_testing {

// A child whose measured size is its fixed size (0 asks the layout to stretch it).
inline SkinUI::CControlUI* AddSizedChild(SkinUI::CContainerUI& container, int cx, int cy) {
  auto* pChild = new SkinUI::CControlUI;
  pChild->SetFixedWidth(cx);
  pChild->SetFixedHeight(cy);
  container.AddItem(pChild);
  return pChild;
}

class CountedControl : public SkinUI::CControlUI {
 public:
  explicit CountedControl(int* pDestroyed) : m_pDestroyed(pDestroyed) {}
  ~CountedControl() override { ++*m_pDestroyed; }

 private:
  int* m_pDestroyed;
};

inline std::string Describe(const RECT& rc) {
  return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + ")-(" +
         std::to_string(rc.right) + "," + std::to_string(rc.bottom) + ")";
}

inline ::testing::AssertionResult PlacedAt(const SkinUI::CControlUI* pControl, RECT expected) {
  const RECT& rc = pControl->GetPosition();
  if (rc.left == expected.left && rc.top == expected.top && rc.right == expected.right &&
      rc.bottom == expected.bottom) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "placed at " << Describe(rc) << ", expected "
                                       << Describe(expected);
}

// A case written as a vertical layout sees it, run on a vertical and on a horizontal layout (the
// parameter: true for vertical); the horizontal one sees every rectangle, point and size
// transposed.
class AxisTest : public ::testing::TestWithParam<bool> {
 public:
  static std::string AxisName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Vertical" : "Horizontal";
  }

 protected:
  AxisTest() {
    if (IsVertical()) {
      m_layout.reset(new SkinUI::CVerticalLayoutUI);
    } else {
      m_layout.reset(new SkinUI::CHorizontalLayoutUI);
    }
  }
  bool IsVertical() const { return GetParam(); }
  RECT T(RECT rc) const { return IsVertical() ? rc : RECT{rc.top, rc.left, rc.bottom, rc.right}; }
  POINT T(int x, int y) const { return IsVertical() ? POINT{x, y} : POINT{y, x}; }
  // A child nAcross wide and nAlong high, as a vertical layout's child.
  SkinUI::CControlUI* AddChild(int nAcross, int nAlong) {
    return IsVertical() ? AddSizedChild(*m_layout, nAcross, nAlong)
                        : AddSizedChild(*m_layout, nAlong, nAcross);
  }

  std::unique_ptr<SkinUI::CLinearLayoutUI> m_layout;
};

}  // namespace layout_testing
