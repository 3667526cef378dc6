#pragma once
// What is left of a run of the installer that crashed: a minidump in the log folder
// ("crash-<UTC time>.dmp", the newest three kept), a log line, and a small record of the
// exception's code and place that the next run's report carries (never the dump itself).

#include <string>

// From now on an exception nobody handles writes the dump, the log line and the record, then
// ends the process. Everything the handler needs is found here, before anything can crash.
void InstallCrashHandler();

// What the record of the previous run's crash says, taken once (the record goes): its
// exception code in hexadecimal and "module+offset" (the module's file name only).
struct PreviousCrash {
  std::string code;
  std::string at;
};
PreviousCrash TakePreviousCrash();

// The record and dump files' folder and names, for the tests.
std::wstring CrashFolder();
inline constexpr const wchar_t* kCrashRecordName = L"crash.txt";
inline constexpr int kKeptCrashDumps = 3;
