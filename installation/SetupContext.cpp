#include "SetupContext.h"

#include <shlobj.h>

#include <cstdio>
#include <cwchar>

#include "SetupConstants.h"
#include "SetupLog.h"

namespace setup {

std::atomic<bool> g_bSetupRunning{false};

bool GetCommonAppDataFolder(wchar_t (&folder)[kPathChars], bool create) {
  folder[0] = L'\0';
  return SHGetSpecialFolderPathW(nullptr, folder, CSIDL_COMMON_APPDATA, create ? TRUE : FALSE) != FALSE;
}

int64_t MeasureFile(const wchar_t* path) {
  FILE* file = _wfopen(path, L"rb");
  if (!file) return 0;
  int64_t size = 0;
  if (_fseeki64(file, 0, SEEK_END) == 0) size = _ftelli64(file);
  fclose(file);
  return size < 0 ? 0 : size;
}

bool BeginSetup(SetupContext& context, HWND notifyWnd, LPTHREAD_START_ROUTINE worker) {
  context.m_szSetupDir[0] = context.m_szDataDir[0] = context.m_szPackagePath[0] = L'\0';
  context.m_hNotifyWnd = notifyWnd;

  wchar_t appData[kPathChars];
  if (!GetCommonAppDataFolder(appData, true)) {
    WriteSetupLog("Get FolderPath error");
    return false;
  }

  // Every derived path must fit the 260-character buffers; a longer application data
  // folder would otherwise be cut into a different, wrong folder.
  wchar_t dataDir[kPathChars];
  int n = _snwprintf(dataDir, kPathChars, L"%ls\\%ls", appData, kDataFolderName);
  if (n < 0 || n + static_cast<int>(wcslen(kPackageFileSuffix)) >= kPathChars) {
    WriteSetupLog("Get FolderPath error");
    return false;
  }
  wcscpy(context.m_szDataDir, dataDir);
  CreateDirectoryW(dataDir, nullptr);  // may already exist

  _snwprintf(context.m_szPackagePath, kPathChars, L"%ls%ls", dataDir, kPackageFileSuffix);
  _snwprintf(context.m_szSetupDir, kPathChars, L"%ls%ls", dataDir, kSetupFolderSuffix);
  context.m_nResumeOffset = MeasureFile(context.m_szPackagePath);

  context.m_hWorker = CreateThread(nullptr, 0, worker, &context, 0, nullptr);
  return context.m_hWorker != nullptr;
}

}  // namespace setup
