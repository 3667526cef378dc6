// Input for the rich edit. Mouse and keyboard reach the engine as window messages, through the
// message filter that sees them before the window host does; the control's own input events
// only carry focus, cursor, timers, scrolling and what the container handles.

#include <windows.h>
#include <imm.h>
#include <richedit.h>

#include "Control/UIRichEdit.h"
#include "Control/UITextHost.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

bool IsMouseMessage(UINT uMsg) { return uMsg >= WM_MOUSEFIRST && uMsg <= WM_MOUSELAST; }

bool IsKeyMessage(UINT uMsg) { return uMsg >= WM_KEYFIRST && uMsg <= WM_KEYLAST; }

bool IsButtonMessage(UINT uMsg) {
  switch (uMsg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

bool TakesFocus(UINT uMsg) {
  return uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK || uMsg == WM_RBUTTONDOWN;
}

POINT MessagePoint(HWND hWnd, UINT uMsg, LPARAM lParam) {
  POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (uMsg == WM_SETCURSOR) {
    ::GetCursorPos(&pt);
    ::ScreenToClient(hWnd, &pt);
  } else if (uMsg == WM_MOUSEWHEEL || uMsg == WM_CONTEXTMENU) {
    ::ScreenToClient(hWnd, &pt);
  }
  return pt;
}

}  // namespace

bool CRichEditUI::CaretTimerApplies() const {
  return m_pHost != nullptr && m_pHost->IsLayered() && m_pTwh != nullptr && IsFocused() &&
         ::GetFocus() == m_pHost->GetHostWindow();
}

void CRichEditUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CControlUI>(*this, event)) return;
  switch (event.iKind) {
    case kEventSetCursor: {
      if (!IsEnabled()) break;
      const RECT rcText = GetTextArea();
      if (m_pTwh != nullptr && ::PtInRect(&rcText, event.ptMouse)) {
        m_pTwh->ApplyCursor(nullptr, event.ptMouse);
        return;
      }
      break;
    }
    case kEventWindowSize:
      if (m_pTwh != nullptr) m_pTwh->NeedCaretRefresh();
      return;
    case kEventSetFocus:
    case kEventKillFocus: {
      const bool bSet = event.iKind == kEventSetFocus;
      if (m_pTwh != nullptr) {
        m_pTwh->ActivateInPlace(true);
        TxSend(bSet ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0, nullptr);
      }
      m_bFocused = bSet;
      Invalidate();
      return;
    }
    case kEventTimer:
      if (event.wParam == kCaretTimerId && m_pHost != nullptr && m_pHost->IsLayered()) {
        if (CaretTimerApplies()) {
          m_bDrawCaret = !m_bDrawCaret;
          InvalidateCaret();
        }
        return;
      }
      TxSend(WM_TIMER, event.wParam, event.lParam, nullptr);
      return;
    case kEventScrollWheel:
      if ((event.wKeyState & kKeyStateControl) != 0) return;
      break;
    // The message filter has already given these to the engine.
    case kEventKeyDown:
    case kEventKeyUp:
    case kEventChar:
    case kEventMouseMove:
    case kEventMouseLeave:
    case kEventMouseEnter:
    case kEventButtonDown:
    case kEventButtonUp:
    case kEventDoubleClick:
      return;
    default:
      break;
  }
  CContainerUI::HandleEvent(event);
}

LRESULT CRichEditUI::FilterMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if (!IsVisible() || !IsEnabled() || m_pHost == nullptr) return 0;
  const bool bMouse = IsMouseMessage(uMsg);
  if (bMouse && !IsMouseEnabled()) return 0;
  // The plain wheel scrolls through the control's bars; only zooming goes to the engine.
  if (uMsg == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0) return 0;

  HWND hWnd = m_pHost->GetHostWindow();
  bool bMayReportHandled = true;
  if (bMouse || uMsg == WM_SETCURSOR) {
    if (m_pTwh == nullptr || !m_pTwh->HasCapture()) {
      const POINT pt = MessagePoint(hWnd, uMsg, lParam);
      if (IsButtonMessage(uMsg) && m_pHost->FindControlAt(pt) != this) return 0;
      const RECT rcText = GetTextArea();
      if (!::PtInRect(&rcText, pt) || m_pHost->IsMouseCaptured()) return 0;
    }
    if (TakesFocus(uMsg)) {
      ::SetFocus(hWnd);
      SetFocus();
    }
    // The window host still picks the cursor through the control's set-cursor event.
    if (uMsg == WM_SETCURSOR) bMayReportHandled = false;
  } else if (IsKeyMessage(uMsg)) {
    if (!IsFocused()) return 0;
  } else if (uMsg == WM_IME_COMPOSITION) {
    if (IsFocused()) PlaceCompositionWindow();
    return 0;
  } else if (uMsg == WM_CONTEXTMENU) {
    if (m_pHost->FindControlAt(MessagePoint(hWnd, uMsg, lParam)) != this) return 0;
  } else if (uMsg == WM_HELP) {
    bMayReportHandled = false;
  } else {
    return 0;
  }

  LRESULT lResult = 0;
  const HRESULT hr = SendTextMessage(uMsg, wParam, lParam, &lResult);
  const bool bEngineCaptured = m_pTwh != nullptr && m_pTwh->HasCapture();
  bHandled = bMayReportHandled && (hr == S_OK || IsKeyMessage(uMsg) || uMsg == WM_IME_CHAR ||
                                   (bMouse && bEngineCaptured));
  return lResult;
}

// Input methods place their composition window themselves, and would put it where the window's
// own caret would be rather than at the engine's.
void CRichEditUI::PlaceCompositionWindow() {
  if (m_pTwh == nullptr) return;
  HWND hWnd = m_pHost->GetHostWindow();
  HIMC hImc = ::ImmGetContext(hWnd);
  if (hImc == nullptr) return;
  const POINT ptCaret = m_pTwh->GetCaretPosition();
  COMPOSITIONFORM form = {};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos.x = ptCaret.x + m_pTwh->GetCaretWidth();
  form.ptCurrentPos.y = ptCaret.y;
  ::ImmSetCompositionWindow(hImc, &form);
  LOGFONTW lf = {};
  if (::GetObjectW(m_pHost->LookupFont(m_iFont), sizeof(lf), &lf) != 0) {
    ::ImmSetCompositionFontW(hImc, &lf);
  }
  ::ImmReleaseContext(hWnd, hImc);
}

}  // namespace SkinUI
