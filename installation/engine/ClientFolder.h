#pragma once
// Where the installed client's programs run from, for stopping them and for keeping their
// configuration before an uninstall.

#include <string>

namespace setup {

// The installed client's folder, ending with a separator: the uninstall entry's
// "InstallLocation", else the product key's "InstallPath", else the location Windows
// Installer recorded for `productCode`, else the folder of a running program named like
// the client's. Only full paths count. Empty, with the reason logged, when none knows it.
std::wstring FindClientFolder(const std::wstring& productCode);

}  // namespace setup
