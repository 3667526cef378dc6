// The host's window messages: message filters, then mouse, keyboard and tooltips, reflection of
// child-window messages, and the hand-over of painting, timers and the queue message to their
// own groups.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

WORD CWindowHostUI::CurrentKeyState() {
  WORD wState = 0;
  if (::GetKeyState(VK_CONTROL) < 0) wState |= kKeyStateControl;
  if (::GetKeyState(VK_RBUTTON) < 0) wState |= kKeyStateRightButton;
  if (::GetKeyState(VK_LBUTTON) < 0) wState |= kKeyStateLeftButton;
  if (::GetKeyState(VK_SHIFT) < 0) wState |= kKeyStateShift;
  if (::GetKeyState(VK_MENU) < 0) wState |= kKeyStateAlt;
  return wState;
}

namespace {

POINT ClientPoint(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

POINT ScreenToClientPoint(HWND hWnd, LPARAM lParam) {
  POINT pt = ClientPoint(lParam);
  ::ScreenToClient(hWnd, &pt);
  return pt;
}

bool IsCoordinateMessage(UINT uMsg) {
  return uMsg == WM_MOUSEMOVE || uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONUP ||
         uMsg == WM_LBUTTONDBLCLK || uMsg == WM_RBUTTONUP;
}

}  // namespace

void CWindowHostUI::SendInput(CControlUI* pControl, int iKind, POINT pt, WPARAM wParam,
                              LPARAM lParam, WORD wKeyState, WCHAR chKey) {
  InputEvent event = {};
  event.iKind = iKind;
  event.pSender = pControl;
  event.dwTimestamp = ::GetTickCount();
  event.ptMouse = pt;
  event.chKey = chKey;
  event.wKeyState = wKeyState;
  event.wParam = wParam;
  event.lParam = lParam;
  pControl->DispatchEvent(event);
}

bool CWindowHostUI::HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  if (m_hWndPaint == nullptr) return false;

  // A filter may remove itself or others while it runs: index afresh each step.
  for (int i = 0; i < m_aMessageFilters.GetSize(); ++i) {
    bool bHandled = false;
    const LRESULT lResult = m_aMessageFilters[i]->FilterMessage(uMsg, wParam, lParam, bHandled);
    if (!bHandled) continue;
    lRes = lResult;
    if (uMsg == WM_CONTEXTMENU || uMsg == WM_MOUSEWHEEL) {
      m_ptLastMousePos = ScreenToClientPoint(m_hWndPaint, lParam);
    } else if (IsCoordinateMessage(uMsg)) {
      m_ptLastMousePos = ClientPoint(lParam);
    }
    return true;
  }

  if (m_bLayered) {
    switch (uMsg) {
      case WM_NCCALCSIZE:
      case WM_NCPAINT:
        lRes = 0;
        return true;
      case WM_NCACTIVATE:
        if (::IsIconic(m_hWndPaint)) break;
        lRes = wParam == 0 ? 1 : 0;
        return true;
      default:
        break;
    }
  }

  switch (uMsg) {
    case kQueuedNotifyMessage:
      HandleQueuedNotify();
      return false;
    case WM_PAINT:
      lRes = 0;
      return HandlePaint();
    case WM_PRINTCLIENT:
      return HandlePrintClient(reinterpret_cast<HDC>(wParam), lParam);
    case WM_ERASEBKGND:
      lRes = 1;
      return true;
    case WM_SIZE:
      if (m_pFocus != nullptr) {
        SendInput(m_pFocus, kEventWindowSize, m_ptLastMousePos, wParam, lParam, CurrentKeyState());
      }
      if (m_pRoot != nullptr) m_pRoot->RequestLayout();
      if (m_bLayered) Invalidate();
      lRes = 0;
      return true;
    case WM_TIMER:
      if (HandleLayeredTimer(wParam)) return false;
      HandleControlTimer(wParam, lParam);
      return false;
    case WM_KILLFOCUS: {
      if (wParam == 0) return false;
      // The focus went to a native child window a control owns: that control holds it now.
      HWND hWndChild = reinterpret_cast<HWND>(wParam);
      HWND hWndParent = ::GetParent(hWndChild);
      while (hWndParent != nullptr && hWndParent != m_hWndPaint) {
        hWndChild = hWndParent;
        hWndParent = ::GetParent(hWndChild);
      }
      if (hWndParent == nullptr) return false;
      const int iIndex = m_nativeWindows.IndexOf(hWndChild);
      if (iIndex < 0) return false;
      CControlUI* pOwner = m_nativeWindows.ControlAt(iIndex);
      if (pOwner != m_pFocus) SetFocusControl(pOwner, false);
      return false;
    }
    case WM_CLOSE: {
      if (m_pEventHover != nullptr) {
        CControlUI* pHover = m_pEventHover;
        m_pEventHover = nullptr;
        SendInput(pHover, kEventMouseLeave, m_ptLastMousePos, 0, 0, 0);
      }
      if (m_pEventClick != nullptr) {
        CControlUI* pClick = m_pEventClick;
        m_pEventClick = nullptr;
        // A close that is refused must not leave hover frozen by a capture nobody ends.
        if (m_bMouseCapture) ReleaseMouse();
        SendInput(pClick, kEventButtonUp, m_ptLastMousePos, 0, 0, 0);
      }
      SetFocusControl(nullptr, true);
      HWND hWndOwner = ::GetWindow(m_hWndPaint, GW_OWNER);
      if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWndPaint) ::SetFocus(hWndOwner);
      m_toolTip.Destroy();
      return false;
    }
    case WM_SETCURSOR: {
      if (m_pRoot == nullptr || LOWORD(lParam) != HTCLIENT) return false;
      if (m_bMouseCapture) {
        lRes = TRUE;
        return true;
      }
      POINT pt = {0, 0};
      ::GetCursorPos(&pt);
      ::ScreenToClient(m_hWndPaint, &pt);
      CControlUI* pControl = FindControlAt(pt);
      if (pControl == nullptr || (pControl->GetBehaviourFlags() & kBehaviourSetCursor) == 0) return false;
      SendInput(pControl, kEventSetCursor, pt, wParam, lParam, CurrentKeyState());
      lRes = TRUE;
      return true;
    }
    case WM_GETMINMAXINFO:
      if (lParam != 0) ApplyTrackingLimits(reinterpret_cast<MINMAXINFO*>(lParam));
      return false;
    case WM_NOTIFY: {
      const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
      if (pHeader == nullptr) return false;
      lRes = ::SendMessageW(pHeader->hwndFrom, kReflectedNotify, wParam, lParam);
      return true;
    }
    case WM_COMMAND:
      if (lParam == 0) return false;
      lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), kReflectedCommand, wParam, lParam);
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (lParam == 0) return false;
      lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), uMsg + kReflectOffset, wParam, lParam);
      return true;
    case WM_CONTEXTMENU:
      if (m_pRoot == nullptr || m_bMouseCapture) return false;
      m_ptLastMousePos = ScreenToClientPoint(m_hWndPaint, lParam);
      if (m_pEventClick != nullptr) {
        CControlUI* pClick = m_pEventClick;
        m_pEventClick = nullptr;
        SendInput(pClick, kEventContextMenu, m_ptLastMousePos, 0,
                  reinterpret_cast<LPARAM>(pClick), 0);
      }
      return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      return HandleKeyMessage(uMsg, wParam, lParam);
    case WM_MOUSEHOVER: {
      m_bMouseTracking = false;
      if (m_pRoot == nullptr) return false;
      const bool bShown = ShowToolTip(ClientPoint(lParam));
      if (bShown) lRes = 0;
      return bShown;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_MOUSELEAVE:
      return HandleMouseMessage(uMsg, wParam, lParam);
    default:
      return false;
  }
}

bool CWindowHostUI::HandleMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_MOUSELEAVE) {
    if (m_pRoot == nullptr) return false;
    m_toolTip.Hide();
    if (m_bMouseTracking) {
      POINT pt = {0, 0};
      RECT rcWnd = {0, 0, 0, 0};
      ::GetCursorPos(&pt);
      ::GetWindowRect(m_hWndPaint, &rcWnd);
      // The leave may be spurious (a tooltip or a child window took the mouse): carry on
      // tracking from where the cursor really is.
      if (!::IsIconic(m_hWndPaint) && ::GetActiveWindow() == m_hWndPaint &&
          ::PtInRect(&rcWnd, pt) &&
          ::SendMessageW(m_hWndPaint, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)) == HTCLIENT) {
        ::ScreenToClient(m_hWndPaint, &pt);
        ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
      } else {
        ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
      }
    }
    m_bMouseTracking = false;
    return false;
  }

  if (uMsg == WM_MOUSEWHEEL) {
    if (m_pRoot == nullptr) return false;
    m_ptLastMousePos = ScreenToClientPoint(m_hWndPaint, lParam);
    CControlUI* pControl = FindControlAt(m_ptLastMousePos);
    if (pControl == nullptr || pControl->GetHost() != this) return false;
    const int iDelta = static_cast<short>(HIWORD(wParam));
    SendInput(pControl, kEventScrollWheel, m_ptLastMousePos, iDelta < 0 ? 1 : 0, lParam,
              CurrentKeyState());
    // Hover follows the content that scrolled under the mouse.
    ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0,
                   MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
    return false;
  }

  const POINT pt = ClientPoint(lParam);
  m_ptLastMousePos = pt;
  const WORD wButtons = LOWORD(wParam);

  switch (uMsg) {
    case WM_MOUSEMOVE: {
      if (m_pRoot == nullptr) return false;
      if (!m_bMouseTracking) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWndPaint;
        tme.dwHoverTime = m_toolTip.HoverTime();
        ::TrackMouseEvent(&tme);
        m_bMouseTracking = true;
      }
      CControlUI* pNewHover = FindControlAt(pt);
      if (pNewHover != nullptr && pNewHover->GetHost() != this) return false;
      const WORD wKeyState = CurrentKeyState();
      if (!m_bMouseCapture && pNewHover != m_pEventHover) {
        if (m_pEventHover != nullptr) {
          CControlUI* pOldHover = m_pEventHover;
          m_pEventHover = nullptr;
          m_toolTip.Hide();
          SendInput(pOldHover, kEventMouseLeave, pt, wParam, lParam, wKeyState);
          // The leave handler may have destroyed the control under the mouse: look again.
          pNewHover = FindControlAt(pt);
          if (pNewHover != nullptr && pNewHover->GetHost() != this) pNewHover = nullptr;
        }
        if (pNewHover != nullptr) {
          m_pEventHover = pNewHover;
          SendInput(pNewHover, kEventMouseEnter, pt, wParam, lParam, wKeyState);
          // Destroyed while entering: the host has forgotten it, and so must this move.
          if (m_pEventHover != pNewHover) pNewHover = nullptr;
        }
      }
      CControlUI* pTarget = m_pEventClick != nullptr ? m_pEventClick : pNewHover;
      if (pTarget != nullptr) SendInput(pTarget, kEventMouseMove, pt, wParam, lParam, wKeyState);
      return false;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
      ::SetFocus(m_hWndPaint);
      if (m_pRoot == nullptr) return false;
      CControlUI* pControl = FindControlAt(pt);
      if (pControl == nullptr || pControl->GetHost() != this) return false;
      m_pEventClick = pControl;
      // The first click of a double click has already focused the control; the right button
      // leaves the mouse free.
      if (uMsg != WM_LBUTTONDBLCLK) pControl->SetFocus();
      // Taking the focus may have destroyed the control: then nothing may hold the mouse.
      if (m_pEventClick != pControl) return false;
      if (uMsg != WM_RBUTTONDOWN) CaptureMouse();
      const int iKind = uMsg == WM_LBUTTONDOWN     ? kEventButtonDown
                        : uMsg == WM_RBUTTONDOWN ? kEventRightButtonDown
                                                 : kEventDoubleClick;
      SendInput(pControl, iKind, pt, wParam, lParam, wButtons);
      return false;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      if (m_pEventClick == nullptr) return false;
      CControlUI* pControl = m_pEventClick;
      ReleaseMouse();
      m_pEventClick = nullptr;
      SendInput(pControl, uMsg == WM_LBUTTONUP ? kEventButtonUp : kEventRightButtonUp, pt, wParam,
                lParam, wButtons);
      return false;
    }
    default:
      return false;
  }
}

bool CWindowHostUI::HandleKeyMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (m_pRoot == nullptr) return false;
  const WCHAR chKey = static_cast<WCHAR>(wParam);
  switch (uMsg) {
    case WM_KEYDOWN:
      if (m_pFocus == nullptr) return false;
      m_pEventKey = m_pFocus;
      SendInput(m_pFocus, kEventKeyDown, m_ptLastMousePos, wParam, lParam, CurrentKeyState(),
                chKey);
      return false;
    case WM_KEYUP: {
      if (m_pEventKey == nullptr) return false;
      CControlUI* pControl = m_pEventKey;
      m_pEventKey = nullptr;
      SendInput(pControl, kEventKeyUp, m_ptLastMousePos, wParam, lParam, CurrentKeyState(), chKey);
      return false;
    }
    case WM_CHAR:
      if (m_pFocus == nullptr) return false;
      SendInput(m_pFocus, kEventChar, m_ptLastMousePos, wParam, lParam, CurrentKeyState(), chKey);
      return false;
    default:
      return false;
  }
}

bool CWindowHostUI::RegisterMessageFilter(IMessageFilterUI* pFilter) {
  UI_CHECK(m_aMessageFilters.Find(pFilter)<0);
  return m_aMessageFilters.Add(pFilter);
}

bool CWindowHostUI::UnregisterMessageFilter(IMessageFilterUI* pFilter) {
  return m_aMessageFilters.RemoveFirst(pFilter);
}

POINT CWindowHostUI::GetLastMousePoint() const { return m_ptLastMousePos; }

void CWindowHostUI::CaptureMouse() {
  ::SetCapture(m_hWndPaint);
  m_bMouseCapture = true;
}

void CWindowHostUI::ReleaseMouse() {
  ::ReleaseCapture();
  m_bMouseCapture = false;
}

bool CWindowHostUI::IsMouseCaptured() const { return m_bMouseCapture; }

// ---- tooltips ----

bool CWindowHostUI::ShowToolTip(POINT pt) {
  CControlUI* pControl = FindControlAt(pt);
  if (pControl == nullptr) return false;
  if (m_pEventHover != nullptr) {
    SendInput(m_pEventHover, kEventMouseHover, pt, 0, 0, CurrentKeyState());
  }
  CUIString sToolTip = pControl->GetToolTip();
  if (sToolTip.IsEmpty()) return true;
  ApplyLanguageTokens(sToolTip);
  m_toolTip.Show(m_hWndPaint, GetModuleInstance(), sToolTip, pControl->GetPosition(),
                 pControl->GetToolTipWidth());
  return true;
}

}  // namespace SkinUI
