#pragma once
// The generated window shadow: soft edges stamped along a window's outline and a solid core,
// drawn into a 32-bit pixel buffer.

#include <windows.h>

namespace SkinUI {

struct GeneratedShadowStyle {
  int nSize;       // how far the shadow reaches beyond the window, -20 to 20
  int nSharpness;  // width of the soft edge, 0 to 20
  int nDarkness;   // alpha at full strength, 0 to 255
  int nOffsetX;    // shift of the shadow, -20 to 20 each
  int nOffsetY;
  DWORD dwColor;   // 0x00RRGGBB
};

// Draws the shadow of a window of cx by cy pixels whose outline is hRgn (window coordinates)
// into pPixels: (cx + 2 size) by (cy + 2 size) top-down 0xAARRGGBB premultiplied pixels, all
// zero on entry. A null or empty region draws nothing. Where the window itself will cover the
// shadow on screen the pixels stay transparent.
void MakeShadow(DWORD* pPixels, int cx, int cy, HRGN hRgn, const GeneratedShadowStyle& style);

}  // namespace SkinUI
