#include "engine/SetupOutcome.h"

namespace setup {
namespace {

// Everything an outcome is told by, one row each, so that the log, the exit code and the
// report cannot disagree.
struct OutcomeFacts {
  SetupOutcome outcome;
  int nExitCode;
  const char* word;
  const char* description;
};

constexpr OutcomeFacts kOutcomes[] = {
    {SetupOutcome::kInstalled, 0, "installed", "installed"},
    {SetupOutcome::kRestartNeeded, 9, "restart", "installed, a restart is needed before the client can start"},
    {SetupOutcome::kPreviousRestored, 8, "restored", "the new version failed, the previous one was put back"},
    {SetupOutcome::kClientKept, 6, "kept", "the installed client was kept"},
    {SetupOutcome::kNewerInstalled, 6, "newer",
     "the installed client is newer than the release, nothing was changed"},
    {SetupOutcome::kClientUnidentified, 6, "unidentified",
     "the installed client cannot be identified, nothing was changed"},
    {SetupOutcome::kDownloadFailed, 2, "download", "download failed"},
    {SetupOutcome::kClockWrong, 2, "clock", "the manifest was refused, this computer's clock is wrong"},
    {SetupOutcome::kPackageDamaged, 3, "damaged", "the package is damaged"},
    {SetupOutcome::kDiskError, 4, "disk", "writing to disk failed"},
    {SetupOutcome::kInstallerFailed, 5, "installer", "an installer failed"},
    {SetupOutcome::kReplaceFailed, 5, "replace", "the installed client could not be replaced and was kept"},
    {SetupOutcome::kPutBackFailed, 5, "putback",
     "the new version failed and the previous one could not be put back: no client is installed"},
};

const OutcomeFacts* FactsOf(SetupOutcome outcome) {
  for (const OutcomeFacts& facts : kOutcomes) {
    if (facts.outcome == outcome) return &facts;
  }
  return nullptr;
}

}  // namespace

const char* DescribeOutcome(SetupOutcome outcome) {
  const OutcomeFacts* facts = FactsOf(outcome);
  return facts ? facts->description : "unknown";
}

int OutcomeExitCode(SetupOutcome outcome) {
  const OutcomeFacts* facts = FactsOf(outcome);
  return facts ? facts->nExitCode : 5;
}

const char* OutcomeWord(SetupOutcome outcome) {
  const OutcomeFacts* facts = FactsOf(outcome);
  return facts ? facts->word : "unknown";
}

}  // namespace setup
