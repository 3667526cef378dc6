#include "Core/UIOffscreenSkin.h"

#include "Core/UIControl.h"

namespace SkinUI {

namespace {

const WCHAR kWindowClassName[] = L"SkinUIOffscreen";

// The window only holds the host's device context and size; nothing is ever shown in it.
bool RegisterWindowClass(HINSTANCE hInstance) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = hInstance;
  wc.lpszClassName = kWindowClassName;
  return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

COffscreenSkin::COffscreenSkin()
    : m_hWnd(nullptr),
      m_pHost(new CWindowHostUI),
      m_pBuilder(new CSkinBuilder),
      m_bBuilt(false) {}

COffscreenSkin::~COffscreenSkin() { Release(); }

// The host goes first: its tree and shadow still talk to the window while they are destroyed.
void COffscreenSkin::Release() {
  m_pHost.reset();
  if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  m_bBuilt = false;
}

bool COffscreenSkin::Build(LPCWSTR pstrSkin, UINT uDpi, SIZE szSkin, bool bHighContrast,
                           IDialogBuilderCallback* pCallback) {
  if (m_hWnd != nullptr) {
    Release();
    m_pHost.reset(new CWindowHostUI);
    m_pBuilder.reset(new CSkinBuilder);
  }
  const HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
  if (!RegisterWindowClass(hInstance)) return false;
  // Never visible, so it has no frame: its window rectangle is its client area.
  m_hWnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClassName, nullptr, WS_POPUP, 0, 0, 0, 0,
                             nullptr, nullptr, hInstance, nullptr);
  if (m_hWnd == nullptr) return false;
  m_pHost->AttachWindow(m_hWnd);
  // Before the build: fonts and lengths are taken at the host's DPI as they are registered.
  m_pHost->SetDpi(uDpi);
  m_pHost->ForceHighContrast(bHighContrast);
  CControlUI* pRoot = m_pBuilder->Build(pstrSkin, nullptr, pCallback, m_pHost.get());
  if (pRoot == nullptr) return false;
  if (szSkin.cx > 0 && szSkin.cy > 0) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_pHost->ScalePixels(szSkin.cx),
                   m_pHost->ScalePixels(szSkin.cy), SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  }
  m_pHost->AttachRoot(pRoot);
  m_pHost->LayOutNow();
  m_bBuilt = true;
  return true;
}

SIZE COffscreenSkin::GetSize() const {
  RECT rc = {};
  if (m_hWnd != nullptr) ::GetClientRect(m_hWnd, &rc);
  return SIZE{rc.right, rc.bottom};
}

bool COffscreenSkin::Print(DibSurface& picture) {
  if (!m_bBuilt) return false;
  const SIZE sz = GetSize();
  if (!picture.Create(nullptr, sz.cx, sz.cy)) return false;
  m_pHost->HandlePrintClient(picture.DC(), PRF_CLIENT | PRF_CHILDREN);
  ::GdiFlush();
  return true;
}

}  // namespace SkinUI
