// Check boxes answer to their own names and otherwise behave as options.

#include "Control/UICheckBox.h"

namespace SkinUI {

LPCWSTR CCheckBoxUI::ClassName() const { return L"CheckBoxUI"; }

LPVOID CCheckBoxUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"CheckBox") == 0) return this;
  return COptionUI::QueryNamedInterface(pstrName);
}

}  // namespace SkinUI
