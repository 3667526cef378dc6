#pragma once
// The setup log: "update.log" in the process's current folder, one time-stamped line per
// call. Nothing of it reaches the user. It is never written through a link.

namespace setup {

inline constexpr int kLogLineBytes = 256;  // terminator included

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

}  // namespace setup
