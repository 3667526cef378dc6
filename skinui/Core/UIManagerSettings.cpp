// The "Window" element's settings kept for the skinned window (initial size, sizing border,
// caption area, rounded corners, tracking limits) and the window's notification-area icon. The
// settings are kept in skin pixels and given out in the window's.

#include "Core/UIDpiAttributes.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

CUISize CWindowHostUI::GetInitialSize() const {
  return ScaleSkinSize(m_settings.szInitial, m_uDpi);
}

void CWindowHostUI::SetInitialSize(int cx, int cy) {
  m_settings.szInitial = CUISize(cx, cy);
  // Once a tree is attached, its layout owns the window's size.
  if (m_pRoot == nullptr && m_hWndPaint != nullptr) {
    ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, ScalePixels(cx), ScalePixels(cy),
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

CUIRect CWindowHostUI::GetSizingBorder() const {
  return ScaleSkinRect(m_settings.rcSizeBox, m_uDpi);
}

void CWindowHostUI::SetSizingBorder(const RECT& rcSizeBox) { m_settings.rcSizeBox = rcSizeBox; }

CUIRect CWindowHostUI::GetCaptionArea() const {
  return ScaleSkinRect(m_settings.rcCaption, m_uDpi);
}

void CWindowHostUI::SetCaptionArea(const RECT& rcCaption) { m_settings.rcCaption = rcCaption; }

CUISize CWindowHostUI::GetCornerRounding() const {
  return ScaleSkinSize(m_settings.szRoundCorner, m_uDpi);
}

void CWindowHostUI::SetCornerRounding(int cx, int cy) { m_settings.szRoundCorner = CUISize(cx, cy); }

CUISize CWindowHostUI::GetMinimumSize() const { return ScaleSkinSize(m_settings.szMin, m_uDpi); }

void CWindowHostUI::SetMinimumSize(int cx, int cy) {
  UI_CHECK(cx>=0 && cy>=0);
  m_settings.szMin = CUISize(cx, cy);
}

CUISize CWindowHostUI::GetMaximumSize() const { return ScaleSkinSize(m_settings.szMax, m_uDpi); }

void CWindowHostUI::SetMaximumSize(int cx, int cy) {
  UI_CHECK(cx>=0 && cy>=0);
  m_settings.szMax = CUISize(cx, cy);
}

void CWindowHostUI::ApplyTrackingLimits(MINMAXINFO* pInfo) const {
  const CUISize szMin = GetMinimumSize();
  const CUISize szMax = GetMaximumSize();
  if (szMin.cx > 0) pInfo->ptMinTrackSize.x = szMin.cx;
  if (szMin.cy > 0) pInfo->ptMinTrackSize.y = szMin.cy;
  if (szMax.cx > 0) pInfo->ptMaxTrackSize.x = szMax.cx;
  if (szMax.cy > 0) pInfo->ptMaxTrackSize.y = szMax.cy;
}

bool CWindowHostUI::AddTrayIcon(UINT nIconId) {
  return m_hWndPaint != nullptr && m_trayIcon.Add(m_hWndPaint, GetResourceInstance(), nIconId);
}

void CWindowHostUI::SetTrayTipText(LPCWSTR pstrText) { m_trayIcon.SetTip(pstrText); }

bool CWindowHostUI::IsTrayIconShown() const { return m_trayIcon.IsShown(); }

}  // namespace SkinUI
