#include "ExistingInstall.h"

#include <psapi.h>

#include <cwchar>
#include <vector>

#include "Common/tool.h"
#include "InstallRun.h"
#include "SetupConstants.h"
#include "SetupContext.h"
#include "SetupLog.h"

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
};

InstalledClient FindInstalledClient() {
  InstalledClient found;
  ScopedRegKey codeKey;
  if (codeKey.Open(HKEY_LOCAL_MACHINE, kProductCodeKey, KEY_READ | kClientRegistryView)) {
    // An empty code counts as none: "/x" without a code would only earn an error box.
    if (!ReadRegistryString(codeKey.get(), kProductCodeValue, found.productCode) || found.productCode.empty()) {
      found.kind = InstalledClient::kUnreadable;
      return found;
    }
    ScopedRegKey productKey;
    if (productKey.Open(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ | kClientRegistryView)) {
      found.kind = ReadRegistryString(productKey.get(), kVersionValue, found.version)
                       ? InstalledClient::kVersioned
                       : InstalledClient::kUnversioned;
      return found;
    }
  }
  FindProductCodeByName(found.productCode);
  found.kind = found.productCode.empty() ? InstalledClient::kNone : InstalledClient::kListedOnly;
  return found;
}

void ReplaceInstalledClient(const SetupContext& context, const std::wstring& productCode,
                            const wchar_t* processText) {
  const std::wstring command = SystemFolder() + L"\\MsiExec.exe /x " + productCode + L" /passive";
  TerminateProcessesByPath(processText);
  // Only a configuration kept in this run is put back: a config.xml another run left in the
  // temporary folder must not replace the new client's own.
  const bool kept = SaveClientConfig();
  RunUninstallCommand(command);
  DeleteProductKeys();
  RunInstallation(context, kept);
}

}  // namespace

void OnPackageReady(SetupContext& context, HWND mainWnd, const ShowUninstallPromptFn& showPrompt) {
  ShowWindow(mainWnd, SW_HIDE);

  const InstalledClient installed = FindInstalledClient();
  const auto confirmed = [&](const std::wstring& installedVersion) {
    return showPrompt && showPrompt(installedVersion, context.m_strPublishedVersion) == kPromptConfirmed;
  };
  switch (installed.kind) {
    case InstalledClient::kNone:
    case InstalledClient::kUnversioned:
      // Over an unversioned client the extracted installers are still needed: the run
      // removes the data folder itself once the client has started.
      RunInstallation(context, false);
      break;
    case InstalledClient::kVersioned:
      if (confirmed(installed.version)) ReplaceInstalledClient(context, installed.productCode, kClientProcessName);
      break;
    case InstalledClient::kListedOnly:
      if (confirmed(std::wstring())) ReplaceInstalledClient(context, installed.productCode, kProductWord);
      break;
    case InstalledClient::kUnreadable:
      break;
  }

  PostMessageW(mainWnd, WM_CLOSE, 0, 0);
}

void FindProductCodeByName(std::wstring& productCode) {
  productCode.clear();
  FindSubkey(HKEY_LOCAL_MACHINE, kUninstallListKey, KEY_READ | kClientRegistryView, [&](HKEY entry) {
    std::wstring name;
    if (!ReadRegistryString(entry, L"DisplayName", name) || !EqualsIgnoringCase(name, kUninstallDisplayName))
      return false;
    std::wstring uninstall;
    if (ReadRegistryString(entry, L"UninstallString", uninstall)) productCode = TextFromFirstBrace(uninstall);
    return true;  // the first entry of that name decides, with or without a code
  });
}

void TerminateProcessesByPath(const wchar_t* text) {
  std::vector<DWORD> ids(1024);
  DWORD bytes = 0;
  if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return;
  // A downloaded installer's own path often holds the product word: it must survive.
  const DWORD self = GetCurrentProcessId();
  std::vector<wchar_t> path(32768);
  for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
    if (ids[i] == self || ids[i] == 0) continue;
    ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE,
                                     FALSE, ids[i]));
    if (!process.valid()) continue;
    HMODULE program = nullptr;
    DWORD needed = 0;
    if (!EnumProcessModules(process.get(), &program, sizeof program, &needed)) continue;
    const DWORD n = GetModuleFileNameExW(process.get(), program, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || !wcsstr(path.data(), text)) continue;
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    // The uninstall that follows replaces the program's files: give the end a moment to
    // release them.
    if (TerminateProcess(process.get(), exitCode)) WaitForSingleObject(process.get(), 5000);
  }
}

void RunUninstallCommand(const std::wstring& commandLine) {
  unsigned long error = 0;
  if (!RunAndWait(commandLine, error)) WriteSetupLogF("delete quillmere failed! [%lu]", error);
}

void DeleteProductKeys() {
  ScopedRegKey vendor;
  if (!vendor.Open(HKEY_LOCAL_MACHINE, kVendorKey, KEY_READ | KEY_WRITE | kClientRegistryView)) return;
  RegDeleteKeyExW(vendor.get(), kProductCodeSubkey, kClientRegistryView, 0);
  RegDeleteKeyExW(vendor.get(), kLanguageSubkey, kClientRegistryView, 0);
}

}  // namespace setup
