#include "engine/SetupOutcome.h"

namespace setup {

const char* DescribeOutcome(SetupOutcome outcome) {
  switch (outcome) {
    case SetupOutcome::kInstalled:
      return "installed";
    case SetupOutcome::kRestartNeeded:
      return "installed, a restart is needed before the client can start";
    case SetupOutcome::kPreviousRestored:
      return "the new version failed, the previous one was put back";
    case SetupOutcome::kClientKept:
      return "the installed client was kept";
    case SetupOutcome::kDownloadFailed:
      return "download failed";
    case SetupOutcome::kPackageDamaged:
      return "the package is damaged";
    case SetupOutcome::kDiskError:
      return "writing to disk failed";
    case SetupOutcome::kInstallerFailed:
      return "an installer failed";
    case SetupOutcome::kNewerInstalled:
      return "the installed client is newer than the release, nothing was changed";
    case SetupOutcome::kClientUnidentified:
      return "the installed client cannot be identified, nothing was changed";
    case SetupOutcome::kClockWrong:
      return "the manifest was refused, this computer's clock is wrong";
    case SetupOutcome::kReplaceFailed:
      return "the installed client could not be replaced and was kept";
    case SetupOutcome::kPutBackFailed:
      return "the new version failed and the previous one could not be put back: no client is installed";
  }
  return "unknown";
}

int OutcomeExitCode(SetupOutcome outcome) {
  switch (outcome) {
    case SetupOutcome::kInstalled:
      return 0;
    case SetupOutcome::kDownloadFailed:
    case SetupOutcome::kClockWrong:
      return 2;
    case SetupOutcome::kPackageDamaged:
      return 3;
    case SetupOutcome::kDiskError:
      return 4;
    case SetupOutcome::kInstallerFailed:
    case SetupOutcome::kReplaceFailed:
    case SetupOutcome::kPutBackFailed:
      return 5;
    case SetupOutcome::kClientKept:
    case SetupOutcome::kNewerInstalled:
    case SetupOutcome::kClientUnidentified:
      return 6;
    case SetupOutcome::kPreviousRestored:
      return 8;
    case SetupOutcome::kRestartNeeded:
      return 9;
  }
  return 5;
}

}  // namespace setup
