#pragma once
// How long a setup run waits for the network and for other installers, and how often it
// tries again. One set per run, kept in its SetupContext.

#include <windows.h>

namespace setup {

struct SetupTimings {
  // A server that has not accepted the connection by then is given up on for this attempt.
  long nConnectTimeoutSeconds = 20;
  // No byte for this long ends a transfer as a failure: a stalled server would otherwise
  // hold the window at the same figures for ever.
  long nStallSeconds = 30;
  // Transient failures (refused or reset connection, cut body, stall, 5xx, 429) and restarts
  // the server forces are tried again this many times in a row; an attempt that left the
  // package longer than it has ever been in the run starts the count afresh.
  int nTransferRetries = 4;
  // However the attempts go, a transfer whose file has not grown for this long is not
  // tried again: with the stall time and the pauses above, a server that never gets past
  // its first part is given up within about three minutes.
  ULONGLONG nNoProgressLimitMs = 180000;
  // The ceiling of the pause before the first retry, doubled for each further failure in a
  // row; each pause is drawn at random between zero and the ceiling, so installers that
  // failed together do not all come back together.
  DWORD nFirstRetryPauseMs = 1000;
  // A server that answers 503 or 429 with Retry-After is not asked again sooner than it says,
  // but a run waits no longer than this for it.
  DWORD nRetryAfterLimitMs = 120000;
  // A package address that brings less than this many bytes a second over a stretch of this
  // many seconds is left for the next one, while another address is still untried for speed.
  long nSlowFloorBytesPerSecond = 32768;
  long nSlowStretchSeconds = 45;
  // However much each attempt brings, a transfer is not tried more often than this.
  int nMaxTransferAttempts = 30;
  // Windows Installer answers 1618 while another installation runs: the installer is
  // started again after this pause, this many times.
  int nBusyInstallerRetries = 30;
  DWORD nBusyInstallerPauseMs = 10000;
};

}  // namespace setup
