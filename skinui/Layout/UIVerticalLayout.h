#pragma once
// CVerticalLayoutUI: stacks its children top to bottom. Children whose measured height is 0
// share the height the others leave.

#include "Layout/UISeparatedLayout.h"

namespace SkinUI {

class CVerticalLayoutUI : public CSeparatedLayoutUI {
 public:
  CVerticalLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
};

}  // namespace SkinUI
