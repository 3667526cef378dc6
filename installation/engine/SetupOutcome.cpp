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

}  // namespace setup
