#include "engine/KeptConfig.h"

#include <windows.h>

#include "Common/LongPath.h"
#include "Common/PlainFile.h"
#include "Common/Sha256.h"
#include "Common/tool.h"
#include "engine/InstallRun.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

bool InstalledConfigPath(const std::wstring& clientFolder, std::wstring& path) {
  path = clientFolder;
  if (path.empty() && !ReadInstallPath(path)) return false;
  // A relative folder would be taken from wherever the installer was started.
  if (!IsFullPathName(path)) return false;
  if (path.back() != L'\\') path += L'\\';
  path += kClientConfigRelative;
  return true;
}

bool IsMissing(const std::wstring& path) {
  const std::wstring name = LongPathName(path);
  if (name.empty() || GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::wstring KeptConfigPath(const SetupContext& context) {
  return std::wstring(context.m_szDataDir) + L"\\" + kKeptConfigName;
}

std::wstring KeptConfigDigestPath(const SetupContext& context) {
  return KeptConfigPath(context) + kKeptConfigDigestSuffix;
}

ConfigKeeping SaveClientConfig(const SetupContext& context, const std::wstring& clientFolder) {
  std::wstring installed;
  if (!InstalledConfigPath(clientFolder, installed) || IsMissing(installed)) return ConfigKeeping::kNothingToKeep;
  std::string bytes;
  if (!ReadPlainFile(installed.c_str(), bytes)) {
    WriteSetupLogF("configuration cannot be read: error %lu", GetLastError());
    return ConfigKeeping::kFailed;
  }
  const std::string digest = Sha256Hex(bytes);
  // The copy first, its digest last: a copy without a matching digest is never put back.
  if (!digest.empty() && WritePlainFile(KeptConfigPath(context).c_str(), bytes) &&
      WritePlainFile(KeptConfigDigestPath(context).c_str(), digest))
    return ConfigKeeping::kKept;
  WriteSetupLogF("configuration cannot be kept: error %lu", GetLastError());
  DiscardKeptClientConfig(context);
  return ConfigKeeping::kFailed;
}

void DiscardKeptClientConfig(const SetupContext& context) {
  DeleteFileW(LongPathName(KeptConfigPath(context)).c_str());
  DeleteFileW(LongPathName(KeptConfigDigestPath(context)).c_str());
}

bool HasKeptClientConfig(const SetupContext& context) {
  const DWORD attributes = GetFileAttributesW(LongPathName(KeptConfigPath(context)).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RestoreClientConfig(const SetupContext& context, const std::wstring& clientFolder) {
  std::string bytes, digest;
  if (!ReadPlainFile(KeptConfigPath(context).c_str(), bytes)) return false;
  if (!ReadPlainFile(KeptConfigDigestPath(context).c_str(), digest) || TrimmedText(digest) != Sha256Hex(bytes)) {
    WriteSetupLog("kept configuration altered");
    DiscardKeptClientConfig(context);
    return false;
  }
  std::wstring installed;
  if (!InstalledConfigPath(clientFolder, installed) || !WritePlainFile(installed.c_str(), bytes)) return false;
  DiscardKeptClientConfig(context);
  return true;
}

}  // namespace setup
