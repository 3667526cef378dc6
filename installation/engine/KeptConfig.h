#pragma once
// The user's configuration carried over the uninstall of the installed client: kept in the
// data folder, where only administrators can write, with its digest beside it, and put back
// into the new client once the client's installer has run.

#include <string>

namespace setup {

struct SetupContext;

// The kept copy and its digest: data folder + "\config.xml" and + "\config.xml.sha256".
std::wstring KeptConfigPath(const SetupContext& context);
std::wstring KeptConfigDigestPath(const SetupContext& context);

// What became of the installed client's configuration before an uninstall.
enum class ConfigKeeping {
  kNothingToKeep,  // no install folder is known, or the client has no Config\config.xml
  kKept,           // copied into the data folder with its digest
  kFailed,         // there is one, but it cannot be read or its copy cannot be written
};

// Copies Config\config.xml of the client in `clientFolder` (ending with a separator; the
// product key's "InstallPath" when empty) into the data folder and records its digest. On
// kFailed nothing new is kept, and the client must not be uninstalled: the user's settings
// would be lost with it.
ConfigKeeping SaveClientConfig(const SetupContext& context, const std::wstring& clientFolder = std::wstring());

// Removes a kept configuration and its digest.
void DiscardKeptClientConfig(const SetupContext& context);

// Whether a kept configuration waits in the data folder.
bool HasKeptClientConfig(const SetupContext& context);

// Puts the kept configuration back into Config\config.xml of the client in `clientFolder`
// (the installed client's "InstallPath" when empty) when it still matches its digest, then
// removes it; true when it was put back. One that no longer matches is removed without
// being put back ("kept configuration altered" is logged). One that cannot be put back yet,
// because no client is installed (its installer failed or was cancelled), stays for the
// next run.
bool RestoreClientConfig(const SetupContext& context, const std::wstring& clientFolder = std::wstring());

}  // namespace setup
