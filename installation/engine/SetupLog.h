#pragma once
// The setup log: "update.log" in a folder of its own beside the data folder, one time-stamped
// line per call. Nothing of it reaches the user. It is never written through a link.

#include <string>

#include "engine/SetupConstants.h"

namespace setup {

inline constexpr int kLogLineBytes = 256;  // terminator included

// Below the all-users application data folder, beside the data folder rather than in it: the
// data folder goes once a client is installed, and the log is what is left to read after a
// failure.
inline constexpr const wchar_t* kLogFolderName = QUILL_PRODUCT_WORD L" Logs";
// Beside the log: what a crashed run left for the next run's report ("code=...", "at=...").
inline constexpr const wchar_t* kCrashRecordName = L"crash.txt";

// Appends "YYYY-MM-DD hh:mm:ss Msg:<message>\r\n" (local time). A message too long for the
// line is cut so that the line still ends with its line break; control characters in it
// (line breaks included) become spaces, so one call is always one line. Returns 0, or -1 when the
// log cannot be opened or a link stands in its place (the line is then dropped).
int WriteSetupLog(const char* message);

// The same, formatted with printf rules.
int WriteSetupLogF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A line about the ordinary course of the run, for whoever reads the log after a failure:
// versions, addresses, statuses, byte counts, results, exit codes, the transfer library's
// own trace. Such lines start with kSetupInfoPrefix, so they stand apart from the lines
// that report a failure.
inline constexpr const char* kSetupInfoPrefix = "info: ";
int WriteSetupInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the log is written: "<all-users application data>\<kLogFolderName>\update.log". The
// first call makes the folder safe the way the data folder is made safe (see DataFolder.h):
// the current folder, chosen by whoever starts the elevated installer, is never written to.
// Empty when the folder cannot be had; the log then drops its lines.
std::wstring SetupLogPath();

// The folder the log is in, where a crashed run also leaves its dump and its record; empty
// when the log has none.
std::wstring SetupLogFolder();

// Points the log at `path` from then on (a relative path is taken from the current folder at
// each line), for tests that read the log in their working folder; an empty path returns it
// to its folder.
void SetSetupLogPath(const std::wstring& path);

// Writes every line to `path` as well, from then on (an administrator deploying the client
// names it on the command line); never through a link. Empty: no second place.
void SetSetupLogCopy(const std::wstring& path);

}  // namespace setup
