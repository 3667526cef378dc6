#pragma once
// Skins are written in pixels of a 96-dots-per-inch screen. A control takes the attributes whose
// values are such lengths (or name a font, whose size is one) at its window's DPI, and keeps them
// as the skin wrote them, so that it can take them again when the window moves to a screen of
// another DPI or the control joins a window of another DPI.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "Core/UIAttributeTable.h"
#include "Utils/UIString.h"

namespace SkinUI {

class CControlUI;

// The DPI skins are written for.
constexpr UINT kSkinDpi = 96;

// n * uDpi / 96, rounded half away from zero.
int ScaleSkinPixels(int nPixels, UINT uDpi);
// Every edge, or both lengths, scaled as ScaleSkinPixels does.
RECT ScaleSkinRect(const RECT& rc, UINT uDpi);
SIZE ScaleSkinSize(const SIZE& sz, UINT uDpi);

// The value with every decimal number in it scaled from the skin's DPI to uDpi; everything else
// is copied as it is.
CUIString ScaleSkinNumbers(LPCWSTR pstrValue, UINT uDpi);

// A length in skin pixels or a font: the entry is run again when the DPI changes.
bool FollowsDpi(const AttributeEntry& entry);

class CDpiAttributes {
 public:
  // The DPI the control's lengths are in now.
  UINT GetDpi() const { return m_uDpi; }
  // Brings the values already given to uDpi, then runs the entry with pstrValue at uDpi and keeps
  // pstrValue. A name given again runs after the others when the values are taken again.
  void Apply(const AttributeEntry* pEntry, CControlUI& control, LPCWSTR pstrValue, UINT uDpi);
  // Runs every kept entry again at uDpi, in the order they were last given.
  void Rescale(CControlUI& control, UINT uDpi);

 private:
  std::vector<std::pair<const AttributeEntry*, std::wstring>> m_entries;
  UINT m_uDpi = kSkinDpi;
};

}  // namespace SkinUI
