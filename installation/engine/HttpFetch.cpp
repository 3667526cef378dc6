#include "engine/HttpFetch.h"

#include <windows.h>

// The package progress uses the library's floating-point progress callback, which newer
// headers mark as deprecated; it still behaves the same.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "Common/ContentDecoding.h"
#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/ManifestTrust.h"
#include "engine/PackageAnswer.h"
#include "engine/PackageValidator.h"
#include "engine/ProxySession.h"
#include "engine/ResponseHeaders.h"
#include "engine/ServerTrust.h"
#include "engine/SetupConstants.h"
#include "engine/SetupLog.h"
#include "engine/StallWatch.h"
#include "engine/TransferOptions.h"
#include "engine/TransferRetry.h"
#include "engine/VersionManifest.h"

namespace setup {

namespace {

// Bytes the library receives per read for the package: the largest it allows. Its default
// of 16 KiB costs a socket read and a write callback per 16 KiB, which under a translating
// layer such as Wine cuts the throughput to well under half (the curl tool itself reads
// 100 KiB at a time). On a slow line reads return what has arrived, so progress still
// moves as often as before.
constexpr long kPackageReceiveBufferBytes = 512 * 1024;

// A manifest is a few hundred bytes; anything this large is not one and is not kept.
constexpr size_t kMaxManifestBytes = 1u << 20;

class EasyHandle {
 public:
  EasyHandle() : m_curl(curl_easy_init()) {}
  ~EasyHandle() {
    if (m_curl) curl_easy_cleanup(m_curl);
  }
  EasyHandle(const EasyHandle&) = delete;
  EasyHandle& operator=(const EasyHandle&) = delete;
  CURL* get() const { return m_curl; }

 private:
  CURL* m_curl;
};

// Extra request header lines; the library reads them during the transfer only.
class HeaderList {
 public:
  HeaderList() = default;
  ~HeaderList() { curl_slist_free_all(m_list); }
  HeaderList(const HeaderList&) = delete;
  HeaderList& operator=(const HeaderList&) = delete;
  void Append(const std::string& line) {
    if (curl_slist* grown = curl_slist_append(m_list, line.c_str())) m_list = grown;
  }
  curl_slist* get() const { return m_list; }

 private:
  curl_slist* m_list = nullptr;
};

// The run's proxies; none (direct) for a transfer made without a run.
ProxySession* ProxiesOf(SetupContext* context) {
  if (!context) return nullptr;
  if (!context->m_pProxies) context->m_pProxies = std::make_shared<ProxySession>();
  return context->m_pProxies.get();
}

ISetupObserver* ObserverOf(const SetupContext* context) { return context ? context->m_pObserver : nullptr; }

const SetupTimings& TimingsOf(const SetupContext* context) {
  static const SetupTimings defaults;
  return context ? context->m_timings : defaults;
}

// A kept value goes back to the server in a header line: nothing in it may end that line.
bool IsHeaderValue(const std::string& value) {
  if (value.empty()) return false;
  for (char c : value) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

// The manifest may arrive in any number of pieces; it is parsed only once it is whole.
size_t CollectManifestBody(char* data, size_t size, size_t count, void* body) {
  auto* text = static_cast<std::string*>(body);
  const size_t bytes = size * count;
  if (text->size() + bytes > kMaxManifestBytes) return 0;
  text->append(data, bytes);
  return bytes;
}

long ResponseStatus(CURL* curl) {
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

void LogUnexpectedStatus(long status) {
  WriteSetupLog("invalid http status code: ");
  WriteSetupLogF("%ld", status);
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

// A stopped transfer whose watch saw the server fall silent reports the library's time-out.
CURLcode StallOutcome(CURLcode result, const StallWatch& watch) {
  return result == CURLE_ABORTED_BY_CALLBACK && watch.Stalled() ? CURLE_OPERATION_TIMEDOUT : result;
}

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
  int64_t nWritten = 0;
  int64_t nNeeded = 0;
  int64_t nFree = 0;

  bool Succeeded() const {
    return result == CURLE_OK && IsPackageStatus(status) &&
           (verdict == PackageAnswer::Verdict::kWrite || verdict == PackageAnswer::Verdict::kComplete);
  }
};

// One GET of the package: of the whole package, or of the rest of what the file holds. The
// bytes on disk are kept until an answer with the whole package arrives, so an attempt
// that fails leaves them as they were. The easy handle keeps the options common to every
// attempt.
PackageAttempt TransferPackageOnce(CURL* curl, const char* address, const wchar_t* packagePath,
                                   SetupContext* context, ServerTrust& trust, bool whole, int attempt) {
  PackageAttempt outcome;
  const int64_t onDisk = MeasureFile(packagePath);
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

  HeaderList headers;
  std::string range;
  std::string ifRange;
  if (offset > 0) {
    range = std::to_string(offset) + "-";
    if (IsHeaderValue(kept.IfRange())) ifRange = kept.IfRange();
    if (!ifRange.empty()) headers.Append("If-Range: " + ifRange);
  }
  curl_easy_setopt(curl, CURLOPT_RANGE, range.empty() ? nullptr : range.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  if (ProxySession* proxies = ProxiesOf(context)) proxies->Apply(curl, address);
  WriteSetupInfo("package attempt %d: GET %s from byte %lld%s%s", attempt, address, static_cast<long long>(offset),
                 ifRange.empty() ? "" : " if still ", ifRange.c_str());

  PackageAnswer answer(packagePath, file, onDisk, offset, kept, context);
  ResponseHeaders head(curl, &trust, [&answer](const ResponseHeaders& h) { return answer.OnHead(h); });
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, PackageAnswer::OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
  PackageProgress progress{context, StallWatch(TimingsOf(context).nStallSeconds)};
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &progress);
  CURLcode result = StallOutcome(curl_easy_perform(curl), progress.watch);
  // The last buffered bytes reach the disk only here; losing them must not pass as success.
  if (fclose(file) != 0 && result == CURLE_OK) result = CURLE_WRITE_ERROR;
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(curl, CURLOPT_RANGE, nullptr);

  outcome.result = trust.Outcome(result);
  outcome.status = ResponseStatus(curl);
  outcome.verdict = answer.verdict();
  outcome.nWritten = answer.BytesWritten();
  outcome.nNeeded = answer.BytesNeeded();
  outcome.nFree = answer.BytesFree();
  WriteSetupInfo("package attempt %d: result %d (%s), status %ld, %lld bytes written, %lld bytes on disk", attempt,
                 outcome.result, curl_easy_strerror(outcome.result), outcome.status,
                 static_cast<long long>(outcome.nWritten), static_cast<long long>(MeasureFile(packagePath)));
  return outcome;
}

}  // namespace

namespace {

// One small file fetched whole (the manifest or its signature), with the run's retries.
struct SmallAnswer {
  bool bHandle = true;  // false: no transfer handle could be made
  CURLcode result = CURLE_OK;
  long status = 0;
  std::string body;  // decoded when the server compressed it
  bool bDecoded = true;  // false: compressed in a way that could not be undone
  std::string date;  // the server's "Date" of the last answer; empty when it gave none
};

// `curl` is the handle of the run's small files: the signature follows the manifest over the
// connection the manifest came by, which the handle keeps open.
SmallAnswer FetchSmallFile(CURL* curl, const char* address, const char* what, SetupContext* context) {
  SmallAnswer answer;
  if (!curl) {
    answer.bHandle = false;
    return answer;
  }
  curl_easy_setopt(curl, CURLOPT_URL, address);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  ApplyTransferOptions(curl, TimingsOf(context));
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CollectManifestBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.body);
  ServerTrust trust(curl, address);

  RetrySchedule schedule(TimingsOf(context));
  std::string encoding;
  ProxySession* const proxies = ProxiesOf(context);
  for (int attempt = 1;; ++attempt) {
    answer.body.clear();
    if (proxies) proxies->Apply(curl, address);
    ResponseHeaders head(curl, &trust);
    StallWatch watch(TimingsOf(context).nStallSeconds);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, StallWatch::OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &watch);
    answer.result = trust.Outcome(StallOutcome(curl_easy_perform(curl), watch));
    answer.status = ResponseStatus(curl);
    encoding = head.ContentEncoding();
    answer.date = head.Date();
    WriteSetupInfo("%s attempt %d: GET %s: result %d (%s), status %ld, %llu bytes", what, attempt, address,
                   answer.result, curl_easy_strerror(answer.result), answer.status,
                   static_cast<unsigned long long>(answer.body.size()));
    const ProxySession::Next next =
        proxies ? proxies->AfterAttempt(curl, address, answer.result, ObserverOf(context)) : ProxySession::Next::kCarryOn;
    if (next == ProxySession::Next::kTryAgainNow) continue;
    if (next == ProxySession::Next::kGiveUp) break;
    DWORD pauseMs = 0;
    // Each attempt starts from nothing: a file this small is not continued.
    if (!IsTransientFailure(answer.result, answer.status) || !schedule.NextAttempt(0, pauseMs)) break;
    WriteSetupInfo("%s: trying again in %lu ms", what, pauseMs);
    if (!PauseWhileSetupRuns(context, pauseMs)) break;
  }
  if (answer.result == CURLE_OK && !answer.body.empty()) {
    std::string decoded;
    if (DecodeContent(encoding, answer.body, kMaxManifestBytes, decoded)) {
      if (!encoding.empty())
        WriteSetupInfo("%s: %s body decoded to %llu bytes", what, encoding.c_str(),
                       static_cast<unsigned long long>(decoded.size()));
      answer.body.swap(decoded);
    } else {
      // Kept as it came: it parses as no manifest, like an error page.
      WriteSetupLogF("%s body in %s cannot be decoded", what, encoding.c_str());
      answer.bDecoded = false;
    }
  }
  return answer;
}

// With a key, the manifest is believed only once its signature, its expiry and what it says
// of the package hold; without one it is taken as it comes.
void TakeManifest(CURL* curl, const SmallAnswer& manifest, SetupContext* context) {
  const ManifestPublicKey& key = context ? context->m_manifestKey : CompiledManifestKey();
  // A body cut short is not the manifest: only a completed answer is handled.
  const bool completed = manifest.result == CURLE_OK && !manifest.body.empty();
  if (!key.bPresent) {
    if (context) context->m_manifestVerdict = ManifestVerdict::kUnchecked;
    WriteSetupInfo("manifest: %s", DescribeVerdict(ManifestVerdict::kUnchecked));
    // Error pages included: they count as "version unchanged".
    if (completed) OnManifestData(manifest.body.data(), 1, manifest.body.size(), context);
    return;
  }
  const bool arrived = completed && manifest.status == 200 && manifest.bDecoded;
  std::optional<std::string> signature;
  if (arrived) {
    const SmallAnswer signed_ = FetchSmallFile(curl, kManifestSignatureAddress, "manifest signature", context);
    if (signed_.result == CURLE_OK && signed_.status == 200) signature = signed_.body;
  }
  SYSTEMTIME now;
  GetSystemTime(&now);
  std::wstring installed;
  ReadClientRegistryString(kProductKey, kVersionValue, installed);
  std::string expires;
  const ManifestVerdict verdict =
      JudgeManifest(arrived ? manifest.body : std::string(), signature, key, now, installed, &expires);
  if (context) context->m_manifestVerdict = verdict;
  WriteSetupInfo("manifest: %s", DescribeVerdict(verdict));
  // The server's clock is only a hint for the person: a network attacker sets this header.
  const std::optional<SYSTEMTIME> server = ParseHttpDate(manifest.date);
  if (context) context->m_serverTime = server;
  if (VerdictDependsOnClock(verdict)) {
    WriteSetupLogF("manifest expiry %s, this computer's time %s, the server's time %s",
                   expires.empty() ? "(none)" : expires.c_str(), FormatUtcTime(now).c_str(),
                   server ? FormatUtcTime(*server).c_str() : "(not given)");
  }
  if (verdict == ManifestVerdict::kTrusted) OnManifestData(manifest.body.data(), 1, manifest.body.size(), context);
}

}  // namespace

int FetchManifest(SetupContext* context) {
  EasyHandle handle;
  const SmallAnswer manifest = FetchSmallFile(handle.get(), kManifestAddress, "manifest", context);
  if (!manifest.bHandle) {
    WriteSetupLog("curl_handle error");
    if (context && context->m_manifestKey.bPresent) context->m_manifestVerdict = ManifestVerdict::kNoManifest;
    return kNoTransferHandle;
  }
  TakeManifest(handle.get(), manifest, context);
  if (manifest.result != CURLE_OK) {
    WriteSetupLog(curl_easy_strerror(manifest.result));
    return manifest.result;
  }
  if (manifest.status != 200) {
    LogUnexpectedStatus(manifest.status);
    return kUnexpectedStatus;
  }
  return 0;
}

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
  curl_easy_setopt(curl, CURLOPT_URL, address);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  ApplyTransferOptions(curl, timings);
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kPackageReceiveBufferBytes);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, PackageProgress::OnProgress);
  ServerTrust trust(curl, address);

  RetrySchedule schedule(timings, MeasureFile(packagePath));
  bool whole = !resume;
  PackageAttempt outcome;
  for (;;) {
    outcome = TransferPackageOnce(curl, address, packagePath, context, trust, whole, ++report->nAttempts);
    if (outcome.bOpenFailed) {
      LogOpenFileError();
      return kWriteFailed;
    }
    if (outcome.Succeeded() || outcome.verdict == PackageAnswer::Verdict::kDiskShort) break;
    if (ProxySession* proxies = ProxiesOf(context)) {
      const ProxySession::Next next = proxies->AfterAttempt(curl, address, outcome.result, ObserverOf(context));
      if (next == ProxySession::Next::kTryAgainNow) continue;
      if (next == ProxySession::Next::kGiveUp) break;
    }
    // A restart is not a failure of the line: the part on disk goes and the whole package
    // follows. It still waits its turn, or a server that keeps forcing it would be asked
    // as fast as the loop runs.
    const bool restart = outcome.verdict == PackageAnswer::Verdict::kRestartFresh;
    if (!restart && !IsTransientFailure(outcome.result, outcome.status)) break;
    DWORD pauseMs = 0;
    if (!schedule.NextAttempt(MeasureFile(packagePath), pauseMs)) break;
    whole = restart;
    WriteSetupInfo("package: %s in %lu ms", restart ? "asking for the whole package" : "trying again", pauseMs);
    // A window closed during the pause refuses the transfer as it would refuse its data.
    if (!PauseWhileSetupRuns(context, pauseMs)) return kWriteFailed;
  }

  if (outcome.verdict == PackageAnswer::Verdict::kDiskShort) {
    report->bDiskShort = true;
    WriteSetupLogF("not enough disk space: %lld bytes needed, %lld free", static_cast<long long>(outcome.nNeeded),
                   static_cast<long long>(outcome.nFree));
    return kWriteFailed;
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
