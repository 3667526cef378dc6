#pragma once
// What happens when the package is ready: look for an installed client, ask whether to
// replace it, and either install at once or keep a way back, stop the client, keep its
// configuration, uninstall it and install the new one, putting the old one back when the
// new one does not install.

#include <windows.h>

#include <string>

#include "engine/SetupTimings.h"

namespace setup {

struct SetupContext;

// The installation half, on the thread of whoever shows the run, once the package is ready:
// tells the context's observer the installers start, finishes an upgrade an earlier run left
// half done, acts on what is installed (asking the observer before replacing an installed
// client) and ends the run with its outcome (SetupOutcome.h). An installed client is
// uninstalled only once its own package and its configuration are kept; a failed uninstall
// leaves it in place; a new client that does not install brings the old one back.
void OnPackageReady(SetupContext& context);

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
// "delete quillmere failed! ExitCode:code" when it reports failure. True when it succeeded.
bool RunUninstallCommand(const std::wstring& commandLine, const SetupTimings& timings = SetupTimings());

// Removes the "ProductCode" and "Language" sub-keys of the vendor key in the registry view
// the client was found in.
void DeleteProductKeys(REGSAM view);

}  // namespace setup
