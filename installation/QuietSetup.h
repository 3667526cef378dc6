#pragma once
// The installer for administrators deploying the client: a whole setup run with no window at
// all, the outcome told by the exit code. It is one more observer of the setup engine.

#include <windows.h>

#include "SingleInstance.h"
#include "engine/SetupOutcome.h"

// The exit codes of a quiet run (the interactive installer always ends with 0).
enum QuietExitCode : int {
  kQuietInstalled = 0,         // installed, and started where a desktop user is signed in
  kQuietAnotherInstaller = 1,  // another installer is running
  kQuietDownloadFailed = 2,    // the manifest or the package could not be had (or was not vouched for)
  kQuietPackageDamaged = 3,    // the package is not what the manifest describes, or cannot be extracted
  kQuietDiskError = 4,         // writing to disk failed
  kQuietInstallerFailed = 5,   // the runtime or the client installer failed (its code is in the log)
  kQuietClientKept = 6,        // an installed client was left as it was (/keep)
  kQuietBadCommandLine = 7,    // the command line could not be taken
  kQuietPreviousRestored = 8,  // the new version failed; the previous one was put back
  kQuietRestartNeeded = 9,     // installed; a restart is needed before the client can start
};

// The exit code that tells how the engine's run ended.
int QuietExitCodeFor(setup::SetupOutcome outcome);

// Runs the setup without a window and returns its exit code. `instance` is this process's
// claim on the single-instance name; `keep` leaves an installed client alone.
int RunQuietSetup(setup::SingleInstance& instance, bool keep);
