// The "Window" element's settings kept for the skinned window (initial size, sizing border,
// caption area, rounded corners, tracking limits) and the window's notification-area icon.

#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

CUISize CWindowHostUI::GetInitialSize() const { return m_szInitWindowSize; }

void CWindowHostUI::SetInitialSize(int cx, int cy) {
  m_szInitWindowSize = CUISize(cx, cy);
  // Once a tree is attached, its layout owns the window's size.
  if (m_pRoot == nullptr && m_hWndPaint != nullptr) {
    ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
}

CUIRect CWindowHostUI::GetSizingBorder() const { return m_rcSizeBox; }

void CWindowHostUI::SetSizingBorder(const RECT& rcSizeBox) { m_rcSizeBox = rcSizeBox; }

CUIRect CWindowHostUI::GetCaptionArea() const { return m_rcCaption; }

void CWindowHostUI::SetCaptionArea(const RECT& rcCaption) { m_rcCaption = rcCaption; }

CUISize CWindowHostUI::GetCornerRounding() const { return m_szRoundCorner; }

void CWindowHostUI::SetCornerRounding(int cx, int cy) { m_szRoundCorner = CUISize(cx, cy); }

CUISize CWindowHostUI::GetMinimumSize() const { return m_szMinWindow; }

void CWindowHostUI::SetMinimumSize(int cx, int cy) {
  UI_CHECK(cx>=0 && cy>=0);
  m_szMinWindow = CUISize(cx, cy);
}

CUISize CWindowHostUI::GetMaximumSize() const { return m_szMaxWindow; }

void CWindowHostUI::SetMaximumSize(int cx, int cy) {
  UI_CHECK(cx>=0 && cy>=0);
  m_szMaxWindow = CUISize(cx, cy);
}

bool CWindowHostUI::AddTrayIcon(UINT nIconId) {
  return m_hWndPaint != nullptr && m_trayIcon.Add(m_hWndPaint, GetResourceInstance(), nIconId);
}

void CWindowHostUI::SetTrayTipText(LPCWSTR pstrText) { m_trayIcon.SetTip(pstrText); }

bool CWindowHostUI::IsTrayIconShown() const { return m_trayIcon.IsShown(); }

}  // namespace SkinUI
