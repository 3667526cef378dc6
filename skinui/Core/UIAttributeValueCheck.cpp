#include "Core/UIAttributeValueCheck.h"

#include <cwchar>

#include "Core/UIAttributeTable.h"
#include "Core/UIImageAttribute.h"

namespace SkinUI {

namespace {

bool IsDigit(WCHAR ch) { return ch >= L'0' && ch <= L'9'; }

bool IsHexDigit(WCHAR ch) {
  return IsDigit(ch) || (ch >= L'a' && ch <= L'f') || (ch >= L'A' && ch <= L'F');
}

bool IsSpace(WCHAR ch) { return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n'; }

// One number as the controls read it (blanks, a sign, digits; with bFraction a fraction part
// too); false when no digit follows.
bool SkipNumber(LPCWSTR& p, bool bFraction) {
  while (IsSpace(*p)) ++p;
  if (*p == L'-' || *p == L'+') ++p;
  bool bDigits = false;
  while (IsDigit(*p)) {
    ++p;
    bDigits = true;
  }
  if (bFraction && *p == L'.') {
    ++p;
    while (IsDigit(*p)) {
      ++p;
      bDigits = true;
    }
  }
  return bDigits;
}

// nCount numbers, each one after the next separated by one character: the way the controls
// read "l,t,r,b" and "cx,cy".
bool IsNumberList(LPCWSTR p, int nCount, bool bFraction = false) {
  for (int i = 0; i < nCount; ++i) {
    if (i > 0) {
      if (*p == L'\0') return false;
      ++p;
    }
    if (!SkipNumber(p, bFraction)) return false;
  }
  return *p == L'\0';
}

bool IsColor(LPCWSTR p) {
  if (*p == L'#') ++p;
  int nDigits = 0;
  for (; IsHexDigit(*p); ++p) ++nDigits;
  return *p == L'\0' && nDigits == 8;
}

// name="value" pairs, one blank between two, as a "Default" element's value is read.
bool IsAttributeList(LPCWSTR p) {
  while (*p != L'\0') {
    while (*p != L'\0' && *p != L'=') ++p;
    if (*p++ != L'=' || *p++ != L'"') return false;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p++ != L'"') return false;
    if (*p == L'\0') return true;
    if (*p++ != L' ' || *p == L'\0') return false;
  }
  return true;
}

bool Is(LPCWSTR pstrKind, const wchar_t* pstrWanted) { return std::wcscmp(pstrKind, pstrWanted) == 0; }

}  // namespace

bool IsValueOfKind(LPCWSTR pstrKind, LPCWSTR pstrValue) {
  if (pstrKind == nullptr || pstrValue == nullptr) return true;
  if (Is(pstrKind, kIntValue) || Is(pstrKind, kPixelValue) || Is(pstrKind, kFontValue)) {
    return IsNumberList(pstrValue, 1);
  }
  if (Is(pstrKind, kBoolValue)) {
    return std::wcscmp(pstrValue, L"true") == 0 || std::wcscmp(pstrValue, L"false") == 0;
  }
  if (Is(pstrKind, kBoolAnyCaseValue)) {
    return ::lstrcmpiW(pstrValue, L"true") == 0 || ::lstrcmpiW(pstrValue, L"false") == 0;
  }
  if (Is(pstrKind, kFloatValue)) {
    return std::wcscmp(pstrValue, L"true") == 0 || std::wcscmp(pstrValue, L"false") == 0 ||
           IsNumberList(pstrValue, 4, true);
  }
  if (Is(pstrKind, kColorValue)) return IsColor(pstrValue);
  if (Is(pstrKind, kRectValue) || Is(pstrKind, kPixelRectValue)) return IsNumberList(pstrValue, 4);
  if (Is(pstrKind, kBorderValue)) return IsNumberList(pstrValue, 1) || IsNumberList(pstrValue, 4);
  if (Is(pstrKind, kSizeValue) || Is(pstrKind, kPixelSizeValue)) return IsNumberList(pstrValue, 2);
  if (Is(pstrKind, kAttributeListValue)) return IsAttributeList(pstrValue);
  if (Is(pstrKind, kImageValue)) {
    ImageDrawInfo info;
    ImageSourceKeys keys;
    return ParseImageAttribute(pstrValue, info, keys);
  }
  return true;
}

}  // namespace SkinUI
