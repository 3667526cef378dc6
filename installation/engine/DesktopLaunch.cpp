#include "engine/DesktopLaunch.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "Common/tool.h"
#include "engine/DllSearch.h"

namespace setup {

bool IsProcessElevated() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) return false;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size)) return false;
  return elevation.TokenIsElevated != 0;
}

CreateProcessWithTokenFn LoadCreateProcessWithToken() {
  HMODULE advapi = LoadSystemLibrary(L"Advapi32.dll");
  if (!advapi) return nullptr;
  auto function = reinterpret_cast<CreateProcessWithTokenFn>(
      reinterpret_cast<void*>(GetProcAddress(advapi, "CreateProcessWithTokenW")));
  // The program links Advapi32 itself, so the module and the function stay after this free.
  FreeLibrary(advapi);
  return function;
}

namespace {

// GetVersionExW is deprecated but still the question asked here: a program without a
// compatibility manifest sees 6.x on every system since user account control came.
bool HasUserAccountControl() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = GetVersionExW(&version);
#pragma GCC diagnostic pop
  return ok && version.dwMajorVersion >= 6;
}

bool InSession(DWORD processId, DWORD session) {
  DWORD processSession = 0;
  return ProcessIdToSessionId(processId, &processSession) && processSession == session;
}

// The desktop shell of the installer's own session: another user's session has a shell of
// its own, whose token would start the client as that user. The shell window's owner is
// asked first; without a shell window, the first process of that name in the session.
DWORD FindDesktopShell(const wchar_t* exeName, bool& snapshotTaken) {
  DWORD session = 0;
  snapshotTaken = false;
  if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) return 0;
  DWORD shellWindowOwner = 0;
  if (HWND shellWindow = GetShellWindow()) GetWindowThreadProcessId(shellWindow, &shellWindowOwner);

  ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  snapshotTaken = snapshot.valid();
  if (!snapshotTaken) return 0;
  DWORD first = 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (!EqualsIgnoringCase(entry.szExeFile, exeName) || !InSession(entry.th32ProcessID, session)) continue;
    if (entry.th32ProcessID == shellWindowOwner) return shellWindowOwner;
    if (first == 0) first = entry.th32ProcessID;
  }
  return first;
}

// The program path as the first, quoted token of a command line: unquoted, a path with
// spaces such as "C:\Program Files\..." would first be tried as "C:\Program.exe".
std::vector<wchar_t> QuotedCommandLine(const wchar_t* path) {
  std::wstring text = std::wstring(L"\"") + path + L"\"";
  return std::vector<wchar_t>(text.c_str(), text.c_str() + text.size() + 1);
}

}  // namespace

bool LaunchWithShellToken(const wchar_t* path, const wchar_t* shellProcess) {
  bool snapshotTaken = false;
  const DWORD shellId = FindDesktopShell(shellProcess, snapshotTaken);
  if (!snapshotTaken || shellId == 0) return false;

  ScopedHandle shell(OpenProcess(PROCESS_ALL_ACCESS, FALSE, shellId));
  if (!shell.valid()) return false;
  ScopedHandle shellToken;
  if (!OpenProcessToken(shell.get(), TOKEN_ALL_ACCESS, shellToken.receive())) return false;
  ScopedHandle userToken;
  if (!DuplicateTokenEx(shellToken.get(), TOKEN_ALL_ACCESS, nullptr, SecurityAnonymous, TokenPrimary,
                        userToken.receive()))
    return false;

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_SHOW;
  std::vector<wchar_t> commandLine = QuotedCommandLine(path);

  const CreateProcessWithTokenFn createWithToken = LoadCreateProcessWithToken();
  if (!createWithToken) return false;
  PROCESS_INFORMATION started = {};
  if (!createWithToken(userToken.get(), 0, nullptr, commandLine.data(), 0, nullptr, nullptr, &startup, &started))
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

bool LaunchThroughShell(const wchar_t* path) {
  SHELLEXECUTEINFOW request = {};
  request.cbSize = sizeof request;
  request.lpVerb = L"open";
  request.lpFile = path;
  request.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&request) != FALSE;
}

bool LaunchAsDesktopUser(const wchar_t* path) {
  if (HasUserAccountControl() && IsProcessElevated()) return LaunchWithShellToken(path);
  return LaunchThroughShell(path);
}

}  // namespace setup
