#pragma once
// When a failed transfer is tried again within the same run, and after which pause.

#include <windows.h>

#include "SetupTimings.h"

namespace setup {

// Whether an attempt failed in a way that a later attempt may not: a refused, reset, cut or
// stalled connection, or a server error (5xx). `result` is the library's result, `status`
// the answer's HTTP status (0 when none arrived).
bool IsTransientFailure(int result, long status);

// Counts the failures of one transfer. The pause grows with each failure in a row; an
// attempt that brought bytes starts the row afresh, so a line that breaks now and then
// still gets its whole transfer.
class RetrySchedule {
 public:
  explicit RetrySchedule(const SetupTimings& timings) : m_timings(timings) {}

  // After a transient failure: whether to try again and, if so, after how long.
  bool NextAttempt(bool broughtBytes, DWORD& pauseMs);

 private:
  SetupTimings m_timings;
  int m_nAttempts = 1;
  int m_nFailuresInRow = 0;
};

// Waits `ms`, in short steps; false as soon as the main window is gone (g_bSetupRunning).
bool PauseWhileSetupRuns(DWORD ms);

}  // namespace setup
