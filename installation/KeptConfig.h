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

// Copies the installed client's Config\config.xml into the data folder and records its
// digest. False, with nothing new kept, when the install folder is unknown or the
// configuration cannot be read or copied.
bool SaveClientConfig(const SetupContext& context);

// Whether a kept configuration waits in the data folder.
bool HasKeptClientConfig(const SetupContext& context);

// Puts the kept configuration back into the installed client's Config\config.xml when it
// still matches its digest, then removes it; true when it was put back. One that no longer
// matches is removed without being put back ("kept configuration altered" is logged). One
// that cannot be put back yet, because no client is installed (its installer failed or was
// cancelled), stays for the next run.
bool RestoreClientConfig(const SetupContext& context);

}  // namespace setup
