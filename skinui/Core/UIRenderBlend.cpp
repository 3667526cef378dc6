#include "Core/UIRenderBlend.h"

#include <algorithm>
#include <vector>

#include "Core/UIRenderSurface.h"
#include "Utils/UISystemLibrary.h"

namespace SkinUI {
namespace RenderBlend {

namespace {

typedef BOOL(WINAPI* AlphaBlendProc)(HDC, int, int, int, int, HDC, int, int, int, int,
                                     BLENDFUNCTION);
typedef BOOL(WINAPI* GradientFillProc)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

struct PlatformServices {
  bool bLookedUp = false;
  AlphaBlendProc pfnAlphaBlend = nullptr;
  GradientFillProc pfnGradientFill = nullptr;
  bool bUseAlphaBlend = true;
  bool bUseGradientFill = true;
};

PlatformServices& Services() {
  static PlatformServices services;
  if (!services.bLookedUp) {
    services.bLookedUp = true;
    // The library stays loaded for the life of the process: the entries are kept.
    const HMODULE hModule = LoadSystemLibrary(L"msimg32.dll");
    services.pfnAlphaBlend = ModuleExport<AlphaBlendProc>(hModule, "AlphaBlend");
    services.pfnGradientFill = ModuleExport<GradientFillProc>(hModule, "GradientFill");
  }
  return services;
}

AlphaBlendProc PlatformAlphaBlend() {
  PlatformServices& services = Services();
  return services.bUseAlphaBlend ? services.pfnAlphaBlend : nullptr;
}

GradientFillProc PlatformGradientFill() {
  PlatformServices& services = Services();
  return services.bUseGradientFill ? services.pfnGradientFill : nullptr;
}

// x * y / 255 rounded to nearest, for 8-bit x and y, without a division.
inline DWORD MulDiv255(DWORD x, DWORD y) {
  const DWORD t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

// One premultiplied source pixel over one destination pixel. The sums are limited to 255 because
// callers may hand in colours that are not premultiplied (translucent fills do on purpose); without
// the limit a channel would carry into its neighbour.
inline DWORD BlendPixel(DWORD dwDst, DWORD dwSrc, DWORD uFade) {
  const DWORD a = MulDiv255(dwSrc >> 24, uFade);
  if (a == 0 && (dwSrc & 0x00FFFFFF) == 0) return dwDst;
  const DWORD dwKeep = 255 - a;
  DWORD dwResult = 0;
  for (int shift = 0; shift <= 24; shift += 8) {
    const DWORD s = shift == 24 ? a : MulDiv255((dwSrc >> shift) & 0xFF, uFade);
    const DWORD d = MulDiv255((dwDst >> shift) & 0xFF, dwKeep);
    dwResult |= std::min<DWORD>(s + d, 255) << shift;
  }
  return dwResult;
}

// The source index sampled for each of n destination positions over nSrc source positions, whole
// pixels repeated or dropped. Each source pixel covers the destination pixels whose centres lie
// over it (a centre on a boundary goes to the lower index). When shrinking, several source pixels
// land on one destination pixel and one of them is kept: the platform's own stretch keeps the
// last of a run of columns and the first of a run of rows, and so does this, so that both blends
// look the same.
enum class ShrinkKeeps { First, Last };

int SourceIndex(long long i, long long n, long long nSrc, ShrinkKeeps keep) {
  if (n >= nSrc) return static_cast<int>(((2 * i + 1) * nSrc - 1) / (2 * n));
  // Source pixel j lands on destination pixel (2j + 1) n / (2 nSrc).
  if (keep == ShrinkKeeps::Last) return static_cast<int>((2 * (i + 1) * nSrc - n - 1) / (2 * n));
  const long long numerator = 2 * i * nSrc - n;
  return numerator <= 0 ? 0 : static_cast<int>((numerator + 2 * n - 1) / (2 * n));
}

// The source indices for destination positions first .. first + count - 1 of n.
std::vector<int> SourceIndices(int first, int count, int n, int nSrc, ShrinkKeeps keep) {
  std::vector<int> indices(count);
  for (int i = 0; i < count; ++i) indices[i] = SourceIndex(first + i, n, nSrc, keep);
  return indices;
}

}  // namespace

void UsePlatformServices(bool bAlphaBlend, bool bGradientFill) {
  PlatformServices& services = Services();
  services.bUseAlphaBlend = bAlphaBlend;
  services.bUseGradientFill = bGradientFill;
}

void SoftwareBlend(HDC hDC, int x, int y, int cx, int cy, HDC hSrcDC, int xSrc, int ySrc,
                   int cxSrc, int cySrc, BYTE uFade) {
  if (cx <= 0 || cy <= 0 || cxSrc <= 0 || cySrc <= 0) return;
  BITMAP bm = {};
  HGDIOBJ hSrcBitmap = ::GetCurrentObject(hSrcDC, OBJ_BITMAP);
  if (hSrcBitmap == nullptr || ::GetObjectW(hSrcBitmap, sizeof(bm), &bm) == 0) return;
  if (bm.bmBitsPixel != 32 || xSrc < 0 || ySrc < 0 || xSrc + cxSrc > bm.bmWidth ||
      ySrc + cySrc > bm.bmHeight) {
    return;
  }
  // Only what can show is read back and blended: the destination may be far larger than the
  // context's visible area (a scrolled control's background, say).
  RECT rcVisible = {};
  const RECT rcDest = {x, y, x + cx, y + cy};
  RECT rcClip = {};
  if (::GetClipBox(hDC, &rcClip) == ERROR || !::IntersectRect(&rcVisible, &rcDest, &rcClip)) {
    return;
  }
  const int cxVisible = rcVisible.right - rcVisible.left;
  const int cyVisible = rcVisible.bottom - rcVisible.top;
  // Both parts are copied into surfaces of known layout, whichever way up the bitmaps are stored;
  // copies between 32-bit surfaces keep the alpha bytes.
  DibSurface source;
  DibSurface target;
  if (!source.Create(hDC, cxSrc, cySrc) || !target.Create(hDC, cxVisible, cyVisible)) return;
  ::BitBlt(source.DC(), 0, 0, cxSrc, cySrc, hSrcDC, xSrc, ySrc, SRCCOPY);
  ::BitBlt(target.DC(), 0, 0, cxVisible, cyVisible, hDC, rcVisible.left, rcVisible.top, SRCCOPY);
  ::GdiFlush();

  // Source pixels are chosen as for the whole destination; only the visible slice is blended.
  const std::vector<int> columns =
      SourceIndices(rcVisible.left - x, cxVisible, cx, cxSrc, ShrinkKeeps::Last);
  const std::vector<int> rows =
      SourceIndices(rcVisible.top - y, cyVisible, cy, cySrc, ShrinkKeeps::First);
  for (int row = 0; row < cyVisible; ++row) {
    const DWORD* pSrcRow = source.Row(rows[row]);
    DWORD* pDstRow = target.Row(row);
    for (int col = 0; col < cxVisible; ++col) {
      pDstRow[col] = BlendPixel(pDstRow[col], pSrcRow[columns[col]], uFade);
    }
  }
  ::BitBlt(hDC, rcVisible.left, rcVisible.top, cxVisible, cyVisible, target.DC(), 0, 0, SRCCOPY);
}

void BlendBitmapPart(HDC hDC, int x, int y, int cx, int cy, HDC hSrcDC, int xSrc, int ySrc,
                     int cxSrc, int cySrc, BYTE uFade) {
  if (AlphaBlendProc pfnAlphaBlend = PlatformAlphaBlend()) {
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, uFade, AC_SRC_ALPHA};
    pfnAlphaBlend(hDC, x, y, cx, cy, hSrcDC, xSrc, ySrc, cxSrc, cySrc, bf);
    return;
  }
  SoftwareBlend(hDC, x, y, cx, cy, hSrcDC, xSrc, ySrc, cxSrc, cySrc, uFade);
}

void SoftwareGradientBands(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                           int nSteps) {
  int k = 1;
  if (nSteps >= 64) {
    k = 6;
  } else if (nSteps >= 32) {
    k = 5;
  } else if (nSteps >= 16) {
    k = 4;
  } else if (nSteps >= 8) {
    k = 3;
  } else if (nSteps >= 4) {
    k = 2;
  }
  const int nBands = 1 << k;
  const int nLength = bVertical ? rc.bottom - rc.top : rc.right - rc.left;
  // Band 0 lies against the bottom (vertical) or right edge and carries the second colour.
  for (int i = 0; i < nBands; ++i) {
    auto channel = [&](int shift) {
      const DWORD first = (dwFirst >> shift) & 0xFF;
      const DWORD second = (dwSecond >> shift) & 0xFF;
      return static_cast<BYTE>((first * i + second * (nBands - i)) >> k);
    };
    const int nFar = (i + 1) * nLength >> k;
    const int nNear = i * nLength >> k;
    RECT rcBand = rc;
    if (bVertical) {
      rcBand.top = rc.bottom - nFar;
      rcBand.bottom = rc.bottom - nNear;
    } else {
      rcBand.left = rc.right - nFar;
      rcBand.right = rc.right - nNear;
    }
    if (rcBand.left >= rcBand.right || rcBand.top >= rcBand.bottom) continue;
    HBRUSH hBrush = ::CreateSolidBrush(RGB(channel(16), channel(8), channel(0)));
    ::FillRect(hDC, &rcBand, hBrush);
    ::DeleteObject(hBrush);
  }
}

void GradientRect(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical,
                  int nSteps) {
  GradientFillProc pfnGradientFill = PlatformGradientFill();
  if (pfnGradientFill == nullptr) {
    SoftwareGradientBands(hDC, rc, dwFirst, dwSecond, bVertical, nSteps);
    return;
  }
  auto vertex = [](LONG x, LONG y, DWORD dwColor) {
    TRIVERTEX v;
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(((dwColor >> 16) & 0xFF) << 8);
    v.Green = static_cast<COLOR16>(((dwColor >> 8) & 0xFF) << 8);
    v.Blue = static_cast<COLOR16>((dwColor & 0xFF) << 8);
    v.Alpha = 0xFF00;
    return v;
  };
  TRIVERTEX triv[2] = {vertex(rc.left, rc.top, dwFirst), vertex(rc.right, rc.bottom, dwSecond)};
  GRADIENT_RECT gradientRect = {0, 1};
  pfnGradientFill(hDC, triv, 2, &gradientRect, 1,
                  bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

}  // namespace RenderBlend
}  // namespace SkinUI
