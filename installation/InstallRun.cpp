#include "InstallRun.h"

#include <string>
#include <vector>

#include "Common/tool.h"
#include "DesktopLaunch.h"
#include "FolderTree.h"
#include "SetupConstants.h"
#include "SetupContext.h"
#include "SetupLog.h"

namespace setup {
namespace {

constexpr const wchar_t* kProductListKey = L"Installer\\Products";

bool ListHoldsRuntime(HKEY root, const wchar_t* path, REGSAM view) {
  return FindSubkey(root, path, KEY_READ | view, [](HKEY subkey) {
    std::wstring name;
    return ReadRegistryString(subkey, L"DisplayName", name) && name == kVcRuntimeMarker;
  });
}

bool KeptConfigPath(std::wstring& path) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  DWORD n = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (n >= buffer.size()) {
    buffer.assign(n + 1, L'\0');
    n = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  if (n == 0 || n >= buffer.size()) return false;
  path.assign(buffer.data(), n);
  path += kKeptConfigName;
  return true;
}

bool InstalledConfigPath(std::wstring& path) {
  if (!ReadInstallPath(path)) return false;
  path += kClientConfigRelative;
  return true;
}

}  // namespace

bool FindVcRuntimeInUninstallList() {
  return ListHoldsRuntime(HKEY_LOCAL_MACHINE, kUninstallListKey, kRuntimeRegistryView);
}

bool FindVcRuntimeInProductList() {
  return ListHoldsRuntime(HKEY_CLASSES_ROOT, kProductListKey, 0);
}

bool IsVcRuntimeInstalled() {
  return FindVcRuntimeInUninstallList() || FindVcRuntimeInProductList();
}

bool RunAndWait(const std::wstring& commandLine, unsigned long& error) {
  std::vector<wchar_t> mutableLine(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    error = GetLastError();
    return false;
  }
  WaitForSingleObject(started.hProcess, INFINITE);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

bool ReadInstallPath(std::wstring& installPath) {
  return ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, kInstallPathValue, installPath,
                            kClientRegistryView) &&
         !installPath.empty();
}

bool SaveClientConfig() {
  std::wstring kept, installed;
  if (!KeptConfigPath(kept) || !InstalledConfigPath(installed)) return false;
  return CopyFileW(installed.c_str(), kept.c_str(), FALSE) != FALSE;
}

bool RestoreClientConfig() {
  std::wstring kept, installed;
  if (!KeptConfigPath(kept) || !InstalledConfigPath(installed)) return false;
  return CopyFileW(kept.c_str(), installed.c_str(), FALSE) != FALSE;
}

void RunInstallation(const SetupContext& context, bool restoreConfig) {
  const std::wstring setupDir = context.m_szSetupDir;
  // Both paths quoted: an unquoted path with a space is first tried cut at that space.
  const std::wstring commands[2] = {
      L"\"" + setupDir + L"\\" + kRuntimeInstallerName + L"\"",
      SystemFolder() + L"\\MsiExec.exe /i \"" + setupDir + L"\\" + kClientPackageName + L"\"",
  };

  const int firstStep = IsVcRuntimeInstalled() ? 1 : 0;
  for (int step = firstStep; step < 2; ++step) {
    unsigned long error = 0;
    // A cancelled or failed installer does not stop the run; only one that cannot start.
    if (!RunAndWait(commands[step], error)) {
      WriteSetupLogF("setup " QUILL_PRODUCT_WORD_A " failed! ErrCode:%lu Num:%d", error, step);
      return;
    }
  }

  if (restoreConfig) RestoreClientConfig();

  // No "InstallPath" means the client's installer was cancelled or failed: the extracted
  // package stays for another run.
  std::wstring installPath;
  if (!ReadInstallPath(installPath)) return;
  LaunchAsDesktopUser((installPath + kProductWord).c_str());

  DeleteFolderTree(context.m_szDataDir);
}

}  // namespace setup
