// The host's window messages: message filters, then mouse, keyboard and tooltips, reflection of
// child-window messages, and the hand-over of painting, timers and the queue message to their
// own groups.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

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
      m_input.ptLastMouse = ScreenToClientPoint(m_hWndPaint, lParam);
    } else if (IsCoordinateMessage(uMsg)) {
      m_input.ptLastMouse = ClientPoint(lParam);
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

  if (HandleDisplayMessage(uMsg, wParam, lParam, lRes)) return true;

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
      if (m_input.focus != nullptr) {
        SendInput(m_input.focus, kEventWindowSize, m_input.ptLastMouse, wParam, lParam, CHostInput::CurrentKeyState());
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
      if (pOwner != m_input.focus) SetFocusControl(pOwner, false);
      return false;
    }
    case WM_CLOSE: {
      if (CControlUI* pHover = m_input.hover.Take()) {
        SendInput(pHover, kEventMouseLeave, m_input.ptLastMouse, 0, 0, 0);
      }
      // The leave may have destroyed the pressed control: the handle then reads null.
      if (CControlUI* pClick = m_input.pressed.Take()) {
        // A close that is refused must not leave hover frozen by a capture nobody ends.
        if (m_input.bCaptured) ReleaseMouse();
        SendInput(pClick, kEventButtonUp, m_input.ptLastMouse, 0, 0, 0);
      }
      SetFocusControl(nullptr, true);
      HWND hWndOwner = ::GetWindow(m_hWndPaint, GW_OWNER);
      if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWndPaint) ::SetFocus(hWndOwner);
      m_toolTip.Destroy();
      return false;
    }
    case WM_SETCURSOR: {
      if (m_pRoot == nullptr || LOWORD(lParam) != HTCLIENT) return false;
      if (m_input.bCaptured) {
        lRes = TRUE;
        return true;
      }
      POINT pt = {0, 0};
      ::GetCursorPos(&pt);
      ::ScreenToClient(m_hWndPaint, &pt);
      CControlUI* pControl = FindControlAt(pt);
      if (pControl == nullptr || (pControl->GetBehaviourFlags() & kBehaviourSetCursor) == 0) return false;
      SendInput(pControl, kEventSetCursor, pt, wParam, lParam, CHostInput::CurrentKeyState());
      lRes = TRUE;
      return true;
    }
    case WM_GETOBJECT:
      return ServeAccessibleObject(wParam, lParam, lRes);
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
      if (m_pRoot == nullptr || m_input.bCaptured) return false;
      m_input.ptLastMouse = ScreenToClientPoint(m_hWndPaint, lParam);
      if (CControlUI* pClick = m_input.pressed.Take()) {
        SendInput(pClick, kEventContextMenu, m_input.ptLastMouse, 0,
                  reinterpret_cast<LPARAM>(pClick), 0);
      }
      return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      return HandleKeyMessage(uMsg, wParam, lParam);
    case WM_MOUSEHOVER: {
      m_input.bTracking = false;
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
    if (m_input.bTracking) {
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
    m_input.bTracking = false;
    return false;
  }

  if (uMsg == WM_MOUSEWHEEL) {
    if (m_pRoot == nullptr) return false;
    m_input.ptLastMouse = ScreenToClientPoint(m_hWndPaint, lParam);
    CControlUI* pControl = FindControlAt(m_input.ptLastMouse);
    if (pControl == nullptr || pControl->GetHost() != this) return false;
    const int iDelta = static_cast<short>(HIWORD(wParam));
    SendInput(pControl, kEventScrollWheel, m_input.ptLastMouse, iDelta < 0 ? 1 : 0, lParam,
              CHostInput::CurrentKeyState());
    // Hover follows the content that scrolled under the mouse.
    ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0,
                   MAKELPARAM(m_input.ptLastMouse.x, m_input.ptLastMouse.y));
    return false;
  }

  const POINT pt = ClientPoint(lParam);
  m_input.ptLastMouse = pt;
  const WORD wButtons = LOWORD(wParam);

  switch (uMsg) {
    case WM_MOUSEMOVE: {
      if (m_pRoot == nullptr) return false;
      if (!m_input.bTracking) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWndPaint;
        tme.dwHoverTime = m_toolTip.HoverTime();
        ::TrackMouseEvent(&tme);
        m_input.bTracking = true;
      }
      CControlUI* pFound = FindControlAt(pt);
      if (pFound != nullptr && pFound->GetHost() != this) return false;
      // Every handler below may destroy any control: the handle tells whether this one lives.
      CControlHandle newHover = pFound;
      const WORD wKeyState = CHostInput::CurrentKeyState();
      if (!m_input.bCaptured && newHover != m_input.hover) {
        if (CControlUI* pOldHover = m_input.hover.Take()) {
          m_toolTip.Hide();
          SendInput(pOldHover, kEventMouseLeave, pt, wParam, lParam, wKeyState);
          // The leave handler may have changed the tree: what is under the mouse now.
          pFound = FindControlAt(pt);
          newHover = pFound != nullptr && pFound->GetHost() == this ? pFound : nullptr;
        }
        if (newHover != nullptr) {
          m_input.hover = newHover;
          SendInput(newHover, kEventMouseEnter, pt, wParam, lParam, wKeyState);
        }
      }
      CControlUI* pTarget = m_input.pressed != nullptr ? m_input.pressed.Get() : newHover.Get();
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
      m_input.pressed = pControl;
      // The first click of a double click has already focused the control, and plain text
      // never takes it; the right button leaves the mouse free.
      if (uMsg != WM_LBUTTONDBLCLK && (pControl->GetBehaviourFlags() & kBehaviourPassive) == 0) {
        pControl->SetFocus();
      }
      // Taking the focus may have destroyed the control: then nothing may hold the mouse.
      if (m_input.pressed != pControl) return false;
      if (uMsg != WM_RBUTTONDOWN) CaptureMouse();
      const int iKind = uMsg == WM_LBUTTONDOWN     ? kEventButtonDown
                        : uMsg == WM_RBUTTONDOWN ? kEventRightButtonDown
                                                 : kEventDoubleClick;
      SendInput(pControl, iKind, pt, wParam, lParam, wButtons);
      return false;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      CControlUI* pControl = m_input.pressed.Take();
      if (pControl == nullptr) return false;
      ReleaseMouse();
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
      if (m_input.focus == nullptr) return false;
      m_input.keyTarget = m_input.focus;
      SendInput(m_input.focus, kEventKeyDown, m_input.ptLastMouse, wParam, lParam, CHostInput::CurrentKeyState(),
                chKey);
      return false;
    case WM_KEYUP: {
      CControlUI* pControl = m_input.keyTarget.Take();
      if (pControl == nullptr) return false;
      SendInput(pControl, kEventKeyUp, m_input.ptLastMouse, wParam, lParam, CHostInput::CurrentKeyState(), chKey);
      return false;
    }
    case WM_CHAR:
      if (m_input.focus == nullptr) return false;
      SendInput(m_input.focus, kEventChar, m_input.ptLastMouse, wParam, lParam, CHostInput::CurrentKeyState(), chKey);
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

POINT CWindowHostUI::GetLastMousePoint() const { return m_input.ptLastMouse; }

void CWindowHostUI::CaptureMouse() {
  ::SetCapture(m_hWndPaint);
  m_input.bCaptured = true;
}

void CWindowHostUI::ReleaseMouse() {
  ::ReleaseCapture();
  m_input.bCaptured = false;
}

bool CWindowHostUI::IsMouseCaptured() const { return m_input.bCaptured; }

// ---- tooltips ----

bool CWindowHostUI::ShowToolTip(POINT pt) {
  CControlUI* pControl = FindControlAt(pt);
  if (pControl == nullptr) return false;
  if (m_input.hover != nullptr) {
    SendInput(m_input.hover, kEventMouseHover, pt, 0, 0, CHostInput::CurrentKeyState());
  }
  CUIString sToolTip = pControl->GetToolTip();
  if (sToolTip.IsEmpty()) return true;
  ApplyLanguageTokens(sToolTip);
  m_toolTip.Show(m_hWndPaint, GetModuleInstance(), sToolTip, pControl->GetPosition(),
                 pControl->GetToolTipWidth());
  return true;
}

}  // namespace SkinUI
