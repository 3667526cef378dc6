// The package transfer: one address after another (see PackageSources.h), each attempt
// continuing what is on disk, the whole file checked against the manifest at the end.
#include <windows.h>

#include <curl/curl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "Common/PlainFile.h"
#include "engine/HttpFetch.h"
#include "engine/PackageAnswer.h"
#include "engine/PackageCheck.h"
#include "engine/PackageSources.h"
#include "engine/PackageValidator.h"
#include "engine/ResponseHeaders.h"
#include "engine/RetryAfter.h"
#include "engine/ServerTrust.h"
#include "engine/SetupLog.h"
#include "engine/StallWatch.h"
#include "engine/TransferHandle.h"
#include "engine/TransferOptions.h"
#include "engine/TransferRetry.h"

namespace setup {

namespace {

// Bytes the library receives per read for the package: the largest it allows. Its default
// of 16 KiB costs a socket read and a write callback per 16 KiB, which under a translating
// layer such as Wine cuts the throughput to well under half (the curl tool itself reads
// 100 KiB at a time). On a slow line reads return what has arrived, so progress still
// moves as often as before.
constexpr long kPackageReceiveBufferBytes = 512 * 1024;

// A kept value goes back to the server in a header line: nothing in it may end that line.
bool IsHeaderValue(const std::string& value) {
  if (value.empty()) return false;
  for (char c : value) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

// "Open file error！" ends with a full-width exclamation mark; the log takes narrow text in
// the system's code page.
void LogOpenFileError() {
  char message[64];
  if (WideCharToMultiByte(CP_ACP, 0, L"Open file error\xFF01", -1, message, sizeof message, nullptr,
                          nullptr) <= 0) {
    strcpy(message, "Open file error!");
  }
  WriteSetupLog(message);
}

bool IsPackageStatus(long status) { return status == 200 || status == 206 || status == 416; }

// What the package's progress callback is handed: the display's and the stall watch's needs.
struct PackageProgress {
  SetupContext* context;
  StallWatch watch;

  static int OnProgress(void* self, curl_off_t total, curl_off_t received, curl_off_t uploadTotal,
                        curl_off_t uploaded) {
    auto* progress = static_cast<PackageProgress*>(self);
    OnPackageProgress(progress->context, static_cast<double>(total), static_cast<double>(received),
                      static_cast<double>(uploadTotal), static_cast<double>(uploaded));
    return progress->watch.KeepGoing(static_cast<double>(received)) ? 0 : 1;
  }
};

// --- one attempt at the package ---------------------------------------------------------

struct PackageAttempt {
  bool bOpenFailed = false;
  CURLcode result = CURLE_OK;
  long status = 0;
  PackageAnswer::Verdict verdict = PackageAnswer::Verdict::kUndecided;
  int64_t nFirst = 0;  // where the answer's bytes went in the file
  int64_t nWritten = 0;
  int64_t nNeeded = 0;
  int64_t nFree = 0;
  bool bTooSlow = false;
  std::string strRetryAfter;
  std::string strDate;

  bool Succeeded() const {
    return result == CURLE_OK && IsPackageStatus(status) &&
           (verdict == PackageAnswer::Verdict::kWrite || verdict == PackageAnswer::Verdict::kComplete);
  }
};

// What an attempt at one address is to know beyond the address.
struct AttemptTerms {
  bool bWhole;             // ask for the whole package, whatever the file holds
  int64_t nExpectedSize;   // the package's size as the manifest gives it; -1: not given
  bool bFloor;             // held to the speed floor (see PackageSources::FloorApplies)
};

// One GET of the package: of the whole package, or of the rest of what the file holds. The
// bytes on disk are kept until an answer with the whole package arrives, so an attempt
// that fails leaves them as they were. The easy handle keeps the options common to every
// attempt.
PackageAttempt TransferPackageOnce(CURL* curl, const std::string& address, const wchar_t* packagePath,
                                   SetupContext* context, const AttemptTerms& terms, int attempt) {
  PackageAttempt outcome;
  const int64_t onDisk = MeasureFile(packagePath);
  // A file longer than the package cannot be its start.
  const bool whole = terms.bWhole || (terms.nExpectedSize >= 0 && onDisk > terms.nExpectedSize);
  const int64_t offset = whole ? 0 : onDisk;
  PackageValidator kept;
  if (offset > 0) LoadPackageValidator(packagePath, kept);
  // Written by an elevated process: never through a link someone left in the file's place.
  FILE* file = OpenPlainFileStream(packagePath, PlainFileUse::kAppend);
  if (!file) {
    outcome.bOpenFailed = true;
    return outcome;
  }
  // Progress adds the offset to this transfer's counts.
  if (context) context->m_nResumeOffset = offset;

  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  ServerTrust trust(curl, address.c_str());
  HeaderList headers;
  std::string range;
  std::string ifRange;
  if (offset > 0) {
    range = std::to_string(offset) + "-";
    // Another server's validator names nothing there: the part is continued with a plain
    // range, and the whole file's digest decides at the end.
    const bool sameServer = kept.strAddress.empty() || kept.strAddress == address;
    if (sameServer && IsHeaderValue(kept.IfRange())) ifRange = kept.IfRange();
    if (!ifRange.empty()) headers.Append("If-Range: " + ifRange);
  }
  curl_easy_setopt(curl, CURLOPT_RANGE, range.empty() ? nullptr : range.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  if (ProxySession* proxies = ProxiesOf(context)) proxies->Apply(curl, address);
  WriteSetupInfo("package attempt %d: GET %s from byte %lld%s%s", attempt, address.c_str(),
                 static_cast<long long>(offset), ifRange.empty() ? "" : " if still ", ifRange.c_str());

  PackageAnswer answer(packagePath, file, onDisk, offset, kept, context, address, terms.nExpectedSize);
  ResponseHeaders head(curl, &trust, [&answer](const ResponseHeaders& h) { return answer.OnHead(h); });
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, PackageAnswer::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
  const SetupTimings& timings = TimingsOf(context);
  PackageProgress progress{context, StallWatch(timings.nStallSeconds, terms.bFloor ? timings.nSlowFloorBytesPerSecond : 0,
                                               timings.nSlowStretchSeconds)};
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &progress);
  CURLcode result = StallOutcome(curl_easy_perform(curl), progress.watch);
  // The last buffered bytes reach the disk only here; losing them must not pass as success.
  if (fclose(file) != 0 && result == CURLE_OK) result = CURLE_WRITE_ERROR;
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(curl, CURLOPT_RANGE, nullptr);

  outcome.result = trust.Outcome(result);
  outcome.status = ResponseStatus(curl);
  outcome.verdict = answer.verdict();
  outcome.nFirst = answer.FirstByte();
  outcome.nWritten = answer.BytesWritten();
  outcome.nNeeded = answer.BytesNeeded();
  outcome.nFree = answer.BytesFree();
  outcome.bTooSlow = progress.watch.TooSlow();
  outcome.strRetryAfter = head.RetryAfter();
  outcome.strDate = head.Date();
  WriteSetupInfo("package attempt %d: result %d (%s), status %ld, %lld bytes written, %lld bytes on disk", attempt,
                 outcome.result, curl_easy_strerror(outcome.result), outcome.status,
                 static_cast<long long>(outcome.nWritten), static_cast<long long>(MeasureFile(packagePath)));
  return outcome;
}

// Why an address that failed an attempt was left, as the log says it.
std::string LeaveReason(const PackageAttempt& outcome, const SetupTimings& timings) {
  if (outcome.verdict == PackageAnswer::Verdict::kWrongSize) return "not the size the manifest gives";
  if (outcome.bTooSlow)
    return "slower than " + std::to_string(timings.nSlowFloorBytesPerSecond) + " bytes a second for " +
           std::to_string(timings.nSlowStretchSeconds) + " s";
  if (outcome.result != CURLE_OK) return curl_easy_strerror(outcome.result);
  return "status " + std::to_string(outcome.status);
}

// The package's size as the manifest gives it; -1 when it gives none that reads as one.
int64_t ExpectedSize(const SetupContext* context) {
  if (!context) return -1;
  const std::optional<int64_t> size = PublishedPackageSize(context->m_strPackageSize);
  return size ? *size : -1;
}

}  // namespace

int DownloadPackage(const char* address, const wchar_t* packagePath, SetupContext* context, bool resume,
                    TransferReport* report) {
  TransferReport unused;
  if (!report) report = &unused;
  *report = TransferReport();
  EasyHandle handle;
  CURL* curl = handle.get();
  if (!curl) {
    WriteSetupLog("curl_handle error");
    return kNoTransferHandle;
  }
  const SetupTimings& timings = TimingsOf(context);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  ApplyTransferOptions(curl, timings);
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kPackageReceiveBufferBytes);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, PackageProgress::OnProgress);

  const bool checked = context && (context->m_strPackageSize || context->m_strPackageSha256);
  const int64_t expectedSize = ExpectedSize(context);
  static const std::vector<std::string> kNoMirrors;
  PackageSources sources(address, context ? context->m_packageMirrors : kNoMirrors,
                         resume ? MeasureFile(packagePath) : 0);
  RetrySchedule schedule(timings, MeasureFile(packagePath));
  AttemptTerms terms{!resume, expectedSize, false};
  // Set once a file put together from several addresses failed the check: from then on the
  // package comes whole from one address, so a server with other bytes can be told apart.
  bool fromOne = false;
  bool notThePackage = false;
  PackageAttempt outcome;
  for (;;) {
    terms.bFloor = sources.FloorApplies();
    outcome = TransferPackageOnce(curl, sources.Address(), packagePath, context, terms, ++report->nAttempts);
    report->nBytesFetched += std::max<int64_t>(outcome.nWritten, 0);
    report->nSource = static_cast<int>(sources.Current());
    report->nLastStatus = outcome.status;
    report->nLastResult = outcome.result;
    if (ProxySession* proxies = ProxiesOf(context)) report->szProxyRoad = proxies->RoadKind(sources.Address());
    if (outcome.bOpenFailed) {
      LogOpenFileError();
      return kWriteFailed;
    }
    sources.Took(outcome.nFirst, outcome.nWritten);
    sources.Cut(MeasureFile(packagePath));
    notThePackage = outcome.verdict == PackageAnswer::Verdict::kWrongSize;
    if (outcome.Succeeded()) {
      if (!checked || VerifyPackage(packagePath, context->m_strPackageSize, context->m_strPackageSha256)) {
        report->bVerified = checked;
        break;
      }
      // What arrived is not the package. From one address, that address has other bytes;
      // from several, which one is not known, and the package is fetched whole again.
      notThePackage = true;
      sources.LogRanges();
      if (sources.Mixed()) {
        WriteSetupInfo("package: the file put together does not match the manifest; it is fetched whole again");
        fromOne = true;
      } else {
        sources.Drop("its package does not match the manifest");
      }
      DeletePackageFile(packagePath);
      sources.Cut(0);
      terms.bWhole = true;
      schedule = RetrySchedule(timings, 0);
      if (!sources.Rewind()) break;
      continue;
    }
    if (outcome.verdict == PackageAnswer::Verdict::kDiskShort || !IsRunning(context)) break;
    if (ProxySession* proxies = ProxiesOf(context)) {
      const ProxySession::Next next =
          proxies->AfterAttempt(curl, sources.Address(), outcome.result, ObserverOf(context));
      if (next == ProxySession::Next::kTryAgainNow) continue;
      if (next == ProxySession::Next::kGiveUp) break;
    }
    const int64_t onDisk = MeasureFile(packagePath);
    DWORD pauseMs = 0;
    if (outcome.verdict == PackageAnswer::Verdict::kRestartFresh) {
      // A restart is not a failure of the address: the part on disk goes and the whole
      // package follows from the same one. It still waits its turn, or a server that keeps
      // forcing it would be asked as fast as the loop runs.
      if (!schedule.NextAttempt(onDisk, pauseMs)) break;
      terms.bWhole = true;
      WriteSetupInfo("package: asking for the whole package in %lu ms", pauseMs);
    } else {
      const std::string why = LeaveReason(outcome, timings);
      const std::string left = sources.Address();
      // A failure a later attempt may not have keeps the address in the run; an answer that
      // says the package is not there, or not this one, takes it out.
      if (notThePackage || !IsTransientFailure(outcome.result, outcome.status)) {
        sources.Drop(why.c_str());
      } else if (outcome.bTooSlow) {
        sources.LeftAsSlow();
      }
      const PackageSources::Step step = sources.Advance();
      if (step == PackageSources::Step::kNone) break;
      // Moving on to the next address is at once; a new round waits its turn.
      if (step == PackageSources::Step::kNewRound ? !schedule.NextAttempt(onDisk, pauseMs) : !schedule.MoveOn(onDisk))
        break;
      pauseMs = PauseHonouringServer(pauseMs, outcome.status, outcome.strRetryAfter, outcome.strDate,
                                     timings.nRetryAfterLimitMs);
      const bool moved = sources.Address() != left;
      terms.bWhole = fromOne && moved;
      if (moved) {
        WriteSetupInfo("package: left %.100s at byte %lld (%s); %.100s next, in %lu ms", left.c_str(),
                       static_cast<long long>(onDisk), why.c_str(), sources.Address().c_str(), pauseMs);
      } else {
        WriteSetupInfo("package: trying again in %lu ms", pauseMs);
      }
    }
    // A window closed during the pause refuses the transfer as it would refuse its data.
    if (!PauseWhileSetupRuns(context, pauseMs)) return kWriteFailed;
  }

  sources.LogRanges();
  if (outcome.verdict == PackageAnswer::Verdict::kDiskShort) {
    report->bDiskShort = true;
    WriteSetupLogF("not enough disk space: %lld bytes needed, %lld free", static_cast<long long>(outcome.nNeeded),
                   static_cast<long long>(outcome.nFree));
    return kWriteFailed;
  }
  if (notThePackage) {
    WriteSetupLog(outcome.Succeeded() ? "package verification failed"
                                      : "package refused: not the size the manifest gives");
    return kNotThePackage;
  }
  report->bTransient = IsTransientFailure(outcome.result, outcome.status);
  if (outcome.verdict == PackageAnswer::Verdict::kRestartFresh) {
    LogUnexpectedStatus(outcome.status);
    return kUnexpectedStatus;
  }
  if (outcome.result != CURLE_OK) {
    WriteSetupLog(curl_easy_strerror(outcome.result));
    return outcome.result;
  }
  if (!IsPackageStatus(outcome.status)) {
    LogUnexpectedStatus(outcome.status);
    return kUnexpectedStatus;
  }
  WriteSetupInfo("package: complete, %lld bytes", static_cast<long long>(MeasureFile(packagePath)));
  return 0;
}

int OnPackageProgress(void* context, double total, double received, double, double) {
  auto* setup = static_cast<SetupContext*>(context);
  if (!setup || !setup->m_pObserver || !IsRunning(setup)) return 0;
  // No length from the server yet (or one too small to tell).
  if (static_cast<int64_t>(total - 0.01) == 0) return 0;
  const int64_t offset = setup->m_nResumeOffset;
  setup->m_pObserver->OnProgress(static_cast<int64_t>(received) + offset, static_cast<int64_t>(total) + offset);
  return 0;
}

size_t WritePackageData(char* data, size_t size, size_t count, FILE* file, const SetupContext* context) {
  const size_t written = fwrite(data, 1, size * count, file);
  if (!IsRunning(context)) return 0;
  return written;
}

}  // namespace setup
