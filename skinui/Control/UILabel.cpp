// Labels: attributes, measuring and the text layer.

#include "Control/UILabel.h"

#include <cwchar>

#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

CLabelUI::CLabelUI()
    : m_dwTextColor(0),
      m_dwDisabledTextColor(0),
      m_iFont(-1),
      m_uTextStyle(kTextVCenter | kTextSingleLine),
      m_rcTextPadding(0, 0, 0, 0),
      m_bShowHtml(false),
      m_bAutoCalcWidth(false),
      m_bAutoCalcHeight(false),
      m_bEnableEffect(false),
      m_bEnableLuminous(false),
      m_fLuminousFuzzy(3.0f),
      m_nGradientAngle(0),
      m_nGradientLength(0),
      m_bEnableStroke(false),
      m_bEnableShadow(false),
      m_dwTextColor2(0xFFFFFFFF),
      m_dwTextShadowColorA(0xFF000000),
      m_dwTextShadowColorB(0xFFFFFFFF),
      m_dwStrokeColor(0),
      m_fShadowOffsetX(0.0f),
      m_fShadowOffsetY(0.0f),
      m_uGdiplusToken(0) {
  StartGdiplus();
}

CLabelUI::~CLabelUI() { StopGdiplus(); }

LPCWSTR CLabelUI::ClassName() const { return L"LabelUI"; }

LPVOID CLabelUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Label") == 0) return this;
  return CControlUI::QueryNamedInterface(pstrName);
}

void CLabelUI::SetText(LPCWSTR pstrText) {
  CControlUI::SetText(pstrText);
  m_sEffectText = m_sText;
}

bool CLabelUI::IsAutoCalcWidth() const { return m_bAutoCalcWidth; }
void CLabelUI::SetAutoCalcWidth(bool bAutoCalcWidth) { m_bAutoCalcWidth = bAutoCalcWidth; }
bool CLabelUI::IsAutoCalcHeight() const { return m_bAutoCalcHeight; }
void CLabelUI::SetAutoCalcHeight(bool bAutoCalcHeight) { m_bAutoCalcHeight = bAutoCalcHeight; }

void CLabelUI::SetTextStyle(UINT uStyle) {
  m_uTextStyle = uStyle;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD dwTextColor) {
  m_dwTextColor = dwTextColor;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor) {
  m_dwDisabledTextColor = dwTextColor;
  Invalidate();
}

void CLabelUI::SetFont(int index) {
  m_iFont = index;
  Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CLabelUI::SetShowHtml(bool bShowHtml) {
  if (m_bShowHtml == bShowHtml) return;
  m_bShowHtml = bShowHtml;
  Invalidate();
}

void CLabelUI::SetEnabledEffect(bool bEnable) {
  m_bEnableEffect = bEnable;
  if (bEnable) m_sEffectText = m_sText;
  Invalidate();
}

void CLabelUI::SetEnabledLuminous(bool bEnable) {
  m_bEnableLuminous = bEnable;
  Invalidate();
}

void CLabelUI::SetLuminousFuzzy(float fFuzzy) {
  if (fFuzzy < 0.0001f) return;
  m_fLuminousFuzzy = fFuzzy;
  Invalidate();
}

void CLabelUI::SetGradientAngle(int nAngle) {
  m_nGradientAngle = nAngle;
  Invalidate();
}

void CLabelUI::SetGradientLength(int nLength) {
  m_nGradientLength = nLength;
  Invalidate();
}

void CLabelUI::SetEnabledStroke(bool bEnable) {
  m_bEnableStroke = bEnable;
  Invalidate();
}

void CLabelUI::SetEnabledShadow(bool bEnable) {
  m_bEnableShadow = bEnable;
  Invalidate();
}

void CLabelUI::SetTextColor1(DWORD dwColor) {
  m_dwTextColor2 = dwColor;
  Invalidate();
}

void CLabelUI::SetTextShadowColorA(DWORD dwColor) {
  m_dwTextShadowColorA = dwColor;
  Invalidate();
}

void CLabelUI::SetTextShadowColorB(DWORD dwColor) {
  m_dwTextShadowColorB = dwColor;
  Invalidate();
}

void CLabelUI::SetStrokeColor(DWORD dwColor) {
  m_dwStrokeColor = dwColor;
  Invalidate();
}

void CLabelUI::SetShadowOffset(int nOffset, int nAngle) {
  if (nAngle < -180 || nAngle > 180) return;
  int x = m_rcItem.left;
  int y = m_rcItem.top;
  if (nAngle >= 0) {
    y -= nOffset;
  } else if (nAngle > -180) {
    y += nOffset;
  }
  if (nAngle > -90 && nAngle <= 90) {
    x -= nOffset;
  } else if (nAngle != -90) {
    x += nOffset;
  }
  // The offsets are stored crosswise, as the effects path reads them.
  m_fShadowOffsetX = static_cast<float>(y);
  m_fShadowOffsetY = static_cast<float>(x);
  Invalidate();
}

UINT CLabelUI::GetBehaviourFlags() const { return kBehaviourPassive; }

void CLabelUI::HandleEvent(InputEvent& event) {
  if (NoteFocusEvent(event)) return;
  CControlUI::HandleEvent(event);
}

UI_BEGIN_ATTRIBUTES(CLabelUI, CControlUI)
UI_ATTRIBUTE(L"align", kTextValue, ApplyAlignWords(self.m_uTextStyle, pstrValue))
UI_ATTRIBUTE(L"valign", kTextValue,
             if (Contains(pstrValue, L"top")) self.m_uTextStyle &= ~(kTextVCenter | kTextBottom);
             if (Contains(pstrValue, L"vcenter")) {
               self.m_uTextStyle &= ~kTextBottom;
               self.m_uTextStyle |= kTextVCenter;
             }
             if (Contains(pstrValue, L"bottom")) {
               self.m_uTextStyle &= ~kTextVCenter;
               self.m_uTextStyle |= kTextBottom;
             })
UI_ATTRIBUTE(L"endellipsis", kBoolValue,
             SetStyleBit(self.m_uTextStyle, kTextEndEllipsis, IsTrue(pstrValue)))
UI_ATTRIBUTE(L"font", kFontValue, self.SetFont(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"textcolor", kColorValue, self.SetTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"disabledtextcolor", kColorValue, self.SetDisabledTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"textpadding", kPixelRectValue, self.SetTextPadding(ReadRect(pstrValue)))
UI_ATTRIBUTE(L"multiline", kBoolValue,
             if (IsTrue(pstrValue)) {
               self.m_uTextStyle &= ~kTextSingleLine;
             } else {
               self.m_uTextStyle |= kTextSingleLine;
             })
UI_ATTRIBUTE(L"showhtml", kBoolValue, self.SetShowHtml(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"enabledeffect", kBoolValue, self.SetEnabledEffect(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"enabledluminous", kBoolValue, self.SetEnabledLuminous(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"luminousfuzzy", kIntValue,
             self.SetLuminousFuzzy(static_cast<float>(std::wcstod(pstrValue, nullptr))))
UI_ATTRIBUTE(L"gradientangle", kIntValue, self.SetGradientAngle(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"enabledstroke", kBoolValue, self.SetEnabledStroke(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"enabledshadow", kBoolValue, self.SetEnabledShadow(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"gradientlength", kIntValue, self.SetGradientLength(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"shadowoffset", kSizeValue,
             const SIZE offsetAndAngle = ReadSize(pstrValue);
             self.SetShadowOffset(offsetAndAngle.cx, offsetAndAngle.cy))
UI_ATTRIBUTE(L"textcolor1", kColorValue, self.SetTextColor1(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"textshadowcolora", kColorValue, self.SetTextShadowColorA(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"textshadowcolorb", kColorValue, self.SetTextShadowColorB(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"strokecolor", kColorValue, self.SetStrokeColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"autocalcwidth", kBoolValue, self.SetAutoCalcWidth(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"autocalcheight", kBoolValue, self.SetAutoCalcHeight(IsTrue(pstrValue)))
UI_END_ATTRIBUTES()

int CLabelUI::FontHeight() const {
  if (m_pHost == nullptr) return 0;
  const FontInfo* pFont = m_pHost->GetFontInfo(m_iFont);
  return pFont != nullptr ? pFont->tm.tmHeight : 0;
}

void CLabelUI::AutoCalcFixedSize(RECT rcCalc) {
  if (m_pHost == nullptr || m_pHost->GetHostDC() == nullptr) return;
  const HDC hDC = m_pHost->GetHostDC();
  const UINT uStyle = m_uTextStyle | kTextCalcRect;
  if (m_bShowHtml) {
    int nLinks = 0;
    CSkinRenderer::RenderMarkupText(hDC, m_pHost, rcCalc, m_sText, 0, nullptr, nullptr, nLinks,
                                    uStyle);
  } else {
    const FontInfo* pFont = m_pHost->GetFontInfo(m_iFont);
    const HGDIOBJ hOld = pFont != nullptr ? ::SelectObject(hDC, pFont->hFont) : nullptr;
    ::DrawTextW(hDC, m_sText, -1, &rcCalc, uStyle);
    if (hOld != nullptr) ::SelectObject(hDC, hOld);
  }
  if (m_bAutoCalcWidth) {
    m_cxyFixed.cx = rcCalc.right - rcCalc.left + m_rcTextPadding.left + m_rcTextPadding.right;
  }
  if (m_bAutoCalcHeight) {
    m_cxyFixed.cy = rcCalc.bottom - rcCalc.top + m_rcTextPadding.top + m_rcTextPadding.bottom;
  }
}

SIZE CLabelUI::LabelSize(SIZE szAvailable) {
  if (m_cxyFixed.cy != 0) return CControlUI::MeasureSize(szAvailable);
  return SIZE{m_cxyFixed.cx, FontHeight() + 4};
}

SIZE CLabelUI::MeasureSize(SIZE szAvailable) {
  if (m_bAutoCalcWidth || m_bAutoCalcHeight) AutoCalcFixedSize(RECT{0, 0, 9999, 9999});
  return LabelSize(szAvailable);
}

void CLabelUI::ApplyDefaultTextColors() {
  if (m_pHost == nullptr) return;
  if (m_dwTextColor == 0) m_dwTextColor = m_pHost->GetDefaultColor(kDefaultTextColor);
  if (m_dwDisabledTextColor == 0) {
    m_dwDisabledTextColor = m_pHost->GetDefaultColor(kDefaultDisabledTextColor);
  }
}

RECT CLabelUI::TextRect() const {
  RECT rc = m_rcItem;
  rc.left += m_rcTextPadding.left;
  rc.right -= m_rcTextPadding.right;
  rc.top += m_rcTextPadding.top;
  rc.bottom -= m_rcTextPadding.bottom;
  return rc;
}

void DrawControlText(HDC hDC, CWindowHostUI* pHost, RECT rc, LPCWSTR pstrText, DWORD dwColor,
                     int iFont, UINT uStyle, bool bShowHtml) {
  if (bShowHtml) {
    int nLinks = 0;
    CSkinRenderer::RenderMarkupText(hDC, pHost, rc, pstrText, dwColor, nullptr, nullptr, nLinks,
                                    uStyle);
  } else {
    CSkinRenderer::RenderText(hDC, pHost, rc, pstrText, dwColor, iFont, uStyle);
  }
}

void CLabelUI::DrawLabelText(HDC hDC, RECT rc, DWORD dwColor, UINT uStyle) {
  DrawControlText(hDC, m_pHost, rc, m_sText, dwColor, m_iFont, uStyle, m_bShowHtml);
}

void CLabelUI::PaintTextLayer(HDC hDC) {
  ApplyDefaultTextColors();
  const bool bContrast = InHighContrast();
  // High contrast draws plain text in the system's colours: no gradients, glows or shadows.
  if (m_bEnableEffect && !bContrast) {
    PaintEffectsText(hDC);
    return;
  }
  if (m_sText.IsEmpty()) return;
  if (IsEnabled()) {
    const DWORD dwColor = bContrast ? CWindowHostUI::SystemColor(COLOR_WINDOWTEXT) : m_dwTextColor;
    DrawLabelText(hDC, TextRect(), dwColor, m_uTextStyle);
  } else {
    const DWORD dwColor = bContrast ? CWindowHostUI::SystemColor(COLOR_GRAYTEXT) : m_dwDisabledTextColor;
    DrawLabelText(hDC, TextRect(), dwColor, m_uTextStyle | kTextSingleLine);
  }
}

}  // namespace SkinUI
