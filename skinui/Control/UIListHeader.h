#pragma once
// CListHeaderUI: the row of column headers of a list, laid out left to right.

#include "Layout/UIHorizontalLayout.h"

namespace SkinUI {

class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  // Without a fixed height: the items' widths side by side by the tallest item, at least the
  // default font's height plus 6.
  SIZE MeasureSize(SIZE szAvailable) override;
};

}  // namespace SkinUI
