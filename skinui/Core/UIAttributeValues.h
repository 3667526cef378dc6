#pragma once
// How the control base and the controls read skin attribute values: booleans, decimal numbers, colours, separated
// number lists and image attribute strings.

#include <windows.h>

#include <cwchar>

#include "Core/UIRender.h"

namespace SkinUI {
namespace attribute_values {

// Only the exact text "true" is true.
inline bool IsTrue(LPCWSTR pstrValue) { return ::lstrcmpW(pstrValue, L"true") == 0; }

inline int ReadInt(LPCWSTR pstrValue) {
  return static_cast<int>(std::wcstol(pstrValue, nullptr, 10));
}

// 0xAARRGGBB in hexadecimal, one leading "#" skipped.
inline DWORD ReadColor(LPCWSTR pstrValue) {
  if (*pstrValue == L'#') ++pstrValue;
  return static_cast<DWORD>(std::wcstoul(pstrValue, nullptr, 16));
}

// Background and item colours tolerate blanks before the number sign; border colours do not.
inline DWORD ReadColorAfterBlanks(LPCWSTR pstrValue) {
  while (*pstrValue == L' ') ++pstrValue;
  return ReadColor(pstrValue);
}

// Reads one decimal number and moves past the single separator after it; a list that ends early
// leaves the cursor on its terminator so that the missing numbers read as 0.
inline int ReadListInt(LPCWSTR& pstr) {
  LPWSTR pstrEnd = nullptr;
  const int nValue = static_cast<int>(std::wcstol(pstr, &pstrEnd, 10));
  pstr = pstrEnd;
  if (*pstr != L'\0') ++pstr;
  return nValue;
}

inline double ReadListDouble(LPCWSTR& pstr) {
  LPWSTR pstrEnd = nullptr;
  const double dValue = std::wcstod(pstr, &pstrEnd);
  pstr = pstrEnd;
  if (*pstr != L'\0') ++pstr;
  return dValue;
}

inline RECT ReadRect(LPCWSTR pstrValue) {
  RECT rc;
  rc.left = ReadListInt(pstrValue);
  rc.top = ReadListInt(pstrValue);
  rc.right = ReadListInt(pstrValue);
  rc.bottom = ReadListInt(pstrValue);
  return rc;
}

// "cx,cy"; a missing second number reads as 0.
inline SIZE ReadSize(LPCWSTR pstrValue) {
  SIZE sz;
  sz.cx = ReadListInt(pstrValue);
  sz.cy = ReadListInt(pstrValue);
  return sz;
}

inline bool Contains(LPCWSTR pstrValue, LPCWSTR pstrWord) {
  return std::wcsstr(pstrValue, pstrWord) != nullptr;
}

// The horizontal alignment words of a text style ("align", "itemalign"), applied in the order
// left, center, right, so that the last word present wins.
inline void ApplyAlignWords(UINT& uStyle, LPCWSTR pstrValue) {
  if (Contains(pstrValue, L"left")) uStyle &= ~(DT_CENTER | DT_RIGHT);
  if (Contains(pstrValue, L"center")) {
    uStyle &= ~DT_RIGHT;
    uStyle |= DT_CENTER;
  }
  if (Contains(pstrValue, L"right")) {
    uStyle &= ~DT_CENTER;
    uStyle |= DT_RIGHT;
  }
}

inline void SetStyleBit(UINT& uStyle, UINT uBit, bool bOn) {
  if (bOn) {
    uStyle |= uBit;
  } else {
    uStyle &= ~uBit;
  }
}

// Stores a new image attribute string; the record is parsed again on its next use. A string
// equal to the stored one changes nothing once its image has loaded. False when nothing changed.
inline bool StoreImageAttribute(ImageDrawInfo& image, LPCWSTR pstrImage) {
  if (image.sAttribute == pstrImage && image.pImage != nullptr) return false;
  image.Reset();
  image.sAttribute = pstrImage;
  return true;
}

}  // namespace attribute_values
}  // namespace SkinUI
