#pragma once
// Libraries of the system the framework calls into only when it needs them, and exports looked
// up by name because older systems lack them.

#include <windows.h>

namespace SkinUI {

// Loads pstrFileName ("oleacc.dll") from the system's folder, by its full path: a bare name
// would be searched for in the program's folder and the current folder first, where anyone able
// to write there could plant their own. Null, and a trace line, when it cannot be loaded.
HMODULE LoadSystemLibrary(LPCWSTR pstrFileName);

// The module's export of that name as T (a function or data pointer); null without either.
template <class T>
T ModuleExport(HMODULE hModule, const char* pstrName) {
  if (hModule == nullptr) return nullptr;
  return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(hModule, pstrName)));
}

// An export of user32, which every window program has loaded.
template <class T>
T User32Export(const char* pstrName) {
  return ModuleExport<T>(::GetModuleHandleW(L"user32.dll"), pstrName);
}

}  // namespace SkinUI
