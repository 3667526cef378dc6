// The host's window messages: message filters, then mouse, keyboard, focus, control timers,
// tooltips, reflection of child-window messages, and the posted message that delivers queued
// notifications and destroys controls whose deletion waited.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

struct CWindowHostUI::TimerRecord {
  CControlUI* pSender;
  UINT nLocalID;
  HWND hWnd;
  UINT uWinTimer;
  bool bKilled;
};

namespace {

// Messages reflected to the native child window that sent them, which answers them itself.
const UINT kReflectedNotify = 0x204E;
const UINT kReflectedCommand = 0x2111;
const UINT kReflectOffset = 0x2000;
const UINT kDefaultHoverTime = 1000;

}  // namespace

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

struct TabSearch {
  CControlUI* pFocus;
  CControlUI* pLast;
  bool bForward;
  bool bNextIsIt;
};

CControlUI* CALLBACK FindTabStop(CControlUI* pControl, LPVOID pData) {
  TabSearch* pSearch = static_cast<TabSearch*>(pData);
  if (pControl == pSearch->pFocus) {
    if (pSearch->bForward) {
      pSearch->bNextIsIt = true;
      return nullptr;
    }
    return pSearch->pLast;
  }
  if ((pControl->GetBehaviourFlags() & 0x1) == 0) return nullptr;
  pSearch->pLast = pControl;
  if (pSearch->bNextIsIt || pSearch->pFocus == nullptr) return pControl;
  return nullptr;
}

// The tab stop after (or before) pFocus, wrapping around the tree; null without any.
CControlUI* NextTabStop(CControlUI* pRoot, CControlUI* pFocus, bool bForward) {
  const UINT uFlags = kFindVisible | kFindEnabled | kFindMeFirst;
  TabSearch search = {pFocus, nullptr, bForward, false};
  CControlUI* pFound = pRoot->FindControl(FindTabStop, &search, uFlags);
  if (pFound != nullptr) return pFound;
  if (!bForward) return search.pLast;
  TabSearch wrap = {nullptr, nullptr, true, false};
  return pRoot->FindControl(FindTabStop, &wrap, uFlags);
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
    const LRESULT lResult = static_cast<IMessageFilterUI*>(m_aMessageFilters.GetAt(i))
                                ->FilterMessage(uMsg, wParam, lParam, bHandled);
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
      const int iIndex = m_aNativeWindows.Find(hWndChild);
      if (iIndex < 0) return false;
      CControlUI* pOwner = static_cast<CControlUI*>(m_aNativeWindowControls.GetAt(iIndex));
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
      DestroyToolTip();
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
      if (pControl == nullptr || (pControl->GetBehaviourFlags() & 0x2) == 0) return false;
      SendInput(pControl, kEventSetCursor, pt, wParam, lParam, CurrentKeyState());
      lRes = TRUE;
      return true;
    }
    case WM_GETMINMAXINFO: {
      MINMAXINFO* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
      if (pInfo == nullptr) return false;
      if (m_szMinWindow.cx > 0) pInfo->ptMinTrackSize.x = m_szMinWindow.cx;
      if (m_szMinWindow.cy > 0) pInfo->ptMinTrackSize.y = m_szMinWindow.cy;
      if (m_szMaxWindow.cx > 0) pInfo->ptMaxTrackSize.x = m_szMaxWindow.cx;
      if (m_szMaxWindow.cy > 0) pInfo->ptMaxTrackSize.y = m_szMaxWindow.cy;
      return false;
    }
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
    HideToolTip();
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
        tme.dwHoverTime = m_hwndTooltip == nullptr
                              ? kDefaultHoverTime
                              : static_cast<DWORD>(::SendMessageW(
                                    m_hwndTooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
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
          HideToolTip();
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
  const int iIndex = m_aMessageFilters.Find(pFilter);
  return iIndex >= 0 && m_aMessageFilters.Remove(iIndex);
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

// ---- focus ----

bool CWindowHostUI::MoveFocus(bool bForward) {
  if (m_bUpdateNeeded && bForward) {
    // The tree has no positions yet: the paint lays it out and then moves the focus.
    m_bFocusNeeded = true;
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
    return true;
  }
  if (m_pRoot != nullptr) {
    CControlUI* pNext = NextTabStop(m_pRoot, m_pFocus, bForward);
    if (pNext != nullptr) SetFocusControl(pNext, true);
  }
  m_bFocusNeeded = false;
  return true;
}

void CWindowHostUI::RequestInitialFocus(CControlUI* pControl) {
  ::SetFocus(m_hWndPaint);
  if (pControl == nullptr) return;
  if (m_pFocus != nullptr) {
    CControlUI* pOld = m_pFocus;
    InputEvent event = {};
    event.iKind = kEventKillFocus;
    event.pSender = pControl;
    event.dwTimestamp = ::GetTickCount();
    pOld->DispatchEvent(event);
    // The old focus may have destroyed itself while losing the focus: then nothing names it.
    if (m_pFocus == pOld) RaiseNotification(pOld, L"killfocus");
    m_pFocus = nullptr;
  }
  if (m_pRoot == nullptr) return;
  // The Tab stop before the control, so that moving forward after the layout lands on it.
  TabSearch search = {pControl, nullptr, false, false};
  m_pFocus = m_pRoot->FindControl(FindTabStop, &search, kFindVisible | kFindEnabled | kFindMeFirst);
  m_bFocusNeeded = true;
  m_pRoot->RequestLayout();
}

// ---- control timers ----

bool CWindowHostUI::StartTimer(CControlUI* pControl, UINT nTimerKey, UINT uElapse) {
  UI_CHECK(pControl!=0);
  UI_CHECK(uElapse>0);
  if (pControl == nullptr || m_hWndPaint == nullptr) return false;
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers[i]);
    if (pTimer->pSender != pControl || pTimer->hWnd != m_hWndPaint ||
        pTimer->nLocalID != nTimerKey) {
      continue;
    }
    if (!pTimer->bKilled) return false;
    if (::SetTimer(m_hWndPaint, pTimer->uWinTimer, uElapse, nullptr) == 0) return false;
    pTimer->bKilled = false;
    return true;
  }
  // Native ids cycle through 0..254; one still held by a timer of this window is skipped, since
  // starting it again would silently take the native timer from its first owner.
  UINT uId = m_uTimerID;
  bool bFree = false;
  for (int iTry = 0; iTry < 255 && !bFree; ++iTry) {
    uId = (uId + 1) % 255;
    bFree = true;
    for (int i = 0; i < m_aTimers.GetSize() && bFree; ++i) {
      const TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers[i]);
      bFree = !(pTimer->hWnd == m_hWndPaint && pTimer->uWinTimer == uId);
    }
  }
  if (!bFree) return false;
  // Id 0 is a valid window timer, but then SetTimer's success and failure look alike.
  ::SetLastError(ERROR_SUCCESS);
  const UINT_PTR uResult = ::SetTimer(m_hWndPaint, uId, uElapse, nullptr);
  if (uResult == 0 && (uId != 0 || ::GetLastError() != ERROR_SUCCESS)) return false;
  m_uTimerID = uId;
  TimerRecord* pTimer = new TimerRecord{pControl, nTimerKey, m_hWndPaint, uId, false};
  if (!m_aTimers.Add(pTimer)) {
    ::KillTimer(m_hWndPaint, uId);
    delete pTimer;
    return false;
  }
  return true;
}

bool CWindowHostUI::StopTimer(CControlUI* pControl, UINT nTimerKey) {
  UI_CHECK(pControl!=0);
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers[i]);
    if (pTimer->pSender == pControl && pTimer->hWnd == m_hWndPaint &&
        pTimer->nLocalID == nTimerKey && !pTimer->bKilled) {
      if (::IsWindow(m_hWndPaint)) ::KillTimer(pTimer->hWnd, pTimer->uWinTimer);
      pTimer->bKilled = true;
      return true;
    }
  }
  return false;
}

void CWindowHostUI::StopAllTimers(CControlUI* pControl) {
  UI_CHECK(pControl!=0);
  for (int i = m_aTimers.GetSize() - 1; i >= 0; --i) {
    TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers[i]);
    if (pTimer->pSender != pControl || pTimer->hWnd != m_hWndPaint) continue;
    if (!pTimer->bKilled && ::IsWindow(pTimer->hWnd)) ::KillTimer(pTimer->hWnd, pTimer->uWinTimer);
    m_aTimers.Remove(i);
    delete pTimer;
  }
}

void CWindowHostUI::StopEveryTimer() {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers[i]);
    if (!pTimer->bKilled && ::IsWindow(pTimer->hWnd)) ::KillTimer(pTimer->hWnd, pTimer->uWinTimer);
    delete pTimer;
  }
  m_aTimers.Empty();
}

void CWindowHostUI::HandleControlTimer(WPARAM wParam, LPARAM lParam) {
  for (int i = 0; i < m_aTimers.GetSize(); ++i) {
    const TimerRecord* pTimer = static_cast<TimerRecord*>(m_aTimers[i]);
    if (pTimer->hWnd == m_hWndPaint && pTimer->uWinTimer == wParam && !pTimer->bKilled) {
      SendInput(pTimer->pSender, kEventTimer, m_ptLastMousePos, pTimer->nLocalID, lParam,
                CurrentKeyState());
      return;
    }
  }
}

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
  // The tool record points at the text it shows: it lives as long as the record.
  m_sToolTipText = sToolTip;
  m_ToolTip.cbSize = TTTOOLINFOW_V1_SIZE;
  m_ToolTip.uFlags = TTF_IDISHWND;
  m_ToolTip.hwnd = m_hWndPaint;
  m_ToolTip.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
  m_ToolTip.hinst = GetModuleInstance();
  m_ToolTip.lpszText = const_cast<LPWSTR>(m_sToolTipText.GetData());
  m_ToolTip.rect = pControl->GetPosition();
  if (m_hwndTooltip == nullptr) {
    m_hwndTooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr,
                                      WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint,
                                      nullptr, GetModuleInstance(), nullptr);
    if (m_hwndTooltip == nullptr) return true;
    if (m_iTooltipWidth >= 0) {
      m_iTooltipWidth = static_cast<int>(
          ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, m_iTooltipWidth));
    }
    ::SendMessageW(m_hwndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
  }
  ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, pControl->GetToolTipWidth());
  ::SendMessageW(m_hwndTooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
  ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_ToolTip));
  return true;
}

void CWindowHostUI::HideToolTip() {
  if (m_hwndTooltip != nullptr) {
    ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_ToolTip));
  }
}

void CWindowHostUI::DestroyToolTip() {
  if (m_hwndTooltip != nullptr) {
    ::DestroyWindow(m_hwndTooltip);
    m_hwndTooltip = nullptr;
  }
}

// ---- queued notifications and delayed deletion ----

void CWindowHostUI::DeferDelete(CControlUI* pControl) {
  if (pControl == nullptr) return;
  pControl->SetHost(this, nullptr, false);
  m_aDelayedCleanup.Add(pControl);
  PostQueuedNotify();
}

void CWindowHostUI::PostQueuedNotify() {
  if (m_bAsyncNotifyPosted || m_hWndPaint == nullptr) return;
  m_bAsyncNotifyPosted = ::PostMessageW(m_hWndPaint, kQueuedNotifyMessage, 0, 0) != FALSE;
}

void CWindowHostUI::DestroyDelayedControls() {
  // A control's destructor reaches back into the host: take the list first.
  while (m_aDelayedCleanup.GetSize() > 0) {
    CControlUI* pControl = static_cast<CControlUI*>(m_aDelayedCleanup[0]);
    m_aDelayedCleanup.Remove(0);
    delete pControl;
  }
}

void CWindowHostUI::HandleQueuedNotify() {
  m_bAsyncNotifyPosted = false;
  DestroyDelayedControls();
  while (m_aAsyncNotify.GetSize() > 0) {
    NotifyEvent* pEvent = static_cast<NotifyEvent*>(m_aAsyncNotify[0]);
    m_aAsyncNotify.Remove(0);
    DeliverNotification(*pEvent);
    delete pEvent;
  }
}

void CWindowHostUI::FreeQueuedNotifications() {
  for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
    delete static_cast<NotifyEvent*>(m_aAsyncNotify[i]);
  }
  m_aAsyncNotify.Empty();
}

}  // namespace SkinUI
