#pragma once
// The way back of an upgrade. Before an installed client is uninstalled, its own Windows
// Installer package is copied into the data folder and a small record of it (the upgrade's
// state file) is written; when the new client does not end up installed, that package is
// installed again. The record outlives the process: a run that dies between the uninstall
// and the end leaves it, and the next run finishes the upgrade or puts the old client back.

#include <string>

namespace setup {

struct SetupContext;

// What is recorded of the client an upgrade removes.
struct PreviousClient {
  std::wstring productCode;
  std::wstring version;  // empty when its product key named none
  std::wstring folder;   // where it was installed, ending with a separator
  std::string sha256;    // of the kept package, filled in when it is kept
};

// The kept package and the state file: data folder + "\previous.msi" and + "\upgrade.state".
std::wstring KeptPackagePath(const SetupContext& context);
std::wstring UpgradeStatePath(const SetupContext& context);

enum class WayBack {
  kKept,       // the package is in the data folder and the state file names it
  kNoPackage,  // Windows Installer has no package of the product left (its cache was cleaned)
  kFailed,     // there is one, but it cannot be read or its copy cannot be written
};

// Copies the cached package of `client.productCode` into the data folder, then writes the
// state file (to a temporary name, flushed, then renamed), filling `client.sha256`. Anything
// but kKept leaves nothing behind, and the client must not be uninstalled.
WayBack KeepPreviousClient(const SetupContext& context, PreviousClient& client);

// The record of an upgrade that has not ended, when there is one whose kept package is still
// the one recorded; false otherwise (a record whose package is gone or altered is logged).
bool ReadPendingUpgrade(const SetupContext& context, PreviousClient& client);

// Whether a state file is in the data folder, readable or not: what is beside it must stay.
bool HasUpgradeState(const SetupContext& context);

// Removes the state file and the kept package.
void DiscardPreviousClient(const SetupContext& context);

// Installs the kept package again (quietly in an unattended run, with progress only
// otherwise), puts the kept configuration back into it, starts it as the desktop user and
// removes the way back. False, with the way back left for the next run, when its installer
// fails.
bool PutPreviousClientBack(const SetupContext& context, const PreviousClient& client);

}  // namespace setup
