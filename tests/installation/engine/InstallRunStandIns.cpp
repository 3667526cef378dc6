#include "InstallRunStandIns.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>

#include "StandInRecord.h"
#include "engine/DataFolder.h"
#include "engine/SetupConstants.h"
#include "engine/SetupLog.h"
#include "support/TestFiles.h"

using namespace testing_support;

namespace standin_test {
namespace {

const wchar_t* const kStandInCodes[] = {QUILL_STANDIN_CODE_OLD, QUILL_STANDIN_CODE_NEW, QUILL_STANDIN_CODE_BARE,
                                        QUILL_STANDIN_CODE_OLD_X86, QUILL_STANDIN_CODE_NEW_X86};
const REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
const std::wstring kUninstallList = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::wstring CommonAppData() {
  wchar_t folder[setup::kPathChars];
  return setup::GetCommonAppDataFolder(folder, true) ? std::wstring(folder) : std::wstring();
}

std::wstring RecordFolder() { return CommonAppData() + L"\\" + standin::kRecordFolderName; }

bool RunHidden(std::wstring commandLine) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  WaitForSingleObject(started.hProcess, 120000);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

std::wstring MsiExec() {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  return std::wstring(system) + L"\\MsiExec.exe";
}

void DeleteTree(HKEY root, const std::wstring& parent, const std::wstring& name, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, parent.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeW(key, name.c_str());
  RegDeleteKeyExW(key, name.c_str(), view, 0);
  RegCloseKey(key);
}

// Test-made uninstall entries are named "QuillTest..."; remove them from both views.
void DeleteTestEntries(REGSAM view) {
  HKEY list = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallList.c_str(), 0, KEY_READ | view, &list) != ERROR_SUCCESS) return;
  std::vector<std::wstring> names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD chars = 256;
    if (RegEnumKeyExW(list, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (wcsncmp(name, L"QuillTest", 9) == 0) names.push_back(name);
  }
  RegCloseKey(list);
  for (const auto& entry : names) DeleteTree(HKEY_LOCAL_MACHINE, kUninstallList, entry, view);
}

void StopClients() {
  static HANDLE exitEvent = CreateEventW(nullptr, TRUE, FALSE, standin::kClientExitEvent);
  SetEvent(exitEvent);
  for (const Record& client : ReadRecords(standin::kClientProgram)) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, std::stoul(client["pid"]));
    if (!process) continue;
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    CloseHandle(process);
  }
  ResetEvent(exitEvent);
}

}  // namespace

std::wstring HostPath(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return path;
}

std::wstring FixturePath(const std::wstring& name) { return HostPath(QUILL_CLIENT_FIXTURE_DIR) + L"\\" + name; }

std::string Record::operator[](const std::string& key) const {
  auto it = fields.find(key);
  return it == fields.end() ? std::string() : it->second;
}

unsigned long long Record::Time(const std::string& key) const {
  const std::string text = (*this)[key];
  return text.empty() ? 0 : std::stoull(text);
}

std::vector<Record> ReadRecords(const wchar_t* program) {
  std::vector<Record> records;
  const std::wstring folder = RecordFolder();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\" + program + L"-*.txt").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return records;
  do {
    Record record;
    for (const std::string& line : ReadLines(folder + L"\\" + found.cFileName)) {
      const size_t eq = line.find('=');
      if (eq != std::string::npos) record.fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    records.push_back(record);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(records.begin(), records.end(),
            [](const Record& a, const Record& b) { return a.Time("started") < b.Time("started"); });
  return records;
}

std::vector<Record> WaitForRecords(const wchar_t* program, size_t count, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    std::vector<Record> records = ReadRecords(program);
    if (records.size() >= count || GetTickCount() - start > timeoutMs) return records;
    Sleep(100);
  }
}

bool RequestRuntimeExitCodes(const std::vector<unsigned long>& codes) {
  CreateDirectoryW(RecordFolder().c_str(), nullptr);
  std::string text;
  for (unsigned long code : codes) text += std::to_string(code) + "\n";
  return WriteFileBytes(RecordFolder() + L"\\" + standin::kRuntimeExitCodesFile, text);
}

ErrorBoxAnswerer::ErrorBoxAnswerer()
    : m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_thread(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {}

ErrorBoxAnswerer::~ErrorBoxAnswerer() {
  SetEvent(m_stop);
  WaitForSingleObject(m_thread, INFINITE);
  CloseHandle(m_thread);
  CloseHandle(m_stop);
}

DWORD WINAPI ErrorBoxAnswerer::Watch(LPVOID self) {
  auto* answerer = static_cast<ErrorBoxAnswerer*>(self);
  while (WaitForSingleObject(answerer->m_stop, 100) == WAIT_TIMEOUT) {
    HWND box = FindWindowW(nullptr, L"Error");
    if (box && IsWindowVisible(box) && PostMessageW(box, WM_COMMAND, IDOK, 0)) {
      InterlockedIncrement(&answerer->m_answered);
      // Gone before it is looked for again.
      for (int wait = 0; wait < 50 && IsWindow(box); ++wait) Sleep(100);
    }
  }
  return 0;
}

bool IsRunning(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (!process) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

setup::SetupContext MakeSetupContext(const std::wstring& publishedVersion) {
  setup::SetupContext context;
  const std::wstring data = CommonAppData() + L"\\" + setup::kDataFolderName;
  setup::PrepareDataFolder(data.c_str());
  wcscpy(context.m_szDataDir, data.c_str());
  wcscpy(context.m_szSetupDir, (data + setup::kSetupFolderSuffix).c_str());
  wcscpy(context.m_szPackagePath, (data + setup::kPackageFileSuffix).c_str());
  context.m_strPublishedVersion = publishedVersion;
  context.m_timings.nBusyInstallerPauseMs = 300;
  return context;
}

void StageSetupFolder(const setup::SetupContext& context, const std::wstring& msiName, bool withRuntime) {
  const std::wstring setupDir = context.m_szSetupDir;
  CreateDirectoryW(setupDir.c_str(), nullptr);
  CopyFileW(FixturePath(msiName).c_str(), (setupDir + L"\\" + setup::kClientPackageName).c_str(), FALSE);
  if (withRuntime)
    CopyFileW(FixturePath(L"vcredist_x86.exe").c_str(), (setupDir + L"\\" + setup::kRuntimeInstallerName).c_str(), FALSE);
  CopyFileW(FixturePath(L"quillmere-2.0.1.5.zip").c_str(), context.m_szPackagePath, FALSE);
}

bool InstallPackage(const std::wstring& msiName) {
  return RunHidden(MsiExec() + L" /i \"" + FixturePath(msiName) + L"\" /qn");
}

DWORD StartClient(const std::wstring& program, const std::wstring& arguments) {
  const size_t before = ReadRecords(standin::kClientProgram).size();
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return 0;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return WaitForRecords(standin::kClientProgram, before + 1).size() > before ? started.dwProcessId : 0;
}

std::wstring ReadString(const std::wstring& path, const wchar_t* value, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return std::wstring();
  wchar_t buffer[1024];
  DWORD bytes = sizeof buffer;
  const LSTATUS status = RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ, nullptr, buffer, &bytes);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? std::wstring(buffer) : std::wstring();
}

bool KeyExists(const std::wstring& path, REGSAM view, HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool WriteString(const std::wstring& path, const wchar_t* value, const std::wstring& text, REGSAM view, HKEY root) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LSTATUS status = RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool RegisterRuntime() {
  return WriteString(standin::kRuntimeUninstallKey, L"DisplayName", setup::kVcRuntimeMarker, KEY_WOW64_32KEY);
}

unsigned long long KeyWriteTime(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return 0;
  FILETIME written = {};
  const LSTATUS status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, &written);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return 0;
  return (static_cast<unsigned long long>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

std::wstring InstallFolder(REGSAM view) { return ReadString(setup::kProductKey, setup::kInstallPathValue, view); }

std::wstring InstalledConfigPath(REGSAM view) { return InstallFolder(view) + setup::kClientConfigRelative; }

std::wstring TemporaryFolderConfigPath() {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  return std::wstring(temp) + setup::kKeptConfigName;
}

std::vector<std::string> SetupLogLines(bool info) {
  const std::string mark = std::string(" Msg:") + setup::kSetupInfoPrefix;
  std::vector<std::string> lines;
  for (const std::string& line : ReadLines(L"update.log")) {
    if ((line.find(mark) != std::string::npos) == info) lines.push_back(line);
  }
  return lines;
}

bool EnsureDesktopShell() {
  static HWND window = CreateWindowW(L"STATIC", L"shell starter", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
  if (!window) return false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
      found = _wcsicmp(entry.szExeFile, L"explorer.exe") == 0;
    CloseHandle(snapshot);
    if (found) return true;
    Sleep(100);
  }
  return false;
}

void ResetMachine() {
  StopClients();
  for (const wchar_t* code : kStandInCodes) {
    for (REGSAM view : kViews) {
      if (KeyExists(kUninstallList + L"\\" + code, view)) RunHidden(MsiExec() + L" /x " + code + L" /qn QUILLTESTREMOVE=1");
    }
  }
  for (REGSAM view : kViews) DeleteTree(HKEY_LOCAL_MACHINE, L"SOFTWARE", setup::kProductWord, view);
  DeleteTree(HKEY_LOCAL_MACHINE, kUninstallList, std::wstring(standin::kRuntimeUninstallKey).substr(kUninstallList.size() + 1),
             KEY_WOW64_32KEY);
  DeleteTestEntries(KEY_WOW64_32KEY);
  DeleteTestEntries(KEY_WOW64_64KEY);
  DeleteTree(HKEY_CLASSES_ROOT, L"Installer\\Products", L"QuillTestRuntime", 0);
  DeleteTree(HKEY_CURRENT_USER, L"Software\\Classes\\Installer\\Products", L"QuillTestRuntime", 0);
  RemoveTree(CommonAppData() + L"\\" + setup::kDataFolderName);
  RemoveTree(RecordFolder());
  DeleteFileW(TemporaryFolderConfigPath().c_str());
  setup::SetSetupLogPath(L"update.log");
  DeleteFileW(L"update.log");
}

}  // namespace standin_test
