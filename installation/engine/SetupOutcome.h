#pragma once
// How a setup run ended: one value per road. The quiet run's exit code, the message the
// window shows and the run's last log line are all derived from it, so they cannot disagree.

namespace setup {

enum class SetupOutcome {
  kInstalled,         // the client installed, and started where a desktop user is signed in
  kRestartNeeded,     // the client installed, but its files wait for a restart: nothing started
  kPreviousRestored,  // the new version failed; the client that was installed was put back
  kClientKept,        // an installed client was left as it was, because replacing it was declined
  kNewerInstalled,    // the installed client is newer than the release: nothing was changed
  kClientUnidentified,  // a client is installed whose keys name no product code: nothing changed
  kDownloadFailed,    // the network or the server failed the transfer, or the manifest was refused
  kClockWrong,        // the manifest was refused as expired, and this computer's clock is not the server's
  kPackageDamaged,    // the package cannot be extracted, or is not what the manifest describes
  kDiskError,         // the disk would not take what the run writes
  kInstallerFailed,   // the runtime or the client installer could not run or reported failure
                      // (its own window said so; its code is in the setup log)
  kReplaceFailed,     // the installed client could not be removed safely and was kept as it was
  kPutBackFailed,     // the new client failed and the old one could not be put back: none is
                      // installed; the way back waits in the data folder for the next run
};

// A few words for the log's last line of the run ("run ended: <words>").
const char* DescribeOutcome(SetupOutcome outcome);

// The number the outcome is told by: a quiet run's exit code, and the result a run reports.
// 1 (another installer runs) and 7 (the command line) are decided before a run begins.
int OutcomeExitCode(SetupOutcome outcome);

// The outcome in one word, as the run's report tells it ("installed", "download", ...).
const char* OutcomeWord(SetupOutcome outcome);

}  // namespace setup
