#include "engine/PreviousClient.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <map>
#include <string>

#include "Common/LongPath.h"
#include "Common/PlainFile.h"
#include "Common/Sha256.h"
#include "Common/tool.h"
#include "engine/DesktopLaunch.h"
#include "engine/InstallRun.h"
#include "engine/InstallerExitCode.h"
#include "engine/KeptConfig.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

constexpr const wchar_t* kKeptPackageName = L"\\previous.msi";
constexpr const wchar_t* kUpgradeStateName = L"\\upgrade.state";
constexpr const wchar_t* kTemporarySuffix = L".tmp";

// What Windows Installer knows of a product, or empty.
std::wstring ProductInfo(const std::wstring& productCode, const wchar_t* property) {
  DWORD chars = 0;
  wchar_t probe[1] = {};
  UINT result = MsiGetProductInfoW(productCode.c_str(), property, probe, &chars);
  if (result != ERROR_MORE_DATA && result != ERROR_SUCCESS) return std::wstring();
  std::wstring value(chars + 1, L'\0');
  chars = static_cast<DWORD>(value.size());
  if (MsiGetProductInfoW(productCode.c_str(), property, &value[0], &chars) != ERROR_SUCCESS) return std::wstring();
  value.resize(chars);
  return value;
}

class ScopedFile {
 public:
  explicit ScopedFile(HANDLE handle) : m_h(handle) {}
  ~ScopedFile() { Close(); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_h; }
  void Close() {
    if (valid()) CloseHandle(m_h);
    m_h = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE m_h;
};

// Puts the finished temporary file in place of `path` in one step, written through to the
// disk first: after a power cut the name holds the old content or the whole new one.
bool CommitTemporary(const std::wstring& path) {
  return MoveFileExW(LongPathName(path + kTemporarySuffix).c_str(), LongPathName(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool WriteDurably(const std::wstring& path, const std::string& bytes) {
  const std::wstring temporary = path + kTemporarySuffix;
  {
    ScopedFile file(OpenPlainFile(temporary.c_str(), PlainFileUse::kReplace, 0));
    DWORD written = 0;
    if (!file.valid() || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file.get()))
      return false;
  }
  return CommitTemporary(path);
}

std::string StateText(const PreviousClient& client) {
  return "product-code=" + Utf8Text(client.productCode) + "\r\nversion=" + Utf8Text(client.version) +
         "\r\nfolder=" + Utf8Text(client.folder) + "\r\nsha256=" + client.sha256 + "\r\n";
}

bool ParseState(const std::string& text, PreviousClient& client) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = TrimmedText(text.substr(start, end - start));
    const size_t equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    start = end + 1;
  }
  client.productCode = WideText(fields["product-code"]);
  client.version = WideText(fields["version"]);
  client.folder = WideText(fields["folder"]);
  client.sha256 = fields["sha256"];
  return IsProductCode(client.productCode) && IsFullPathName(client.folder) &&
         client.sha256.size() == kSha256HexChars;
}

class ScopedMsiHandle {
 public:
  ScopedMsiHandle() = default;
  ~ScopedMsiHandle() {
    if (m_h) MsiCloseHandle(m_h);
  }
  ScopedMsiHandle(const ScopedMsiHandle&) = delete;
  ScopedMsiHandle& operator=(const ScopedMsiHandle&) = delete;
  MSIHANDLE* put() { return &m_h; }
  MSIHANDLE get() const { return m_h; }

 private:
  MSIHANDLE m_h = 0;
};

// The first cabinet the package's media table says it carries inside ("#name") that it
// does not; empty when it carries all it names. Windows Installer may keep its cached copy
// of a package without them: installing such a copy again needs the original source.
std::wstring MissingEmbeddedCabinet(const std::wstring& package) {
  ScopedMsiHandle database, media;
  if (MsiOpenDatabaseW(package.c_str(), MSIDBOPEN_READONLY, database.put()) != ERROR_SUCCESS ||
      MsiDatabaseOpenViewW(database.get(), L"SELECT `Cabinet` FROM `Media`", media.put()) != ERROR_SUCCESS ||
      MsiViewExecute(media.get(), 0) != ERROR_SUCCESS)
    return std::wstring();
  for (;;) {
    ScopedMsiHandle row;
    if (MsiViewFetch(media.get(), row.put()) != ERROR_SUCCESS) return std::wstring();
    wchar_t cabinet[256] = {};
    DWORD chars = 256;
    if (MsiRecordGetStringW(row.get(), 1, cabinet, &chars) != ERROR_SUCCESS || cabinet[0] != L'#') continue;
    ScopedMsiHandle streams, wanted, found;
    *wanted.put() = MsiCreateRecord(1);
    MsiRecordSetStringW(wanted.get(), 1, cabinet + 1);
    if (MsiDatabaseOpenViewW(database.get(), L"SELECT `Name` FROM `_Streams` WHERE `Name` = ?", streams.put()) !=
            ERROR_SUCCESS ||
        MsiViewExecute(streams.get(), wanted.get()) != ERROR_SUCCESS ||
        MsiViewFetch(streams.get(), found.put()) != ERROR_SUCCESS)
      return cabinet + 1;
  }
}

bool KeptPackageMatches(const SetupContext& context, const std::string& sha256) {
  ScopedFile package(OpenPlainFile(KeptPackagePath(context).c_str(), PlainFileUse::kRead));
  std::string hex;
  int64_t size = 0;
  return package.valid() && Sha256OfFile(package.get(), hex, size) && hex == sha256;
}

}  // namespace

std::wstring KeptPackagePath(const SetupContext& context) { return context.m_szDataDir + std::wstring(kKeptPackageName); }

std::wstring UpgradeStatePath(const SetupContext& context) {
  return context.m_szDataDir + std::wstring(kUpgradeStateName);
}

WayBack KeepPreviousClient(const SetupContext& context, PreviousClient& client) {
  const ULONGLONG began = GetTickCount64();
  const std::wstring cached = ProductInfo(client.productCode, INSTALLPROPERTY_LOCALPACKAGE);
  ScopedFile source(cached.empty() ? INVALID_HANDLE_VALUE : OpenPlainFile(cached.c_str(), PlainFileUse::kRead));
  if (!source.valid()) {
    WriteSetupLogF("way back: Windows Installer keeps no package of %s (error %lu)", Utf8Text(client.productCode).c_str(),
                   cached.empty() ? 0ul : GetLastError());
    return WayBack::kNoPackage;
  }
  const std::wstring kept = KeptPackagePath(context);
  int64_t size = 0;
  bool copied = false;
  {
    ScopedFile copy(OpenPlainFile((kept + kTemporarySuffix).c_str(), PlainFileUse::kReplace, 0));
    copied = copy.valid() && Sha256OfFile(source.get(), client.sha256, size, copy.get()) && FlushFileBuffers(copy.get());
  }
  // The package first, the record of it last: a record always names a whole package.
  if (!copied || !CommitTemporary(kept) || !WriteDurably(UpgradeStatePath(context), StateText(client))) {
    WriteSetupLogF("way back: the installed client's package cannot be kept: error %lu", GetLastError());
    DeleteFileW(LongPathName(kept + kTemporarySuffix).c_str());
    DiscardPreviousClient(context);
    return WayBack::kFailed;
  }
  WriteSetupInfo("way back kept: %s %s, %lld bytes in %llu ms", Utf8Text(client.productCode).c_str(),
                 Utf8Text(client.version).c_str(), static_cast<long long>(size),
                 static_cast<unsigned long long>(GetTickCount64() - began));
  const std::wstring missing = MissingEmbeddedCabinet(kept);
  if (!missing.empty())
    WriteSetupLogF("way back: the kept package lacks its cabinet %s; putting it back needs its original source",
                   Utf8Text(missing).c_str());
  return WayBack::kKept;
}

bool HasUpgradeState(const SetupContext& context) {
  return GetFileAttributesW(LongPathName(UpgradeStatePath(context)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadPendingUpgrade(const SetupContext& context, PreviousClient& client) {
  client = PreviousClient();
  std::string text;
  if (!ReadPlainFile(UpgradeStatePath(context).c_str(), text)) return false;
  if (!ParseState(text, client)) {
    WriteSetupLog("way back: the upgrade's state file cannot be read");
    return false;
  }
  if (!KeptPackageMatches(context, client.sha256)) {
    WriteSetupLog("way back: the kept package is missing or altered");
    return false;
  }
  return true;
}

void DiscardPreviousClient(const SetupContext& context) {
  // The record goes first: a package without a record is never taken for a way back.
  DeleteFileW(LongPathName(UpgradeStatePath(context)).c_str());
  DeleteFileW(LongPathName(KeptPackagePath(context)).c_str());
}

bool PutPreviousClientBack(const SetupContext& context, const PreviousClient& client) {
  const std::wstring command = SystemFolder() + L"\\MsiExec.exe /i \"" + KeptPackagePath(context) + L"\"" +
                               (context.m_bUnattended ? L" /qn" : L" /passive");
  unsigned long exitCode = 0;
  unsigned long error = 0;
  if (!RunInstallerInTurn(command, context.m_timings, "previous client installer", exitCode, error) ||
      !InstallerSucceeded(exitCode)) {
    WriteSetupLogF("way back failed (error %lu, exit code %lu): no client is installed; the kept package and "
                   "configuration wait in the data folder for the next run",
                   error, exitCode);
    return false;
  }
  std::wstring folder;
  if (!ReadInstallPath(folder)) folder = client.folder;
  RestoreClientConfig(context, folder);
  WriteSetupLogF("the new version failed; the previous client %s was put back", Utf8Text(client.version).c_str());
  if (exitCode == kInstallSuccess) LaunchAsDesktopUser((folder + kProductWord).c_str());
  DiscardPreviousClient(context);
  return true;
}

}  // namespace setup
