#include <windows.h>

#include "installation.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  CinstallationApp app;
  return app.Run(instance);
}
