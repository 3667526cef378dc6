#pragma once
// 32-bit device-independent pixel surfaces for the renderer's own pixel work: images, software
// blending, translucent gradients and snapshots.

#include <windows.h>

namespace SkinUI {

// A screen or memory device context, the only kinds the renderer draws into.
inline bool IsDrawableDC(HDC hDC) {
  const DWORD dwType = ::GetObjectType(hDC);
  return dwType == OBJ_DC || dwType == OBJ_MEMDC;
}

// The order of a DIB section's rows in memory.
enum class DibRows { kTopDown, kBottomUp };

// The 0xAARRGGBB pixels of a 32-bit DIB section, addressed top row first whatever their order in
// memory.
struct PixelRows {
  DWORD* pBits;
  int cx;
  int cy;
  DibRows rows;

  DWORD* Row(int y) const {
    return pBits + static_cast<size_t>(rows == DibRows::kBottomUp ? cy - 1 - y : y) * cx;
  }
};

// A 32-bit DIB section of cx by cy pixels (0xAARRGGBB, all zero); *ppPixels receives its
// pixels. Null for empty or impossible sizes.
HBITMAP CreateDib32(int cx, int cy, DWORD** ppPixels, DibRows rows = DibRows::kTopDown);

// The part of rc inside the pixels becomes transparent black.
void ClearPixels(const PixelRows& pixels, RECT rc);
// GDI draws with the alpha byte left at 0, which a premultiplied surface reads as "add this
// colour to what lies behind". A pixel with colour but no alpha can only have come from GDI, and
// GDI draws opaquely: such pixels of rc get alpha 0xFF.
void MakeGdiPixelsOpaque(const PixelRows& pixels, RECT rc);
// The pixels of rc get alpha 0xFF whatever drew them; transparent black ones too with
// bEmptyToo, as on an opaque window.
void MakePixelsOpaque(const PixelRows& pixels, RECT rc, bool bEmptyToo);

// A 32-bit DIB section selected into a memory device context, both released with the object.
class DibSurface {
 public:
  DibSurface() = default;
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  // hCompatibleDC may be null (a context compatible with the screen).
  bool Create(HDC hCompatibleDC, int cx, int cy, DibRows rows = DibRows::kTopDown);
  HDC DC() const { return m_hDC; }
  HBITMAP Bitmap() const { return m_hBitmap; }
  // Hands the bitmap over to the caller; it is no longer deleted here.
  HBITMAP Detach();
  // Row 0 is the top row; only a top-down surface's rows follow it in memory.
  DWORD* Row(int y) const { return Pixels().Row(y); }
  PixelRows Pixels() const { return PixelRows{m_pPixels, m_cx, m_cy, m_rows}; }
  int Width() const { return m_cx; }
  int Height() const { return m_cy; }

 private:
  void Release();

  HDC m_hDC = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
  DWORD* m_pPixels = nullptr;
  int m_cx = 0;
  int m_cy = 0;
  DibRows m_rows = DibRows::kTopDown;
};

}  // namespace SkinUI
