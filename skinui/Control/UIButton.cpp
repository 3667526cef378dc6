// Buttons: the state machine driven by input events, state images and colours, measuring.

#include "Control/UIButton.h"

#include <algorithm>

#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

bool Inside(const RECT& rc, POINT pt) { return ::PtInRect(&rc, pt) != FALSE; }

}  // namespace

CButtonUI::CButtonUI()
    : m_uButtonState(0),
      m_bContrastFace(false),
      m_bHandCursor(true),
      m_dwHotBkColor(0),
      m_dwHotTextColor(0),
      m_dwPushedTextColor(0),
      m_dwFocusedTextColor(0),
      m_uFadeAlpha(255),
      m_uFadeStep(0) {}

LPCWSTR CButtonUI::ClassName() const { return L"ButtonUI"; }

LPVOID CButtonUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Button") == 0) return this;
  return CLabelUI::QueryNamedInterface(pstrName);
}

UINT CButtonUI::GetBehaviourFlags() const {
  return (IsKeyboardEnabled() ? kBehaviourTabStop : 0u) | (IsEnabled() ? kBehaviourSetCursor : 0u);
}

bool CButtonUI::Activate() {
  if (!IsVisible() || !IsEnabled()) return false;
  if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyClick);
  return true;
}

void CButtonUI::SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit) {
  CLabelUI::SetHost(pHost, pParent, bInit);
  CutFiveStatusStrips();
}

void CButtonUI::SetEnabled(bool bEnable) {
  CLabelUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CButtonUI::OnFadeTick() {
  if ((m_uButtonState & kStateHot) != 0) {
    m_uFadeAlpha = m_uFadeStep >= m_uFadeAlpha ? 0 : static_cast<BYTE>(m_uFadeAlpha - m_uFadeStep);
  } else {
    m_uFadeAlpha =
        m_uFadeAlpha >= 255 - m_uFadeStep ? 255 : static_cast<BYTE>(m_uFadeAlpha + m_uFadeStep);
  }
  if ((m_uFadeAlpha == 0 || m_uFadeAlpha == 255) && m_pHost != nullptr) {
    m_pHost->StopTimer(this, kFadeTimerId);
  }
  Invalidate();
}

void CButtonUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CLabelUI>(*this, event)) return;
  switch (event.iKind) {
    case kEventSetFocus:
    case kEventKillFocus:
      Invalidate();
      break;
    case kEventKeyDown:
      if (IsKeyboardEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
        Activate();
        return;
      }
      break;
    case kEventButtonDown:
    case kEventDoubleClick:
      if (Inside(m_rcItem, event.ptMouse) && IsEnabled()) {
        m_uButtonState |= kStatePushed | kStateCaptured;
        Invalidate();
      }
      return;
    case kEventMouseMove:
      if ((m_uButtonState & kStateCaptured) != 0) {
        if (Inside(m_rcItem, event.ptMouse)) {
          m_uButtonState |= kStatePushed;
        } else {
          m_uButtonState &= ~kStatePushed;
        }
        Invalidate();
      }
      return;
    case kEventButtonUp:
      if ((m_uButtonState & kStateCaptured) != 0) {
        if (Inside(m_rcItem, event.ptMouse)) Activate();
        m_uButtonState &= ~(kStatePushed | kStateCaptured);
        Invalidate();
      }
      return;
    case kEventMouseEnter:
      if (IsEnabled()) {
        m_uButtonState |= kStateHot;
        Invalidate();
        if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyMouseEnter);
      }
      if (m_uFadeStep != 0 && m_pHost != nullptr) {
        m_pHost->StartTimer(this, kFadeTimerId, kFadeInterval);
      }
      break;
    case kEventMouseLeave:
      if (IsEnabled()) {
        m_uButtonState &= ~kStateHot;
        Invalidate();
        if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyMouseLeave);
      }
      if (m_uFadeStep != 0 && m_pHost != nullptr) {
        m_pHost->StartTimer(this, kFadeTimerId, kFadeInterval);
      }
      break;
    case kEventSetCursor:
      if (m_bHandCursor) SetStandardCursor(kCursorHand);
      return;
    case kEventTimer:
      if (event.wParam == kFadeTimerId) {
        OnFadeTick();
        return;
      }
      break;
    case kEventContextMenu:
      if (IsContextMenuEnabled() && m_pHost != nullptr) {
        m_pHost->RaiseNotification(this, kNotifyMenu, event.wParam, event.lParam);
      }
      return;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CButtonUI::ReplaceImage(ImageDrawInfo& image, LPCWSTR pstrImage) {
  if (StoreImageAttribute(image, pstrImage)) Invalidate();
}

void CButtonUI::SetNormalImage(LPCWSTR pstrImage) { ReplaceImage(m_images.normal, pstrImage); }
void CButtonUI::SetHotImage(LPCWSTR pstrImage) { ReplaceImage(m_images.hot, pstrImage); }
void CButtonUI::SetPushedImage(LPCWSTR pstrImage) { ReplaceImage(m_images.pushed, pstrImage); }
void CButtonUI::SetFocusedImage(LPCWSTR pstrImage) { ReplaceImage(m_images.focused, pstrImage); }
void CButtonUI::SetDisabledImage(LPCWSTR pstrImage) { ReplaceImage(m_images.disabled, pstrImage); }
void CButtonUI::SetForeImage(LPCWSTR pstrImage) { ReplaceImage(m_diFore, pstrImage); }
void CButtonUI::SetHotForeImage(LPCWSTR pstrImage) { ReplaceImage(m_diHotFore, pstrImage); }
void CButtonUI::SetPushedForeImage(LPCWSTR pstrImage) { ReplaceImage(m_diPushedFore, pstrImage); }

void CButtonUI::SetFiveStatusImage(LPCWSTR pstrImage) {
  m_sFiveStatusImage = pstrImage;
  ImageDrawInfo* aStrips[] = {&m_images.normal, &m_images.pushed, &m_images.hot, &m_images.focused, &m_images.disabled};
  for (ImageDrawInfo* pStrip : aStrips) {
    pStrip->Reset();
    pStrip->sAttribute = pstrImage;
  }
  CutFiveStatusStrips();
  Invalidate();
}

void CButtonUI::CutFiveStatusStrips() {
  if (m_sFiveStatusImage.IsEmpty() || m_pHost == nullptr) return;
  ImageDrawInfo* aStrips[] = {&m_images.normal, &m_images.pushed, &m_images.hot, &m_images.focused, &m_images.disabled};
  for (int i = 0; i < 5; ++i) {
    ImageDrawInfo& strip = *aStrips[i];
    // A state image set on its own since keeps its whole source.
    if (strip.sAttribute != m_sFiveStatusImage) continue;
    // Parsing and loading without drawing tells the image's size.
    CSkinRenderer::RenderImage(nullptr, m_pHost, m_rcItem, m_rcItem, strip);
    if (strip.pImage == nullptr) continue;
    const int s = strip.pImage->nWidth / 5;
    const int h = strip.pImage->nHeight;
    strip.rcSource = RECT{i * s, 0, (i + 1) * s, h};
    if (i == 0 && IsFloat() && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0) {
      SetFixedWidth(::MulDiv(s, strip.uDpi, strip.uImageDpi));
      SetFixedHeight(::MulDiv(h, strip.uDpi, strip.uImageDpi));
    }
  }
}

UI_BEGIN_ATTRIBUTES(CButtonUI, CLabelUI)
UI_ATTRIBUTE(L"normalimage", kImageValue, self.SetNormalImage(pstrValue))
UI_ATTRIBUTE(L"hotimage", kImageValue, self.SetHotImage(pstrValue))
UI_ATTRIBUTE(L"pushedimage", kImageValue, self.SetPushedImage(pstrValue))
UI_ATTRIBUTE(L"focusedimage", kImageValue, self.SetFocusedImage(pstrValue))
UI_ATTRIBUTE(L"disabledimage", kImageValue, self.SetDisabledImage(pstrValue))
UI_ATTRIBUTE(L"foreimage", kImageValue, self.SetForeImage(pstrValue))
UI_ATTRIBUTE(L"hotforeimage", kImageValue, self.SetHotForeImage(pstrValue))
UI_ATTRIBUTE(L"pushedforeimage", kImageValue, self.SetPushedForeImage(pstrValue))
UI_ATTRIBUTE(L"fivestatusimage", kImageValue, self.SetFiveStatusImage(pstrValue))
UI_ATTRIBUTE(L"fadedelta", kIntValue, self.SetFadeStep(static_cast<BYTE>(ReadInt(pstrValue))))
UI_ATTRIBUTE(L"hotbkcolor", kColorValue, self.SetHotBkColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"hottextcolor", kColorValue, self.SetHotTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"pushedtextcolor", kColorValue, self.SetPushedTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"focusedtextcolor", kColorValue, self.SetFocusedTextColor(ReadColor(pstrValue)))
UI_ATTRIBUTE(L"setcursor", kBoolValue, self.SetHandCursor(IsTrue(pstrValue)))
UI_END_ATTRIBUTES()

SIZE CButtonUI::MeasureSize(SIZE szAvailable) {
  if ((m_bAutoCalcWidth || m_bAutoCalcHeight) && m_pHost != nullptr &&
      m_pHost->GetHostDC() != nullptr) {
    SIZE szText = {0, 0};
    ::GetTextExtentPoint32W(m_pHost->GetHostDC(), m_sText, m_sText.GetLength(), &szText);
    const int cx = szText.cx + m_rcTextPadding.left + m_rcTextPadding.right;
    const int cy = szText.cy + m_rcTextPadding.top + m_rcTextPadding.bottom;
    if (m_bAutoCalcWidth && cx < GetMaxWidth()) m_cxyFixed.cx = cx;
    if (m_bAutoCalcHeight && cy < GetMaxHeight()) m_cxyFixed.cy = cy;
  }
  if (m_cxyFixed.cy != 0) return CControlUI::MeasureSize(szAvailable);
  return SIZE{m_cxyFixed.cx, FontHeight() + 8};
}

// ---- painting ----

bool CButtonUI::PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
  m_bContrastFace = FindContrastFace();
  return CLabelUI::PaintSelf(hDC, rcPaint, pStopControl);
}

void CButtonUI::RefreshStateBits() {
  SetStyleBit(m_uButtonState, kStateFocused, IsFocused());
  SetStyleBit(m_uButtonState, kStateDisabled, !IsEnabled());
}

bool CButtonUI::DrawImage(HDC hDC, ImageDrawInfo& image) {
  if (InHighContrast() && ImageCoversText(image)) {
    const bool bLit = (m_uButtonState & (kStateHot | kStatePushed | kStateSelected)) != 0;
    CSkinRenderer::FillColor(hDC, m_rcPaint,
                             CWindowHostUI::SystemColor(bLit ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    return true;
  }
  return CSkinRenderer::RenderImage(hDC, m_pHost, m_rcItem, m_rcPaint, image);
}

bool CButtonUI::ImageCoversText(ImageDrawInfo& image) {
  if (m_sText.IsEmpty() || !CSkinRenderer::RenderImage(nullptr, m_pHost, m_rcItem, m_rcPaint, image)) {
    return false;
  }
  RECT rcImage = m_rcItem;
  const RECT& rcOffset = image.rcDest;
  if (rcOffset.left != 0 || rcOffset.top != 0 || rcOffset.right != 0 || rcOffset.bottom != 0) {
    rcImage = RECT{m_rcItem.left + rcOffset.left, m_rcItem.top + rcOffset.top,
                   m_rcItem.left + rcOffset.right, m_rcItem.top + rcOffset.bottom};
  }
  const RECT rcText = TextRect();
  RECT rcTemp;
  return ::IntersectRect(&rcTemp, &rcImage, &rcText) != FALSE;
}

bool CButtonUI::FindContrastFace() {
  if (!InHighContrast()) return false;
  for (ImageDrawInfo* pImage : {&m_images.normal, &m_images.hot, &m_images.pushed,
                                &m_images.focused, &m_images.disabled}) {
    if (ImageCoversText(*pImage)) return true;
  }
  return false;
}

DWORD CButtonUI::ContrastTextColor() {
  if (!IsEnabled()) return CWindowHostUI::SystemColor(COLOR_GRAYTEXT);
  if (!HasContrastFace()) return CWindowHostUI::SystemColor(COLOR_WINDOWTEXT);
  const bool bLit = (m_uButtonState & (kStateHot | kStatePushed | kStateSelected)) != 0;
  return CWindowHostUI::SystemColor(bLit ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
}

namespace {

// Draws with a constant opacity for this paint only; the image's own "fade" is kept.
bool DrawFaded(HDC hDC, CWindowHostUI* pHost, const RECT& rcItem, const RECT& rcPaint,
               ImageDrawInfo& image, BYTE uAlpha) {
  if (!CSkinRenderer::RenderImage(nullptr, pHost, rcItem, rcPaint, image)) return false;
  const BYTE uSaved = image.uFade;
  image.uFade = uAlpha;
  const bool bDrawn = CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, image);
  image.uFade = uSaved;
  return bDrawn;
}

}  // namespace

bool CButtonUI::PaintDisabledLayer(HDC hDC) { return DrawImage(hDC, m_images.disabled); }

bool CButtonUI::PaintPushedLayer(HDC hDC) {
  if (!DrawImage(hDC, m_images.pushed)) DrawImage(hDC, m_images.normal);
  return DrawImage(hDC, m_diPushedFore);
}

bool CButtonUI::PaintHotLayer(HDC hDC) {
  if (m_uFadeStep != 0) {
    if (m_uFadeAlpha != 0) DrawFaded(hDC, m_pHost, m_rcItem, m_rcPaint, m_images.normal, m_uFadeAlpha);
    DrawFaded(hDC, m_pHost, m_rcItem, m_rcPaint, m_images.hot,
              static_cast<BYTE>(m_uFadeAlpha == 0 ? 255 : 255 - m_uFadeAlpha));
  } else if (!DrawImage(hDC, m_images.hot)) {
    DrawImage(hDC, m_images.normal);
  }
  if (DrawImage(hDC, m_diHotFore)) return true;
  if (m_dwHotBkColor != 0) {
    CSkinRenderer::FillColor(hDC, m_rcPaint, AdjustColor(m_dwHotBkColor));
    return true;
  }
  return false;
}

bool CButtonUI::PaintFocusedLayer(HDC hDC) { return DrawImage(hDC, m_images.focused); }

void CButtonUI::PaintNormalLayer(HDC hDC) {
  BYTE uNormalAlpha = 255;
  if (m_uFadeStep != 0 && m_uFadeAlpha < 255) {
    DrawFaded(hDC, m_pHost, m_rcItem, m_rcPaint, m_images.hot, static_cast<BYTE>(255 - m_uFadeAlpha));
    uNormalAlpha = m_uFadeAlpha;
  }
  if (uNormalAlpha == 255) {
    DrawImage(hDC, m_images.normal);
  } else {
    DrawFaded(hDC, m_pHost, m_rcItem, m_rcPaint, m_images.normal, uNormalAlpha);
  }
}

void CButtonUI::PaintStateImages(HDC hDC) {
  RefreshStateBits();
  CutFiveStatusStrips();
  bool bDone = false;
  if ((m_uButtonState & kStateDisabled) != 0) {
    bDone = PaintDisabledLayer(hDC);
  } else if ((m_uButtonState & kStatePushed) != 0) {
    // A pushed button ends with its fore image only when that drew.
    if (PaintPushedLayer(hDC)) return;
    bDone = true;
  } else if ((m_uButtonState & kStateHot) != 0) {
    if (PaintHotLayer(hDC)) return;
    bDone = true;
  } else if ((m_uButtonState & kStateFocused) != 0) {
    bDone = PaintFocusedLayer(hDC);
  }
  if (!bDone) PaintNormalLayer(hDC);
  DrawImage(hDC, m_diFore);
}

DWORD CButtonUI::StateTextColor() const {
  if ((m_uButtonState & kStatePushed) != 0 && m_dwPushedTextColor != 0) return m_dwPushedTextColor;
  if ((m_uButtonState & kStateHot) != 0 && m_dwHotTextColor != 0) return m_dwHotTextColor;
  if ((m_uButtonState & kStateFocused) != 0 && m_dwFocusedTextColor != 0) {
    return m_dwFocusedTextColor;
  }
  return IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
}

void CButtonUI::PaintTextLayer(HDC hDC) {
  RefreshStateBits();
  ApplyDefaultTextColors();
  if (m_sText.IsEmpty()) return;
  DrawLabelText(hDC, TextRect(), InHighContrast() ? ContrastTextColor() : StateTextColor(),
                m_uTextStyle);
}

void CButtonUI::PaintBorderLayer(HDC hDC) {
  // High contrast: a face in the system's colours, or a picture on the window's colour, reads as
  // a button only with an edge. Options that show their state in a glyph beside the text need none.
  const bool bEdge =
      HasContrastFace() || (InHighContrast() && QueryNamedInterface(L"Option") == nullptr);
  if (!bEdge) {
    CLabelUI::PaintBorderLayer(hDC);
    return;
  }
  const DWORD dwColor = CWindowHostUI::SystemColor(HasContrastFace() ? COLOR_BTNTEXT : COLOR_WINDOWTEXT);
  const int nWidth = std::max(1, m_pHost->ScalePixels(1));
  if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
    CSkinRenderer::StrokeRoundRect(hDC, m_rcItem, nWidth, m_cxyBorderRound.cx,
                                   m_cxyBorderRound.cy, dwColor);
  } else {
    CSkinRenderer::StrokeRect(hDC, m_rcItem, nWidth, dwColor);
  }
}

}  // namespace SkinUI
