#include "engine/ExistingInstall.h"

#include "Common/tool.h"
#include "engine/ClientFolder.h"
#include "engine/ClientProcesses.h"
#include "engine/DesktopLaunch.h"
#include "engine/FolderTree.h"
#include "engine/InstallRun.h"
#include "engine/InstallerExitCode.h"
#include "engine/KeptConfig.h"
#include "engine/PreviousClient.h"
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
  REGSAM view = 0;  // the registry view its keys were found in
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
    found.kind = ReadRegistryString(productKey.get(), kVersionValue, found.version) ? InstalledClient::kVersioned
                                                                                  : InstalledClient::kUnversioned;
    return found;
  }
  UninstallEntry entry;
  if (!FindUninstallEntryByName(entry) || entry.productCode.empty()) return InstalledClient();
  found.kind = InstalledClient::kListedOnly;
  found.productCode = entry.productCode;
  found.view = entry.view;
  return found;
}

// The run after the installed client is gone: the new client, or the old one put back.
SetupOutcome InstallOverPrevious(const SetupContext& context, const PreviousClient& previous, bool restoreConfig) {
  switch (RunInstallation(context, restoreConfig)) {
    case InstallResult::kInstalled:
      return SetupOutcome::kInstalled;
    case InstallResult::kRestartNeeded:
      return SetupOutcome::kRestartNeeded;
    case InstallResult::kFailed:
      break;
  }
  return PutPreviousClientBack(context, previous) ? SetupOutcome::kPreviousRestored : SetupOutcome::kPutBackFailed;
}

// A replacement that stopped before the uninstall: the installed client stays as it was,
// started again when it had been running, and nothing of this attempt is kept.
void LeaveInstalledClient(const SetupContext& context, const std::wstring& folder, bool wasRunning) {
  DiscardPreviousClient(context);
  if (wasRunning) LaunchAsDesktopUser((folder + kProductWord).c_str());
}

SetupOutcome ReplaceInstalledClient(const SetupContext& context, const InstalledClient& installed) {
  // The code comes from the registry and is pasted into a command line: anything but one
  // product code could add options or packages of its own.
  if (!IsProductCode(installed.productCode)) {
    WriteSetupLog("uninstall skipped: invalid product code");
    return SetupOutcome::kReplaceFailed;
  }
  PreviousClient previous;
  previous.productCode = installed.productCode;
  previous.version = installed.version;
  previous.folder = FindClientFolder(installed.productCode);
  if (previous.folder.empty()) {
    // Its configuration could not be kept, nor could it be stopped.
    WriteSetupLog("uninstall skipped: the configuration cannot be kept");
    return SetupOutcome::kDiskError;
  }
  // Nothing is removed that could not be put back.
  if (KeepPreviousClient(context, previous) != WayBack::kKept) {
    WriteSetupLog("uninstall skipped: it could not be undone");
    return SetupOutcome::kReplaceFailed;
  }
  const bool wasRunning = TerminateProcessesByPath(previous.folder);
  // Only a configuration kept in the protected data folder is put back: one an earlier run
  // kept there (and could not put back) included.
  const ConfigKeeping keeping = SaveClientConfig(context, previous.folder);
  if (keeping == ConfigKeeping::kFailed) {
    // Uninstalling now would take the user's settings with the client.
    WriteSetupLog("uninstall skipped: the configuration cannot be kept");
    LeaveInstalledClient(context, previous.folder, wasRunning);
    return SetupOutcome::kDiskError;
  }
  if (!RunUninstallCommand(SystemFolder() + L"\\MsiExec.exe /x " + installed.productCode +
                               (context.m_bUnattended ? L" /qn" : L" /passive"),
                           context.m_timings)) {
    // Windows Installer undoes a failed uninstall: the client and its configuration are
    // where they were.
    WriteSetupLog("the installed client stays: its uninstall failed");
    if (keeping == ConfigKeeping::kKept) DiscardKeptClientConfig(context);
    LeaveInstalledClient(context, previous.folder, wasRunning);
    return SetupOutcome::kReplaceFailed;
  }
  DeleteProductKeys(installed.view);
  return InstallOverPrevious(context, previous, keeping == ConfigKeeping::kKept);
}

// An upgrade an earlier run began and did not end. With no client installed it died between
// the uninstall and the end: this run carries on with the new release, and the old client
// comes back if that fails too. With a client installed, the record is stale.
bool ResumeUpgrade(const SetupContext& context, SetupOutcome& outcome) {
  PreviousClient previous;
  if (!ReadPendingUpgrade(context, previous)) return false;
  if (FindInstalledClient().kind == InstalledClient::kNone) {
    WriteSetupLogF("an upgrade from %s was cut short: carrying on with %s", Utf8Text(previous.version).c_str(),
                   Utf8Text(context.m_strPublishedVersion).c_str());
    outcome = InstallOverPrevious(context, previous, HasKeptClientConfig(context));
    return true;
  }
  WriteSetupLog("way back: a client is installed, the record of an earlier upgrade is no longer needed");
  // The earlier run installed the new client and died before its configuration went back.
  if (HasKeptClientConfig(context)) RestoreClientConfig(context);
  DiscardPreviousClient(context);
  return false;
}

}  // namespace

void OnPackageReady(SetupContext& context) {
  ISetupObserver* const observer = context.m_pObserver;
  EnterStage(context.m_facts, RunStage::kInstall);
  if (observer) observer->OnInstallStarted();

  SetupOutcome outcome = SetupOutcome::kInstalled;
  if (ResumeUpgrade(context, outcome)) {
    EndRun(context, outcome);
    return;
  }
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
    if (!yes) outcome = SetupOutcome::kClientKept;
    return yes;
  };
  switch (installed.kind) {
    case InstalledClient::kNone:
    case InstalledClient::kUnversioned:
      // Over an unversioned client the extracted installers are still needed: the run
      // removes the data folder itself once the client has started.
      switch (RunInstallation(context, false)) {
        case InstallResult::kInstalled:
          break;
        case InstallResult::kRestartNeeded:
          outcome = SetupOutcome::kRestartNeeded;
          break;
        case InstallResult::kFailed:
          outcome = SetupOutcome::kInstallerFailed;
          break;
      }
      break;
    case InstalledClient::kVersioned:
      if (confirmed(installed.version)) outcome = ReplaceInstalledClient(context, installed);
      break;
    case InstalledClient::kListedOnly:
      if (confirmed(std::wstring())) outcome = ReplaceInstalledClient(context, installed);
      break;
    case InstalledClient::kUnreadable:
      // A client whose keys cannot be read is left as it is. The package stays for the next
      // run; what was extracted from it goes, as the next run extracts it again.
      WriteSetupLog("the installed client's product code key names no product code: nothing is changed");
      DeleteFolderTree(context.m_szSetupDir);
      outcome = SetupOutcome::kClientUnidentified;
      break;
  }
  EndRun(context, outcome);
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

bool RunUninstallCommand(const std::wstring& commandLine, const SetupTimings& timings) {
  unsigned long error = 0;
  unsigned long exitCode = 0;
  if (!RunInstallerInTurn(commandLine, timings, "client uninstaller", exitCode, error)) {
    WriteSetupLogF("delete quillmere failed! [%lu]", error);
    return false;
  }
  if (!InstallerSucceeded(exitCode)) {
    WriteSetupLogF("delete quillmere failed! ExitCode:%lu", exitCode);
    return false;
  }
  return true;
}

void DeleteProductKeys(REGSAM view) {
  ScopedRegKey vendor;
  if (!vendor.Open(HKEY_LOCAL_MACHINE, kVendorKey, KEY_READ | KEY_WRITE | view)) return;
  RegDeleteKeyExW(vendor.get(), kProductCodeSubkey, view, 0);
  RegDeleteKeyExW(vendor.get(), kLanguageSubkey, view, 0);
}

}  // namespace setup
