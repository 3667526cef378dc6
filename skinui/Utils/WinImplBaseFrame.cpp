// The skinned window's non-client handling: the whole window is client area, the skin's caption
// and sizing border are hit-tested here, maximising fills the monitor's work area, and the
// maximise and restore buttons follow the window's state.

#include <windowsx.h>

#include "Core/UIControl.h"
#include "Utils/WinImplBase.h"

namespace SkinUI {

namespace {

// Controls that take mouse presses for themselves even inside the caption area.
const LPCWSTR kCaptionControlClasses[] = {L"ButtonUI", L"OptionUI", L"TextUI"};

bool TakesPressesInCaption(const CControlUI* pControl) {
  for (LPCWSTR pstrClass : kCaptionControlClasses) {
    if (::lstrcmpiW(pControl->ClassName(), pstrClass) == 0) return true;
  }
  return false;
}

MONITORINFO NearestMonitor(HWND hWnd) {
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
  return mi;
}

// The sizing hit code for a point near the border, or HTNOWHERE. The border is S pixels wide on
// each side, inside the client area.
LRESULT SizingBorderHit(POINT pt, const RECT& rc, const RECT& rcBorder) {
  const bool bLeft = pt.x < rc.left + rcBorder.left;
  const bool bRight = pt.x >= rc.right - rcBorder.right;
  if (pt.y < rc.top + rcBorder.top) return bLeft ? HTTOPLEFT : bRight ? HTTOPRIGHT : HTTOP;
  if (pt.y >= rc.bottom - rcBorder.bottom) {
    return bLeft ? HTBOTTOMLEFT : bRight ? HTBOTTOMRIGHT : HTBOTTOM;
  }
  return bLeft ? HTLEFT : bRight ? HTRIGHT : HTNOWHERE;
}

}  // namespace

LRESULT WindowImplBase::HandleNcActivate(UINT, WPARAM wParam, LPARAM, bool& bHandled) {
  if (::IsIconic(m_hWnd)) {
    bHandled = false;
    return 0;
  }
  // Nothing non-client is ever drawn by the platform; deactivation must still be allowed.
  return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::HandleNcCalcSize(UINT, WPARAM, LPARAM lParam, bool& /*bHandled*/) {
  if (!::IsZoomed(m_hWnd)) return 0;
  // The proposed rectangle comes first in either form of the record.
  RECT* pRect = reinterpret_cast<RECT*>(lParam);
  const RECT rcWork = NearestMonitor(m_hWnd).rcWork;
  pRect->right = pRect->left + (rcWork.right - rcWork.left);
  pRect->bottom = pRect->top + (rcWork.bottom - rcWork.top);
  return WVR_HREDRAW | WVR_VREDRAW;
}

LRESULT WindowImplBase::HandleNcHitTest(UINT, WPARAM, LPARAM lParam, bool& /*bHandled*/) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(m_hWnd, &pt);
  RECT rcClient = {};
  ::GetClientRect(m_hWnd, &rcClient);

  if (!::IsZoomed(m_hWnd)) {
    const LRESULT lHit = SizingBorderHit(pt, rcClient, m_Host.GetSizingBorder());
    if (lHit != HTNOWHERE) return lHit;
  }

  const RECT rcCaption = m_Host.GetCaptionArea();
  if (pt.x >= rcClient.left + rcCaption.left && pt.x < rcClient.right - rcCaption.right &&
      pt.y >= rcCaption.top && pt.y < rcCaption.bottom) {
    const CControlUI* pControl = m_Host.FindControlAt(pt);
    if (pControl != nullptr && !TakesPressesInCaption(pControl)) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::HandleGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& bHandled) {
  MINMAXINFO* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
  const MONITORINFO mi = NearestMonitor(m_hWnd);
  // The maximised position is relative to the monitor's own origin.
  RECT rcWork = mi.rcWork;
  ::OffsetRect(&rcWork, -mi.rcMonitor.left, -mi.rcMonitor.top);
  pInfo->ptMaxPosition.x = rcWork.left;
  pInfo->ptMaxPosition.y = rcWork.top;
  pInfo->ptMaxTrackSize.x = rcWork.right - rcWork.left;
  pInfo->ptMaxTrackSize.y = rcWork.bottom - rcWork.top;
  const CUISize szMin = m_Host.GetMinimumSize();
  pInfo->ptMinTrackSize.x = szMin.cx;
  pInfo->ptMinTrackSize.y = szMin.cy;
  // The host then applies the skin's own limits.
  bHandled = false;
  return 0;
}

LRESULT WindowImplBase::HandleSize(UINT, WPARAM, LPARAM, bool& bHandled) {
  const CUISize szRound = m_Host.GetCornerRounding();
  if (!::IsIconic(m_hWnd) && (szRound.cx != 0 || szRound.cy != 0)) {
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    // Rounded regions leave out their right and bottom edges: one pixel more keeps them.
    const HRGN hRgn = ::CreateRoundRectRgn(0, 0, rcWindow.right - rcWindow.left + 1,
                                           rcWindow.bottom - rcWindow.top + 1, szRound.cx,
                                           szRound.cy);
    // A region given to the window belongs to the system from then on.
    if (hRgn != nullptr && ::SetWindowRgn(m_hWnd, hRgn, TRUE) == 0) ::DeleteObject(hRgn);
  }
  bHandled = false;
  return 0;
}

LRESULT WindowImplBase::HandleSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                         bool& /*bHandled*/) {
  // The low four bits of the command are the platform's own.
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    Send(WM_CLOSE);
    return 0;
  }
  const bool bWasZoomed = ::IsZoomed(m_hWnd) != FALSE;
  const LRESULT lRes = CallPreviousProc(uMsg, wParam, lParam);
  if ((::IsZoomed(m_hWnd) != FALSE) != bWasZoomed) {
    CControlUI* pMax = m_Host.FindControlByName(L"maxbtn");
    CControlUI* pRestore = m_Host.FindControlByName(L"restorebtn");
    if (pMax != nullptr && pRestore != nullptr) {
      pMax->SetVisible(bWasZoomed);
      pRestore->SetVisible(!bWasZoomed);
    }
  }
  return lRes;
}

}  // namespace SkinUI
