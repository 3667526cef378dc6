#pragma once
// CHorizontalLayoutUI: places its children left to right. Children whose measured width is 0
// share the width the others leave.

#include "Layout/UISeparatedLayout.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CSeparatedLayoutUI {
 public:
  CHorizontalLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
};

}  // namespace SkinUI
