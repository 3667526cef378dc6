#include "Core/UIHostResources.h"

#include <cstring>

namespace SkinUI {

void FontInfoDeleter::operator()(FontInfo* pFontInfo) const {
  ::DeleteObject(pFontInfo->hFont);
  delete pFontInfo;
}

void DescribeFont(FontInfo& info, HFONT hFont, LPCWSTR pstrFontName, int nSize, bool bBold,
                  bool bUnderline, bool bItalic) {
  info.hFont = hFont;
  info.sFontName = pstrFontName;
  info.iSize = nSize;
  info.bBold = bBold;
  info.bUnderline = bUnderline;
  info.bItalic = bItalic;
  std::memset(&info.tm, 0, sizeof(info.tm));
}

CHostResources::CHostResources() : defaultFont(), aColors() {}

CHostResources::~CHostResources() {
  if (defaultFont.hFont != nullptr) ::DeleteObject(defaultFont.hFont);
}

void CHostResources::Clear() {
  fonts.Clear();
  images.Clear();
  missingImages.clear();
  defaultAttributes.Clear();
  customAttributes.Clear();
  optionGroups.Clear();
}

void CHostResources::SetDefaultFont(HFONT hFont, LPCWSTR pstrFontName, int nSize, bool bBold,
                                    bool bUnderline, bool bItalic) {
  if (defaultFont.hFont != nullptr) ::DeleteObject(defaultFont.hFont);
  DescribeFont(defaultFont, hFont, pstrFontName, nSize, bBold, bUnderline, bItalic);
}

}  // namespace SkinUI
