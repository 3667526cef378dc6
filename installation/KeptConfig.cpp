#include "KeptConfig.h"

#include <windows.h>

#include "Common/PlainFile.h"
#include "Common/Sha256.h"
#include "Common/tool.h"
#include "InstallRun.h"
#include "SetupConstants.h"
#include "SetupContext.h"
#include "SetupLog.h"

namespace setup {
namespace {

bool InstalledConfigPath(std::wstring& path) {
  if (!ReadInstallPath(path)) return false;
  path += kClientConfigRelative;
  return true;
}

void DiscardKeptConfig(const SetupContext& context) {
  DeleteFileW(KeptConfigPath(context).c_str());
  DeleteFileW(KeptConfigDigestPath(context).c_str());
}

}  // namespace

std::wstring KeptConfigPath(const SetupContext& context) {
  return std::wstring(context.m_szDataDir) + L"\\" + kKeptConfigName;
}

std::wstring KeptConfigDigestPath(const SetupContext& context) {
  return KeptConfigPath(context) + kKeptConfigDigestSuffix;
}

bool SaveClientConfig(const SetupContext& context) {
  std::wstring installed;
  std::string bytes;
  if (!InstalledConfigPath(installed) || !ReadPlainFile(installed.c_str(), bytes)) return false;
  const std::string digest = Sha256Hex(bytes);
  if (digest.empty()) return false;
  // The copy first, its digest last: a copy without a matching digest is never put back.
  if (WritePlainFile(KeptConfigPath(context).c_str(), bytes) &&
      WritePlainFile(KeptConfigDigestPath(context).c_str(), digest))
    return true;
  DiscardKeptConfig(context);
  return false;
}

bool HasKeptClientConfig(const SetupContext& context) {
  const DWORD attributes = GetFileAttributesW(KeptConfigPath(context).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RestoreClientConfig(const SetupContext& context) {
  std::string bytes, digest;
  if (!ReadPlainFile(KeptConfigPath(context).c_str(), bytes)) return false;
  if (!ReadPlainFile(KeptConfigDigestPath(context).c_str(), digest) || TrimmedText(digest) != Sha256Hex(bytes)) {
    WriteSetupLog("kept configuration altered");
    DiscardKeptConfig(context);
    return false;
  }
  std::wstring installed;
  if (!InstalledConfigPath(installed) || !WritePlainFile(installed.c_str(), bytes)) return false;
  DiscardKeptConfig(context);
  return true;
}

}  // namespace setup
