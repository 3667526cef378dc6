#include "Core/UIBase.h"

#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

// Superclassed windows keep their object here: their class's own procedure may use the user
// data of the window for itself.
const WCHAR kObjectProperty[] = L"WndX";

// Set while Create waits for CreateWindowExW: tells it whether the window got as far as
// WM_NCCREATE, after which the window's last message ends the object.
thread_local bool* t_pWindowMade = nullptr;

}  // namespace

CWindowWnd::CWindowWnd()
    : m_hWnd(nullptr), m_pfnPreviousProc(::DefWindowProcW), m_bProcReplaced(false),
      m_hWndParent(nullptr) {}

CWindowWnd::~CWindowWnd() {
  // An object that goes before its window would leave a dangling pointer behind that the next
  // message dereferences; the window falls back to plain default processing instead.
  if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) return;
  if (reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA)) == this) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
  }
  if (static_cast<CWindowWnd*>(::GetPropW(m_hWnd, kObjectProperty)) == this) {
    ::RemovePropW(m_hWnd, kObjectProperty);
  }
  RestoreProc();
}

LPCWSTR CWindowWnd::SuperclassName() const { return nullptr; }

UINT CWindowWnd::ClassStyle() const { return 0; }

LRESULT CWindowWnd::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_pfnPreviousProc, m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnWindowGone(HWND /*hWnd*/) {}

bool CWindowWnd::RegisterOwnClass() {
  WNDCLASSW wc = {};
  wc.style = ClassStyle();
  wc.lpfnWndProc = CWindowWnd::WindowProcedure;
  wc.hInstance = CWindowHostUI::GetModuleInstance();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = WindowClassName();
  const ATOM ret = ::RegisterClassW(&wc);
  // Every window of a class registers it again; the class from the first time serves.
  UI_CHECK(ret!=0 || ::GetLastError()==1410L);
  return ret != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterBorrowedClass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, SuperclassName(), &wc) &&
      !::GetClassInfoExW(CWindowHostUI::GetModuleInstance(), SuperclassName(), &wc)) {
    UI_CHECK(!"Unable to locate window class");
    return false;
  }
  m_pfnPreviousProc = wc.lpfnWndProc;
  wc.lpfnWndProc = CWindowWnd::SuperclassProcedure;
  wc.hInstance = CWindowHostUI::GetModuleInstance();
  wc.lpszClassName = WindowClassName();
  const ATOM ret = ::RegisterClassExW(&wc);
  UI_CHECK(ret!=0 || ::GetLastError()==1410L);
  return ret != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle,
                        const RECT& rc, HMENU hMenu) {
  return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left,
                rc.bottom - rc.top, hMenu);
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x,
                        int y, int cx, int cy, HMENU hMenu) {
  const bool bRegistered =
      SuperclassName() != nullptr ? RegisterBorrowedClass() : RegisterOwnClass();
  if (!bRegistered) return nullptr;
  m_hWndParent = hwndParent;
  // m_hWnd is set while WM_NCCREATE is handled. A window that fails after that is destroyed
  // before CreateWindowExW returns, and one that owns its object has deleted it by then; one
  // that never got that far hears OnWindowGone here. Either way a failed Create has ended the
  // object once, and nothing touches it afterwards.
  bool bWindowMade = false;
  bool* const pOuterCreate = t_pWindowMade;
  t_pWindowMade = &bWindowMade;
  const HWND hWnd = ::CreateWindowExW(dwExStyle, WindowClassName(), pstrName, dwStyle, x, y, cx,
                                      cy, hwndParent, hMenu, CWindowHostUI::GetModuleInstance(),
                                      this);
  t_pWindowMade = pOuterCreate;
  UI_CHECK(hWnd != nullptr);
  if (hWnd == nullptr && !bWindowMade) OnWindowGone(nullptr);
  return hWnd;
}

bool CWindowWnd::Subclass(HWND hWnd) {
  UI_CHECK(::IsWindow(hWnd));
  UI_CHECK(m_hWnd == 0);
  if (!::IsWindow(hWnd) || m_hWnd != nullptr) return false;
  // The user data must be free: another owner's pointer there would be taken for ours.
  if (::GetWindowLongPtrW(hWnd, GWLP_USERDATA) != 0) return false;
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_hWnd = hWnd;
  m_pfnPreviousProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CWindowWnd::WindowProcedure)));
  m_bProcReplaced = true;
  return true;
}

void CWindowWnd::RestoreProc() {
  UI_CHECK(::IsWindow(m_hWnd));
  if (!::IsWindow(m_hWnd) || !m_bProcReplaced) return;
  // Pointer-sized access: the 32-bit window-long calls would cut a 64-bit procedure address.
  ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPreviousProc));
  if (reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA)) == this) {
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
  }
  m_pfnPreviousProc = ::DefWindowProcW;
  m_bProcReplaced = false;
}

void CWindowWnd::Show(bool bShow, bool bTakeFocus) {
  UI_CHECK(::IsWindow(m_hWnd));
  if (!::IsWindow(m_hWnd)) return;
  ::ShowWindow(m_hWnd, bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

int CWindowWnd::RunModal(bool bShow) {
  UI_CHECK(::IsWindow(m_hWnd));
  // Windows that own themselves delete this object when their window goes, so the loop must
  // not read the object's members once the window may be gone.
  const HWND hWnd = m_hWnd;
  const HWND hWndOwner = ::GetWindow(hWnd, GW_OWNER);
  ::ShowWindow(hWnd, bShow ? SW_SHOWNORMAL : SW_HIDE);
  ::EnableWindow(hWndOwner, FALSE);
  int nResult = 0;
  bool bQuit = false;
  WPARAM nQuitCode = 0;
  MSG msg = {};
  while (::IsWindow(hWnd)) {
    const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
    if (bGot == 0) {
      bQuit = true;
      nQuitCode = msg.wParam;
      break;
    }
    if (bGot == -1) break;
    if (msg.message == WM_CLOSE && msg.hwnd == hWnd) {
      nResult = static_cast<int>(msg.wParam);
      // The owner must be usable again before this window goes, or activation would pass to
      // another program's window.
      ::EnableWindow(hWndOwner, TRUE);
      ::SetFocus(hWndOwner);
    }
    if (!CWindowHostUI::TranslateForHosts(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  ::EnableWindow(hWndOwner, TRUE);
  if (hWndOwner != nullptr) ::SetFocus(hWndOwner);
  // The quit message ended this loop only; the enclosing loop must see it too.
  if (bQuit) ::PostQuitMessage(static_cast<int>(nQuitCode));
  return nResult;
}

void CWindowWnd::Close(UINT nRet) {
  UI_CHECK(::IsWindow(m_hWnd));
  if (!::IsWindow(m_hWnd)) return;
  Post(WM_CLOSE, static_cast<WPARAM>(nRet), 0);
}

void CWindowWnd::CenterOnOwner() {
  UI_CHECK(::IsWindow(m_hWnd));
  UI_CHECK((((DWORD)GetWindowLongW(m_hWnd, (-16)))&0x40000000L)==0);
  if (!::IsWindow(m_hWnd)) return;
  RECT rcWindow = {};
  ::GetWindowRect(m_hWnd, &rcWindow);
  const HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);

  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(
      ::MonitorFromWindow(hWndOwner != nullptr ? hWndOwner : m_hWnd, MONITOR_DEFAULTTONEAREST),
      &mi);
  const RECT rcWork = mi.rcWork;
  RECT rcCenter = rcWork;
  if (hWndOwner != nullptr && !::IsIconic(hWndOwner)) ::GetWindowRect(hWndOwner, &rcCenter);

  const int cx = rcWindow.right - rcWindow.left;
  const int cy = rcWindow.bottom - rcWindow.top;
  int x = (rcCenter.left + rcCenter.right) / 2 - cx / 2;
  int y = (rcCenter.top + rcCenter.bottom) / 2 - cy / 2;
  if (x < rcWork.left) {
    x = rcWork.left;
  } else if (x + cx > rcWork.right) {
    x = rcWork.right - cx;
  }
  if (y < rcWork.top) {
    y = rcWork.top;
  } else if (y + cy > rcWork.bottom) {
    y = rcWork.bottom - cy;
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetWindowIcon(UINT nResourceId) {
  UI_CHECK(::IsWindow(m_hWnd));
  if (!::IsWindow(m_hWnd)) return;
  // Shared icons stay with the module: setting an icon again or closing the window leaks none.
  const struct {
    int iMetricX, iMetricY;
    WPARAM nKind;
  } aSizes[] = {{SM_CXICON, SM_CYICON, ICON_BIG}, {SM_CXSMICON, SM_CYSMICON, ICON_SMALL}};
  for (const auto& size : aSizes) {
    HICON hIcon = static_cast<HICON>(::LoadImageW(
        CWindowHostUI::GetModuleInstance(), MAKEINTRESOURCEW(nResourceId), IMAGE_ICON,
        ::GetSystemMetrics(size.iMetricX), ::GetSystemMetrics(size.iMetricY),
        LR_DEFAULTCOLOR | LR_SHARED));
    UI_CHECK(hIcon);
    Send(WM_SETICON, size.nKind, reinterpret_cast<LPARAM>(hIcon));
  }
}

LRESULT CWindowWnd::Send(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  UI_CHECK(::IsWindow(m_hWnd));
  return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::Post(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  UI_CHECK(::IsWindow(m_hWnd));
  return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::CallPreviousProc(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_pfnPreviousProc, m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::FinishWindow(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                 bool bKeptInProperty) {
  const LRESULT lRes = ::CallWindowProcW(m_pfnPreviousProc, hWnd, uMsg, wParam, lParam);
  if (bKeptInProperty) {
    // A property left on the window when WM_NCDESTROY returns is never released.
    ::RemovePropW(hWnd, kObjectProperty);
  } else {
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
  }
  if (m_bProcReplaced) RestoreProc();
  m_hWnd = nullptr;
  OnWindowGone(hWnd);
  return lRes;
}

LRESULT CWindowWnd::RouteMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                 bool bKeptInProperty) {
  CWindowWnd* pThis = nullptr;
  if (uMsg == WM_NCCREATE) {
    pThis = static_cast<CWindowWnd*>(reinterpret_cast<LPCREATESTRUCTW>(lParam)->lpCreateParams);
    pThis->m_hWnd = hWnd;
    if (t_pWindowMade != nullptr) *t_pWindowMade = true;
    if (bKeptInProperty) {
      ::SetPropW(hWnd, kObjectProperty, pThis);
    } else {
      ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pThis));
    }
  } else {
    pThis = bKeptInProperty
                ? static_cast<CWindowWnd*>(::GetPropW(hWnd, kObjectProperty))
                : reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (uMsg == WM_NCDESTROY && pThis != nullptr) {
      return pThis->FinishWindow(hWnd, uMsg, wParam, lParam, bKeptInProperty);
    }
  }
  // Messages that come before WM_NCCREATE find no object yet.
  if (pThis == nullptr) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  return pThis->ProcessMessage(uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::WindowProcedure(HWND hWnd, UINT uMsg, WPARAM wParam,
                                             LPARAM lParam) {
  return RouteMessage(hWnd, uMsg, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::SuperclassProcedure(HWND hWnd, UINT uMsg, WPARAM wParam,
                                                 LPARAM lParam) {
  return RouteMessage(hWnd, uMsg, wParam, lParam, true);
}

}  // namespace SkinUI
