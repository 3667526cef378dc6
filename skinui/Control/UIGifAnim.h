#pragma once
// CGifAnimUI: plays an animated GIF image, one frame per tick of a host timer whose period is the
// frame's own delay.

#include <windows.h>

#include "Core/UIControl.h"

namespace Gdiplus {
class Image;
}

namespace SkinUI {

class CGdiplusSession;

class CGifAnimUI : public CControlUI {
 public:
  CGifAnimUI();
  ~CGifAnimUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  void SetVisible(bool bVisible = true) override;
  void InitSelf() override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

  // A new name stops the animation and drops the loaded image; it loads again on first use.
  void SetGifFile(LPCWSTR pstrName);
  LPCWSTR GetGifFile() const { return m_sGifFile; }
  void SetAutoPlay(bool bAutoPlay);
  bool IsAutoPlay() const { return m_bIsAutoPlay; }
  void SetAutoSize(bool bAutoSize);
  bool IsAutoSize() const { return m_bIsAutoSize; }
  void Play();
  // Returns to the first frame.
  void Stop();

  bool IsPlaying() const { return m_bIsPlaying; }
  bool IsLoaded() const { return m_pGifImage != nullptr; }
  UINT GetFrameCount() const { return m_nFrameCount; }
  UINT GetCurrentFrame() const { return m_nFramePosition; }
  // Milliseconds frame nFrame stays on screen; a delay of 0 counts as 100 ms.
  UINT GetFrameDelay(UINT nFrame) const;

  static const UINT kFrameTimerId = 100;

 private:
  void LoadGifImage();
  void FreeGifImage();
  void OnFrameTimer();

  CUIString m_sGifFile;
  Gdiplus::Image* m_pGifImage;
  UINT m_nFrameCount;
  UINT m_nFramePosition;
  // Hundredths of a second per frame; null when the image has no frame-delay property.
  UINT* m_pFrameDelays;
  UINT m_nDelayCount;
  bool m_bIsAutoPlay;
  bool m_bIsAutoSize;
  bool m_bIsPlaying;
  CGdiplusSession* m_pGdiplus;
};

}  // namespace SkinUI
