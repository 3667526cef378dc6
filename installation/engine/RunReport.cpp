// rand_s, the C runtime's face of the platform's random source (RtlGenRandom), is declared
// only when this is defined before the runtime's first header.
#define _CRT_RAND_S
#include "engine/RunReport.h"

#include <stdlib.h>

#include <curl/curl.h>

#include <cstdio>
#include <string>

#include "Common/LongPath.h"
#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/ServerTrust.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"
#include "engine/TransferHandle.h"
#include "engine/TransferOptions.h"

namespace setup {
namespace {

constexpr const wchar_t* kPolicyKey = L"SOFTWARE\\Policies\\" QUILL_PRODUCT_WORD L"\\Installer";
constexpr const wchar_t* kPolicyValue = L"DisableReports";
// The whole report, connecting included: it never holds up the run's end for longer.
constexpr long kReportLimitMs = 3000;

const char* const kStageWords[] = {"manifest", "package", "extract", "install", "done"};
const char* const kStageKeys[] = {"t_manifest", "t_package", "t_extract", "t_install"};

std::string Encoded(const std::string& value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : value) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      text += static_cast<char>(c);
    } else {
      text += '%';
      text += kDigits[c >> 4];
      text += kDigits[c & 0xF];
    }
  }
  return text;
}

std::string Number(long long value, bool known = true) { return known ? std::to_string(value) : std::string(); }

std::wstring CrashRecordPath() {
  const std::wstring folder = SetupLogFolder();
  return folder.empty() ? std::wstring() : folder + L"\\" + kCrashRecordName;
}

}  // namespace

void EnterStage(RunFacts& facts, RunStage stage) {
  const ULONGLONG now = GetTickCount64();
  const int leaving = static_cast<int>(facts.stage);
  if (leaving < 4 && facts.nStageBegan[leaving] != 0 && facts.nStageTook[leaving] == 0)
    facts.nStageTook[leaving] = now - facts.nStageBegan[leaving];
  facts.stage = stage;
  const int entering = static_cast<int>(stage);
  if (entering < 4 && facts.nStageBegan[entering] == 0) facts.nStageBegan[entering] = now;
}

ReportMachine DescribeMachine() {
  ReportMachine machine;
  // The version the system is, not the one it pretends to be for programs that do not
  // declare it.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW version = {sizeof version};
  auto getVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (getVersion && getVersion(&version) == 0) {
    machine.os = std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) + "." +
                 std::to_string(version.dwBuildNumber);
  }
  SYSTEM_INFO system = {};
  GetNativeSystemInfo(&system);
  switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
      machine.arch = "x64";
      break;
    case PROCESSOR_ARCHITECTURE_INTEL:
      machine.arch = "x86";
      break;
    case PROCESSOR_ARCHITECTURE_ARM64:
      machine.arch = "arm64";
      break;
    default:
      machine.arch = std::to_string(system.wProcessorArchitecture);
  }
  wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
  if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), locale, LOCALE_NAME_MAX_LENGTH, 0) > 0)
    machine.lang = Utf8Text(locale);
  if (HDC screen = GetDC(nullptr)) {
    machine.dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
  }
  return machine;
}

CrashRecord ReadCrashRecord() {
  CrashRecord crash;
  std::string text;
  const std::wstring path = CrashRecordPath();
  if (path.empty() || !ReadPlainFile(path.c_str(), text)) return crash;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = TrimmedText(text.substr(start, end - start));
    if (line.compare(0, 5, "code=") == 0) crash.code = line.substr(5, 8);
    if (line.compare(0, 3, "at=") == 0) crash.at = line.substr(3, 160);
    start = end + 1;
  }
  return crash;
}

std::string ReportQuery(const RunFacts& facts, SetupOutcome outcome, const std::string& id, const ReportMachine& machine, const CrashRecord& crash) {
  std::string query;
  const auto add = [&](const char* key, const std::string& value) {
    if (!query.empty()) query += '&';
    query += key;
    query += '=';
    query += Encoded(value);
  };
  add("result", std::to_string(OutcomeExitCode(outcome)));
  add("stage", kStageWords[static_cast<int>(facts.stage)]);
  add("outcome", OutcomeWord(outcome));
  add("v", QUILL_INSTALLER_VERSION);
  add("from", facts.strFrom);
  add("to", facts.strTo);
  add("id", id);
  add("quiet", facts.bQuiet ? "1" : "0");
  add("http", Number(facts.nHttpStatus, facts.nHttpStatus >= 0));
  add("net", Number(facts.nNetResult, facts.nNetResult >= 0));
  add("msi", Number(facts.nInstallerExit, facts.nInstallerExit >= 0));
  for (int stage = 0; stage < 4; ++stage) {
    add(kStageKeys[stage], Number(static_cast<long long>(facts.nStageTook[stage]), facts.nStageBegan[stage] != 0));
  }
  add("bytes", std::to_string(facts.nBytes));
  add("resumed", std::to_string(facts.nResumed));
  add("tries", std::to_string(facts.nTries));
  add("source", facts.nSource < 0 ? std::string() : facts.nSource == 0 ? "primary" : "mirror" + std::to_string(facts.nSource));
  add("proxy", facts.strProxy);
  add("os", machine.os);
  add("arch", machine.arch);
  add("lang", machine.lang);
  add("dpi", std::to_string(machine.dpi));
  add("crash", crash.code);
  add("crash_at", crash.at);
  return query;
}

std::string NewRunId() {
  static const char kDigits[] = "0123456789abcdef";
  std::string id;
  for (int word = 0; word < 4; ++word) {
    unsigned int random = 0;
    rand_s(&random);
    for (int nibble = 0; nibble < 8; ++nibble, random >>= 4) id += kDigits[random & 0xF];
  }
  return id;
}

bool ReportsDisabledByPolicy() {
  // The policy lives in the machine's own (64-bit) view, where administrators' tools write it.
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPolicyKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return false;
  DWORD value = 0, type = 0, bytes = sizeof value;
  const bool set = RegQueryValueExW(key, kPolicyValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) ==
                       ERROR_SUCCESS &&
                   type == REG_DWORD && value == 1;
  RegCloseKey(key);
  return set;
}

void SendRunReport(const SetupContext& context, SetupOutcome outcome) {
  RunFacts& facts = context.m_facts;
  if (outcome == SetupOutcome::kInstalled || outcome == SetupOutcome::kRestartNeeded) EnterStage(facts, RunStage::kDone);
  // Whatever stage the run ended in is timed up to now.
  EnterStage(facts, facts.stage);
  if (facts.strReportAddress.empty()) return;
  if (facts.bTurnedOff || ReportsDisabledByPolicy()) {
    WriteSetupInfo("report: turned off");
    return;
  }
  const CrashRecord crash = ReadCrashRecord();
  const std::string address = facts.strReportAddress +
                              (facts.strReportAddress.find('?') == std::string::npos ? "?" : "&") +
                              ReportQuery(facts, outcome, NewRunId(), DescribeMachine(), crash);
  // The library may have been let go by the worker already: this use takes it again.
  curl_global_init(CURL_GLOBAL_ALL);
  {
    EasyHandle handle;
    CURL* curl = handle.get();
    if (curl) {
      curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
      curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
      ApplyTransferOptions(curl, TimingsOf(&context));
      curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kReportLimitMs);
      curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, kReportLimitMs);
      curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
      // The answer (a tiny picture, or an error page) says nothing the run needs.
      curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char*, size_t size, size_t count, void*) { return size * count; });
      if (context.m_pProxies) context.m_pProxies->ApplyRouteOf(curl, kPackageAddress);
      ServerTrust trust(curl, facts.strReportAddress.c_str());
      const ULONGLONG began = GetTickCount64();
      const CURLcode result = trust.Outcome(curl_easy_perform(curl));
      long status = 0;
      curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
      WriteSetupInfo("report: result %d, status %ld, %llu ms", result, status,
                     static_cast<unsigned long long>(GetTickCount64() - began));
      if (result == CURLE_OK && !crash.code.empty()) DeleteFileW(LongPathName(CrashRecordPath()).c_str());
    }
  }
  curl_global_cleanup();
}

}  // namespace setup
