#include "engine/InstallRun.h"

#include <string>
#include <vector>

#include "Common/LongPath.h"
#include "Common/tool.h"
#include "engine/DesktopLaunch.h"
#include "engine/FolderTree.h"
#include "engine/InstallerExitCode.h"
#include "engine/KeptConfig.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

// The machine's own classes: the merged view of HKEY_CLASSES_ROOT also shows the current
// user's classes, which that user may write without any rights.
constexpr const wchar_t* kProductListKey = L"SOFTWARE\\Classes\\Installer\\Products";

// The current folder of a program the elevated run starts: the folder its file lies in (the
// extraction folder for the runtime installer, the system folder for MsiExec), never the
// installer's own, which whoever started the installer chose and could have filled with
// libraries and files an installer picks up from its current folder. The system folder when
// the program is not named by a full path.
std::wstring WorkingFolderFor(const std::wstring& commandLine) {
  std::wstring program;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    program = commandLine.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
  } else {
    program = commandLine.substr(0, commandLine.find_first_of(L" \t"));
  }
  const size_t cut = program.find_last_of(L'\\');
  if (!IsFullPathName(program) || cut == std::wstring::npos) return SystemFolder();
  // "C:\x.exe" keeps its separator: "C:" alone would name that drive's current folder.
  return program.substr(0, program[cut - 1] == L':' ? cut + 1 : cut);
}

bool ListHoldsRuntime(HKEY root, const wchar_t* path, REGSAM view) {
  return FindSubkey(root, path, KEY_READ | view, [](HKEY subkey) {
    std::wstring name;
    return ReadRegistryString(subkey, L"DisplayName", name) && name == kVcRuntimeMarker;
  });
}

}  // namespace

bool FindVcRuntimeInUninstallList() {
  return ListHoldsRuntime(HKEY_LOCAL_MACHINE, kUninstallListKey, kRuntimeRegistryView);
}

bool FindVcRuntimeInProductList() {
  return ListHoldsRuntime(HKEY_LOCAL_MACHINE, kProductListKey, 0);
}

bool IsVcRuntimeInstalled() {
  return FindVcRuntimeInUninstallList() || FindVcRuntimeInProductList();
}

bool RunAndWait(const std::wstring& commandLine, unsigned long& error, unsigned long* exitCode) {
  std::vector<wchar_t> mutableLine(commandLine.c_str(), commandLine.c_str() + commandLine.size() + 1);
  const std::wstring workingFolder = WorkingFolderFor(commandLine);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started)) {
    error = GetLastError();
    return false;
  }
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 0;
  if (exitCode) *exitCode = GetExitCodeProcess(started.hProcess, &code) ? code : static_cast<unsigned long>(-1);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

bool ReadInstallPath(std::wstring& installPath) {
  return ReadClientRegistryString(kProductKey, kInstallPathValue, installPath) && !installPath.empty();
}

InstallResult RunInstallation(const SetupContext& context, bool restoreConfig) {
  const std::wstring setupDir = context.m_szSetupDir;
  // Both paths quoted: an unquoted path with a space is first tried cut at that space.
  const std::wstring commands[2] = {
      L"\"" + setupDir + L"\\" + kRuntimeInstallerName + L"\"" + (context.m_bUnattended ? L" /q" : L""),
      SystemFolder() + L"\\MsiExec.exe /i \"" + setupDir + L"\\" + kClientPackageName + L"\"" +
          (context.m_bUnattended ? L" /qn" : L""),
  };

  const char* const names[2] = {"runtime installer", "client installer"};
  const int firstStep = IsVcRuntimeInstalled() ? 1 : 0;
  unsigned long clientExitCode = 0;
  for (int step = firstStep; step < 2; ++step) {
    unsigned long error = 0;
    unsigned long exitCode = 0;
    if (!RunInstallerInTurn(commands[step], context.m_timings, names[step], exitCode, error)) {
      WriteSetupLogF("setup " QUILL_PRODUCT_WORD_A " failed! ErrCode:%lu Num:%d", error, step);
      return InstallResult::kFailed;
    }
    clientExitCode = exitCode;
    if (step == 1) context.m_facts.nInstallerExit = static_cast<long>(exitCode);
    if (InstallerSucceeded(exitCode)) continue;
    WriteSetupLogF("setup " QUILL_PRODUCT_WORD_A " failed! ExitCode:%lu Num:%d", exitCode, step);
    // The runtime may be there in another version, or the client may bring what it needs:
    // its package decides. A client that did not install leaves nothing to configure or
    // start, and a kept configuration waits for the next run.
    if (step == 1) return InstallResult::kFailed;
  }

  // No "InstallPath" means the client's installer was cancelled or failed: the extracted
  // package stays for another run.
  std::wstring installPath;
  if (!ReadInstallPath(installPath)) {
    WriteSetupLog("the client installer left no InstallPath");
    return InstallResult::kFailed;
  }
  if (restoreConfig || HasKeptClientConfig(context)) RestoreClientConfig(context);
  const bool restartNeeded = clientExitCode != kInstallSuccess;
  if (restartNeeded) {
    WriteSetupLogF("the client installer asks for a restart (%lu): the client is not started", clientExitCode);
  } else {
    LaunchAsDesktopUser((installPath + kProductWord).c_str());
  }
  DeleteFolderTree(context.m_szDataDir);
  return restartNeeded ? InstallResult::kRestartNeeded : InstallResult::kInstalled;
}

}  // namespace setup
