#include "engine/RetryAfter.h"

#include <curl/curl.h>

#include <cctype>
#include <ctime>

#include "Common/tool.h"
#include "engine/SetupLog.h"

namespace setup {

namespace {

constexpr ULONGLONG kDayMs = 86400000ull;

}  // namespace

std::optional<ULONGLONG> RetryAfterMs(const std::string& value, const std::string& date) {
  const std::string text = TrimmedText(value);
  if (text.empty()) return std::nullopt;
  if (text.find_first_not_of("0123456789") == std::string::npos) {
    ULONGLONG seconds = 0;
    for (char c : text) {
      seconds = seconds * 10 + static_cast<ULONGLONG>(c - '0');
      if (seconds * 1000 >= kDayMs) return kDayMs;
    }
    return seconds * 1000;
  }
  // Every date form HTTP allows starts with the day's name; the transfer library reads the
  // three, and would take a lone number for something else.
  if (!std::isalpha(static_cast<unsigned char>(text[0]))) return std::nullopt;
  const time_t then = curl_getdate(text.c_str(), nullptr);
  if (then == static_cast<time_t>(-1)) return std::nullopt;
  time_t now = date.empty() ? static_cast<time_t>(-1) : curl_getdate(date.c_str(), nullptr);
  if (now == static_cast<time_t>(-1)) now = time(nullptr);
  if (then <= now) return 0;
  const ULONGLONG ms = static_cast<ULONGLONG>(then - now) * 1000;
  return ms < kDayMs ? ms : kDayMs;
}

DWORD PauseHonouringServer(DWORD pauseMs, long status, const std::string& value, const std::string& date,
                           DWORD limitMs) {
  if (status != 503 && status != 429) return pauseMs;
  const std::optional<ULONGLONG> asked = RetryAfterMs(value, date);
  if (!asked) return pauseMs;
  const DWORD honoured = static_cast<DWORD>(*asked < limitMs ? *asked : limitMs);
  WriteSetupInfo("the server asks to wait %.40s: %lu ms%s", value.c_str(), static_cast<unsigned long>(honoured),
                 *asked > limitMs ? ", the most a run waits" : "");
  return honoured > pauseMs ? honoured : pauseMs;
}

}  // namespace setup
