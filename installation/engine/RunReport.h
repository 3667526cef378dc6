#pragma once
// What a run tells the vendor at its end: one HTTPS GET to the address the signed manifest
// names in <report>, with the run in the query string (README, "What the installer reports").
// The vendor's web server or CDN keeps the request in its access log; that log is the store.
// Nothing in it names a person or a machine: no user or machine name, no path, no address,
// no product key, and an id made for this run only.

#include <windows.h>

#include <cstdint>
#include <string>

#include "engine/SetupOutcome.h"

namespace setup {

struct SetupContext;

// The stages of a run, in order; a run ends in one of them.
enum class RunStage { kManifest, kPackage, kExtract, kInstall, kDone };

// What a run notes about itself as it goes, for its report. Written by whichever thread runs
// the stage; the stages follow one another, never overlap.
struct RunFacts {
  RunStage stage = RunStage::kManifest;
  ULONGLONG nStageBegan[4] = {};  // tick counts; 0: not reached
  ULONGLONG nStageTook[4] = {};   // milliseconds, once the next stage began or the run ended
  long nHttpStatus = -1;          // the last answer's status of the manifest or the package; -1: none
  long nNetResult = -1;           // the transfer library's last result; -1: none
  long nInstallerExit = -1;       // the client installer's last exit code; -1: it did not run
  int64_t nBytes = 0;             // package bytes received by this run
  int64_t nResumed = 0;           // package bytes already on disk when the run began
  int nTries = 0;                 // package transfer attempts
  int nSource = -1;               // which address delivered the package's end: 0 the host, n mirror n
  std::string strProxy;           // the package transfer's road: "direct", "proxy", "script"
  std::string strFrom;            // the installed client's version before the run
  std::string strTo;              // the version a manifest the vendor's key signed names
  std::string strReportAddress;   // from a manifest the vendor's key signed; empty: no report
  bool bQuiet = false;
  bool bTurnedOff = false;        // "/noreport", or the machine's policy
};

// Moves the run on to `stage`, timing the one it leaves.
void EnterStage(RunFacts& facts, RunStage stage);

// What the machine is, as the report says it.
struct ReportMachine {
  std::string os;    // "10.0.19045"
  std::string arch;  // "x64", "x86", "arm64"
  std::string lang;  // "zh-CN"
  int dpi = 96;
};
ReportMachine DescribeMachine();

// The previous run's crash as its record in the log folder tells it; empty when none.
struct CrashRecord {
  std::string code;  // hexadecimal exception code
  std::string at;    // "module+offset"
};
CrashRecord ReadCrashRecord();

// The query string of the report (without "?"): every documented key, in a fixed order,
// values percent-encoded.
std::string ReportQuery(const RunFacts& facts, SetupOutcome outcome, const std::string& id, const ReportMachine& machine, const CrashRecord& crash);

// 32 hexadecimal digits from the platform's random source.
std::string NewRunId();

// Whether the machine's policy turns reports off: HKLM\SOFTWARE\Policies\Quillmere\Installer,
// DisableReports = 1.
bool ReportsDisabledByPolicy();

// Sends the run's report when a signed manifest asked for one and nothing turned it off: at
// most three seconds, through the package transfer's proxy road, never tried again. A crash
// record the report carried is removed once it was sent.
void SendRunReport(const SetupContext& context, SetupOutcome outcome);

}  // namespace setup
