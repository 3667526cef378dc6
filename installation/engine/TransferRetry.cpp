// rand_s, the C runtime's face of the platform's random source (RtlGenRandom), is declared
// only when this is defined before the runtime's first header.
#define _CRT_RAND_S
#include "engine/TransferRetry.h"

#include <stdlib.h>

#include <curl/curl.h>

#include <algorithm>

#include "engine/SetupContext.h"

namespace setup {

namespace {

constexpr long kStatusTooManyRequests = 429;

}  // namespace

bool IsTransientFailure(int result, long status) {
  switch (result) {
    case CURLE_OK:
      return (status >= 500 && status <= 599) || status == kStatusTooManyRequests;
    case CURLE_COULDNT_CONNECT:
    case CURLE_PARTIAL_FILE:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
      return true;
    default:
      return false;
  }
}

DWORD JitteredPause(DWORD ceilingMs) {
  unsigned int random = 0;
  // Without a random number the ceiling is the one pause that is never sooner than meant.
  if (ceilingMs == 0 || rand_s(&random) != 0) return ceilingMs;
  return static_cast<DWORD>(static_cast<unsigned long long>(random) * (ceilingMs + 1ull) >> 32);
}

RetrySchedule::RetrySchedule(const SetupTimings& timings, int64_t onDisk)
    : m_timings(timings), m_nLongest(onDisk), m_nLastProgressTick(GetTickCount64()) {}

bool RetrySchedule::Count(int64_t onDisk, bool failure) {
  const ULONGLONG now = GetTickCount64();
  if (onDisk > m_nLongest) {
    m_nLongest = onDisk;
    m_nLastProgressTick = now;
    m_nFailuresInRow = failure ? 1 : 0;
  } else if (failure) {
    ++m_nFailuresInRow;
  }
  if (m_nFailuresInRow > m_timings.nTransferRetries || m_nAttempts >= m_timings.nMaxTransferAttempts ||
      now - m_nLastProgressTick >= m_timings.nNoProgressLimitMs)
    return false;
  ++m_nAttempts;
  return true;
}

bool RetrySchedule::NextAttempt(int64_t onDisk, DWORD& pauseMs) {
  if (!Count(onDisk, true)) return false;
  const int doublings = std::min(std::max(m_nFailuresInRow, 1) - 1, 16);
  pauseMs = JitteredPause(m_timings.nFirstRetryPauseMs << doublings);
  return true;
}

bool RetrySchedule::MoveOn(int64_t onDisk) { return Count(onDisk, false); }

bool PauseWhileSetupRuns(const SetupContext* context, DWORD ms) {
  constexpr DWORD kStepMs = 50;
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    if (!IsRunning(context)) return false;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return true;
    Sleep(static_cast<DWORD>(std::min<ULONGLONG>(kStepMs, end - now)));
  }
}

}  // namespace setup
