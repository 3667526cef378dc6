#include "engine/HttpFetch.h"

#include <windows.h>

#include <curl/curl.h>

#include <cstring>
#include <optional>
#include <string>

#include "Common/ContentDecoding.h"
#include "Common/tool.h"
#include "engine/ManifestTrust.h"
#include "engine/ProxySession.h"
#include "engine/ResponseHeaders.h"
#include "engine/RetryAfter.h"
#include "engine/ServerTrust.h"
#include "engine/SetupConstants.h"
#include "engine/SetupLog.h"
#include "engine/StallWatch.h"
#include "engine/TransferHandle.h"
#include "engine/TransferOptions.h"
#include "engine/TransferRetry.h"
#include "engine/VersionManifest.h"

namespace setup {

namespace {

// A manifest is a few hundred bytes; anything this large is not one and is not kept.
constexpr size_t kMaxManifestBytes = 1u << 20;

// The manifest may arrive in any number of pieces; it is parsed only once it is whole.
size_t CollectManifestBody(char* data, size_t size, size_t count, void* body) {
  auto* text = static_cast<std::string*>(body);
  const size_t bytes = size * count;
  if (text->size() + bytes > kMaxManifestBytes) return 0;
  text->append(data, bytes);
  return bytes;
}

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
    pauseMs = PauseHonouringServer(pauseMs, answer.status, head.RetryAfter(), head.Date(),
                                   TimingsOf(context).nRetryAfterLimitMs);
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
  if (context) {
    context->m_facts.strFrom = Utf8Text(installed);
    context->m_facts.nHttpStatus = manifest.status;
    context->m_facts.nNetResult = manifest.result;
  }
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
  if (SignatureHeld(verdict)) TakeReportFacts(manifest.body, context);
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

}  // namespace setup
