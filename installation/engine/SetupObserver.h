#pragma once
// What a setup run tells whoever shows it. The engine calls these and nothing else: it holds
// no window, posts no message, knows no string to show and formats no text. The installer's
// windows turn the calls into their messages (windows/SetupWindowObserver.h); a quiet run or a
// test records them.

#include <cstdint>
#include <string>

#include "engine/SetupOutcome.h"

namespace setup {

class ISetupObserver {
 public:
  virtual ~ISetupObserver() = default;

  // The download half, on the worker thread.
  // Bytes of the package on disk (what an earlier run left included) and its whole size;
  // called as often as the transfer moves, only once the size is known.
  virtual void OnProgress(int64_t received, int64_t total) = 0;
  // A proxy on the way asks for a name and password (the user's own Windows sign-in was not
  // enough): fills them and returns true, or returns false when the person declines or
  // nobody can be asked. `again`: the last ones given were refused. What is given is used
  // for this run only.
  virtual bool AskProxyLogin(const std::wstring& proxy, const std::wstring& realm, bool again, std::wstring& user,
                             std::wstring& password) = 0;
  // The package arrived, matched what the manifest describes and was extracted. The
  // observer then has the installation half run (OnPackageReady in ExistingInstall.h) on
  // its own thread.
  virtual void OnPackageReady() = 0;

  // Either half, once per run, last: how the run ended (the download half's failures
  // instead of the package, the installation half's outcome at its end).
  virtual void OnRunEnded(SetupOutcome outcome) = 0;

  // The installation half, on the thread that runs it.
  // The installers are about to run; whatever showed the download steps aside.
  virtual void OnInstallStarted() = 0;
  // Whether the installed client (its version; empty when only its uninstall entry is
  // known) may be replaced by the published one.
  virtual bool ConfirmReplace(const std::wstring& installedVersion, const std::wstring& publishedVersion) = 0;
};

}  // namespace setup
