#pragma once
// The wait a server asks for with "Retry-After" when it answers 503 (unavailable) or 429
// (too many requests): a CDN shedding load says when to come back, and coming back sooner
// only hands it the same load again.

#include <windows.h>

#include <optional>
#include <string>

namespace setup {

// The milliseconds `value` asks for: delay-seconds ("120") or an HTTP date. A date is
// counted from the answer's own Date field when it gives one (`date`, the server's clock,
// against which the server wrote it), else from the machine's clock. A date in the past asks
// for no wait. None when the text is neither form. Seconds beyond what a day holds count as
// a day: the caller bounds the wait far below that.
std::optional<ULONGLONG> RetryAfterMs(const std::string& value, const std::string& date);

// The pause before the next attempt after an answer of `status` that carried Retry-After
// `value` (and Date `date`): `pauseMs`, or longer when a 503 or 429 asked for longer, but
// never longer than `limitMs`. Other statuses ask for nothing.
DWORD PauseHonouringServer(DWORD pauseMs, long status, const std::string& value, const std::string& date,
                           DWORD limitMs);

}  // namespace setup
