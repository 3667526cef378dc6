#pragma once
// Stall detection for a transfer: no new byte for a stated time ends it. The transfer
// library's own low-speed check averages over several seconds, so after a burst it lets a
// silent server hold the transfer far longer than stated; this watch counts from the last
// byte that arrived. It may also hold the transfer to a speed floor: fewer bytes than the
// floor allows over a whole stretch end it too.

#include <windows.h>

#include <curl/curl.h>

namespace setup {

class StallWatch {
 public:
  // Without a floor (0 bytes a second) only a stall ends the transfer.
  explicit StallWatch(long stallSeconds, long floorBytesPerSecond = 0, long stretchSeconds = 0);

  // Called from the transfer's progress callback (the library calls it about once a second
  // when nothing arrives) with the bytes received so far; false once the stall time has
  // passed since the count last grew, or since the watch began, or once a stretch brought
  // less than the floor.
  bool KeepGoing(double received);

  bool Stalled() const { return m_bStalled; }
  bool TooSlow() const { return m_bTooSlow; }

  // The library's progress callback for a transfer that shows no progress: `watch` is the
  // StallWatch; a non-zero answer stops the transfer.
  static int OnProgress(void* watch, curl_off_t total, curl_off_t received, curl_off_t uploadTotal,
                        curl_off_t uploaded);

 private:
  ULONGLONG m_nStallMs;
  ULONGLONG m_nLastChange;
  double m_received = -1;
  bool m_bStalled = false;
  double m_floorBytes;  // what one stretch must bring; 0: no floor
  ULONGLONG m_nStretchMs;
  ULONGLONG m_nStretchStart;
  double m_stretchStartReceived = 0;
  bool m_bTooSlow = false;
};

}  // namespace setup
