#include "Layout/UIHorizontalLayout.h"

#include <cwchar>

#include "Core/UIAttributeTable.h"

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(false) {}

LPCWSTR CHorizontalLayoutUI::ClassName() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"HorizontalLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

// The separator band's size: n > 0 on the right edge, -n on the left.
UI_BEGIN_ATTRIBUTES(CHorizontalLayoutUI, CLinearLayoutUI)
UI_ATTRIBUTE(L"sepwidth", kPixelValue,
             self.SetSeparatorSize(static_cast<int>(std::wcstol(pstrValue, nullptr, 10))))
UI_END_ATTRIBUTES()

}  // namespace SkinUI
