// The platform's own floor, apart from the installer: a program that imports only the system's
// windowing libraries shows a plain window of the main window's size, painted white, for a
// moment. bench_setup_window.exe --empty shows the same window from a process that has loaded
// everything the installer imports, so the two rows tell those imports' share from the
// platform's. Run by run-setup-bench.sh, never by ctest. Prints one line:
//   first_frame_since_start_ms first_frame_since_main_ms peak_ws_mib
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "support/BenchTiming.h"

using bench_timing::ProcessAgeMs;

namespace {

double g_mainAgeMs = 0;
double g_firstFrameAgeMs = -1;

LRESULT CALLBACK PlainWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg != WM_PAINT) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(hWnd, &paint);
  FillRect(hdc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EndPaint(hWnd, &paint);
  if (g_firstFrameAgeMs < 0) g_firstFrameAgeMs = ProcessAgeMs();
  return 0;
}

}  // namespace

int wmain() {
  g_mainAgeMs = ProcessAgeMs();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = PlainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"BenchPlainWindow";
  RegisterClassW(&wc);
  HWND hWnd = CreateWindowExW(0, wc.lpszClassName, L"bench", WS_POPUP | WS_VISIBLE, 100, 100, 620, 240, nullptr,
                              nullptr, wc.hInstance, nullptr);
  const DWORD end = GetTickCount() + 300;
  MSG msg;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  printf("%.1f %.1f %.1f\n", g_firstFrameAgeMs, g_firstFrameAgeMs - g_mainAgeMs,
         static_cast<double>(counters.PeakWorkingSetSize) / (1 << 20));
  DestroyWindow(hWnd);
  return g_firstFrameAgeMs < 0 ? 1 : 0;
}
