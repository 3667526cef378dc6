#include "engine/SetupContext.h"

#include <shlobj.h>

#include <cwchar>

#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/DataFolder.h"
#include "engine/SetupConstants.h"
#include "engine/SetupLog.h"

namespace setup {

SetupContext& ProcessSetupContext() {
  static SetupContext* const context = new SetupContext();
  return *context;
}

SharedFlag& g_bSetupRunning = ProcessSetupContext().m_bRunning;

bool GetCommonAppDataFolder(wchar_t (&folder)[kPathChars], bool create) {
  folder[0] = L'\0';
  return SHGetSpecialFolderPathW(nullptr, folder, CSIDL_COMMON_APPDATA, create ? TRUE : FALSE) != FALSE;
}

int64_t MeasureFile(const wchar_t* path) {
  // Shared for writing: the package is measured while the transfer still writes it.
  ScopedHandle file(OpenPlainFile(path, PlainFileUse::kRead, FILE_SHARE_READ | FILE_SHARE_WRITE));
  LARGE_INTEGER size;
  if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return 0;
  return size.QuadPart;
}

namespace {

// The run's folders and worker; false, with its log line written, when a step fails.
bool StartRun(SetupContext& context, LPTHREAD_START_ROUTINE worker) {
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
  // The elevated run extracts and starts what it finds here: nothing in it may come from
  // anyone without administrator rights.
  if (!PrepareDataFolder(dataDir)) {
    WriteSetupLog("Secure data folder error");
    return false;
  }

  _snwprintf(context.m_szPackagePath, kPathChars, L"%ls%ls", dataDir, kPackageFileSuffix);
  _snwprintf(context.m_szSetupDir, kPathChars, L"%ls%ls", dataDir, kSetupFolderSuffix);
  context.m_nResumeOffset = MeasureFile(context.m_szPackagePath);
  context.m_facts.bQuiet = context.m_bUnattended;
  context.m_facts.nResumed = context.m_nResumeOffset;
  EnterStage(context.m_facts, RunStage::kManifest);

  context.m_hWorker = CreateThread(nullptr, 0, worker, &context, 0, nullptr);
  if (!context.m_hWorker) {
    WriteSetupLogF("Start worker error %lu", GetLastError());
    return false;
  }
  return true;
}

}  // namespace

bool BeginSetup(SetupContext& context, ISetupObserver* observer, LPTHREAD_START_ROUTINE worker) {
  context.m_szSetupDir[0] = context.m_szDataDir[0] = context.m_szPackagePath[0] = L'\0';
  context.m_pObserver = observer;
  if (StartRun(context, worker)) return true;
  // Told like the worker's failures, so that whoever shows the run does not wait for a
  // worker that never started. Of the failures the user can be told of, the disk's is the
  // one: the data folder could not be found, made or made safe (a file in it held open by
  // another program, a link that cannot be removed), or the system had no thread to give.
  EndRun(context, SetupOutcome::kDiskError);
  return false;
}

void EndRun(const SetupContext& context, SetupOutcome outcome) {
  // Told before whoever shows the run hears the end, so the process is still there to tell.
  SendRunReport(context, outcome);
  WriteSetupInfo("run ended: %s", DescribeOutcome(outcome));
  if (context.m_pObserver) context.m_pObserver->OnRunEnded(outcome);
}

}  // namespace setup
