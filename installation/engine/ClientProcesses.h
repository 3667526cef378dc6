#pragma once
// Stopping the installed client before it is uninstalled: the programs in its folder, and
// nothing that merely carries a similar name.

#include <windows.h>

#include <string>

namespace setup {

// How long the client is given to close by itself before it is terminated.
inline constexpr DWORD kClientCloseGraceMs = 5000;

// Ends every process whose program file lies in `installFolder` or below it (the client's
// program and its helpers): each is first asked to close (WM_CLOSE to its top-level
// windows), and those still running after `graceMs` are terminated. The calling process and
// any other run of the calling process's own program file are never ended. An empty or
// unknown folder ends nothing. True when at least one process was running there.
bool TerminateProcessesByPath(const std::wstring& installFolder, DWORD graceMs = kClientCloseGraceMs);

// The folder (ending with a separator) of a running program whose file is named like the
// client's program ("Quillmere.exe"), the installer's own runs excepted; empty when none
// runs. The last way of finding an installed client whose folder no record names.
std::wstring FindRunningClientFolder();

}  // namespace setup
