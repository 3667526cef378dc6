#pragma once
// Building blocks for container and layout tests: children with fixed sizes and limits, a
// control that counts its destruction, and rectangle comparison that prints both sides.

#include <gtest/gtest.h>

#include <string>

#include "Core/UIContainer.h"

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

}  // namespace layout_testing
