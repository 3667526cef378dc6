#include "Layout/UIVerticalLayout.h"

#include <cwchar>

#include "Core/UIAttributeTable.h"

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CLinearLayoutUI(true) {}

LPCWSTR CVerticalLayoutUI::ClassName() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"VerticalLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

// The separator band's size: n > 0 on the bottom edge, -n on the top.
UI_BEGIN_ATTRIBUTES(CVerticalLayoutUI, CLinearLayoutUI)
UI_ATTRIBUTE(L"sepheight", kPixelValue,
             self.SetSeparatorSize(static_cast<int>(std::wcstol(pstrValue, nullptr, 10))))
UI_END_ATTRIBUTES()

}  // namespace SkinUI
