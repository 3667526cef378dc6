#pragma once
// CButtonUI: a label with state images and colours, a fade between its normal and hot images,
// and the "click" notification.

#include <windows.h>

#include "Control/UILabel.h"
#include "Control/UIStateImage.h"

namespace SkinUI {

class CButtonUI : public CLabelUI {
 public:
  static const UINT_PTR kFadeTimerId = 11;
  static const UINT kFadeInterval = 30;  // ms

  CButtonUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UINT GetBehaviourFlags() const override;
  bool Activate() override;
  // Cuts a five-state image set before the button had a host.
  void SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit = true) override;
  void SetEnabled(bool bEnable = true) override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  SIZE MeasureSize(SIZE szAvailable) override;
  // Decides the high-contrast face once for the layers that ask for it, then paints them.
  bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
  void PaintStateImages(HDC hDC) override;
  void PaintTextLayer(HDC hDC) override;
  void PaintBorderLayer(HDC hDC) override;

  UINT GetButtonState() const { return m_uButtonState; }
  BYTE GetFadeAlpha() const { return m_uFadeAlpha; }

  void SetNormalImage(LPCWSTR pstrImage);
  void SetHotImage(LPCWSTR pstrImage);
  void SetPushedImage(LPCWSTR pstrImage);
  void SetFocusedImage(LPCWSTR pstrImage);
  void SetDisabledImage(LPCWSTR pstrImage);
  void SetForeImage(LPCWSTR pstrImage);
  void SetHotForeImage(LPCWSTR pstrImage);
  // Drawn over the pushed image while the button is pressed.
  void SetPushedForeImage(LPCWSTR pstrImage);
  // One image of five equal strips: normal, pushed, hot, focused, disabled.
  void SetFiveStatusImage(LPCWSTR pstrImage);
  void SetFadeStep(BYTE uStep) { m_uFadeStep = uStep; }
  void SetHotBkColor(DWORD dwColor) { m_dwHotBkColor = dwColor; }
  void SetHotTextColor(DWORD dwColor) { m_dwHotTextColor = dwColor; }
  void SetPushedTextColor(DWORD dwColor) { m_dwPushedTextColor = dwColor; }
  void SetFocusedTextColor(DWORD dwColor) { m_dwFocusedTextColor = dwColor; }
  void SetHandCursor(bool bHandCursor) { m_bHandCursor = bHandCursor; }

  const ImageDrawInfo& NormalImage() const { return m_images.normal; }
  const ImageDrawInfo& PushedImage() const { return m_images.pushed; }
  const ImageDrawInfo& HotImage() const { return m_images.hot; }
  const ImageDrawInfo& FocusedImage() const { return m_images.focused; }
  const ImageDrawInfo& DisabledImage() const { return m_images.disabled; }

 protected:
  // Stores a state image string; a string already loaded is left alone.
  void ReplaceImage(ImageDrawInfo& image, LPCWSTR pstrImage);
  // Draws an image over the whole control; false when it drew nothing. In high contrast an image
  // behind the text is the face the system's colours replace.
  bool DrawImage(HDC hDC, ImageDrawInfo& image);
  // High contrast: some state image lies behind the text, so the button shows a face of the
  // system's button colours instead, with a border. As decided when the paint began.
  bool HasContrastFace() const { return m_bContrastFace; }
  bool FindContrastFace();
  bool ImageCoversText(ImageDrawInfo& image);
  // The system's text colour for the button's state and face.
  DWORD ContrastTextColor();
  void RefreshStateBits();
  // Gives each state record still showing the five-state image its strip. The image is known
  // only through a host, and a record starts over whenever the host lets its image go.
  void CutFiveStatusStrips();
  void OnFadeTick();
  // Each answers true when painting ends with it.
  bool PaintDisabledLayer(HDC hDC);
  bool PaintPushedLayer(HDC hDC);
  bool PaintHotLayer(HDC hDC);
  bool PaintFocusedLayer(HDC hDC);
  void PaintNormalLayer(HDC hDC);
  DWORD StateTextColor() const;

  UINT m_uButtonState;
  bool m_bContrastFace;
  bool m_bHandCursor;
  DWORD m_dwHotBkColor;
  DWORD m_dwHotTextColor;
  DWORD m_dwPushedTextColor;
  DWORD m_dwFocusedTextColor;
  BYTE m_uFadeAlpha;
  BYTE m_uFadeStep;
  StateImageSet m_images;
  ImageDrawInfo m_diHotFore;
  ImageDrawInfo m_diPushedFore;
  CUIString m_sFiveStatusImage;
};

}  // namespace SkinUI
