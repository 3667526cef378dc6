#include "engine/DllSearch.h"

#include <delayimp.h>

#include <string>

#include "Common/tool.h"

namespace setup {

void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // Looked up rather than imported: without the loader update, an import of it would keep
  // the program from starting at all on Windows 7.
  const auto setDefaultDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDirectories) setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  const std::wstring folder = SystemFolder();
  if (folder.empty() || !name || !*name) return nullptr;
  // The library's own imports are then looked for beside it, in the system folder, first.
  return LoadLibraryExW((folder + L"\\" + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// Delay-loaded libraries are loaded by full path too, which holds even where the search
// cannot be restricted.
FARPROC WINAPI LoadDelayedLibrary(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
  wchar_t name[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, info->szDll, -1, name, MAX_PATH) <= 0) return nullptr;
  return reinterpret_cast<FARPROC>(LoadSystemLibrary(name));
}

}  // namespace
}  // namespace setup

// The delay-load helper's hook; defined beside RestrictDllSearch, which the program always
// links, so it replaces the runtime library's empty default.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = setup::LoadDelayedLibrary;
}
