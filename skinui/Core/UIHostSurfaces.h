#pragma once
// The paint surfaces of one window host: the off-screen image the tree paints into, kept between
// paints, and, for a layered window with a layered image, that image drawn once at the window's
// size, whose alpha masks the window. Both go with the object.

#include <windows.h>

#include "Core/UIRenderSurface.h"

namespace SkinUI {

class CHostSurfaces {
 public:
  CHostSurfaces() = default;
  ~CHostSurfaces();
  CHostSurfaces(const CHostSurfaces&) = delete;
  CHostSurfaces& operator=(const CHostSurfaces&) = delete;

  // The off-screen image of a cx by cy client area: 32-bit pixels the host addresses itself
  // (rows bottom-up) for a layered window, a bitmap like the window's otherwise. It is selected
  // into its context only while a paint runs. False, and no image, on failure.
  bool CreateOffscreen(HDC hPaintDC, int cx, int cy, bool bLayered);
  bool HasOffscreen() const { return m_hbmpOffscreen != nullptr; }
  bool FitsClient(int cx, int cy) const { return m_szOffscreen.cx == cx && m_szOffscreen.cy == cy; }
  HDC OffscreenDC() const { return m_hDcOffscreen; }
  HBITMAP OffscreenBitmap() const { return m_hbmpOffscreen; }
  // Null pixels unless the image is a layered window's.
  const PixelRows& OffscreenPixels() const { return m_offscreenPixels; }

  // The mask image, made cleared when there is none; true when it was made now.
  bool CreateBackground(HDC hPaintDC, int cx, int cy);
  HDC BackgroundDC() const { return m_hDcBackground; }
  const PixelRows& BackgroundPixels() const { return m_backgroundPixels; }
  // Scales each pixel of rc in target (the off-screen image, or a picture of its size) by the
  // mask's alpha and gives it that alpha.
  void ApplyBackgroundMask(const PixelRows& target, RECT rc) const;

  void FreeBackground();
  void Free();

 private:
  void FreeOffscreen();

  // The off-screen context keeps the bitmap it was created with, so that ours can be taken out
  // before it is deleted.
  HDC m_hDcOffscreen = nullptr;
  HBITMAP m_hbmpOffscreen = nullptr;
  SIZE m_szOffscreen = {0, 0};
  PixelRows m_offscreenPixels = {};
  // The mask stays selected into its context for its whole life.
  HDC m_hDcBackground = nullptr;
  HBITMAP m_hbmpBackground = nullptr;
  HGDIOBJ m_hbmpBackgroundOld = nullptr;
  PixelRows m_backgroundPixels = {};
};

}  // namespace SkinUI
