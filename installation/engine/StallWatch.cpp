#include "engine/StallWatch.h"

namespace setup {

StallWatch::StallWatch(long stallSeconds)
    : m_nStallMs(static_cast<ULONGLONG>(stallSeconds > 0 ? stallSeconds : 1) * 1000), m_nLastChange(GetTickCount64()) {}

bool StallWatch::KeepGoing(double received) {
  const ULONGLONG now = GetTickCount64();
  if (received != m_received) {
    m_received = received;
    m_nLastChange = now;
    return true;
  }
  m_bStalled = now - m_nLastChange >= m_nStallMs;
  return !m_bStalled;
}

int StallWatch::OnProgress(void* watch, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
  return static_cast<StallWatch*>(watch)->KeepGoing(static_cast<double>(received)) ? 0 : 1;
}

}  // namespace setup
