#pragma once
// CSkinRenderer: the framework's stateless drawing operations (skin images, colours, shapes, hue
// shifts, plain and tagged text), the records they work on, and CSkinClip, the clip-region guard
// that controls put around a clipped paint section.
//
// Colours are 0xAARRGGBB. Bitmaps are 32-bit top-down DIB sections holding premultiplied pixels.

#include <windows.h>

#include "Utils/UIString.h"

namespace SkinUI {

class CWindowHostUI;
class CControlUI;

// One decoded skin image. Made by CSkinRenderer::LoadSkinImage, owned by the window host's image
// cache, released with CSkinRenderer::FreeSkinImage.
struct LoadedImage {
  HBITMAP hBitmap = nullptr;
  // The bitmap's own pixels, rows top to bottom, 0xAARRGGBB premultiplied by alpha.
  DWORD* pPixels = nullptr;
  // A private copy of the pixels as loaded, kept (by the host) only for images that follow hue
  // adjustment: every shift starts again from it. Allocated with new[].
  DWORD* pUnadjustedPixels = nullptr;
  int nWidth = 0;
  int nHeight = 0;
  // Some pixel is not fully opaque (its alpha was below 255 or the mask cleared it).
  bool bAlpha = false;
  bool bFollowsHue = false;
  CUIString sResType;
  DWORD dwMask = 0;
};

// One parsed image attribute of a control ("bkimage", "normalimage", ...). The control owns it
// and calls Reset whenever the attribute string changes.
struct ImageDrawInfo {
  ImageDrawInfo();
  void Reset();

  CUIString sAttribute;  // as written in the skin
  CUIString sImageName;  // "file" or "res" value, else the whole attribute
  CUIString sLoadedName;  // the name the image was had by: sImageName or a DPI variant's
  // Set on the first parse; a failed load is not tried again until Reset.
  bool bAttempted;
  const LoadedImage* pImage;
  // Once the image is had, the lengths below are the window's pixels (rcDest) and the image's
  // own (rcSource, rcCorner); the skin writes all three for 96 DPI and a 96-DPI image.
  RECT rcDest;    // "dest": offsets from the item's top-left; all zero = the whole item
  RECT rcSource;  // "source": all zero = the whole image
  RECT rcCorner;  // "corner"/"scale9": widths of the fixed border
  UINT uDpi;       // the host's DPI when the image was had (0: not yet)
  UINT uImageDpi;  // the DPI of the image variant it got
  BYTE uFade;     // "fade": constant alpha
  bool bHole;     // "hole": the centre part is left out
  bool bTiledX;
  bool bTiledY;
};

// How many destination pixels a source pixel of a bitmap covers: uDestDpi / uSourceDpi. Nine-part
// corners and tiles are drawn that much larger.
struct BitmapScale {
  UINT uDestDpi;
  UINT uSourceDpi;
};

// Restricts a device context's clip region for its own lifetime; the destructor puts back the
// clip box that was in force before.
class CSkinClip {
 public:
  CSkinClip();
  ~CSkinClip();
  CSkinClip(const CSkinClip&) = delete;
  CSkinClip& operator=(const CSkinClip&) = delete;

  static void ClipToRect(HDC hDC, const RECT& rc, CSkinClip& clip);
  // The rectangle intersected with a rounded rectangle spanning rcItem (one pixel wider and
  // taller, as the platform's rounded regions leave out their right and bottom edges).
  static void ClipToRoundRect(HDC hDC, const RECT& rc, const RECT& rcItem, int width, int height,
                              CSkinClip& clip);
  // Switch between the clip saved on entry and the restricted one, to paint briefly outside.
  static void UseSavedClip(HDC hDC, CSkinClip& clip);
  static void UseNewClip(HDC hDC, CSkinClip& clip);

 private:
  // Saves the context's clip box, then selects the current clip intersected with hRgn (which the
  // object takes over).
  void Restrict(HDC hDC, const RECT& rc, HRGN hRgn);

  HDC m_hDC;
  HRGN m_hRgn;
  HRGN m_hOldRgn;
  RECT m_rcItem;
};

// Hue in degrees (0 to 360), saturation and lightness as fractions; single precision throughout.
void RgbToHsl(DWORD dwColor, float* pHue, float* pSaturation, float* pLightness);
// Writes red, green and blue into *pColor and keeps its alpha byte.
void HslToRgb(float hue, float saturation, float lightness, DWORD* pColor);
// Hue 0 to 360 with 180 meaning no change; saturation and lightness in percent, 100 = no change.
DWORD ShiftColorHsl(DWORD dwColor, short hue, short saturation, short lightness);

class CSkinRenderer {
 public:
  // ---- images ----

  // pstrName is a file/entry name, or MAKEINTRESOURCE(id) together with a resource type. Looks in
  // the resource module (with a type), the skin archive or the skin folder, then at the name as a
  // path. Null when nothing can be read or decoded.
  static LoadedImage* LoadSkinImage(LPCWSTR pstrName, LPCWSTR pstrType, DWORD dwMask);
  // The raw bytes of a skin file, found the way LoadSkinImage finds an image. The block is
  // allocated with new[] and belongs to the caller; null when nothing can be read.
  static BYTE* ReadSkinFileBytes(LPCWSTR pstrName, LPCWSTR pstrType, DWORD* pdwSize);
  // Decodes a PNG, JPEG, BMP, GIF (first frame) ... held in memory; pixels equal to dwMask
  // (compared premultiplied, alpha included) become transparent.
  static LoadedImage* DecodeSkinImage(const void* pBytes, DWORD dwSize, DWORD dwMask);
  static void FreeSkinImage(LoadedImage* pImage, bool bDelete = true);

  // Parses the attribute on first use, gets the image through the host's cache and draws it.
  // Without a device context it only parses and loads. False when the attribute is empty or the
  // image cannot be had (now or on an earlier call).
  static bool RenderImage(HDC hDC, CWindowHostUI* pHost, const RECT& rcItem, const RECT& rcPaint,
                          ImageDrawInfo& drawInfo);
  // rcSource limited to an image of cx by cy pixels: edges inside the image, never inverted.
  static RECT ImagePart(const RECT& rcSource, LONG cx, LONG cy);
  // Nine-part drawing of rcSource of hBitmap into rcDest with the corner widths of rcCorner
  // (source pixels; without a scale the destination's are the same). The source is limited to
  // the bitmap and each corner to the source.
  static void RenderBitmap(HDC hDC, HBITMAP hBitmap, const RECT& rcDest, const RECT& rcPaint,
                           const RECT& rcSource, const RECT& rcCorner, bool bAlpha,
                           BYTE uFade = 255, bool bHole = false, bool bTiledX = false,
                           bool bTiledY = false, const BitmapScale* pScale = nullptr);

  // A 32-bit copy of rc of the host's window: the off-screen image as last painted, or, with a
  // stop control or a layered window, the tree painted afresh up to the stop control. A colour
  // with a non-zero alpha is filled over the copy. The caller deletes the bitmap; null without a
  // host or when a surface cannot be made.
  static HBITMAP RenderSnapshot(CWindowHostUI* pHost, const RECT& rc, CControlUI* pStopControl,
                                DWORD dwBkColor);

  // ---- colours and shapes ----

  static void FillColor(HDC hDC, const RECT& rc, DWORD dwColor);
  static void FillGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                           int nSteps);
  static void StrokeLine(HDC hDC, const RECT& rc, int nSize, DWORD dwColor,
                         int nStyle = PS_SOLID);
  static void StrokeRect(HDC hDC, const RECT& rc, int nSize, DWORD dwColor,
                         int nStyle = PS_SOLID);
  static void StrokeRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height,
                              DWORD dwColor, int nStyle = PS_SOLID);
  // Recolours an image that follows hue adjustment, always from its unadjusted pixels.
  static void ShiftImageHsl(bool bEnabled, LoadedImage* pImage, short hue, short saturation,
                            short lightness);

  // ---- text ----

  static void RenderText(HDC hDC, CWindowHostUI* pHost, const RECT& rc, LPCWSTR pstrText,
                         DWORD dwTextColor, int iFont, UINT uStyle);
  // Tagged text. prcLinks/psLinks have room for nLinkRects entries; on return nLinkRects is the
  // number of links laid out. With DT_CALCRECT nothing is drawn and rc's right and bottom become
  // the measured extent.
  static void RenderMarkupText(HDC hDC, CWindowHostUI* pHost, RECT& rc, LPCWSTR pstrText,
                               DWORD dwTextColor, RECT* prcLinks, CUIString* psLinks,
                               int& nLinkRects, UINT uStyle);
};

}  // namespace SkinUI
