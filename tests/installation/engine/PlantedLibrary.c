/* A library named like none of the system's, built beside the test programs: what anyone
   could leave in the downloads folder the installer is started from. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}
