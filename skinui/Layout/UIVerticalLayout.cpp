#include "Layout/UIVerticalLayout.h"

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CLinearLayoutUI(true, L"sepheight") {}

LPCWSTR CVerticalLayoutUI::ClassName() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"VerticalLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

}  // namespace SkinUI
