#pragma once
// Starting the installed client as the logged-on desktop user, not as the elevated
// installer: with the desktop shell's token where user account control exists and the
// installer is elevated, through the shell otherwise.

#include <windows.h>

namespace setup {

using CreateProcessWithTokenFn = BOOL(WINAPI*)(HANDLE token, DWORD logonFlags, LPCWSTR applicationName,
                                               LPWSTR commandLine, DWORD creationFlags, LPVOID environment,
                                               LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                                               LPPROCESS_INFORMATION processInformation);

// The desktop shell whose token the client borrows.
inline constexpr const wchar_t* kDesktopShellProcess = L"explorer.exe";

// Whether the installer's own token is elevated. False also when the token cannot be asked:
// the caller then takes the road that needs no elevation.
bool IsProcessElevated();

// CreateProcessWithTokenW looked up at run time in the system folder's Advapi32; null where
// the platform lacks it.
CreateProcessWithTokenFn LoadCreateProcessWithToken();

// Starts the program at `path` (an ".exe" may be left off) as the desktop user; true when a
// process was started. Picks the road from the system version and the elevation.
bool LaunchAsDesktopUser(const wchar_t* path);

// The token road: starts `path` with a primary token duplicated from the desktop shell of
// the installer's own session: the process named `shellProcess` (ignoring case) that owns
// the shell window, or else the first process of that name in the session. False when there
// is no such process or any step fails; there is no fall-back.
bool LaunchWithShellToken(const wchar_t* path, const wchar_t* shellProcess = kDesktopShellProcess);

// The shell road: asks the shell to open `path`; returns the shell's verdict.
bool LaunchThroughShell(const wchar_t* path);

}  // namespace setup
