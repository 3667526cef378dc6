#include "engine/SetupWorker.h"

#include <curl/curl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "Common/LongPath.h"
#include "Common/UnZip/Unzipper.h"
#include "engine/FolderTree.h"
#include "engine/HttpFetch.h"
#include "engine/KeptConfig.h"
#include "engine/ManifestTrust.h"
#include "engine/PackageCheck.h"
#include "engine/PackageValidator.h"
#include "engine/PreviousClient.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"

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
  const DWORD attributes = GetFileAttributesW(LongPathName(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A package that cannot be extracted takes the whole data folder with it (package, local
// manifest, partial extraction), so the next run starts afresh. A configuration kept by an
// uninstall whose installation failed is the user's own and stays, with the folder; so does
// the way back of an upgrade that has not ended.
// A refused manifest is a failed download, unless its refusal says more: an installed client
// newer than the release, or (for an expiry) a computer whose clock is a day or more away from
// the server's. The server's time is only ever a hint for the person.
SetupOutcome RefusalOutcome(const SetupContext& context) {
  if (context.m_manifestVerdict == ManifestVerdict::kDowngrade) return SetupOutcome::kNewerInstalled;
  if (!VerdictDependsOnClock(context.m_manifestVerdict) || !context.m_serverTime) return SetupOutcome::kDownloadFailed;
  SYSTEMTIME now;
  GetSystemTime(&now);
  FILETIME here = {}, there = {};
  SystemTimeToFileTime(&now, &here);
  SystemTimeToFileTime(&*context.m_serverTime, &there);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  const long long apart = ticks(here) - ticks(there);
  const long long kDay = 864000000000ll;
  return apart > kDay || apart < -kDay ? SetupOutcome::kClockWrong : SetupOutcome::kDownloadFailed;
}

void DiscardDataFolder(const SetupContext& context) {
  if (HasKeptClientConfig(context) || HasUpgradeState(context)) {
    DeleteFolderTree(context.m_szSetupDir);
    DeletePackageFile(context.m_szPackagePath);
    DeleteFileW(LongPathName(std::wstring(context.m_szDataDir) + kLocalManifestSuffix).c_str());
    return;
  }
  DeleteFolderTree(context.m_szDataDir);
  // A second, reporting pass: anything the first one could not remove is tried again, and
  // what still stands after it is logged.
  if (PurgeFolderTree(context.m_szDataDir) < 0 && FolderExists(context.m_szDataDir)) {
    WriteSetupLog("Failed to delete a folder.");
  }
}

// An empty package file is nothing the next run can use.
void DropEmptyPackage(const wchar_t* packagePath) {
  if (MeasureFile(packagePath) == 0) DeletePackageFile(packagePath);
}

// Extracts the package (`verified`: the transfer checked it against the manifest already);
// reports the outcome and tells whether it was ready.
bool ExtractVerifiedPackage(SetupContext& context, const wchar_t* packagePath, bool verified) {
  wchar_t target[kPathChars];
  ExtractionFolderOf(packagePath, target);
  DeleteFolderTree(target);  // nothing of an earlier run may mix into this one
  // What arrived over the network is only extracted, and later run, when it is what the
  // manifest describes.
  if (!verified && !VerifyPackage(packagePath, context.m_strPackageSize, context.m_strPackageSha256)) {
    WriteSetupLog("package verification failed");
    DiscardDataFolder(context);
    EndRun(context, SetupOutcome::kPackageDamaged);
    return false;
  }
  const ExtractResult extracted = ExtractPackageInto(packagePath, target);
  switch (extracted.failure) {
    case ExtractFailure::kNone:
      WriteSetupInfo("package extracted");
      if (context.m_pObserver) context.m_pObserver->OnPackageReady();
      return true;
    case ExtractFailure::kDisk:
      // A full disk or a file another program holds says nothing against the package: it
      // stays for the next run, and only the partial extraction goes.
      WriteSetupLogF("extraction failed: disk error %lu", extracted.nError);
      DeleteFolderTree(target);
      EndRun(context, SetupOutcome::kDiskError);
      return false;
    case ExtractFailure::kArchive:
      break;
  }
  WriteSetupInfo("extraction failed: damaged package");
  DiscardDataFolder(context);
  EndRun(context, SetupOutcome::kPackageDamaged);
  return false;
}

}  // namespace

DWORD WINAPI SetupWorkerProc(LPVOID param) {
  auto* context = static_cast<SetupContext*>(param);
  if (!context) return 0;
  context->m_bRunning = true;

  char address[kPathChars];
  snprintf(address, sizeof address, "%s", kPackageAddress);
  wchar_t packagePath[kPathChars];
  wcsncpy(packagePath, context->m_szPackagePath, kPathChars - 1);
  packagePath[kPathChars - 1] = L'\0';
  WriteSetupInfo("installer %s (libcurl %s), package %lld bytes on disk", QUILL_INSTALLER_VERSION,
                 curl_version_info(CURLVERSION_NOW)->version, static_cast<long long>(context->m_nResumeOffset));

  if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) WriteSetupLog("curl_global_init Error");

  // Its outcome lives in the context: without a manifest, m_bResume stays false and the
  // package is fetched afresh.
  FetchManifest(context);
  if (!MayFetchPackage(context->m_manifestVerdict)) {
    // Nothing the vendor's key does not vouch for is fetched, let alone run as administrator.
    WriteSetupLogF("manifest refused: %s", DescribeVerdict(context->m_manifestVerdict));
    EndRun(*context, RefusalOutcome(*context));
    curl_global_cleanup();
    return 0;
  }
  if (!context->m_strPackageSize && !context->m_strPackageSha256)
    WriteSetupInfo("no manifest vouches for the package: it is installed unchecked");
  EnterStage(context->m_facts, RunStage::kPackage);
  TransferReport report;
  const int result = DownloadPackage(address, packagePath, context, context->m_bResume, &report);
  RunFacts& facts = context->m_facts;
  facts.nBytes = report.nBytesFetched;
  facts.nTries = report.nAttempts;
  facts.nSource = report.nAttempts > 0 ? report.nSource : -1;
  facts.strProxy = report.szProxyRoad;
  if (report.nAttempts > 0) {
    facts.nHttpStatus = report.nLastStatus;
    facts.nNetResult = report.nLastResult;
  }
  if (result == 0) EnterStage(facts, RunStage::kExtract);

  DWORD exitCode = 0;
  if (result == 0) {
    if (ExtractVerifiedPackage(*context, packagePath, report.bVerified)) exitCode = 1;
  } else if (result == kNotThePackage) {
    // The answers were not the package the manifest describes, and none of them stayed. A
    // part that an earlier answer left is still the start of the package: it stays with
    // what continuing it needs. With nothing left, nothing stays.
    if (MeasureFile(packagePath) == 0) DiscardDataFolder(*context);
    EndRun(*context, SetupOutcome::kPackageDamaged);
  } else if (result == kWriteFailed) {
    // With the running flag cleared whoever showed the run is gone and refused the data: the partial
    // package stays for the next run to continue. So does a part the disk had no room to
    // add to: what is there is good.
    if (IsRunning(context)) {
      WriteSetupLog("get download update error");
      if (!report.bDiskShort) DeletePackageFile(packagePath);
      DropEmptyPackage(packagePath);
    }
    EndRun(*context, SetupOutcome::kDiskError);
  } else {
    WriteSetupLogF("download fail %d", result);
    // What a broken line or a busy server delivered is good: the next run continues it.
    if (!report.bTransient) DeletePackageFile(packagePath);
    DropEmptyPackage(packagePath);
    EndRun(*context, SetupOutcome::kDownloadFailed);
  }

  curl_global_cleanup();
  return exitCode;
}

}  // namespace setup
