#pragma once
// Where the installer's libraries come from. The installer is usually started from a
// downloads folder, where anyone who can save a file there can leave a library named like a
// system one; the program's own folder and the current folder are searched before the
// system folder by default. Only the system folder is trusted.

#include <windows.h>

namespace setup {

// Restricts the search for every library loaded from now on to the system folder (where
// the platform offers it: Windows 8, and Windows 7 with its loader update) and takes the
// current folder out of the search in any case. The first call of the program; libraries it
// imports that the system does not always take from its own folder are delay-loaded (see
// cmake/DelayLoad.cmake) and so come after it.
void RestrictDllSearch();

// Loads a library by its full path in the system folder; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace setup
