#pragma once
// The machine-wide data folder: the elevated installer keeps the package, the local
// manifest, the extracted installers and a kept configuration there, and runs what it
// extracted. Only SYSTEM and Administrators may write in it, so nothing in it can have been
// prepared by a user without rights.

#include <windows.h>

namespace setup {

// Makes `folder` a plain folder (not a link) under the protected access list before anything
// in it is used. A missing folder is created with that list. A folder that SYSTEM,
// Administrators or the installer's own account owns, and that no one else may write, is
// kept with its content and given the list again. Anything else is removed first: a link
// (never what it points at), a file in the folder's place, or a folder that has been open
// to others, which is created afresh without what it held. False when the folder cannot be
// made safe: what stands there cannot be removed, or something took its place before it
// could be created.
bool PrepareDataFolder(const wchar_t* folder);

// The security given to the data folder: owned by Administrators, with a protected access
// list (nothing inherited from above) granting full control to SYSTEM and Administrators,
// passed on to every file and folder below. Freed with LocalFree; null when it cannot be
// built.
PSECURITY_DESCRIPTOR NewDataFolderSecurity();

// Whether a folder with this security may be kept: it has an owner and an access list, the
// owner is SYSTEM, Administrators or `installerAccount`, and no entry that grants access
// gives anyone else a right to write, delete, or change the owner or the list (entries
// meant only for what is created below included).
bool IsTrustedFolderSecurity(PSECURITY_DESCRIPTOR security, PSID installerAccount);

}  // namespace setup
