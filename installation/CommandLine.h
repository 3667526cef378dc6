#pragma once
// What the installer is told on its command line. Without arguments it is the interactive
// installer it always was; "/quiet" makes it an administrator's tool for deployment.
//   /quiet          no window at all; an installed client is replaced without asking;
//                   the exit code tells what happened (QuietSetup.h)
//   /keep           with /quiet: an installed client is left alone
//   /log <path>     the setup log is written to <path> as well
//   /noreport       the run sends no report to the vendor (see engine/RunReport.h)
// Names are taken in any letter case, after "/" or "-".

#include <string>
#include <vector>

struct InstallerOptions {
  bool bQuiet = false;
  bool bKeep = false;
  std::wstring strLogCopy;  // full path; empty when not asked for
  bool bNoReport = false;
  // A test build's hidden switch: the run crashes on purpose once its crash handler is in place.
  bool bCrashForTest = false;
  // What could not be taken, one line each for the log: an unknown argument, "/log" without
  // a path, "/keep" without "/quiet", a /log file that cannot be written. A run with any of
  // them does nothing at all, quiet or not: an unattended deployment with a typo must not
  // open a window that waits for somebody.
  std::vector<std::string> problems;
};

InstallerOptions ParseCommandLine(const wchar_t* commandLine);

// Creates (or opens, to append) the /log file now, so that a file that cannot be written is
// known before anything runs; adds the reason to `options.problems` and forgets the file
// when it cannot. Only a plain file on a disk counts: a device such as "NUL" would swallow
// the log unseen.
void OpenLogCopy(InstallerOptions& options);
