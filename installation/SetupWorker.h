#pragma once
// The download half of a setup run, on its own thread: manifest, package, extraction, and
// exactly one outcome message to the notify window:
//   WM_SETUP_PACKAGE_READY (wParam 0)           the package matched the size and digest the
//                                               manifest gave (if any) and is extracted into
//                                               m_szSetupDir;
//   WM_SETUP_ERROR with wParam IDS_PACKAGE_CORRUPT, IDS_DOWNLOAD_FAILED or
//   IDS_DISK_WRITE_FAILED (resource.h: the string to show) otherwise.
// Download progress reaches the window as WM_SETUP_PROGRESS (SetupProgress.h).

#include <windows.h>

namespace setup {

// Thread procedure for BeginSetup; `param` is the SetupContext*. Returns 1 when the
// package was extracted, 0 otherwise.
DWORD WINAPI SetupWorkerProc(LPVOID param);

}  // namespace setup
