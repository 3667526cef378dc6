#pragma once
// What the installers the setup runs (the runtime installer, Windows Installer's MsiExec)
// say by their exit codes, and running one until it gets its turn.

#include <string>

#include "engine/SetupTimings.h"

namespace setup {

// Windows Installer's exit codes, which installers built on it share.
inline constexpr unsigned long kInstallSuccess = 0;
inline constexpr unsigned long kInstallUserExit = 1602;        // the user cancelled
inline constexpr unsigned long kInstallFailure = 1603;         // a fatal error
inline constexpr unsigned long kInstallAlreadyRunning = 1618;  // another installation is in progress
inline constexpr unsigned long kInstallRebootInitiated = 1641;
inline constexpr unsigned long kInstallRebootRequired = 3010;

// Whether the installation was made: success, with or without a restart to come.
bool InstallerSucceeded(unsigned long exitCode);

// Starts the command line and waits for it; while it answers that another installation is
// in progress it is started again after the timings' pause, as often as they allow. Each
// exit code is logged with `what` ("client installer", ...). False, with the system error
// code in `error`, when it cannot start; otherwise `exitCode` is its last one.
bool RunInstallerInTurn(const std::wstring& commandLine, const SetupTimings& timings, const char* what,
                        unsigned long& exitCode, unsigned long& error);

}  // namespace setup
