#include "engine/ResponseHeaders.h"

#include <cctype>
#include <cstdlib>

#include "Common/tool.h"
#include "engine/ServerTrust.h"

namespace setup {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A decimal count at the start of the text; -1 when there is none or it does not fit.
int64_t LeadingCount(const std::string& text, size_t& end) {
  end = 0;
  int64_t count = 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
    if (count > (INT64_MAX - 9) / 10) return -1;
    count = count * 10 + (text[end] - '0');
    ++end;
  }
  return end == 0 ? -1 : count;
}

int64_t WholeCount(const std::string& text) {
  size_t end = 0;
  const int64_t count = LeadingCount(text, end);
  return end == text.size() ? count : -1;
}

}  // namespace

ResponseHeaders::ResponseHeaders(CURL* curl, ServerTrust* trust, HeadCompleteFn onHeadComplete)
    : m_pTrust(trust), m_onHeadComplete(std::move(onHeadComplete)) {
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
}

size_t ResponseHeaders::OnHeader(char* data, size_t size, size_t count, void* self) {
  const size_t bytes = size * count;
  return static_cast<ResponseHeaders*>(self)->Take(data, bytes) ? bytes : 0;
}

std::optional<SYSTEMTIME> ParseHttpDate(const std::string& text) {
  if (text.empty()) return std::nullopt;
  const time_t seconds = curl_getdate(text.c_str(), nullptr);
  if (seconds < 0) return std::nullopt;
  // Seconds since 1970 as 100-nanosecond ticks since 1601.
  const unsigned long long ticks = (static_cast<unsigned long long>(seconds) + 11644473600ull) * 10000000ull;
  FILETIME file = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME time = {};
  if (!FileTimeToSystemTime(&file, &time)) return std::nullopt;
  return time;
}

void ResponseHeaders::Forget() {
  m_nStatus = 0;
  m_bComplete = false;
  m_nContentLength = m_nRangeFirst = m_nRangeTotal = -1;
  m_strETag.clear();
  m_strLastModified.clear();
  m_strContentEncoding.clear();
  m_strRetryAfter.clear();
  m_strDate.clear();
}

bool ResponseHeaders::Take(const char* line, size_t bytes) {
  const std::string text = TrimmedText(std::string(line, bytes));
  if (text.compare(0, 5, "HTTP/") == 0) {
    // Every answer starts with its status line: an earlier interim answer is forgotten.
    Forget();
    const size_t space = text.find(' ');
    if (space != std::string::npos) m_nStatus = std::strtol(text.c_str() + space + 1, nullptr, 10);
    return !m_pTrust || m_pTrust->AcceptAnswer();
  }
  if (text.empty()) {
    // The end of a head; an interim answer (1xx) is followed by the real one.
    if (m_nStatus < 200 || m_bComplete) return true;
    m_bComplete = true;
    return !m_onHeadComplete || m_onHeadComplete(*this);
  }
  const size_t colon = text.find(':');
  if (colon != std::string::npos) TakeField(Lower(TrimmedText(text.substr(0, colon))), TrimmedText(text.substr(colon + 1)));
  return true;
}

void ResponseHeaders::TakeField(const std::string& name, const std::string& value) {
  if (name == "content-length") {
    m_nContentLength = WholeCount(value);
  } else if (name == "etag") {
    m_strETag = value;
  } else if (name == "last-modified") {
    m_strLastModified = value;
  } else if (name == "content-encoding") {
    m_strContentEncoding = Lower(value);
  } else if (name == "retry-after") {
    m_strRetryAfter = value;
  } else if (name == "date") {
    m_strDate = value;
  } else if (name == "content-range") {
    const std::string lower = Lower(value);
    if (lower.compare(0, 6, "bytes ") != 0) return;
    const std::string range = TrimmedText(lower.substr(6));
    const size_t slash = range.find('/');
    if (slash == std::string::npos) return;
    m_nRangeTotal = WholeCount(range.substr(slash + 1));
    size_t end = 0;
    m_nRangeFirst = LeadingCount(range, end);  // -1 for "*"
  }
}

}  // namespace setup
