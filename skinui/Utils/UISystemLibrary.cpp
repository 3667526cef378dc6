#include "Utils/UISystemLibrary.h"

#include "Utils/UIDebug.h"
#include "Utils/UIString.h"

namespace SkinUI {

HMODULE LoadSystemLibrary(LPCWSTR pstrFileName) {
  WCHAR szFolder[MAX_PATH] = {};
  const UINT cch = ::GetSystemDirectoryW(szFolder, MAX_PATH);
  if (cch == 0 || cch >= MAX_PATH) return nullptr;
  CUIString sPath = szFolder;
  sPath += L"\\";
  sPath += pstrFileName;
  const HMODULE hModule = ::LoadLibraryExW(sPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (hModule == nullptr) UITrace(L"cannot load %s (%lu)", sPath.GetData(), ::GetLastError());
  return hModule;
}

}  // namespace SkinUI
