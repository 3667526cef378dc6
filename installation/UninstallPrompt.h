#pragma once
// The question asked before an installed client is replaced: shown over the (hidden) main
// window with the installed and the published version.

#include <windows.h>

#include <string>

// 1 when the user confirmed the replacement (setup::kPromptConfirmed), 2 when declined, 0
// when the prompt was closed otherwise or could not be shown: anything but 1 leaves the
// machine as it is.
int ShowUninstallPrompt(HWND hMainWnd, const std::wstring& installedVersion, const std::wstring& publishedVersion);
