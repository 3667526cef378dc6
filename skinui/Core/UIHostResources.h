#pragma once
// The registries a skin refers to by name or number, as one window host keeps them for its own
// window and as the framework keeps them for all windows: fonts, images, default attribute
// strings, custom window attributes and option groups, the default font and the five default
// text colours. Everything the tables hold is theirs and goes with them.

#include <windows.h>

#include <string>
#include <unordered_set>

#include "Core/UIRender.h"
#include "Utils/UIOwnedStringMap.h"
#include "Utils/UIString.h"
#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CControlUI;

// One registered font. The record owns the font handle.
struct FontInfo {
  HFONT hFont;
  CUIString sFontName;
  int iSize;  // skin pixels; the font is created with height -iSize at its host's DPI
  bool bBold;
  bool bUnderline;
  bool bItalic;
  // All zero until the font is first measured.
  TEXTMETRICW tm;
};

// The five colours a window's texts default to, 0xAARRGGBB.
enum DefaultColor {
  kDefaultDisabledTextColor,
  kDefaultTextColor,
  kDefaultLinkTextColor,
  kDefaultHoveredLinkTextColor,
  kDefaultSelectedBkColor,
  kDefaultColorCount
};

struct FontInfoDeleter {
  void operator()(FontInfo* pFontInfo) const;
};

struct LoadedImageDeleter {
  void operator()(LoadedImage* pImage) const { CSkinRenderer::FreeSkinImage(pImage, true); }
};

class CHostResources {
 public:
  // Keys are the decimal text of a font id, an image name, a control element name, a window
  // attribute name and an option group name.
  typedef COwnedStringMapUI<FontInfo, FontInfoDeleter> FontTable;
  typedef COwnedStringMapUI<LoadedImage, LoadedImageDeleter> ImageTable;
  typedef COwnedStringMapUI<CUIString> TextTable;
  typedef CTypedPtrArrayUI<CControlUI> OptionGroup;

  CHostResources();
  ~CHostResources();
  CHostResources(const CHostResources&) = delete;
  CHostResources& operator=(const CHostResources&) = delete;

  // Empties every table; the default font and colours stay.
  void Clear();
  // A new description for the default font, whose handle this object owns from now on (the
  // old one is deleted); the metrics are cleared.
  void SetDefaultFont(HFONT hFont, LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline,
                      bool bItalic);

  FontTable fonts;
  ImageTable images;
  // Names of images that may well not exist (the variants for other DPIs) that failed to load.
  std::unordered_set<std::wstring> missingImages;
  TextTable defaultAttributes;
  TextTable customAttributes;
  COwnedStringMapUI<OptionGroup> optionGroups;
  FontInfo defaultFont;
  DWORD aColors[kDefaultColorCount];
};

// Fills in a font description; the metrics are cleared.
void DescribeFont(FontInfo& info, HFONT hFont, LPCWSTR pstrFontName, int nSize, bool bBold,
                  bool bUnderline, bool bItalic);

}  // namespace SkinUI
