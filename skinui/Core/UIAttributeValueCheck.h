#pragma once
// Whether a skin attribute's value is written as its kind says (the k...Value texts of
// UIAttributeTable.h). The controls read every value as far as it goes and take the rest as 0
// or false; this says when that is not what the skin wrote, for skin diagnostics.

#include <windows.h>

namespace SkinUI {

// True for a value of the kind, and for kinds that take any text. Colours are "#AARRGGBB" with
// all eight digits: "#FF0000" reads as alpha 0, which draws nothing.
bool IsValueOfKind(LPCWSTR pstrValueKind, LPCWSTR pstrValue);

}  // namespace SkinUI
