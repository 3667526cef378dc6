#include "Core/UIDpiAttributes.h"

#include <algorithm>
#include <climits>
#include <cwchar>

namespace SkinUI {

namespace {

bool IsDigit(WCHAR ch) { return ch >= L'0' && ch <= L'9'; }

bool IsLength(const AttributeEntry& entry) {
  for (LPCWSTR pstrKind : {kPixelValue, kPixelRectValue, kPixelSizeValue, kBorderValue}) {
    if (std::wcscmp(entry.pstrValueKind, pstrKind) == 0) return true;
  }
  return false;
}

// A font id stays what it is: the font behind it is what changes.
CUIString ValueAt(const AttributeEntry& entry, LPCWSTR pstrValue, UINT uDpi) {
  return IsLength(entry) ? ScaleSkinNumbers(pstrValue, uDpi) : CUIString(pstrValue);
}

}  // namespace

int ScaleSkinPixels(int nPixels, UINT uDpi) {
  if (uDpi == kSkinDpi) return nPixels;
  const long long nProduct = static_cast<long long>(nPixels) * uDpi;
  const long long nHalf = kSkinDpi / 2;
  const long long nScaled =
      nProduct >= 0 ? (nProduct + nHalf) / kSkinDpi : -((-nProduct + nHalf) / kSkinDpi);
  // Skins may hold any number an int does; the scaled one stays one.
  return static_cast<int>(std::min<long long>(std::max<long long>(nScaled, INT_MIN), INT_MAX));
}

RECT ScaleSkinRect(const RECT& rc, UINT uDpi) {
  return RECT{ScaleSkinPixels(rc.left, uDpi), ScaleSkinPixels(rc.top, uDpi),
              ScaleSkinPixels(rc.right, uDpi), ScaleSkinPixels(rc.bottom, uDpi)};
}

SIZE ScaleSkinSize(const SIZE& sz, UINT uDpi) {
  return SIZE{ScaleSkinPixels(sz.cx, uDpi), ScaleSkinPixels(sz.cy, uDpi)};
}

CUIString ScaleSkinNumbers(LPCWSTR pstrValue, UINT uDpi) {
  if (uDpi == kSkinDpi) return CUIString(pstrValue);
  CUIString sScaled;
  LPCWSTR p = pstrValue;
  while (*p != L'\0') {
    if (IsDigit(*p) || (*p == L'-' && IsDigit(p[1]))) {
      LPWSTR pstrEnd = nullptr;
      const long nValue = std::wcstol(p, &pstrEnd, 10);
      WCHAR szNumber[16] = {};
      std::swprintf(szNumber, 16, L"%d",
                    ScaleSkinPixels(static_cast<int>(nValue), uDpi));
      sScaled += szNumber;
      p = pstrEnd;
      // Digits past what a number can hold belong to it, not to the next one.
      while (IsDigit(*p)) ++p;
    } else {
      sScaled += *p++;
    }
  }
  return sScaled;
}

bool FollowsDpi(const AttributeEntry& entry) {
  return IsLength(entry) || std::wcscmp(entry.pstrValueKind, kFontValue) == 0;
}

void CDpiAttributes::Apply(const AttributeEntry* pEntry, CControlUI& control, LPCWSTR pstrValue,
                           UINT uDpi) {
  Rescale(control, uDpi);
  const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [pEntry](const auto& kept) { return kept.first == pEntry; });
  if (it != m_entries.end()) m_entries.erase(it);
  m_entries.emplace_back(pEntry, pstrValue);
  RunAttributeEntry(*pEntry, control, ValueAt(*pEntry, pstrValue, uDpi));
}

void CDpiAttributes::Rescale(CControlUI& control, UINT uDpi) {
  if (uDpi == m_uDpi) return;
  m_uDpi = uDpi;
  // An entry may give the control other attributes (a list style): it works on a copy.
  const auto entries = m_entries;
  for (const auto& kept : entries) {
    kept.first->pfnApply(control, ValueAt(*kept.first, kept.second.c_str(), uDpi));
  }
}

}  // namespace SkinUI
