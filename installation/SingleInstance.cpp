#include "SingleInstance.h"

#include <aclapi.h>
#include <sddl.h>

#include <cwchar>

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

bool IsSid(PSID sid, WELL_KNOWN_SID_TYPE type) {
  BYTE known[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof known;
  return sid && CreateWellKnownSid(type, nullptr, known, &size) && EqualSid(sid, known);
}

bool IsSystemOrAdministrators(PSID sid) {
  return IsSid(sid, WinLocalSystemSid) || IsSid(sid, WinBuiltinAdministratorsSid);
}

}  // namespace

PSECURITY_DESCRIPTOR NewInstanceSecurity() {
  PSECURITY_DESCRIPTOR security = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kInstanceSecurity, SDDL_REVISION_1, &security,
                                                            nullptr))
    return nullptr;
  return security;
}

bool IsInstallerObjectSecurity(PSECURITY_DESCRIPTOR security) {
  PSID owner = nullptr;
  PACL list = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  if (!security || !GetSecurityDescriptorOwner(security, &owner, &defaulted) || !IsSystemOrAdministrators(owner))
    return false;
  // No list at all lets everyone open it.
  if (!GetSecurityDescriptorDacl(security, &present, &list, &defaulted) || !present || !list) return false;
  for (DWORD index = 0; index < list->AceCount; ++index) {
    void* entry = nullptr;
    if (!GetAce(list, index, &entry)) return false;
    switch (static_cast<const ACE_HEADER*>(entry)->AceType) {
      case ACCESS_ALLOWED_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
        // Both lay out the mask and the account the same way.
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        if (allowed->Mask != 0 && !IsSystemOrAdministrators(&allowed->SidStart)) return false;
        break;
      }
      case ACCESS_ALLOWED_COMPOUND_ACE_TYPE:
      case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
      case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
        return false;  // grants that named objects do not use are not judged, only refused
      default:
        break;  // denials and audit entries grant nothing
    }
  }
  return true;
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
    if (search.hidden) return search.hidden;
    if (GetTickCount64() >= giveUp) return nullptr;
    Sleep(kWindowSearchStepMs);
  }
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
