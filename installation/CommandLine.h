#pragma once
// What the installer is told on its command line. Without arguments it is the interactive
// installer it always was; "/quiet" makes it an administrator's tool for deployment.
//   /quiet          no window at all; an installed client is replaced without asking;
//                   the exit code tells what happened (QuietSetup.h)
//   /keep           with /quiet: an installed client is left alone
//   /log <path>     the setup log is written to <path> as well
// Names are taken in any letter case, after "/" or "-".

#include <string>
#include <vector>

struct InstallerOptions {
  bool bQuiet = false;
  bool bKeep = false;
  std::wstring strLogCopy;  // full path; empty when not asked for
  // What could not be taken, one line each for the log: an unknown argument, "/log" without
  // a path, "/keep" without "/quiet". A quiet run with any of them does nothing; the
  // interactive installer runs as ever.
  std::vector<std::string> problems;
};

InstallerOptions ParseCommandLine(const wchar_t* commandLine);
