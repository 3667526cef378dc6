#pragma once
// Every product constant of the installer. The product word is the one constant; the
// names, paths and registry places below are built from it at compile time.

#include <windows.h>

#define QUILL_PRODUCT_WORD_A "Quillmere"
#define QUILL_WIDEN_(x) L##x
#define QUILL_WIDEN(x) QUILL_WIDEN_(x)
#define QUILL_PRODUCT_WORD QUILL_WIDEN(QUILL_PRODUCT_WORD_A)

// Scheme, host and port of the download server; a build-time setting (see CMakeLists.txt).
#ifndef QUILL_DOWNLOAD_HOST
#error "QUILL_DOWNLOAD_HOST must be defined by the build"
#endif

namespace setup {

inline constexpr const wchar_t* kProductWord = QUILL_PRODUCT_WORD;

// Folders and files, relative to the all-users application data folder.
inline constexpr const wchar_t* kDataFolderName = QUILL_PRODUCT_WORD;
inline constexpr const wchar_t* kPackageFileSuffix = L"\\setup.zip";
inline constexpr const wchar_t* kSetupFolderSuffix = L"\\setup";
inline constexpr const wchar_t* kLocalManifestSuffix = L"\\version.xml";
inline constexpr const wchar_t* kRuntimeInstallerName = L"vcredist_x86.exe";
inline constexpr const wchar_t* kClientPackageName = QUILL_PRODUCT_WORD L".msi";
inline constexpr const wchar_t* kLogFileName = L"update.log";

// A build whose download host is this machine's loopback is a test build: only it takes the
// test hooks (plain "http:" addresses on loopback, a switch that crashes on purpose).
constexpr bool StartsWithText(const char* text, const char* prefix) {
  return *prefix == '\0' || (*text == *prefix && StartsWithText(text + 1, prefix + 1));
}
inline constexpr bool kIsTestBuild =
    StartsWithText(QUILL_DOWNLOAD_HOST, "http://127.0.0.1:") || StartsWithText(QUILL_DOWNLOAD_HOST, "http://localhost:");

// Download server.
inline constexpr const char* kManifestAddress =
    QUILL_DOWNLOAD_HOST "/down/quillclient/CHS/version.xml";
// The manifest's detached signature, beside it (written by the publishing tool).
inline constexpr const char* kManifestSignatureAddress =
    QUILL_DOWNLOAD_HOST "/down/quillclient/CHS/version.xml.sig";
inline constexpr const char* kPackageAddress =
    QUILL_DOWNLOAD_HOST "/down/quillclient/CHS/quillmere.zip";

// Registry, all below HKEY_LOCAL_MACHINE.
inline constexpr const wchar_t* kVendorKey = L"SOFTWARE\\" QUILL_PRODUCT_WORD;
inline constexpr const wchar_t* kProductKey = L"SOFTWARE\\" QUILL_PRODUCT_WORD L"\\" QUILL_PRODUCT_WORD;
inline constexpr const wchar_t* kProductCodeKey = L"SOFTWARE\\" QUILL_PRODUCT_WORD L"\\ProductCode";
inline constexpr const wchar_t* kProductCodeSubkey = L"ProductCode";
inline constexpr const wchar_t* kLanguageSubkey = L"Language";
inline constexpr const wchar_t* kInstallPathValue = L"InstallPath";
inline constexpr const wchar_t* kVersionValue = L"version";
inline constexpr const wchar_t* kProductCodeValue = L"productcode";
inline constexpr const wchar_t* kUninstallDisplayName = QUILL_PRODUCT_WORD;
inline constexpr const wchar_t* kUninstallListKey =
    L"SoftWare\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The installed client.
inline constexpr const wchar_t* kClientProcessName = QUILL_PRODUCT_WORD L".exe";
inline constexpr const wchar_t* kClientConfigRelative = L"Config\\config.xml";
inline constexpr const wchar_t* kKeptConfigName = L"config.xml";  // in the data folder
inline constexpr const wchar_t* kKeptConfigDigestSuffix = L".sha256";
inline constexpr const wchar_t* kVcRuntimeMarker =
    L"Microsoft Visual C++ 2008 Redistributable - x86 9.0.30729";

// Held by the one installer that runs; the global namespace makes it one name for every
// session.
inline constexpr const wchar_t* kSingleInstanceMutexName = L"Global\\" QUILL_PRODUCT_WORD L"SetupRunning";
// How long a second installer looks for the first one's window before it goes on as the only
// installer (see SingleInstance.h).
inline constexpr DWORD kRunningInstallerWindowWaitMs = 10000;

// The application layer's per-user settings key; nothing of the installer is stored there.
inline constexpr const wchar_t* kAppSettingsKey = L"应用程序向导生成的本地应用程序";

}  // namespace setup
