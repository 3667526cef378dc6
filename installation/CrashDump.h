#pragma once
// What is left of a run of the installer that crashed: a minidump in the log folder
// ("crash-<UTC time>.dmp", the newest three kept), a log line, and a small record of the
// exception's code and place that the next run's report carries (never the dump itself).

#include <string>

// From now on an exception nobody handles writes the dump, the log line and the record, then
// ends the process. Everything the handler needs is found here, before anything can crash.
// The record's name is the engine's (SetupLog.h): the next run's report reads it.
void InstallCrashHandler();

inline constexpr int kKeptCrashDumps = 3;
