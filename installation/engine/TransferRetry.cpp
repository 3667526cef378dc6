#include "engine/TransferRetry.h"

#include <curl/curl.h>

#include <algorithm>

#include "engine/SetupContext.h"

namespace setup {

bool IsTransientFailure(int result, long status) {
  switch (result) {
    case CURLE_OK:
      return status >= 500 && status <= 599;
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

RetrySchedule::RetrySchedule(const SetupTimings& timings, int64_t onDisk)
    : m_timings(timings), m_nLongest(onDisk), m_nLastProgressTick(GetTickCount64()) {}

bool RetrySchedule::NextAttempt(int64_t onDisk, DWORD& pauseMs) {
  const ULONGLONG now = GetTickCount64();
  if (onDisk > m_nLongest) {
    m_nLongest = onDisk;
    m_nLastProgressTick = now;
    m_nFailuresInRow = 1;
  } else {
    ++m_nFailuresInRow;
  }
  if (m_nFailuresInRow > m_timings.nTransferRetries || m_nAttempts >= m_timings.nMaxTransferAttempts ||
      now - m_nLastProgressTick >= m_timings.nNoProgressLimitMs)
    return false;
  ++m_nAttempts;
  const int doublings = std::min(m_nFailuresInRow - 1, 16);
  pauseMs = m_timings.nFirstRetryPauseMs << doublings;
  return true;
}

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
