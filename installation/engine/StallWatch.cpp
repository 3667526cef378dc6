#include "engine/StallWatch.h"

namespace setup {

StallWatch::StallWatch(long stallSeconds, long floorBytesPerSecond, long stretchSeconds)
    : m_nStallMs(static_cast<ULONGLONG>(stallSeconds > 0 ? stallSeconds : 1) * 1000),
      m_nLastChange(GetTickCount64()),
      m_floorBytes(floorBytesPerSecond > 0 && stretchSeconds > 0 ? static_cast<double>(floorBytesPerSecond) * stretchSeconds
                                                                 : 0),
      m_nStretchMs(static_cast<ULONGLONG>(stretchSeconds > 0 ? stretchSeconds : 0) * 1000),
      m_nStretchStart(m_nLastChange) {}

bool StallWatch::KeepGoing(double received) {
  const ULONGLONG now = GetTickCount64();
  if (received != m_received) {
    m_received = received;
    m_nLastChange = now;
  } else {
    m_bStalled = now - m_nLastChange >= m_nStallMs;
    if (m_bStalled) return false;
  }
  if (m_floorBytes > 0 && now - m_nStretchStart >= m_nStretchMs) {
    // Stretch after stretch, each on its own: a fast start does not excuse a slow middle.
    m_bTooSlow = received - m_stretchStartReceived < m_floorBytes;
    if (m_bTooSlow) return false;
    m_nStretchStart = now;
    m_stretchStartReceived = received;
  }
  return true;
}

int StallWatch::OnProgress(void* watch, curl_off_t, curl_off_t received, curl_off_t, curl_off_t) {
  return static_cast<StallWatch*>(watch)->KeepGoing(static_cast<double>(received)) ? 0 : 1;
}

}  // namespace setup
