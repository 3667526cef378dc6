#include <windows.h>

#include "engine/DllSearch.h"
#include "installation.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  // Before anything can load a library from the folder the installer was started from.
  setup::RestrictDllSearch();
  CinstallationApp app;
  return app.Run(instance);
}
