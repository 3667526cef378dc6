#pragma once
// CVerticalLayoutUI: stacks its children top to bottom. Children whose measured height is 0
// share the height the others leave.

#include "Core/UIAttributeTable.h"
#include "Layout/UILinearLayout.h"

namespace SkinUI {

class CVerticalLayoutUI : public CLinearLayoutUI {
 public:
  CVerticalLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;

  UI_DECLARE_ATTRIBUTES()
};

}  // namespace SkinUI
