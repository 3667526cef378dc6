#pragma once
// The installation run: the x86 runtime libraries when they are missing, the client's
// Windows Installer package, the configuration put back after an upgrade, the client started
// as the desktop user and the data folder removed. Runs on the main window's thread and
// waits for each installer.

#include <string>

namespace setup {

struct SetupContext;

// Runs the installers found in the context's extraction folder. `restoreConfig` is true
// when the run follows an uninstall; a configuration kept in the data folder, by this run or
// by an earlier one whose installation failed, then replaces the freshly installed one
// before the client starts. Each installer's exit code is logged; one that reports another
// installation in progress is run again once that is over (the context's timings). A
// failure to start an installer, or a client installer that reports failure (cancelled
// included), is logged and ends the run; so does a package that leaves no "InstallPath".
// The data folder, with any kept configuration, then stays for the next run. A runtime
// installer that reports failure is logged, and the client package is run all the same.
// A client installer that installed but asks for a restart (3010, 1641) may have left the
// new files waiting for it: the configuration is put back, but nothing is started, as the
// program in place may still be the old one.
enum class InstallResult { kInstalled, kRestartNeeded, kFailed };
InstallResult RunInstallation(const SetupContext& context, bool restoreConfig);

// Whether the runtime marker is in the uninstall list, or failing that in the installer's
// product list.
bool IsVcRuntimeInstalled();
bool FindVcRuntimeInUninstallList();
bool FindVcRuntimeInProductList();

// The installed client's folder ("InstallPath" of the product key in the first client
// registry view that has one, ending with a separator); false when the key or the value is
// missing or the value is empty.
bool ReadInstallPath(std::wstring& installPath);

// Starts a command line (no quotes added) with the installer's own environment, in the
// folder of the program it names (the system folder when it names none by its full path),
// and waits, without a time limit, for its process to end; `exitCode`, when given,
// gets the process's exit code. False, with the system error code in `error`, when it
// cannot start.
bool RunAndWait(const std::wstring& commandLine, unsigned long& error, unsigned long* exitCode = nullptr);

}  // namespace setup
