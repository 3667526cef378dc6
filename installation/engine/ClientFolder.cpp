#include "engine/ClientFolder.h"

#include <windows.h>

#include <msi.h>

#include "Common/LongPath.h"
#include "Common/tool.h"
#include "engine/ClientProcesses.h"
#include "engine/ExistingInstall.h"
#include "engine/InstallRun.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

std::wstring InstallerLocation(const std::wstring& productCode) {
  if (!IsProductCode(productCode)) return std::wstring();
  wchar_t location[MAX_PATH + 1] = {};
  DWORD chars = MAX_PATH + 1;
  if (MsiGetProductInfoW(productCode.c_str(), INSTALLPROPERTY_INSTALLLOCATION, location, &chars) != ERROR_SUCCESS)
    return std::wstring();
  return location;
}

// A relative folder would be taken from wherever the installer was started.
bool Usable(std::wstring& folder) {
  if (!IsFullPathName(folder)) return false;
  if (folder.back() != L'\\') folder += L'\\';
  return true;
}

std::wstring Found(const std::wstring& folder, const char* road) {
  WriteSetupInfo("client folder: %s, from %s", Utf8Text(folder).c_str(), road);
  return folder;
}

}  // namespace

std::wstring FindClientFolder(const std::wstring& productCode) {
  // Asked in order, each only when the ones before know nothing.
  std::wstring folder;
  UninstallEntry entry;
  if (FindUninstallEntryByName(entry) && Usable(folder = entry.installLocation))
    return Found(folder, "the uninstall entry");
  if (ReadInstallPath(folder) && Usable(folder)) return Found(folder, "the product key");
  if (Usable(folder = InstallerLocation(productCode))) return Found(folder, "Windows Installer");
  if (Usable(folder = FindRunningClientFolder())) return Found(folder, "a running client");
  WriteSetupLog("client folder: neither its uninstall entry, its product key, Windows Installer nor a running "
                "client names it");
  return std::wstring();
}

}  // namespace setup
