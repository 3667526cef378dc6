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
  // Transient failures (refused or reset connection, cut body, stall, 5xx) and restarts
  // the server forces are tried again this many times in a row; an attempt that left the
  // package longer than it has ever been in the run starts the count afresh.
  int nTransferRetries = 4;
  // However the attempts go, a transfer whose file has not grown for this long is not
  // tried again: with the stall time and the pauses above, a server that never gets past
  // its first part is given up within about three minutes.
  ULONGLONG nNoProgressLimitMs = 180000;
  // The pause before the first retry, doubled for each further failure in a row.
  DWORD nFirstRetryPauseMs = 1000;
  // However much each attempt brings, a transfer is not tried more often than this.
  int nMaxTransferAttempts = 30;
  // Windows Installer answers 1618 while another installation runs: the installer is
  // started again after this pause, this many times.
  int nBusyInstallerRetries = 30;
  DWORD nBusyInstallerPauseMs = 10000;
};

}  // namespace setup
