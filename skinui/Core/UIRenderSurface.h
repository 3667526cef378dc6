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

// A 32-bit top-down DIB section of cx by cy pixels (rows top to bottom, 0xAARRGGBB, all zero);
// *ppPixels receives its pixels. Null for empty or impossible sizes.
HBITMAP CreateDib32(int cx, int cy, DWORD** ppPixels);

// A 32-bit top-down DIB section selected into a memory device context, both released with the
// object.
class DibSurface {
 public:
  DibSurface() = default;
  ~DibSurface();
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  // hCompatibleDC may be null (a context compatible with the screen).
  bool Create(HDC hCompatibleDC, int cx, int cy);
  HDC DC() const { return m_hDC; }
  HBITMAP Bitmap() const { return m_hBitmap; }
  // Hands the bitmap over to the caller; it is no longer deleted here.
  HBITMAP Detach();
  DWORD* Row(int y) const { return m_pPixels + static_cast<size_t>(y) * m_cx; }
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
};

}  // namespace SkinUI
