#include "Layout/UIHorizontalLayout.h"

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(false, L"sepwidth") {}

LPCWSTR CHorizontalLayoutUI::ClassName() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"HorizontalLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

}  // namespace SkinUI
