#pragma once
// Shared by the installation tests: where the stand-in client, packages and runtime
// installer are, what their runs recorded, and how to put the machine (one isolated Wine
// prefix per test program) back to a clean state between cases.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "engine/SetupContext.h"

namespace standin_test {

// A file of the stand-in build folder, as a Windows path.
std::wstring FixturePath(const std::wstring& name);

// The host folder as Windows sees it (Wine maps "/" to drive Z:).
std::wstring HostPath(const std::string& unixPath);

// One started stand-in process, as it recorded itself.
struct Record {
  std::map<std::string, std::string> fields;
  std::string operator[](const std::string& key) const;
  unsigned long long Time(const std::string& key) const;
};

// The records of `program` ("client" or "runtime"), oldest first.
std::vector<Record> ReadRecords(const wchar_t* program);
// Waits (up to `timeoutMs`) until there are at least `count` records of `program`.
std::vector<Record> WaitForRecords(const wchar_t* program, size_t count, DWORD timeoutMs = 20000);

// Makes the next runs of the runtime stand-in end with these exit codes, one per run, in order.
bool RequestRuntimeExitCodes(const std::vector<unsigned long>& codes);

// While it lives, answers the error boxes installers show ("Error") with OK, as the user
// would, and counts them.
class ErrorBoxAnswerer {
 public:
  ErrorBoxAnswerer();
  ~ErrorBoxAnswerer();
  ErrorBoxAnswerer(const ErrorBoxAnswerer&) = delete;
  ErrorBoxAnswerer& operator=(const ErrorBoxAnswerer&) = delete;
  int Answered() const { return m_answered; }

 private:
  static DWORD WINAPI Watch(LPVOID self);
  HANDLE m_stop;
  HANDLE m_thread;
  volatile LONG m_answered = 0;
};

// Whether the process is still running.
bool IsRunning(DWORD processId);

// A setup context on the real data folder, as BeginSetup fills it (without a worker).
setup::SetupContext MakeSetupContext(const std::wstring& publishedVersion = L"2.0.1.5");

// Puts the client package (a file of the stand-in build folder) into the extraction folder
// as "Quillmere.msi", with the runtime installer when asked, and a "setup.zip" in the data
// folder as a downloaded package would be.
void StageSetupFolder(const setup::SetupContext& context, const std::wstring& msiName, bool withRuntime);

// Installs a stand-in package directly with Windows Installer and waits.
bool InstallPackage(const std::wstring& msiName);

// Starts a stand-in client program as a plain child, with the arguments given, and waits for
// its record; its process id, 0 on failure.
DWORD StartClient(const std::wstring& program, const std::wstring& arguments = std::wstring());

// Registry, all HKEY_LOCAL_MACHINE unless a root is given, in the 64-bit view unless a view
// is given.
std::wstring ReadString(const std::wstring& path, const wchar_t* value, REGSAM view = KEY_WOW64_64KEY);
bool KeyExists(const std::wstring& path, REGSAM view = KEY_WOW64_64KEY, HKEY root = HKEY_LOCAL_MACHINE);
bool WriteString(const std::wstring& path, const wchar_t* value, const std::wstring& text,
                 REGSAM view = KEY_WOW64_64KEY, HKEY root = HKEY_LOCAL_MACHINE);
// Registers the runtime marker where the runtime's own installer would.
bool RegisterRuntime();
// Time of the key's last change, 100 ns units since 1601 (UTC); 0 when it cannot be read.
unsigned long long KeyWriteTime(const std::wstring& path);

// The installed client's folder and configuration file (from "InstallPath" in the view).
std::wstring InstallFolder(REGSAM view = KEY_WOW64_64KEY);
std::wstring InstalledConfigPath(REGSAM view = KEY_WOW64_64KEY);
// The temporary folder's config.xml, where an upgrade used to keep the configuration.
std::wstring TemporaryFolderConfigPath();

// The lines of the setup log in the current folder that report failures, or (with `info`)
// those about the ordinary course of the run.
std::vector<std::string> SetupLogLines(bool info = false);

// Makes sure the desktop shell runs (Wine starts it with the first window).
bool EnsureDesktopShell();

// Stops stand-in clients, uninstalls every stand-in package, removes their keys in both
// views, the runtime markers, the data folder (with a kept configuration), the records, the
// temporary folder's config.xml and the setup log, which from then on is written in the
// current folder.
void ResetMachine();

}  // namespace standin_test
