#include "SingleInstance.h"

#include <aclapi.h>
#include <sddl.h>

#include <cwchar>

#include "Common/ObjectSecurity.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

constexpr DWORD kWindowSearchStepMs = 100;

// Owner Administrators; protected list: SYSTEM and Administrators alone, with every right.
constexpr const wchar_t* kInstanceSecurity = L"O:BAD:P(A;;GA;;;SY)(A;;GA;;;BA)";

struct WindowSearch {
  const wchar_t* windowClass;
  const wchar_t* title;
  HWND titled = nullptr;
  HWND anyOfClass = nullptr;
  HWND hidden = nullptr;
};

BOOL CALLBACK VisitTopLevelWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  wchar_t name[256];
  if (!GetClassNameW(window, name, 256) || wcscmp(name, search->windowClass) != 0) return TRUE;
  // Our own process has no window of that class yet; any found belongs to the other run.
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) return TRUE;
  if (!IsWindowVisible(window)) {
    if (!search->hidden) search->hidden = window;
    return TRUE;
  }
  if (!search->anyOfClass) search->anyOfClass = window;
  wchar_t text[256];
  if (GetWindowTextW(window, text, 256) && wcscmp(text, search->title) == 0) {
    search->titled = window;
    return FALSE;
  }
  return TRUE;
}

bool IsSystemOrAdministrators(PSID sid) {
  return IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
}

}  // namespace

PSECURITY_DESCRIPTOR NewInstanceSecurity() { return SecurityFromText(kInstanceSecurity); }

// Anyone the object lets do anything at all could hold it open after the installer ends.
bool IsInstallerObjectSecurity(PSECURITY_DESCRIPTOR security) {
  return GrantsOnlyTo(security, ~ACCESS_MASK(0), IsSystemOrAdministrators);
}

bool SingleInstance::Claim(const wchar_t* name) {
  m_bHeldByInstaller = false;
  PSECURITY_DESCRIPTOR security = NewInstanceSecurity();
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, security, FALSE};
  m_mutex.reset(CreateMutexW(security ? &attributes : nullptr, FALSE, name));
  const DWORD error = GetLastError();
  LocalFree(security);
  if (m_mutex.valid() && error != ERROR_ALREADY_EXISTS) return true;

  // Held already. The object itself tells who made it: an installer's lets this elevated
  // process open it, and anything else that cannot even be read is no installer's.
  ScopedHandle existing(m_mutex.valid() ? m_mutex.release() : OpenMutexW(READ_CONTROL, FALSE, name));
  PSECURITY_DESCRIPTOR found = nullptr;
  if (existing.valid() && GetSecurityInfo(existing.get(), SE_KERNEL_OBJECT,
                                          OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                          nullptr, nullptr, &found) == ERROR_SUCCESS) {
    m_bHeldByInstaller = IsInstallerObjectSecurity(found);
    LocalFree(found);
  }
  return false;
}

HWND FindRunningInstallerWindow(const wchar_t* windowClass, const wchar_t* title, DWORD waitMs) {
  const ULONGLONG giveUp = GetTickCount64() + waitMs;
  for (;;) {
    WindowSearch search{windowClass, title};
    EnumWindows(VisitTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    const HWND window = search.titled ? search.titled : search.anyOfClass ? search.anyOfClass : search.hidden;
    if (window || GetTickCount64() >= giveUp) return window;
    Sleep(kWindowSearchStepMs);
  }
}

HWND BringRunningInstallerToFront(const wchar_t* windowClass, const wchar_t* title, DWORD waitMs) {
  const HWND window = FindRunningInstallerWindow(windowClass, title, waitMs);
  if (window && IsWindowVisible(window)) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
  }
  return window;
}

bool GoOnBesideNameHolder(const SingleInstance& instance, const wchar_t* windowClass, const wchar_t* title,
                          DWORD waitMs) {
  // Only a holder that may be an installer is given time to show its window. One that is
  // not may still stand beside a running installer that went on the same way: a window up
  // already is that installer's.
  const bool mayBeInstaller = instance.HeldByInstaller();
  if (BringRunningInstallerToFront(windowClass, title, mayBeInstaller ? waitMs : 0)) return false;
  WriteSetupLog(mayBeInstaller ? "single instance: no installer window answered, going on"
                               : "single instance: the name is held by a program that is no installer, going on");
  return true;
}

}  // namespace setup
