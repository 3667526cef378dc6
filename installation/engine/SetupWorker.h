#pragma once
// The download half of a setup run, on its own thread: manifest, package, extraction, and
// exactly one outcome for the context's observer: OnPackageReady when the package matched
// the size and digest the manifest gave (if any) and is extracted into m_szSetupDir,
// OnRunEnded otherwise. Download progress goes to the observer as it arrives.

#include <windows.h>

namespace setup {

// Thread procedure for BeginSetup; `param` is the SetupContext*. Returns 1 when the
// package was extracted, 0 otherwise.
DWORD WINAPI SetupWorkerProc(LPVOID param);

}  // namespace setup
