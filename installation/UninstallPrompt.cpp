#include "UninstallPrompt.h"

int ShowUninstallPrompt(HWND /*hMainWnd*/, const std::wstring& /*installedVersion*/,
                        const std::wstring& /*publishedVersion*/) {
  // The prompt window does not exist yet; until it does, an installed client is kept as it
  // is, the answer of a prompt closed without a choice.
  return 0;
}
