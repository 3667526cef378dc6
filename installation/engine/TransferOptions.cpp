#include "engine/TransferOptions.h"

#include <string>

#include "engine/SetupLog.h"

namespace setup {
namespace {

// One log line per line of text; the library hands over a whole request head at once.
void LogLines(const char* mark, const char* data, size_t bytes) {
  size_t start = 0;
  while (start < bytes) {
    size_t end = start;
    while (end < bytes && data[end] != '\n') ++end;
    std::string line(data + start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) WriteSetupInfo("%s%s", mark, line.c_str());
    start = end + 1;
  }
}

int OnTrace(CURL*, curl_infotype type, char* data, size_t bytes, void*) {
  switch (type) {
    case CURLINFO_TEXT:
      LogLines("* ", data, bytes);
      break;
    case CURLINFO_HEADER_IN:
      LogLines("< ", data, bytes);
      break;
    case CURLINFO_HEADER_OUT:
      LogLines("> ", data, bytes);
      break;
    default:  // body bytes and the secure layer's records are no reading for anyone
      break;
  }
  return 0;
}

}  // namespace

void ApplyTransferOptions(CURL* curl, const SetupTimings& timings) {
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, OnTrace);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timings.nConnectTimeoutSeconds);
  // No proxy unless the run's own discovery names one (ProxySession): never one from the
  // environment, which any user may set for the elevated installer.
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
}

}  // namespace setup
