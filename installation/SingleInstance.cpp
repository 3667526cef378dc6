#include "SingleInstance.h"

#include <cwchar>

namespace setup {
namespace {

constexpr DWORD kWindowSearchStepMs = 100;

struct WindowSearch {
  const wchar_t* windowClass;
  const wchar_t* title;
  HWND titled = nullptr;
  HWND anyOfClass = nullptr;
};

BOOL CALLBACK VisitTopLevelWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t name[256];
  if (!GetClassNameW(window, name, 256) || wcscmp(name, search->windowClass) != 0) return TRUE;
  // Our own process has no window of that class yet; any found belongs to the other run.
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) return TRUE;
  if (!search->anyOfClass) search->anyOfClass = window;
  wchar_t text[256];
  if (GetWindowTextW(window, text, 256) && wcscmp(text, search->title) == 0) {
    search->titled = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool SingleInstance::Claim(const wchar_t* name) {
  m_mutex.reset(CreateMutexW(nullptr, FALSE, name));
  // Not even openable: held by an installer of another account or session.
  if (!m_mutex.valid()) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    m_mutex.reset();
    return false;
  }
  return true;
}

HWND BringRunningInstallerToFront(const wchar_t* windowClass, const wchar_t* title, DWORD waitMs) {
  const ULONGLONG giveUp = GetTickCount64() + waitMs;
  for (;;) {
    WindowSearch search{windowClass, title};
    EnumWindows(VisitTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    const HWND window = search.titled ? search.titled : search.anyOfClass;
    if (window) {
      if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
      SetForegroundWindow(window);
      return window;
    }
    if (GetTickCount64() >= giveUp) return nullptr;
    Sleep(kWindowSearchStepMs);
  }
}

}  // namespace setup
