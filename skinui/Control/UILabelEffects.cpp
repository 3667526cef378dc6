// The labels' effects path: gradient text with optional glow, stroke and shadow, drawn through
// GDI+.

#include <windows.h>
// The lean Windows headers leave out the COM declarations GDI+ needs.
#include <objidl.h>

#include <gdiplus.h>

#include "Control/UILabel.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

using Gdiplus::Color;
using Gdiplus::LinearGradientBrush;
using Gdiplus::Point;
using Gdiplus::RectF;

Gdiplus::StringAlignment HorizontalAlignment(UINT uStyle) {
  if ((uStyle & kTextCenter) != 0) return Gdiplus::StringAlignmentCenter;
  if ((uStyle & kTextRight) != 0) return Gdiplus::StringAlignmentFar;
  return Gdiplus::StringAlignmentNear;
}

Gdiplus::StringAlignment VerticalAlignment(UINT uStyle) {
  if ((uStyle & kTextVCenter) != 0) return Gdiplus::StringAlignmentCenter;
  if ((uStyle & kTextBottom) != 0) return Gdiplus::StringAlignmentFar;
  return Gdiplus::StringAlignmentNear;
}

// A gradient from (x, 0) to (0, length). Coinciding end points would make no brush at all, so
// the length is at least 1.
LinearGradientBrush MakeGradient(int x, int length, DWORD dwFrom, DWORD dwTo) {
  return LinearGradientBrush(Point(x, 0), Point(0, length > 0 ? length : 1), Color(dwFrom),
                             Color(dwTo));
}

}  // namespace

void CLabelUI::StartGdiplus() {
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  if (Gdiplus::GdiplusStartup(&m_uGdiplusToken, &input, nullptr) != Gdiplus::Ok) {
    m_uGdiplusToken = 0;
  }
}

void CLabelUI::StopGdiplus() {
  if (m_uGdiplusToken != 0) Gdiplus::GdiplusShutdown(m_uGdiplusToken);
  m_uGdiplusToken = 0;
}

void CLabelUI::PaintEffectsText(HDC hDC) {
  if (m_pHost == nullptr || m_uGdiplusToken == 0) return;
  const FontInfo* pFontInfo = m_pHost->GetFontInfo(m_iFont);
  if (pFontInfo == nullptr || pFontInfo->hFont == nullptr) return;
  const RECT rc = TextRect();
  const int cx = rc.right - rc.left;
  const int cy = rc.bottom - rc.top;
  if (cx <= 0 || cy <= 0) return;
  const CUIString& sText = m_sEffectText;

  Gdiplus::Graphics graphics(hDC);
  graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  Gdiplus::Font font(hDC, pFontInfo->hFont);
  Gdiplus::StringFormat format;
  format.SetAlignment(HorizontalAlignment(m_uTextStyle));
  format.SetLineAlignment(VerticalAlignment(m_uTextStyle));
  const RectF rcText(static_cast<float>(rc.left), static_cast<float>(rc.top),
                     static_cast<float>(cx), static_cast<float>(cy));
  const int nLength = m_nGradientLength != 0 ? m_nGradientLength : cy;
  LinearGradientBrush textBrush = MakeGradient(
      m_nGradientAngle, nLength, m_dwTextColor,
      m_dwTextColor2 == 0xFFFFFFFF ? m_dwTextColor : m_dwTextColor2);
  LinearGradientBrush shadowBrush = MakeGradient(
      m_nGradientAngle, nLength, m_dwTextShadowColorA,
      m_dwTextShadowColorB == 0xFFFFFFFF ? m_dwTextShadowColorA : m_dwTextShadowColorB);

  if (m_bEnableLuminous) {
    Gdiplus::Bitmap glow(cx, cy, PixelFormat32bppARGB);
    Gdiplus::Graphics glowGraphics(&glow);
    glowGraphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    glowGraphics.DrawString(sText, -1, &font,
                            RectF(0.0f, 0.0f, static_cast<float>(cx), static_cast<float>(cy)),
                            &format, &textBrush);
    const int sx = static_cast<int>(cx / m_fLuminousFuzzy);
    const int sy = static_cast<int>(cy / m_fLuminousFuzzy);
    Gdiplus::Bitmap reduced(sx > 0 ? sx : 1, sy > 0 ? sy : 1, PixelFormat32bppARGB);
    Gdiplus::Graphics reducedGraphics(&reduced);
    reducedGraphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    reducedGraphics.DrawImage(&glow, 0, 0, reduced.GetWidth(), reduced.GetHeight());
    glowGraphics.Clear(Color(0, 0, 0, 0));
    glowGraphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    glowGraphics.DrawImage(&reduced, RectF(m_fShadowOffsetX, m_fShadowOffsetY,
                                           static_cast<float>(cx), static_cast<float>(cy)));
    graphics.DrawImage(&glow, static_cast<INT>(rc.left), static_cast<INT>(rc.top));
  }

  if (m_bEnableStroke && m_dwStrokeColor != 0) {
    LinearGradientBrush strokeBrush =
        MakeGradient(m_nGradientAngle, cy + 2, m_dwStrokeColor, m_dwStrokeColor);
    const POINT aShifts[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const POINT& shift : aShifts) {
      RectF rcShifted = rcText;
      rcShifted.Offset(static_cast<float>(shift.x), static_cast<float>(shift.y));
      graphics.DrawString(sText, -1, &font, rcShifted, &format, &strokeBrush);
    }
  }

  if (m_bEnableShadow && (m_dwTextShadowColorA != 0 || m_dwTextShadowColorB != 0)) {
    RectF rcShadow = rcText;
    rcShadow.Offset(m_fShadowOffsetX, m_fShadowOffsetY);
    graphics.DrawString(sText, -1, &font, rcShadow, &format, &shadowBrush);
  }

  graphics.DrawString(sText, -1, &font, rcText, &format, &textBrush);
}

}  // namespace SkinUI
