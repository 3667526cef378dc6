#pragma once
// The two msimg32 services the renderer needs (per-pixel alpha blending and gradient fills), looked
// up on first use, with software replacements for systems that lack them.

#include <windows.h>

namespace SkinUI {
namespace RenderBlend {

// Source over destination with premultiplied source pixels: each destination channel becomes
// source * fade / 255 + destination * (1 - source alpha * fade / 65025). The source part is
// stretched to the destination part. Uses the platform's AlphaBlend when it exists.
void BlendBitmapPart(HDC hDC, int x, int y, int cx, int cy, HDC hSrcDC, int xSrc, int ySrc,
                     int cxSrc, int cySrc, BYTE uFade);

// The software blend itself; hSrcDC holds a 32-bit bitmap. A source part that does not lie inside
// it, or an empty part, draws nothing (as the platform's blend refuses it). Channel sums are
// limited to 255, so colours that are not premultiplied cannot spill into the next channel.
void SoftwareBlend(HDC hDC, int x, int y, int cx, int cy, HDC hSrcDC, int xSrc, int ySrc,
                   int cxSrc, int cySrc, BYTE uFade);

// A two-colour gradient over rc, channels interpolated from dwFirst at the top (vertical) or left
// edge to dwSecond at the opposite edge; without the platform fill, 2^k solid bands chosen by nSteps.
void GradientRect(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                  int nSteps);
void SoftwareGradientBands(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                           int nSteps);

// Decides which of the platform services are used from now on: false forces the software path,
// true uses the platform's again when it exists. For comparisons and measurements.
void UsePlatformServices(bool bAlphaBlend, bool bGradientFill);

}  // namespace RenderBlend
}  // namespace SkinUI
