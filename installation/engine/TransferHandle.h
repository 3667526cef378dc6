#pragma once
// What the manifest and the package transfers share inside the engine: the library's easy
// handle and header list as owned objects, and the run's settings as each transfer reads
// them (a transfer made without a run takes the defaults and goes direct).

#include <curl/curl.h>

#include <memory>
#include <string>

#include "engine/ProxySession.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"
#include "engine/StallWatch.h"

namespace setup {

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
inline ProxySession* ProxiesOf(SetupContext* context) {
  if (!context) return nullptr;
  if (!context->m_pProxies) context->m_pProxies = std::make_shared<ProxySession>();
  return context->m_pProxies.get();
}

inline ISetupObserver* ObserverOf(const SetupContext* context) { return context ? context->m_pObserver : nullptr; }

inline const SetupTimings& TimingsOf(const SetupContext* context) {
  static const SetupTimings defaults;
  return context ? context->m_timings : defaults;
}

inline long ResponseStatus(CURL* curl) {
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  return status;
}

inline void LogUnexpectedStatus(long status) {
  WriteSetupLog("invalid http status code: ");
  WriteSetupLogF("%ld", status);
}

// A stopped transfer whose watch saw the server fall silent, or too slow, reports the
// library's time-out.
inline CURLcode StallOutcome(CURLcode result, const StallWatch& watch) {
  return result == CURLE_ABORTED_BY_CALLBACK && (watch.Stalled() || watch.TooSlow()) ? CURLE_OPERATION_TIMEDOUT
                                                                                      : result;
}

}  // namespace setup
