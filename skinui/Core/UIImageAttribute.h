#pragma once
// The image attribute mini-language: a bare image name, or key='value' pairs separated by blanks
// ("file", "res", "restype", "dest", "source", "corner", "scale9", "mask", "fade", "hole",
// "xtiled", "ytiled", "hsl").

#include <windows.h>

#include "Core/UIRender.h"
#include "Utils/UIString.h"

namespace SkinUI {

// What the attribute says about where the image comes from; it matters only when the image is
// first added to the host's cache.
struct ImageSourceKeys {
  CUIString sResType;
  DWORD dwMask = 0;
  bool bHsl = false;
  // A "res" pair was given: the image is looked up with sResType (empty when "restype" is absent,
  // so that nothing is found).
  bool bResource = false;
};

// Fills the name and geometry of info (which must have been reset) and keys from pstrAttribute.
// Parsing stops at the first malformed pair; pairs read before it stay applied. False when a
// pair is malformed or names no key the renderer knows.
bool ParseImageAttribute(LPCWSTR pstrAttribute, ImageDrawInfo& info, ImageSourceKeys& keys);

}  // namespace SkinUI
