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
  }
  return "unknown";
}

}  // namespace setup
