#pragma once
// What the manifest, fetch and worker tests share: the data folder of a fresh prefix, the
// setup log's messages, and package bytes made to order.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Common/Sha256.h"
#include "engine/FolderTree.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"
#include "support/TestFiles.h"

namespace fetch_testing {

// All-users application data + "\Quillmere", as the setup run computes it.
inline std::wstring DataFolder() {
  wchar_t folder[setup::kPathChars];
  if (!setup::GetCommonAppDataFolder(folder, true)) return std::wstring();
  return std::wstring(folder) + L"\\Quillmere";
}

inline std::wstring LocalManifestPath() { return DataFolder() + L"\\version.xml"; }

// The context BeginSetup would fill, without starting a worker. It names no manifest key:
// the transfers are tested as a build without one runs them, and the manifest's trust has
// tests of its own.
inline void PrepareContext(setup::SetupContext& context, setup::ISetupObserver* observer) {
  context.m_manifestKey = setup::ManifestPublicKey();
  const std::wstring data = DataFolder();
  wcscpy(context.m_szDataDir, data.c_str());
  wcscpy(context.m_szPackagePath, (data + L"\\setup.zip").c_str());
  wcscpy(context.m_szSetupDir, (data + L"\\setup").c_str());
  context.m_pObserver = observer;
}

// A fresh, empty data folder and no setup log; the log in the working folder, where the
// tests read it.
inline void ClearRunState() {
  setup::DeleteFolderTree(DataFolder().c_str());
  CreateDirectoryW(DataFolder().c_str(), nullptr);
  setup::SetSetupLogPath(L"update.log");
  DeleteFileW(L"update.log");
}

// The messages of the setup log, without their time stamps: those that report failures,
// or (with `info`) those about the ordinary course of the run, without their prefix.
inline std::vector<std::string> LogMessages(bool info = false) {
  const std::string prefix = setup::kSetupInfoPrefix;
  std::vector<std::string> messages;
  for (const std::string& line : testing_support::ReadLines(L"update.log")) {
    const size_t at = line.find(" Msg:");
    std::string message = at == std::string::npos ? line : line.substr(at + 5);
    const bool isInfo = message.compare(0, prefix.size(), prefix) == 0;
    if (isInfo == info) messages.push_back(isInfo ? message.substr(prefix.size()) : message);
  }
  return messages;
}

inline std::vector<std::string> InfoMessages() { return LogMessages(true); }

// Waits short enough for tests: a stall is noticed after two seconds, and the first retry
// follows at once.
inline setup::SetupTimings QuickTimings() {
  setup::SetupTimings timings;
  timings.nConnectTimeoutSeconds = 5;
  timings.nStallSeconds = 2;
  timings.nFirstRetryPauseMs = 20;
  timings.nBusyInstallerPauseMs = 200;
  return timings;
}

// Incompressible bytes, the same for the same seed.
inline std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
  return bytes;
}

// A later modification time than the file had (an hour on): a file rewritten within the
// same second would otherwise keep the validators the server derives from its time.
inline bool TouchLater(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME written;
  GetSystemTimeAsFileTime(&written);
  ULARGE_INTEGER later{{written.dwLowDateTime, written.dwHighDateTime}};
  later.QuadPart += 3600ULL * 10000000ULL;
  written = {later.LowPart, later.HighPart};
  const bool set = SetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  return set;
}

inline std::string ManifestNaming(const std::string& version, const std::string& more = std::string()) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<update>\r\n  <version>" + version +
         "</version>\r\n  <notes>ignored</notes>\r\n" + more + "</update>\r\n";
}

// "YYYY-MM-DDTHH:MM:SSZ", `days` from now (negative: in the past).
inline std::string UtcStampInDays(int days) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 86400LL * 10000000LL);
  const FILETIME then{ticks.LowPart, ticks.HighPart};
  SYSTEMTIME time;
  FileTimeToSystemTime(&then, &time);
  char text[32];
  snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", time.wYear, time.wMonth, time.wDay, time.wHour,
           time.wMinute, time.wSecond);
  return text;
}

// A manifest that also gives the package's size and SHA-256 digest.
inline std::string ManifestDescribing(const std::string& version, const std::string& size, const std::string& sha256) {
  return ManifestNaming(version, "  <size>" + size + "</size>\r\n  <sha256>" + sha256 + "</sha256>\r\n");
}

// The manifest the publishing tool writes for `package`: its version, size, digest and an
// expiry `days` ahead (behind, when negative), then `more`.
inline std::string ReleaseManifest(const std::string& version, const std::string& package, int days = 1,
                                   const std::string& more = std::string()) {
  return ManifestNaming(version, "  <size>" + std::to_string(package.size()) + "</size>\r\n  <sha256>" +
                                     setup::Sha256Hex(package) + "</sha256>\r\n  <expires>" + UtcStampInDays(days) +
                                     "</expires>\r\n" + more);
}

}  // namespace fetch_testing
