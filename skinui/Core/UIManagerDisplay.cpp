// The window's DPI and the system's high-contrast mode: what the platform says of them, and what
// the host takes again when either changes.

#include "Core/UIControl.h"
#include "Core/UIDpiAttributes.h"
#include "Core/UIManager.h"
#include "Utils/UISystemLibrary.h"

namespace SkinUI {

namespace {

typedef UINT(WINAPI* DpiForWindowProc)(HWND hWnd);
typedef UINT(WINAPI* DpiForSystemProc)();

CControlUI* CALLBACK MatchDpi(CControlUI* pControl, LPVOID /*pData*/) {
  pControl->MatchHostDpi();
  return nullptr;  // every control
}

}  // namespace

UINT CWindowHostUI::QuerySystemDpi() {
  // The system's DPI is fixed for a process's life: a new one takes a new sign-in.
  static const UINT uDpi = [] {
    // Looked up by name, as GetDpiForWindow: systems before Windows 10 1607 have neither call.
    if (const auto pfnForSystem = User32Export<DpiForSystemProc>("GetDpiForSystem")) {
      return pfnForSystem();
    }
    const HDC hScreen = ::GetDC(nullptr);
    const int nDpi = hScreen != nullptr ? ::GetDeviceCaps(hScreen, LOGPIXELSY) : 0;
    if (hScreen != nullptr) ::ReleaseDC(nullptr, hScreen);
    return nDpi > 0 ? static_cast<UINT>(nDpi) : kSkinDpi;
  }();
  return uDpi;
}

UINT CWindowHostUI::QueryWindowDpi(HWND hWnd) {
  static const auto pfnForWindow = User32Export<DpiForWindowProc>("GetDpiForWindow");
  const UINT uDpi = pfnForWindow != nullptr && hWnd != nullptr ? pfnForWindow(hWnd) : 0;
  return uDpi != 0 ? uDpi : QuerySystemDpi();
}

UINT CWindowHostUI::GetDpi() const { return m_uDpi; }

int CWindowHostUI::ScalePixels(int nSkinPixels) const {
  return ScaleSkinPixels(nSkinPixels, m_uDpi);
}

void CWindowHostUI::SetDpi(UINT uDpi) {
  if (uDpi == 0 || uDpi == m_uDpi) return;
  m_uDpi = uDpi;
  // Fonts first: controls that hold a font take it again while they rescale.
  RemakeFonts();
  for (int i = 0; i < m_aChildHosts.GetSize(); ++i) m_aChildHosts[i]->SetDpi(uDpi);
  if (m_pRoot == nullptr) return;
  m_pRoot->FindControl(MatchDpi, nullptr, 0);
  m_pRoot->RequestLayout();
  Invalidate();
  RaiseNotification(m_pRoot, kNotifyDpiChanged, uDpi);
}

bool CWindowHostUI::IsHighContrast() const { return m_bHighContrast; }

namespace {
CWindowHostUI::SystemColorProc g_pfnSystemColor = nullptr;
}  // namespace

void CWindowHostUI::SetSystemColorSource(SystemColorProc pfnColor) { g_pfnSystemColor = pfnColor; }

void CWindowHostUI::ForceHighContrast(bool bForce) {
  m_bHighContrastForced = bForce;
  ReadHighContrast();
  Invalidate();
}

COLORREF CWindowHostUI::SystemColorRef(int nIndex) {
  return g_pfnSystemColor != nullptr ? g_pfnSystemColor(nIndex) : ::GetSysColor(nIndex);
}

DWORD CWindowHostUI::SystemColor(int nIndex) {
  const COLORREF cr = SystemColorRef(nIndex);
  return 0xFF000000 | (static_cast<DWORD>(GetRValue(cr)) << 16) |
         (static_cast<DWORD>(GetGValue(cr)) << 8) | GetBValue(cr);
}

void CWindowHostUI::ReadHighContrast() {
  HIGHCONTRASTW hc = {};
  hc.cbSize = sizeof(hc);
  m_bHighContrast = m_bHighContrastForced ||
                    (::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) != FALSE &&
                     (hc.dwFlags & HCF_HIGHCONTRASTON) != 0);
}

bool CWindowHostUI::HandleDisplayMessage(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                         LRESULT& lRes) {
  switch (uMsg) {
    case WM_DPICHANGED: {
      SetDpi(HIWORD(wParam));
      // The rectangle the system suggests keeps the window where it was on the new screen.
      const RECT* prcSuggested = reinterpret_cast<const RECT*>(lParam);
      if (prcSuggested != nullptr) {
        ::SetWindowPos(m_hWndPaint, nullptr, prcSuggested->left, prcSuggested->top,
                       prcSuggested->right - prcSuggested->left,
                       prcSuggested->bottom - prcSuggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      lRes = 0;
      return true;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE: {
      const bool bWasOn = m_bHighContrast;
      ReadHighContrast();
      // New system colours matter only while they are drawn.
      if (m_bHighContrast || bWasOn) Invalidate();
      return false;
    }
    default:
      return false;
  }
}

}  // namespace SkinUI
