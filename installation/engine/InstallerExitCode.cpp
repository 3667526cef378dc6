#include "engine/InstallerExitCode.h"

#include <windows.h>

#include "engine/InstallRun.h"
#include "engine/SetupLog.h"

namespace setup {

bool InstallerSucceeded(unsigned long exitCode) {
  return exitCode == kInstallSuccess || exitCode == kInstallRebootRequired || exitCode == kInstallRebootInitiated;
}

bool RunInstallerInTurn(const std::wstring& commandLine, const SetupTimings& timings, const char* what,
                        unsigned long& exitCode, unsigned long& error) {
  for (int retry = 0;; ++retry) {
    if (!RunAndWait(commandLine, error, &exitCode)) return false;
    WriteSetupInfo("%s exit code %lu", what, exitCode);
    if (exitCode != kInstallAlreadyRunning || retry >= timings.nBusyInstallerRetries) return true;
    WriteSetupInfo("another installation is in progress: %s starts again in %lu ms", what,
                   timings.nBusyInstallerPauseMs);
    Sleep(timings.nBusyInstallerPauseMs);
  }
}

}  // namespace setup
