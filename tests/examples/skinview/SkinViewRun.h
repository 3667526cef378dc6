#pragma once
// skinview.exe run as a skin writer or a CI job runs it: a separate process with its output
// read back.

#include <string>
#include <vector>

namespace skinview_testing {

struct SkinViewRun {
  int nExitCode = -1;
  std::vector<std::wstring> output;  // standard output, line by line (UTF-8 decoded)
  std::vector<std::wstring> errors;  // standard error, line by line
};

// Runs skinview.exe with the arguments (each quoted) and waits up to 60 seconds for it.
SkinViewRun RunSkinView(const std::vector<std::wstring>& args);

// A file of the test data below tests/examples/skinview/data, as a Windows path.
std::wstring DataFile(const std::wstring& name);
// The control gallery's skin in the folder the build draws its pictures into.
std::wstring GallerySkin();

}  // namespace skinview_testing
