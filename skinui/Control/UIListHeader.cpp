#include "Control/UIListHeader.h"

#include <algorithm>

#include "Core/UIManager.h"

namespace SkinUI {

LPCWSTR CListHeaderUI::ClassName() const { return L"ListHeaderUI"; }

LPVOID CListHeaderUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListHeader") == 0) return this;
  return CHorizontalLayoutUI::QueryNamedInterface(pstrName);
}

SIZE CListHeaderUI::MeasureSize(SIZE szAvailable) {
  if (m_cxyFixed.cy != 0) return CHorizontalLayoutUI::MeasureSize(szAvailable);
  SIZE sz = {0, 0};
  if (m_pHost != nullptr) sz.cy = m_pHost->GetDefaultFontInfo()->tm.tmHeight + 6;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    const SIZE szItem = ChildAt(i)->MeasureSize(szAvailable);
    sz.cx += szItem.cx;
    sz.cy = std::max<LONG>(sz.cy, szItem.cy);
  }
  return sz;
}

}  // namespace SkinUI
