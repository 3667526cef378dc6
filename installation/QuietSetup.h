#pragma once
// The installer for administrators deploying the client: a whole setup run with no window at
// all, the outcome told by the exit code. It is one more observer of the setup engine.

#include <windows.h>

#include "SingleInstance.h"
#include "engine/SetupOutcome.h"

// The exit codes of a quiet run (the interactive installer always ends with 0): how the
// engine's run ended (OutcomeExitCode, engine/SetupOutcome.h; the README's table), and the
// two roads that end before the engine runs.
enum QuietExitCode : int {
  kQuietAnotherInstaller = 1,  // another installer is running
  kQuietBadCommandLine = 7,    // the command line could not be taken
};

// Runs the setup without a window and returns its exit code. `instance` is this process's
// claim on the single-instance name; `keep` leaves an installed client alone.
int RunQuietSetup(setup::SingleInstance& instance, bool keep);
