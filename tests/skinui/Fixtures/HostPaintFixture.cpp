#include "HostPaintFixture.h"
#include "support/DibCanvas.h"

namespace host_paint_testing {

namespace {

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  SkinUI::CWindowHostUI* pHost =
      reinterpret_cast<SkinUI::CWindowHostUI*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (uMsg == WM_NCCREATE) {
    const CREATESTRUCTW* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
  } else if (pHost != nullptr && pHost->GetHostWindow() == hWnd) {
    LRESULT lRes = 0;
    if (pHost->HandleWindowMessage(uMsg, wParam, lParam, lRes)) return lRes;
  }
  return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

}  // namespace

HWND HostPaintTest::CreateHostWindow(HWND hParent, DWORD dwStyle, int x, int y, int cx, int cy,
                                     SkinUI::CWindowHostUI* pHost) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = HostWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuillHostPaintTest";
  ::RegisterClassW(&wc);  // fails harmlessly when an earlier test registered it
  HWND hWnd = ::CreateWindowExW(WS_EX_TOPMOST * (hParent == nullptr), wc.lpszClassName, L"paint",
                                dwStyle, x, y, cx, cy, hParent, nullptr, wc.hInstance, pHost);
  if (hWnd != nullptr) ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
  return hWnd;
}

void HostPaintTest::PumpFor(DWORD ms) {
  const DWORD dwStart = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - dwStart < ms) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  }
}

int HostPaintTest::CountEvents(const wchar_t* type) const {
  int n = 0;
  for (const std::wstring& event : m_journal.events) n += event == type ? 1 : 0;
  return n;
}

std::vector<uint32_t> HostPaintTest::ReadOffscreen() const {
  return testing_support::ReadBitmapPixels(m_host.GetPaintOffscreenBitmap(), kWidth, kHeight);
}

uint32_t HostPaintTest::ScreenRgbAt(int x, int y) const {
  HDC hDC = ::GetDC(m_hWnd);
  const COLORREF cr = ::GetPixel(hDC, x, y);
  ::ReleaseDC(m_hWnd, hDC);
  return (GetRValue(cr) << 16) | (GetGValue(cr) << 8) | GetBValue(cr);
}

}  // namespace host_paint_testing

namespace host_paint_testing {

int LiveGdiObjects() {
  const DWORD dwCount = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (dwCount != 0) return static_cast<int>(dwCount);
  int nLive = 0;
  for (UINT_PTR slot = 1; slot < 0x10000; ++slot) {
    if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++nLive;
  }
  return nLive;
}

}  // namespace host_paint_testing
