#include "engine/ClientProcesses.h"

#include <psapi.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "Common/tool.h"
#include "engine/SetupConstants.h"

namespace setup {
namespace {

// The program file of a process as the system recorded it when the process started; unlike
// the module list, the process cannot rewrite it.
std::wstring ImagePath(HANDLE process) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD chars = static_cast<DWORD>(buffer.size());
    if (QueryFullProcessImageNameW(process, 0, buffer.data(), &chars)) return std::wstring(buffer.data(), chars);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::wstring();
    buffer.resize(buffer.size() * 4);
  }
  return std::wstring();
}

// The folder as a prefix of the program paths below it: full, long names (image paths never
// carry short ones), ending with a separator so that "C:\Quill" does not cover "C:\Quillmere".
std::wstring FolderPrefix(const std::wstring& folder) {
  const DWORD chars = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
  if (chars == 0) return std::wstring();
  std::wstring full(chars, L'\0');
  full.resize(GetFullPathNameW(folder.c_str(), chars, &full[0], nullptr));
  const DWORD longChars = GetLongPathNameW(full.c_str(), nullptr, 0);
  if (longChars > 0) {
    std::wstring longPath(longChars, L'\0');
    longPath.resize(GetLongPathNameW(full.c_str(), &longPath[0], longChars));
    if (!longPath.empty()) full = longPath;
  }
  if (!full.empty() && full.back() != L'\\') full += L'\\';
  return full;
}

std::vector<DWORD> RunningProcessIds() {
  std::vector<DWORD> ids(1024);
  for (;;) {
    DWORD bytes = 0;
    if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return {};
    // A full list may have been cut: ask again with more room.
    if (bytes < ids.size() * sizeof(DWORD)) {
      ids.resize(bytes / sizeof(DWORD));
      return ids;
    }
    ids.resize(ids.size() * 2);
  }
}

BOOL CALLBACK AskToClose(HWND window, LPARAM clientIds) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  const auto& ids = *reinterpret_cast<const std::vector<DWORD>*>(clientIds);
  if (std::find(ids.begin(), ids.end(), owner) != ids.end()) PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

bool TerminateProcessesByPath(const std::wstring& installFolder, DWORD graceMs) {
  if (installFolder.empty()) return false;
  const std::wstring prefix = FolderPrefix(installFolder);
  const std::wstring self = ImagePath(GetCurrentProcess());
  if (prefix.empty() || self.empty()) return false;

  std::deque<ScopedHandle> clients;
  std::vector<DWORD> clientIds;
  for (DWORD id : RunningProcessIds()) {
    if (id == 0 || id == GetCurrentProcessId()) continue;
    ScopedHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
    if (!process.valid()) continue;
    const std::wstring image = ImagePath(process.get());
    if (image.size() <= prefix.size() || !EqualsIgnoringCase(image.substr(0, prefix.size()), prefix)) continue;
    if (EqualsIgnoringCase(image, self)) continue;  // another run of this installer
    clients.emplace_back(process.release());
    clientIds.push_back(id);
  }
  if (clients.empty()) return false;

  EnumWindows(AskToClose, reinterpret_cast<LPARAM>(&clientIds));
  const ULONGLONG deadline = GetTickCount64() + graceMs;
  for (const ScopedHandle& client : clients) {
    const ULONGLONG now = GetTickCount64();
    WaitForSingleObject(client.get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0);
  }
  for (const ScopedHandle& client : clients) {
    if (WaitForSingleObject(client.get(), 0) != WAIT_TIMEOUT) continue;
    DWORD exitCode = 0;
    GetExitCodeProcess(client.get(), &exitCode);
    // The uninstall that follows replaces the program's files: give the end a moment to
    // release them.
    if (TerminateProcess(client.get(), exitCode)) WaitForSingleObject(client.get(), 5000);
  }
  return true;
}

std::wstring FindRunningClientFolder() {
  const std::wstring self = ImagePath(GetCurrentProcess());
  for (DWORD id : RunningProcessIds()) {
    if (id == 0 || id == GetCurrentProcessId()) continue;
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process.valid()) continue;
    const std::wstring image = ImagePath(process.get());
    const size_t cut = image.find_last_of(L'\\');
    if (cut == std::wstring::npos || !EqualsIgnoringCase(image.substr(cut + 1), kClientProcessName)) continue;
    if (EqualsIgnoringCase(image, self)) continue;
    return image.substr(0, cut + 1);
  }
  return std::wstring();
}

}  // namespace setup
