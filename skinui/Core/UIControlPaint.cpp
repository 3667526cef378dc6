// Painting: the five layers of every control (background colour, background image, state images,
// text, border) and the hue adjustment of the colours they draw.

#include <algorithm>

#include "Core/UIControl.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// A background picture behind text or other controls would hide them in high contrast; one that
// stands alone carries meaning and stays.
bool ImageIsBackdrop(CControlUI& control) {
  return !control.GetText().IsEmpty() || control.QueryNamedInterface(L"IContainer") != nullptr;
}

}  // namespace

DWORD CControlUI::AdjustColor(DWORD dwColor) const {
  if (!m_bColorHSL) return dwColor;
  const HueShift shift = CWindowHostUI::GetHueShift();
  return ShiftColorHsl(dwColor, shift.sHue, shift.sSaturation, shift.sLightness);
}

bool CControlUI::InHighContrast() const { return m_pHost != nullptr && m_pHost->IsHighContrast(); }

bool CControlUI::Paint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
  if (pStopControl == this) return false;
  if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return true;
  if (OnPaint && !OnPaint(this)) return true;
  return PaintSelf(hDC, rcPaint, pStopControl);
}

bool CControlUI::PaintSelf(HDC hDC, const RECT& /*rcPaint*/, CControlUI* /*pStopControl*/) {
  CSkinClip roundClip;
  if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
    CSkinClip::ClipToRoundRect(hDC, m_rcPaint, m_rcItem, m_cxyBorderRound.cx,
                               m_cxyBorderRound.cy, roundClip);
  }
  PaintBackgroundColor(hDC);
  PaintBackgroundImage(hDC);
  PaintStateImages(hDC);
  PaintTextLayer(hDC);
  PaintBorderLayer(hDC);
  return true;
}

void CControlUI::PaintBackgroundColor(HDC hDC) {
  if (InHighContrast()) {
    if (m_dwBackColor != 0 || (!m_diBk.sAttribute.IsEmpty() && ImageIsBackdrop(*this))) {
      CSkinRenderer::FillColor(hDC, m_rcPaint, CWindowHostUI::SystemColor(COLOR_WINDOW));
    }
    return;
  }
  if (m_dwBackColor == 0) return;
  if (m_dwBackColor2 == 0) {
    // An opaque fill only needs the part being painted; a translucent one blends over the whole
    // control so that the result does not depend on how the dirty area was cut.
    const RECT& rcFill = m_dwBackColor >= 0xFF000000 ? m_rcPaint : m_rcItem;
    CSkinRenderer::FillColor(hDC, rcFill, AdjustColor(m_dwBackColor));
  } else if (m_dwBackColor3 == 0) {
    CSkinRenderer::FillGradient(hDC, m_rcItem, AdjustColor(m_dwBackColor),
                                AdjustColor(m_dwBackColor2), true, 16);
  } else {
    RECT rcUpper = m_rcItem;
    rcUpper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
    RECT rcLower = m_rcItem;
    rcLower.top = rcUpper.bottom;
    CSkinRenderer::FillGradient(hDC, rcUpper, AdjustColor(m_dwBackColor),
                                AdjustColor(m_dwBackColor2), true, 8);
    CSkinRenderer::FillGradient(hDC, rcLower, AdjustColor(m_dwBackColor2),
                                AdjustColor(m_dwBackColor3), true, 8);
  }
}

void CControlUI::PaintBackgroundImage(HDC hDC) {
  if (InHighContrast() && ImageIsBackdrop(*this)) return;
  CSkinRenderer::RenderImage(hDC, m_pHost, m_rcItem, m_rcPaint, m_diBk);
}

void CControlUI::PaintStateImages(HDC /*hDC*/) {}

void CControlUI::PaintTextLayer(HDC /*hDC*/) {}

void CControlUI::PaintBorderLayer(HDC hDC) {
  // The left width decides whether there is a border at all.
  if (m_rcBorderSize.left <= 0 || (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0)) return;
  const DWORD dwChosen =
      m_bFocused && m_dwFocusBorderColor != 0 ? m_dwFocusBorderColor : m_dwBorderColor;
  // A control with only a focus colour has no border while unfocused; pens ignore alpha, so
  // colour 0 would otherwise come out as a black outline.
  if (dwChosen == 0) return;
  const DWORD dwColor = InHighContrast() ? CWindowHostUI::SystemColor(COLOR_WINDOWTEXT)
                                             : AdjustColor(dwChosen);
  // No border is wider than the control it frames: a width from the skin goes straight into a
  // pen, and the platform takes minutes over one millions of pixels wide.
  const RECT& rc = m_rcItem;
  const LONG cx = std::max<LONG>(rc.right - rc.left, 1);
  const LONG cy = std::max<LONG>(rc.bottom - rc.top, 1);
  auto framed = [](LONG nWidth, LONG nExtent) { return static_cast<int>(std::min(nWidth, nExtent)); };

  if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
    CSkinRenderer::StrokeRoundRect(hDC, rc, framed(m_rcBorderSize.left, std::max(cx, cy)),
                                   framed(m_cxyBorderRound.cx, cx), framed(m_cxyBorderRound.cy, cy),
                                   dwColor, m_nBorderStyle);
    return;
  }
  const RECT& rcWidths = m_rcBorderSize;
  if (rcWidths.left == rcWidths.top && rcWidths.left == rcWidths.right &&
      rcWidths.left == rcWidths.bottom) {
    CSkinRenderer::StrokeRect(hDC, rc, framed(rcWidths.left, std::max(cx, cy)), dwColor,
                              m_nBorderStyle);
    return;
  }
  const RECT leftSide = {rc.left, rc.top, rc.left, rc.bottom};
  const RECT topSide = {rc.left, rc.top, rc.right, rc.top};
  const RECT rightSide = {rc.right, rc.top, rc.right, rc.bottom};
  const RECT bottomSide = {rc.left, rc.bottom, rc.right, rc.bottom};
  CSkinRenderer::StrokeLine(hDC, leftSide, framed(rcWidths.left, cx), dwColor, m_nBorderStyle);
  if (rcWidths.top > 0) {
    CSkinRenderer::StrokeLine(hDC, topSide, framed(rcWidths.top, cy), dwColor, m_nBorderStyle);
  }
  if (rcWidths.right > 0) {
    CSkinRenderer::StrokeLine(hDC, rightSide, framed(rcWidths.right, cx), dwColor, m_nBorderStyle);
  }
  if (rcWidths.bottom > 0) {
    CSkinRenderer::StrokeLine(hDC, bottomSide, framed(rcWidths.bottom, cy), dwColor,
                              m_nBorderStyle);
  }
}

void CControlUI::PostPaint(HDC /*hDC*/, const RECT& /*rcPaint*/) { OnPostPaint(this); }

}  // namespace SkinUI
