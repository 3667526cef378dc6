#include "engine/SetupLog.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "Common/PlainFile.h"
#include "engine/DataFolder.h"
#include "engine/SetupContext.h"

namespace setup {
namespace {

// The log's path, found once per process and read by both of the run's threads.
class LogPlace {
 public:
  std::wstring Path() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_known) {
      m_path = FindLogPath();
      m_known = true;
    }
    return m_path;
  }
  void Set(const std::wstring& path) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_path = path;
    m_known = !path.empty();
  }
  std::wstring Copy() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_copy;
  }
  void SetCopy(const std::wstring& path) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_copy = path;
  }

 private:
  static std::wstring FindLogPath() {
    wchar_t appData[kPathChars];
    if (!GetCommonAppDataFolder(appData, true)) return std::wstring();
    const std::wstring folder = std::wstring(appData) + L"\\" + kLogFolderName;
    // Made safe once: a folder that someone without rights prepared (a link to a system
    // folder, a log that is a link) is replaced before the first line.
    if (!PrepareDataFolder(folder.c_str())) return std::wstring();
    return folder + L"\\" + kLogFileName;
  }

  std::mutex m_lock;
  std::wstring m_path;
  bool m_known = false;
  std::wstring m_copy;
};

constexpr int kBusyLogTries = 100;
constexpr DWORD kBusyLogPauseMs = 10;

// Appends one finished line to the file at `path`, never through a link in its place.
bool AppendLine(const std::wstring& path, const char* line, size_t length) {
  if (path.empty()) return false;
  // Binary append: the line already carries its "\r\n"; text mode would turn it into "\r\r\n".
  // Another thread or installer may be appending its own line just now (the log is opened
  // for one writer at a time, so lines never interleave): its turn is short, so wait for it.
  FILE* log = nullptr;
  for (int tries = 0; !log; ++tries) {
    log = OpenPlainFileStream(path.c_str(), PlainFileUse::kAppend);
    if (!log && (GetLastError() != ERROR_SHARING_VIOLATION || tries == kBusyLogTries)) return false;
    if (!log) Sleep(kBusyLogPauseMs);
  }
  fwrite(line, 1, length, log);
  fclose(log);
  return true;
}

LogPlace& ProcessLogPlace() {
  // Never destroyed: the worker may still log while the process's exit handlers run.
  static LogPlace* const place = new LogPlace();
  return *place;
}

}  // namespace

std::wstring SetupLogPath() { return ProcessLogPlace().Path(); }

std::wstring SetupLogFolder() {
  const std::wstring log = SetupLogPath();
  const size_t cut = log.find_last_of(L'\\');
  return cut == std::wstring::npos ? std::wstring() : log.substr(0, cut);
}

void SetSetupLogPath(const std::wstring& path) { ProcessLogPlace().Set(path); }

int WriteSetupLog(const char* message) {
  if (!message) message = "";
  SYSTEMTIME now;
  GetLocalTime(&now);
  char line[kLogLineBytes];
  int head = snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d:%02d Msg:", now.wYear, now.wMonth,
                      now.wDay, now.wHour, now.wMinute, now.wSecond);
  const size_t room = sizeof line - static_cast<size_t>(head) - 3;  // "\r\n" and terminator
  size_t length = strnlen(message, room);
  memcpy(line + head, message, length);
  // Messages carry texts from the server (versions, header lines): a line break in one
  // must not start a line of its own that looks like the installer's.
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(line[head + i]) < 0x20) line[head + i] = ' ';
  }
  memcpy(line + head + length, "\r\n", 3);
  const size_t total = static_cast<size_t>(head) + length + 2;

  AppendLine(ProcessLogPlace().Copy(), line, total);
  return AppendLine(SetupLogPath(), line, total) ? 0 : -1;
}

void SetSetupLogCopy(const std::wstring& path) { ProcessLogPlace().SetCopy(path); }

int WriteSetupLogF(const char* format, ...) {
  char message[kLogLineBytes];
  va_list args;
  va_start(args, format);
  vsnprintf(message, sizeof message, format, args);
  va_end(args);
  return WriteSetupLog(message);
}

int WriteSetupInfo(const char* format, ...) {
  char message[kLogLineBytes];
  const int head = snprintf(message, sizeof message, "%s", kSetupInfoPrefix);
  va_list args;
  va_start(args, format);
  vsnprintf(message + head, sizeof message - static_cast<size_t>(head), format, args);
  va_end(args);
  return WriteSetupLog(message);
}

}  // namespace setup
