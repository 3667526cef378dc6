#include "engine/ExistingInstall.h"

#include "Common/tool.h"
#include "engine/ClientProcesses.h"
#include "engine/InstallRun.h"
#include "engine/InstallerExitCode.h"
#include "engine/KeptConfig.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"

namespace setup {
namespace {

// What the registry says about an installed client.
struct InstalledClient {
  enum Kind {
    kNone,         // nothing installed: a fresh installation
    kUnreadable,   // a product code key without a product code: leave everything as it is
    kVersioned,    // product code and product key with a version: ask, then replace
    kUnversioned,  // product code and product key without a version: install over it
    kListedOnly,   // known only from the uninstall list: ask, then replace
  };
  Kind kind = kNone;
  std::wstring productCode;
  std::wstring version;
  std::wstring installFolder;  // where its programs run from; empty when unknown
  REGSAM view = 0;             // the registry view its keys were found in
};

InstalledClient FindInstalledClient() {
  InstalledClient found;
  for (REGSAM view : kClientRegistryViews) {
    ScopedRegKey codeKey;
    if (!codeKey.Open(HKEY_LOCAL_MACHINE, kProductCodeKey, KEY_READ | view)) continue;
    found.view = view;
    // An empty code counts as none: "/x" without a code would only earn an error box.
    if (!ReadRegistryString(codeKey.get(), kProductCodeValue, found.productCode) || found.productCode.empty()) {
      found.kind = InstalledClient::kUnreadable;
      return found;
    }
    ScopedRegKey productKey;
    if (!productKey.Open(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ | view)) break;
    ReadRegistryString(productKey.get(), kInstallPathValue, found.installFolder);
    found.kind = ReadRegistryString(productKey.get(), kVersionValue, found.version) ? InstalledClient::kVersioned
                                                                                  : InstalledClient::kUnversioned;
    return found;
  }
  UninstallEntry entry;
  if (!FindUninstallEntryByName(entry) || entry.productCode.empty()) return InstalledClient();
  found.kind = InstalledClient::kListedOnly;
  found.productCode = entry.productCode;
  found.installFolder = entry.installLocation;
  found.view = entry.view;
  return found;
}

// How a run over an installed client ended.
enum class Replacement { kInstalled, kConfigNotKept, kInstallerFailed };

Replacement ReplaceInstalledClient(const SetupContext& context, const InstalledClient& installed) {
  TerminateProcessesByPath(installed.installFolder);
  // Only a configuration kept in the protected data folder is put back: one an earlier run
  // kept there (and could not put back) included.
  const ConfigKeeping keeping = SaveClientConfig(context);
  if (keeping == ConfigKeeping::kFailed) {
    // Uninstalling now would take the user's settings with the client.
    WriteSetupLog("uninstall skipped: the configuration cannot be kept");
    return Replacement::kConfigNotKept;
  }
  // The code comes from the registry and is pasted into a command line: anything but one
  // product code could add options or packages of its own.
  if (IsProductCode(installed.productCode)) {
    RunUninstallCommand(SystemFolder() + L"\\MsiExec.exe /x " + installed.productCode +
                            (context.m_bUnattended ? L" /qn" : L" /passive"),
                        context.m_timings);
  } else {
    WriteSetupLog("uninstall skipped: invalid product code");
  }
  DeleteProductKeys(installed.view);
  return RunInstallation(context, keeping == ConfigKeeping::kKept) ? Replacement::kInstalled
                                                                    : Replacement::kInstallerFailed;
}

}  // namespace

void OnPackageReady(SetupContext& context) {
  ISetupObserver* const observer = context.m_pObserver;
  if (observer) observer->OnInstallStarted();

  const InstalledClient installed = FindInstalledClient();
  static const char* const kKindNames[] = {"none", "unreadable product code", "version", "no version",
                                           "uninstall entry only"};
  // What is not known is left out, so that the line never carries empty fields.
  std::string found = kKindNames[installed.kind];
  if (!installed.version.empty()) found += " " + Utf8Text(installed.version);
  if (!installed.productCode.empty()) found += ", product code " + Utf8Text(installed.productCode);
  WriteSetupInfo("installed client: %s, published version %s", found.c_str(),
                 Utf8Text(context.m_strPublishedVersion).c_str());
  const auto confirmed = [&](const std::wstring& installedVersion) {
    const bool yes = observer && observer->ConfirmReplace(installedVersion, context.m_strPublishedVersion);
    WriteSetupInfo("replacing the installed client %s", yes ? "confirmed" : "declined");
    return yes;
  };
  // Declining, and a client whose keys cannot be read, leave everything as it is.
  Replacement outcome = Replacement::kInstalled;
  switch (installed.kind) {
    case InstalledClient::kNone:
    case InstalledClient::kUnversioned:
      // Over an unversioned client the extracted installers are still needed: the run
      // removes the data folder itself once the client has started.
      if (!RunInstallation(context, false)) outcome = Replacement::kInstallerFailed;
      break;
    case InstalledClient::kVersioned:
      if (confirmed(installed.version)) outcome = ReplaceInstalledClient(context, installed);
      break;
    case InstalledClient::kListedOnly:
      if (confirmed(std::wstring())) outcome = ReplaceInstalledClient(context, installed);
      break;
    case InstalledClient::kUnreadable:
      break;
  }

  if (!observer) return;
  switch (outcome) {
    case Replacement::kInstalled:
      observer->OnInstallFinished();
      break;
    case Replacement::kConfigNotKept:
      observer->OnFailure(SetupFailure::kDiskError);
      break;
    case Replacement::kInstallerFailed:
      observer->OnFailure(SetupFailure::kInstallerFailed);
      break;
  }
}

bool FindUninstallEntryByName(UninstallEntry& entry) {
  entry = UninstallEntry();
  for (REGSAM view : kClientRegistryViews) {
    const bool found = FindSubkey(HKEY_LOCAL_MACHINE, kUninstallListKey, KEY_READ | view, [&](HKEY subkey) {
      std::wstring name;
      if (!ReadRegistryString(subkey, L"DisplayName", name) || !EqualsIgnoringCase(name, kUninstallDisplayName))
        return false;
      std::wstring uninstall;
      if (ReadRegistryString(subkey, L"UninstallString", uninstall)) entry.productCode = TextFromFirstBrace(uninstall);
      ReadRegistryString(subkey, L"InstallLocation", entry.installLocation);
      entry.view = view;
      return true;  // the first entry of that name decides, with or without a code
    });
    if (found) return true;
  }
  return false;
}

void FindProductCodeByName(std::wstring& productCode) {
  UninstallEntry entry;
  FindUninstallEntryByName(entry);
  productCode = entry.productCode;
}

void RunUninstallCommand(const std::wstring& commandLine, const SetupTimings& timings) {
  unsigned long error = 0;
  unsigned long exitCode = 0;
  if (!RunInstallerInTurn(commandLine, timings, "client uninstaller", exitCode, error)) {
    WriteSetupLogF("delete quillmere failed! [%lu]", error);
  } else if (!InstallerSucceeded(exitCode)) {
    WriteSetupLogF("delete quillmere failed! ExitCode:%lu", exitCode);
  }
}

void DeleteProductKeys(REGSAM view) {
  ScopedRegKey vendor;
  if (!vendor.Open(HKEY_LOCAL_MACHINE, kVendorKey, KEY_READ | KEY_WRITE | view)) return;
  RegDeleteKeyExW(vendor.get(), kProductCodeSubkey, view, 0);
  RegDeleteKeyExW(vendor.get(), kLanguageSubkey, view, 0);
}

}  // namespace setup
