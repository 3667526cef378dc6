// The installer's start-up linked with the whole setup engine, as the installer links once
// its main window starts the setup; built only so that its import table can be read
// (check_exe_imports.py).
#include <windows.h>

#include "engine/DllSearch.h"
#include "engine/ExistingInstall.h"
#include "engine/SetupWorker.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  setup::RestrictDllSearch();
  // Taken by address so that the linker keeps the download and installation halves.
  volatile LPTHREAD_START_ROUTINE worker = setup::SetupWorkerProc;
  volatile auto packageReady = &setup::OnPackageReady;
  return worker && packageReady ? 0 : 1;
}
