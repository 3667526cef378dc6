#include "CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include "Common/LongPath.h"
#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/SetupConstants.h"

namespace {

// "/quiet", "-QUIET" -> "quiet"; empty for anything that is no switch.
std::wstring SwitchName(const std::wstring& argument) {
  if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) return std::wstring();
  std::wstring name = argument.substr(1);
  for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
  return name;
}

// An argument quoted into the log: printable ASCII, cut short.
std::string Quoted(const std::wstring& argument) {
  std::string text;
  for (wchar_t c : argument) {
    if (text.size() == 60) {
      text += "...";
      break;
    }
    text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  return "\"" + text + "\"";
}

}  // namespace

InstallerOptions ParseCommandLine(const wchar_t* commandLine) {
  InstallerOptions options;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(commandLine && *commandLine ? commandLine : L"installation.exe", &count);
  if (!arguments) {
    options.problems.push_back("command line cannot be read");
    return options;
  }
  // The first is the program itself.
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = arguments[i];
    const std::wstring name = SwitchName(argument);
    if (name == L"quiet") {
      options.bQuiet = true;
    } else if (name == L"keep") {
      options.bKeep = true;
    } else if (name == L"noreport") {
      options.bNoReport = true;
    } else if (name == L"crash-for-test" && setup::kIsTestBuild) {
      options.bCrashForTest = true;
    } else if (name == L"log") {
      if (i + 1 >= count || !SwitchName(arguments[i + 1]).empty() || !*arguments[i + 1]) {
        options.problems.push_back("command line: /log names no file");
        continue;
      }
      options.strLogCopy = setup::FullPathName(arguments[++i]);
      if (options.strLogCopy.empty()) options.problems.push_back("command line: the /log file cannot be named");
    } else {
      options.problems.push_back("command line: unknown argument " + Quoted(argument));
    }
  }
  LocalFree(arguments);
  if (options.bKeep && !options.bQuiet) options.problems.push_back("command line: /keep without /quiet");
  return options;
}

void OpenLogCopy(InstallerOptions& options) {
  if (options.strLogCopy.empty()) return;
  const HANDLE file = setup::OpenPlainFile(options.strLogCopy.c_str(), setup::PlainFileUse::kAppend);
  if (file == INVALID_HANDLE_VALUE) {
    options.problems.push_back("command line: the /log file " + Quoted(options.strLogCopy) +
                               " cannot be written: error " + std::to_string(GetLastError()));
    options.strLogCopy.clear();
    return;
  }
  const DWORD type = GetFileType(file);
  CloseHandle(file);
  if (type != FILE_TYPE_DISK) {
    options.problems.push_back("command line: the /log file " + Quoted(options.strLogCopy) + " is no file on a disk");
    options.strLogCopy.clear();
  }
}
