// Drawing a control's image attribute: parsed once per record, image taken from the host's cache.

#include <algorithm>
#include <climits>

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

// First use of a record: parse the attribute and get the image; false when there is none.
bool ResolveImage(CWindowHostUI* pHost, ImageDrawInfo& info) {
  info.bAttempted = true;
  ImageSourceKeys keys;
  ParseImageAttribute(info.sAttribute, info, keys);
  const LoadedImage* pImage = pHost->LookupOrLoadImage(
      info.sImageName, keys.bResource ? keys.sResType.GetData() : nullptr, keys.dwMask,
      keys.bHsl);
  if (pImage == nullptr) return false;
  info.pImage = pImage;
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
  if (info.pImage != nullptr && pHost->LookupImage(info.sImageName) != info.pImage) {
    // The host has freed or replaced the image since this record found it (a new skin, a
    // re-registered name): the record starts over rather than draw a released bitmap.
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
    RenderBitmap(hDC, pImage->hBitmap, rcDest, rcPaint, info.rcSource, info.rcCorner,
                 pImage->bAlpha, info.uFade, info.bHole, info.bTiledX, info.bTiledY);
  }
  return true;
}

}  // namespace SkinUI
