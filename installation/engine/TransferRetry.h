#pragma once
// When a failed transfer is tried again within the same run, and after which pause.

#include <windows.h>

#include <cstdint>

#include "engine/SetupTimings.h"

namespace setup {

// Whether an attempt failed in a way that a later attempt may not: a refused, reset, cut or
// stalled connection, a server error (5xx) or a server that asks for fewer requests (429).
// `result` is the library's result, `status` the answer's HTTP status (0 when none arrived).
bool IsTransientFailure(int result, long status);

// A pause drawn evenly between zero and `ceilingMs`, both included, from the platform's
// random source: installers that failed in the same second must not all come back in the
// same second, and a generator seeded with the time would make them do exactly that.
DWORD JitteredPause(DWORD ceilingMs);

// Counts the failed attempts of one transfer. The ceiling of the pause doubles with each
// failure in a row; the pause itself is drawn below it (JitteredPause). Only an attempt that
// left the file longer than it has ever been in this run counts as progress and starts the
// row afresh: a server that sends the same first part again and again, then stalls, would
// otherwise be tried for ever at the shortest pause. A transfer that makes no progress for
// the run's whole no-progress limit is not tried again either, and none is tried more often
// than the attempt limit.
class RetrySchedule {
 public:
  // `onDisk`: the length of the file when the transfer began (0 for one kept in memory).
  explicit RetrySchedule(const SetupTimings& timings, int64_t onDisk = 0);

  // After a failed attempt, with the file's length now: whether to try again and, if so,
  // after how long.
  bool NextAttempt(int64_t onDisk, DWORD& pauseMs);

  // After a failed attempt whose next one goes to another address at once: whether another
  // attempt may follow at all. It counts against the attempt and no-progress limits, not as
  // a failure in a row.
  bool MoveOn(int64_t onDisk);

 private:
  // Takes the file's length after an attempt; false once a limit forbids another attempt.
  bool Count(int64_t onDisk, bool failure);

  SetupTimings m_timings;
  int m_nAttempts = 1;
  int m_nFailuresInRow = 0;
  int64_t m_nLongest;
  ULONGLONG m_nLastProgressTick;
};

struct SetupContext;

// Waits `ms`, in short steps; false as soon as the run of `context` no longer goes on.
bool PauseWhileSetupRuns(const SetupContext* context, DWORD ms);

}  // namespace setup
