#pragma once
// CLabelUI: a text drawn with a font, colours, alignment and padding, plain or with inline tags,
// or through an effects path (gradient, glow, stroke, shadow).
// The progress bar, slider, buttons and text controls build on it.

#include <windows.h>

#include "Core/UIControl.h"

namespace SkinUI {

// A control's text in rc: with inline tags (no links collected) when bShowHtml, else plain in
// the host's font iFont.
void DrawControlText(HDC hDC, CWindowHostUI* pHost, RECT rc, LPCWSTR pstrText, DWORD dwColor,
                     int iFont, UINT uStyle, bool bShowHtml);

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  ~CLabelUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  void SetText(LPCWSTR pstrText) override;
  // Plain text is passive, as a dialog's static text is: a click on it does not take the focus.
  UINT GetBehaviourFlags() const override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  SIZE MeasureSize(SIZE szAvailable) override;
  void PaintTextLayer(HDC hDC) override;

  // The four operations labels add, in slot order. The setters only store.
  virtual bool IsAutoCalcWidth() const;
  virtual void SetAutoCalcWidth(bool bAutoCalcWidth);
  virtual bool IsAutoCalcHeight() const;
  virtual void SetAutoCalcHeight(bool bAutoCalcHeight);

  UINT GetTextStyle() const { return m_uTextStyle; }
  void SetTextStyle(UINT uStyle);
  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetTextColor(DWORD dwTextColor);
  DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
  void SetDisabledTextColor(DWORD dwTextColor);
  int GetFont() const { return m_iFont; }
  void SetFont(int index);
  RECT GetTextPadding() const { return m_rcTextPadding; }
  void SetTextPadding(RECT rc);
  bool IsShowHtml() const { return m_bShowHtml; }
  void SetShowHtml(bool bShowHtml = true);

  // Settings of the effects path (gradient, stroke, shadow, glow).
  bool IsEffectsEnabled() const { return m_bEnableEffect; }
  void SetEnabledEffect(bool bEnable);
  void SetEnabledLuminous(bool bEnable);
  void SetLuminousFuzzy(float fFuzzy);
  float GetLuminousFuzzy() const { return m_fLuminousFuzzy; }
  void SetGradientAngle(int nAngle);
  void SetGradientLength(int nLength);
  void SetEnabledStroke(bool bEnable);
  void SetEnabledShadow(bool bEnable);
  void SetTextColor1(DWORD dwColor);
  void SetTextShadowColorA(DWORD dwColor);
  void SetTextShadowColorB(DWORD dwColor);
  void SetStrokeColor(DWORD dwColor);
  // d pixels in direction a (degrees, -180 to 180) from the control's current corner.
  void SetShadowOffset(int nOffset, int nAngle);
  float GetShadowOffsetX() const { return m_fShadowOffsetX; }
  float GetShadowOffsetY() const { return m_fShadowOffsetY; }

 protected:
  // A colour of 0 takes the host's default, which the label then keeps.
  void ApplyDefaultTextColors();
  RECT TextRect() const;
  // Plain or tagged text into rc in the label's font.
  void DrawLabelText(HDC hDC, RECT rc, DWORD dwColor, UINT uStyle);
  int FontHeight() const;
  // The effects path (UILabelEffects.cpp). Every label holds a GDI+ session of its own.
  void StartGdiplus();
  void StopGdiplus();
  void PaintEffectsText(HDC hDC);
  // Measures the text in rcCalc and makes the measured width and/or height (plus the padding)
  // the fixed size, as auto-calculation asks.
  void AutoCalcFixedSize(RECT rcCalc);
  // The fixed size; without a fixed height, the font's height plus 4.
  SIZE LabelSize(SIZE szAvailable);

  DWORD m_dwTextColor;
  DWORD m_dwDisabledTextColor;
  int m_iFont;
  UINT m_uTextStyle;
  CUIRect m_rcTextPadding;
  bool m_bShowHtml;
  bool m_bAutoCalcWidth;
  bool m_bAutoCalcHeight;

  bool m_bEnableEffect;
  bool m_bEnableLuminous;
  float m_fLuminousFuzzy;
  int m_nGradientAngle;
  int m_nGradientLength;
  bool m_bEnableStroke;
  bool m_bEnableShadow;
  DWORD m_dwTextColor2;
  DWORD m_dwTextShadowColorA;
  DWORD m_dwTextShadowColorB;
  DWORD m_dwStrokeColor;
  float m_fShadowOffsetX;
  float m_fShadowOffsetY;
  CUIString m_sEffectText;
  ULONG_PTR m_uGdiplusToken;
};

}  // namespace SkinUI
