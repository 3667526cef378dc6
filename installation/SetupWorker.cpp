#include "SetupWorker.h"

#include <curl/curl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "Common/UnZip/Unzipper.h"
#include "FolderTree.h"
#include "HttpFetch.h"
#include "KeptConfig.h"
#include "PackageCheck.h"
#include "SetupConstants.h"
#include "SetupContext.h"
#include "SetupLog.h"
#include "resource.h"

namespace setup {

namespace {

// The extraction folder: the package path up to its last "." ("...\setup.zip" gives
// "...\setup", the context's m_szSetupDir).
void ExtractionFolderOf(const wchar_t* packagePath, wchar_t (&folder)[kPathChars]) {
  wcsncpy(folder, packagePath, kPathChars - 1);
  folder[kPathChars - 1] = L'\0';
  if (wchar_t* dot = wcsrchr(folder, L'.')) *dot = L'\0';
}

bool FolderExists(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A package that cannot be extracted takes the whole data folder with it (package, local
// manifest, partial extraction), so the next run starts afresh. A configuration kept by an
// uninstall whose installation failed is the user's own and stays, with the folder.
void DiscardDataFolder(const SetupContext& context) {
  if (HasKeptClientConfig(context)) {
    DeleteFolderTree(context.m_szSetupDir);
    DeleteFileW(context.m_szPackagePath);
    DeleteFileW((std::wstring(context.m_szDataDir) + kLocalManifestSuffix).c_str());
    return;
  }
  DeleteFolderTree(context.m_szDataDir);
  // A second, reporting pass: anything the first one could not remove is tried again, and
  // what still stands after it is logged.
  if (PurgeFolderTree(context.m_szDataDir) < 0 && FolderExists(context.m_szDataDir)) {
    WriteSetupLog("Failed to delete a folder.");
  }
}

}  // namespace

DWORD WINAPI SetupWorkerProc(LPVOID param) {
  auto* context = static_cast<SetupContext*>(param);
  if (!context) return 0;
  g_bSetupRunning = true;

  char address[kPathChars];
  snprintf(address, sizeof address, "%s", kPackageAddress);
  wchar_t packagePath[kPathChars];
  wcsncpy(packagePath, context->m_szPackagePath, kPathChars - 1);
  packagePath[kPathChars - 1] = L'\0';
  const HWND window = context->m_hNotifyWnd;

  if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) WriteSetupLog("curl_global_init Error");

  // Its outcome lives in the context: without a manifest, m_bResume stays false and the
  // package is fetched afresh.
  FetchManifest(context);
  const int result = DownloadPackage(address, packagePath, context, context->m_bResume);

  DWORD exitCode = 0;
  if (result == 0) {
    wchar_t target[kPathChars];
    ExtractionFolderOf(packagePath, target);
    DeleteFolderTree(target);  // nothing of an earlier run may mix into this one
    // What arrived over the network is only extracted, and later run, when it is what the
    // manifest describes.
    const bool verified = VerifyPackage(packagePath, context->m_strPackageSize, context->m_strPackageSha256);
    if (!verified) WriteSetupLog("package verification failed");
    if (verified && ExtractPackage(packagePath, target)) {
      PostMessageW(window, WM_SETUP_PACKAGE_READY, 0, 0);
      exitCode = 1;
    } else {
      DiscardDataFolder(*context);
      PostMessageW(window, WM_SETUP_ERROR, IDS_PACKAGE_CORRUPT, 0);
    }
  } else if (result == kWriteFailed) {
    // With the running flag cleared the window is gone and refused the data: the partial
    // package stays for the next run to continue.
    if (g_bSetupRunning.load()) {
      WriteSetupLog("get download update error");
      DeleteFileW(packagePath);
    }
    PostMessageW(window, WM_SETUP_ERROR, IDS_DISK_WRITE_FAILED, 0);
  } else {
    WriteSetupLogF("download fail %d", result);
    DeleteFileW(packagePath);
    PostMessageW(window, WM_SETUP_ERROR, IDS_DOWNLOAD_FAILED, 0);
  }

  curl_global_cleanup();
  return exitCode;
}

}  // namespace setup
