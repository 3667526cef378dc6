// Drawing a control's image attribute: parsed once per record, image taken from the host's cache.

#include <algorithm>
#include <climits>

#include "Core/UIDpiAttributes.h"
#include "Core/UIImageAttribute.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"

namespace SkinUI {

namespace {

// An edge of the item moved by an offset from the skin, which may be anything an int holds.
LONG OffsetEdge(LONG edge, LONG offset) {
  const LONGLONG moved = static_cast<LONGLONG>(edge) + offset;
  return static_cast<LONG>(std::min<LONGLONG>(std::max<LONGLONG>(moved, LONG_MIN), LONG_MAX));
}

// The variants a skin may keep beside an image, drawn for screens of more dots per inch.
struct ImageVariant {
  UINT uDpi;
  LPCWSTR pstrSuffix;
};
const ImageVariant kVariants[] = {{144, L"@1.5x"}, {192, L"@2x"}};
const int kVariantCount = static_cast<int>(sizeof(kVariants) / sizeof(kVariants[0]));

// "common/button.png" with "@2x" is "common/button@2x.png": the suffix goes before the file
// name's extension, or at the end of a name without one.
CUIString VariantName(const CUIString& sName, LPCWSTR pstrSuffix) {
  const int iSlash = std::max(sName.ReverseFind(L'\\'), sName.ReverseFind(L'/'));
  int iDot = sName.ReverseFind(L'.');
  if (iDot <= iSlash) iDot = sName.GetLength();
  CUIString sVariant = sName.Left(iDot);
  sVariant += pstrSuffix;
  sVariant += sName.Mid(iDot);
  return sVariant;
}

// The host still holds the image the record found, under the name it was found by.
bool StillHeld(CWindowHostUI* pHost, const ImageDrawInfo& info) {
  return pHost->LookupImage(info.sLoadedName) == info.pImage;
}

// The image for a window of uDpi: the variant nearest to it among those drawn for at least that
// DPI, else the largest variant there is, else the image as named. Resources have no variants.
const LoadedImage* LoadForDpi(CWindowHostUI* pHost, ImageDrawInfo& info,
                              const ImageSourceKeys& keys, UINT uDpi) {
  LPCWSTR pstrType = keys.bResource ? keys.sResType.GetData() : nullptr;
  if (uDpi > kSkinDpi && !keys.bResource) {
    // Not smaller first, nearest first; then the smaller ones, largest first.
    int aOrder[kVariantCount];
    int nOrdered = 0;
    for (int i = 0; i < kVariantCount; ++i) {
      if (kVariants[i].uDpi >= uDpi) aOrder[nOrdered++] = i;
    }
    for (int i = kVariantCount - 1; i >= 0; --i) {
      if (kVariants[i].uDpi < uDpi) aOrder[nOrdered++] = i;
    }
    for (int i : aOrder) {
      const CUIString sVariant = VariantName(info.sImageName, kVariants[i].pstrSuffix);
      // Most images have no variants: the host remembers the names it did not find.
      const LoadedImage* pImage = pHost->LookupOrTryImage(sVariant, keys.dwMask, keys.bHsl);
      if (pImage == nullptr) continue;
      info.uImageDpi = kVariants[i].uDpi;
      info.sLoadedName = sVariant;
      return pImage;
    }
  }
  info.uImageDpi = kSkinDpi;
  info.sLoadedName = info.sImageName;
  return pHost->LookupOrLoadImage(info.sImageName, pstrType, keys.dwMask, keys.bHsl);
}

// First use of a record: parse the attribute and get the image; false when there is none.
bool ResolveImage(CWindowHostUI* pHost, ImageDrawInfo& info) {
  info.bAttempted = true;
  info.uDpi = pHost->GetDpi();
  ImageSourceKeys keys;
  ParseImageAttribute(info.sAttribute, info, keys);
  const LoadedImage* pImage = LoadForDpi(pHost, info, keys, info.uDpi);
  if (pImage == nullptr) return false;
  info.pImage = pImage;
  info.rcDest = ScaleSkinRect(info.rcDest, info.uDpi);
  info.rcSource = ScaleSkinRect(info.rcSource, info.uImageDpi);
  info.rcCorner = ScaleSkinRect(info.rcCorner, info.uImageDpi);
  const RECT& rc = info.rcSource;
  if (rc.left == 0 && rc.top == 0 && rc.right == 0 && rc.bottom == 0) {
    info.rcSource = RECT{0, 0, pImage->nWidth, pImage->nHeight};
  }
  return true;
}

}  // namespace

bool CSkinRenderer::RenderImage(HDC hDC, CWindowHostUI* pHost, const RECT& rcItem,
                                const RECT& rcPaint, ImageDrawInfo& info) {
  if (pHost == nullptr) return true;
  if (info.pImage != nullptr &&
      (info.uDpi != pHost->GetDpi() || !StillHeld(pHost, info))) {
    // The host has freed or replaced the image since this record found it (a new skin, a
    // re-registered name), or its window has another DPI now: the record starts over rather
    // than draw a released bitmap or one of the wrong size.
    const CUIString sAttribute = info.sAttribute;
    info.Reset();
    info.sAttribute = sAttribute;
  }
  if (info.pImage == nullptr) {
    if (info.bAttempted || info.sAttribute.IsEmpty()) return false;
    if (!ResolveImage(pHost, info)) return false;
  }
  const LoadedImage* pImage = info.pImage;
  info.rcSource = ImagePart(info.rcSource, pImage->nWidth, pImage->nHeight);
  if (hDC == nullptr) return true;

  RECT rcDest = rcItem;
  const RECT& rcOffset = info.rcDest;
  if (rcOffset.left != 0 || rcOffset.top != 0 || rcOffset.right != 0 || rcOffset.bottom != 0) {
    rcDest.left = OffsetEdge(rcItem.left, rcOffset.left);
    rcDest.top = OffsetEdge(rcItem.top, rcOffset.top);
    rcDest.right = std::min(OffsetEdge(rcItem.left, rcOffset.right), rcItem.right);
    rcDest.bottom = std::min(OffsetEdge(rcItem.top, rcOffset.bottom), rcItem.bottom);
  }
  RECT rcTemp;
  if (::IntersectRect(&rcTemp, &rcDest, &rcItem) && ::IntersectRect(&rcTemp, &rcDest, &rcPaint)) {
    const BitmapScale scale = {info.uDpi, info.uImageDpi};
    RenderBitmap(hDC, pImage->hBitmap, rcDest, rcPaint, info.rcSource, info.rcCorner,
                 pImage->bAlpha, info.uFade, info.bHole, info.bTiledX, info.bTiledY,
                 info.uDpi == info.uImageDpi ? nullptr : &scale);
  }
  return true;
}

}  // namespace SkinUI
