#include "Core/UIImageAttribute.h"

#include <cstdlib>
#include <cwchar>

#include "Utils/UIDebug.h"

namespace SkinUI {

ImageDrawInfo::ImageDrawInfo() { Reset(); }

void ImageDrawInfo::Reset() {
  sAttribute.Empty();
  sImageName.Empty();
  sLoadedName.Empty();
  bAttempted = false;
  pImage = nullptr;
  rcDest = RECT{0, 0, 0, 0};
  rcSource = RECT{0, 0, 0, 0};
  rcCorner = RECT{0, 0, 0, 0};
  uDpi = 0;
  uImageDpi = 96;
  uFade = 255;
  bHole = false;
  bTiledX = false;
  bTiledY = false;
}

namespace {

inline bool IsBlank(WCHAR ch) { return ch != L'\0' && ch <= L' '; }

// "l,t,r,b": four decimal numbers, each pair separated by one arbitrary character. A list that
// ends early leaves the missing numbers 0 rather than reading past the value.
void ReadFourNumbers(LPCWSTR pstrValue, RECT& rc) {
  LONG* aValues[4] = {&rc.left, &rc.top, &rc.right, &rc.bottom};
  LPCWSTR p = pstrValue;
  bool bComplete = true;
  for (int i = 0; i < 4; ++i) {
    *aValues[i] = 0;
    if (i > 0) {
      if (*p == L'\0') {
        bComplete = false;
        continue;
      }
      ++p;
    }
    LPWSTR pstrEnd = nullptr;
    *aValues[i] = std::wcstol(p, &pstrEnd, 10);
    if (pstrEnd == p) bComplete = false;
    p = pstrEnd;
  }
  LPCWSTR pstr = bComplete ? p : nullptr;
  UI_CHECK(pstr);
  (void)pstr;
}

bool ApplyPair(const CUIString& sKey, const CUIString& sValue, ImageDrawInfo& info,
               ImageSourceKeys& keys) {
  if (sKey == L"file") {
    info.sImageName = sValue;
  } else if (sKey == L"res") {
    keys.bResource = true;
    info.sImageName = sValue;
  } else if (sKey == L"restype") {
    keys.sResType = sValue;
  } else if (sKey == L"dest") {
    ReadFourNumbers(sValue, info.rcDest);
  } else if (sKey == L"source") {
    ReadFourNumbers(sValue, info.rcSource);
  } else if (sKey == L"corner" || sKey == L"scale9") {
    ReadFourNumbers(sValue, info.rcCorner);
  } else if (sKey == L"mask") {
    LPCWSTR pstrColor = sValue.GetData();
    if (*pstrColor == L'#') ++pstrColor;
    keys.dwMask = std::wcstoul(pstrColor, nullptr, 16);
  } else if (sKey == L"fade") {
    info.uFade = static_cast<BYTE>(std::wcstol(sValue, nullptr, 10));
  } else if (sKey == L"hole") {
    info.bHole = sValue == L"true";
  } else if (sKey == L"xtiled") {
    info.bTiledX = sValue == L"true";
  } else if (sKey == L"ytiled") {
    info.bTiledY = sValue == L"true";
  } else if (sKey == L"hsl") {
    keys.bHsl = sValue == L"true";
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseImageAttribute(LPCWSTR pstrAttribute, ImageDrawInfo& info, ImageSourceKeys& keys) {
  if (pstrAttribute == nullptr) pstrAttribute = L"";
  info.sImageName = pstrAttribute;
  bool bUnderstood = true;
  bool bFirst = true;
  LPCWSTR p = pstrAttribute;
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == L'\0') return bUnderstood;
    LPCWSTR pstrKey = p;
    while (*p != L'\0' && *p != L'=' && *p > L' ') ++p;
    const CUIString sKey(pstrKey, static_cast<int>(p - pstrKey));
    while (IsBlank(*p)) ++p;
    // A first word without "=" makes the whole attribute a bare image name.
    if (*p != L'=') return bFirst;
    bFirst = false;
    ++p;
    while (IsBlank(*p)) ++p;
    if (*p != L'\'') return false;
    ++p;
    LPCWSTR pstrValue = p;
    while (*p != L'\0' && *p != L'\'') ++p;
    if (*p == L'\0') return false;
    const CUIString sValue(pstrValue, static_cast<int>(p - pstrValue));
    ++p;
    if (!sValue.IsEmpty() && !ApplyPair(sKey, sValue, info, keys)) bUnderstood = false;
    // Pairs are separated by a blank; anything else right after a value ends the list.
    if (*p == L'\0') return bUnderstood;
    if (*p != L' ') return false;
    ++p;
  }
}

}  // namespace SkinUI
