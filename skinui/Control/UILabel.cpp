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

void CLabelUI::HandleEvent(InputEvent& event) {
  if (NoteFocusEvent(event)) return;
  CControlUI::HandleEvent(event);
}

void CLabelUI::ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  const CUIString sName = pstrName;
  if (sName == L"align") {
    ApplyAlignWords(m_uTextStyle, pstrValue);
  } else if (sName == L"valign") {
    if (Contains(pstrValue, L"top")) m_uTextStyle &= ~(kTextVCenter | kTextBottom);
    if (Contains(pstrValue, L"vcenter")) {
      m_uTextStyle &= ~kTextBottom;
      m_uTextStyle |= kTextVCenter;
    }
    if (Contains(pstrValue, L"bottom")) {
      m_uTextStyle &= ~kTextVCenter;
      m_uTextStyle |= kTextBottom;
    }
  } else if (sName == L"endellipsis") {
    SetStyleBit(m_uTextStyle, kTextEndEllipsis, IsTrue(pstrValue));
  } else if (sName == L"font") {
    SetFont(ReadInt(pstrValue));
  } else if (sName == L"textcolor") {
    SetTextColor(ReadColor(pstrValue));
  } else if (sName == L"disabledtextcolor") {
    SetDisabledTextColor(ReadColor(pstrValue));
  } else if (sName == L"textpadding") {
    SetTextPadding(ReadRect(pstrValue));
  } else if (sName == L"multiline") {
    if (IsTrue(pstrValue)) {
      m_uTextStyle &= ~kTextSingleLine;
    } else {
      m_uTextStyle |= kTextSingleLine;
    }
  } else if (sName == L"showhtml") {
    SetShowHtml(IsTrue(pstrValue));
  } else if (sName == L"enabledeffect") {
    SetEnabledEffect(IsTrue(pstrValue));
  } else if (sName == L"enabledluminous") {
    SetEnabledLuminous(IsTrue(pstrValue));
  } else if (sName == L"luminousfuzzy") {
    SetLuminousFuzzy(static_cast<float>(std::wcstod(pstrValue, nullptr)));
  } else if (sName == L"gradientangle") {
    SetGradientAngle(ReadInt(pstrValue));
  } else if (sName == L"enabledstroke") {
    SetEnabledStroke(IsTrue(pstrValue));
  } else if (sName == L"enabledshadow") {
    SetEnabledShadow(IsTrue(pstrValue));
  } else if (sName == L"gradientlength") {
    SetGradientLength(ReadInt(pstrValue));
  } else if (sName == L"shadowoffset") {
    LPCWSTR pstr = pstrValue;
    const int nOffset = ReadListInt(pstr);
    const int nAngle = ReadListInt(pstr);
    SetShadowOffset(nOffset, nAngle);
  } else if (sName == L"textcolor1") {
    SetTextColor1(ReadColor(pstrValue));
  } else if (sName == L"textshadowcolora") {
    SetTextShadowColorA(ReadColor(pstrValue));
  } else if (sName == L"textshadowcolorb") {
    SetTextShadowColorB(ReadColor(pstrValue));
  } else if (sName == L"strokecolor") {
    SetStrokeColor(ReadColor(pstrValue));
  } else if (sName == L"autocalcwidth") {
    SetAutoCalcWidth(IsTrue(pstrValue));
  } else if (sName == L"autocalcheight") {
    SetAutoCalcHeight(IsTrue(pstrValue));
  } else {
    CControlUI::ApplyAttribute(pstrName, pstrValue);
  }
}

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
  if (m_bEnableEffect) {
    PaintEffectsText(hDC);
    return;
  }
  if (m_sText.IsEmpty()) return;
  if (IsEnabled()) {
    DrawLabelText(hDC, TextRect(), m_dwTextColor, m_uTextStyle);
  } else {
    DrawLabelText(hDC, TextRect(), m_dwDisabledTextColor, m_uTextStyle | kTextSingleLine);
  }
}

}  // namespace SkinUI
