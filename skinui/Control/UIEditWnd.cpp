// The native edit window of a focused edit control: opening it over the control, the messages it
// reflects back, its colours and, in a layered host, its caret.

#include "Control/UIEditWnd.h"

#include "Control/UIEdit.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"

namespace SkinUI {

namespace {

const DWORD kCaretColor = 0xFF000000;

COLORREF ToColorRef(DWORD dwColor) {
  return RGB((dwColor >> 16) & 0xFF, (dwColor >> 8) & 0xFF, dwColor & 0xFF);
}

}  // namespace

LPCWSTR CEditWnd::WindowClassName() const { return L"EditWnd"; }
LPCWSTR CEditWnd::SuperclassName() const { return L"Edit"; }

bool CEditWnd::IsLayeredHost() const {
  return m_pOwner != nullptr && m_pOwner->GetHost() != nullptr && m_pOwner->GetHost()->IsLayered();
}

RECT CEditWnd::GetEditRect() const {
  const RECT rcEmpty = {0, 0, 0, 0};
  if (m_pOwner == nullptr) return rcEmpty;
  RECT rc = m_pOwner->GetPosition();
  const RECT rcPadding = m_pOwner->GetTextPadding();
  rc.left += rcPadding.left;
  rc.top += rcPadding.top;
  rc.right -= rcPadding.right;
  rc.bottom -= rcPadding.bottom;
  CWindowHostUI* pHost = m_pOwner->GetHost();
  if (pHost != nullptr) {
    const int cyFont = pHost->GetFontInfo(m_pOwner->GetFont())->tm.tmHeight;
    const int cy = rc.bottom - rc.top;
    if (cyFont < cy) {
      rc.top += (cy - cyFont) / 2;
      rc.bottom = rc.top + cyFont;
    }
  }
  for (CControlUI* pParent = m_pOwner->GetParent(); pParent != nullptr;
       pParent = pParent->GetParent()) {
    if (!pParent->IsVisible()) return rcEmpty;
    const RECT rcClient = pParent->GetClientPosition();
    if (!::IntersectRect(&rc, &rc, &rcClient)) return rcEmpty;
  }
  return rc;
}

bool CEditWnd::OpenFor(CEditUI* pOwner) {
  m_pOwner = pOwner;
  CWindowHostUI* pHost = pOwner->GetHost();
  if (pHost == nullptr || pHost->GetHostWindow() == nullptr) {
    delete this;
    return false;
  }
  DWORD dwStyle = WS_CHILD | ES_AUTOHSCROLL | pOwner->GetNativeAlignment() | pOwner->GetNativeStyles();
  if (pOwner->IsPassword()) dwStyle |= ES_PASSWORD;
  if (Create(pHost->GetHostWindow(), nullptr, dwStyle, 0, GetEditRect()) == nullptr) {
    // A failed Create has already deleted this object through OnWindowGone.
    return false;
  }

  Send(WM_SETFONT, reinterpret_cast<WPARAM>(pHost->GetFontInfo(pOwner->GetFont())->hFont), TRUE);
  Send(EM_LIMITTEXT, pOwner->GetMaxChar());
  if (pOwner->IsPassword()) Send(EM_SETPASSWORDCHAR, pOwner->GetPasswordChar());
  ::SetWindowTextW(m_hWnd, pOwner->GetText());
  Send(EM_SETMODIFY, FALSE);
  Send(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
  ::EnableWindow(m_hWnd, pOwner->IsEnabled() ? TRUE : FALSE);
  Send(EM_SETREADONLY, pOwner->IsReadOnly() ? TRUE : FALSE);
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  ::SetFocus(m_hWnd);
  const int nLength = ::GetWindowTextLengthW(m_hWnd);
  if (pOwner->IsAutoSelectAll()) {
    Send(EM_SETSEL, 0, nLength > 0 ? nLength : 1);
  } else {
    Send(EM_SETSEL, nLength, nLength);
  }
  m_bInit = true;
  return true;
}

void CEditWnd::Abandon() {
  if (m_pOwner != nullptr && m_pOwner->GetHost() != nullptr && m_hWnd != nullptr) {
    m_pOwner->GetHost()->UntrackNativeWindow(m_hWnd);
  }
  m_pOwner = nullptr;
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
    ::DestroyWindow(m_hWnd);
  } else {
    delete this;
  }
}

void CEditWnd::OnWindowGone(HWND hWnd) {
  if (m_pOwner != nullptr) {
    m_pOwner->Invalidate();
    if (m_pOwner->GetHost() != nullptr) m_pOwner->GetHost()->UntrackNativeWindow(hWnd);
    m_pOwner->NativeWindowGone();
  }
  if (m_hBkBrush != nullptr) ::DeleteObject(m_hBkBrush);
  delete this;
}

LRESULT CEditWnd::OnReflectedCommand(WPARAM wParam, LPARAM /*lParam*/) {
  const UINT uCode = HIWORD(wParam);
  if (uCode == EN_CHANGE) {
    // Setting the text while opening is no change the user made.
    if (!m_bInit) return 0;
    const int nLength = ::GetWindowTextLengthW(m_hWnd);
    CUIString sText;
    if (nLength > 0) {
      WCHAR* pBuffer = new WCHAR[static_cast<size_t>(nLength) + 1];
      ::GetWindowTextW(m_hWnd, pBuffer, nLength + 1);
      sText = pBuffer;
      delete[] pBuffer;
    }
    m_pOwner->TakeTextFromWindow(sText);
    const HWND hWnd = m_hWnd;
    if (m_pOwner->GetHost() != nullptr) {
      m_pOwner->GetHost()->RaiseNotification(m_pOwner, kNotifyTextChanged);
    }
    // A listener that destroyed the control took this window and this object with it.
    if (!::IsWindow(hWnd)) return 0;
    if (m_pOwner != nullptr && IsLayeredHost()) m_pOwner->Invalidate();
  } else if (uCode == EN_UPDATE) {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
  }
  return 0;
}

LRESULT CEditWnd::OnReflectedColor(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowHostUI* pHost = m_pOwner->GetHost();
  if (IsLayeredHost() && !pHost->IsPainting()) pHost->TrackNativeWindow(m_pOwner, m_hWnd);
  if (m_pOwner->InHighContrast()) {
    const HDC hDC = reinterpret_cast<HDC>(wParam);
    ::SetBkColor(hDC, ::GetSysColor(COLOR_WINDOW));
    ::SetTextColor(hDC, ::GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
  }
  const DWORD dwColor = m_pOwner->GetNativeBkColor();
  if (dwColor == CEditUI::kNoNativeBkColor) {
    return ::DefWindowProcW(::GetParent(m_hWnd), uMsg - kReflectOffset, wParam, lParam);
  }
  const HDC hDC = reinterpret_cast<HDC>(wParam);
  ::SetBkMode(hDC, TRANSPARENT);
  ::SetTextColor(hDC, ToColorRef(m_pOwner->GetTextColor()));
  if ((dwColor >> 24) < 0xFF) {
    // What lies under the window changes as the skin repaints: the brush is made anew each time.
    if (m_hBkBrush != nullptr) ::DeleteObject(m_hBkBrush);
    m_hBkBrush = nullptr;
    const RECT rcWindow = pHost->GetNativeWindowRect(m_hWnd);
    HBITMAP hSnapshot = CSkinRenderer::RenderSnapshot(pHost, rcWindow, m_pOwner, dwColor);
    if (hSnapshot != nullptr) {
      m_hBkBrush = ::CreatePatternBrush(hSnapshot);
      ::DeleteObject(hSnapshot);
    }
  } else if (m_hBkBrush == nullptr) {
    m_hBkBrush = ::CreateSolidBrush(ToColorRef(dwColor));
  }
  return reinterpret_cast<LRESULT>(m_hBkBrush);
}

LRESULT CEditWnd::OnPrint(WPARAM wParam, LPARAM lParam) {
  const LRESULT lRes = CallPreviousProc(WM_PRINT, wParam, lParam);
  if (!m_pOwner->IsEnabled() || !m_bCaretShown) return lRes;
  POINT ptCaret = {0, 0};
  ::GetCaretPos(&ptCaret);
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWnd, &rcClient);
  const RECT rcLine = {ptCaret.x, ptCaret.y, ptCaret.x, ptCaret.y + rcClient.bottom - rcClient.top};
  CSkinRenderer::StrokeLine(reinterpret_cast<HDC>(wParam), rcLine, 1, kCaretColor);
  return lRes;
}

LRESULT CEditWnd::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (m_pOwner == nullptr) return CallPreviousProc(uMsg, wParam, lParam);
  CWindowHostUI* pHost = m_pOwner->GetHost();
  switch (uMsg) {
    case WM_CREATE: {
      const LRESULT lRes = CallPreviousProc(uMsg, wParam, lParam);
      if (pHost != nullptr) pHost->TrackNativeWindow(m_pOwner, m_hWnd);
      if (IsLayeredHost()) ::SetTimer(m_hWnd, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
      return lRes;
    }
    case WM_KILLFOCUS: {
      const LRESULT lRes = CallPreviousProc(uMsg, wParam, lParam);
      const HWND hHostWnd = pHost != nullptr ? pHost->GetHostWindow() : nullptr;
      if (hHostWnd != nullptr && reinterpret_cast<HWND>(wParam) != hHostWnd) {
        ::SendMessageW(hHostWnd, WM_KILLFOCUS, wParam, lParam);
      }
      Post(WM_CLOSE);
      return lRes;
    }
    case WM_PAINT:
      if (IsLayeredHost()) pHost->TrackNativeWindow(m_pOwner, m_hWnd);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        if (pHost != nullptr) pHost->RaiseNotification(m_pOwner, kNotifyReturn);
        return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kCaretTimerId) {
        m_bCaretShown = !m_bCaretShown;
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
      }
      break;
    case WM_PRINT:
      if (IsLayeredHost()) return OnPrint(wParam, lParam);
      break;
    case kReflectedCommand:
      return OnReflectedCommand(wParam, lParam);
    case kReflectedColorEdit:
    case kReflectedColorStatic:
      if (pHost != nullptr) return OnReflectedColor(uMsg, wParam, lParam);
      break;
    default:
      break;
  }
  return CallPreviousProc(uMsg, wParam, lParam);
}

}  // namespace SkinUI
