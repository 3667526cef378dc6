#pragma once
// CHorizontalLayoutUI: places its children left to right. Children whose measured width is 0
// share the width the others leave.

#include "Core/UIAttributeTable.h"
#include "Layout/UILinearLayout.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CLinearLayoutUI {
 public:
  CHorizontalLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;

  UI_DECLARE_ATTRIBUTES()
};

}  // namespace SkinUI
