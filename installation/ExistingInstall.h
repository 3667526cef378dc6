#pragma once
// What happens when the package is ready: look for an installed client, ask whether to
// replace it, and either install at once or stop the client, keep its configuration,
// uninstall it and install the new one. The main window is closed at the end.

#include <windows.h>

#include <functional>
#include <string>

#include "SetupTimings.h"

namespace setup {

struct SetupContext;

// The uninstall prompt: shown with the installed version (empty when the client was found
// only through the uninstall list) and the published one; returns kPromptConfirmed when the
// user confirmed, anything else (declined, closed) leaves the machine as it is.
using ShowUninstallPromptFn =
    std::function<int(const std::wstring& installedVersion, const std::wstring& publishedVersion)>;
inline constexpr int kPromptConfirmed = 1;

// The handler of WM_SETUP_PACKAGE_READY on the main window's thread: hides `mainWnd`, acts
// on what is installed and posts WM_CLOSE to `mainWnd`, or WM_SETUP_ERROR with the disk
// error when an installed client was left in place because its configuration could not be
// kept.
void OnPackageReady(SetupContext& context, HWND mainWnd, const ShowUninstallPromptFn& showPrompt);

// The uninstall-list entry whose display name is the product word (ignoring case), the first
// one found in the client registry views: its "UninstallString" from the first "{" on (empty
// when it has none), its "InstallLocation" (empty when it has none) and its view.
struct UninstallEntry {
  std::wstring productCode;
  std::wstring installLocation;
  REGSAM view = 0;
};
bool FindUninstallEntryByName(UninstallEntry& entry);

// The product code of that entry; empty when there is no such entry or it has no
// "UninstallString".
void FindProductCodeByName(std::wstring& productCode);

// Runs the uninstall command and waits for it, in turn with other installations (see
// InstallerExitCode.h); logs "delete quillmere failed! [code]" when it cannot start and
// "delete quillmere failed! ExitCode:code" when it reports failure.
void RunUninstallCommand(const std::wstring& commandLine, const SetupTimings& timings = SetupTimings());

// Removes the "ProductCode" and "Language" sub-keys of the vendor key in the registry view
// the client was found in.
void DeleteProductKeys(REGSAM view);

}  // namespace setup
