#pragma once
// Shows a setup run in the installer's windows. The engine's calls become the main window's
// messages, whichever thread makes them: the worker's progress goes through the progress
// channel (at most one message waiting), its outcome is posted, and the installation half
// hides the window, asks with the uninstall prompt and closes the window at the end.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "engine/SetupObserver.h"
#include "windows/SetupProgress.h"

namespace setup {

// What the main window shows for `received` of `total` bytes: the percentage and the size
// text "received/total KB", in thousands of bytes with one decimal.
ProgressFigures FiguresFor(int64_t received, int64_t total);

// What the worker hands the main window with WM_SETUP_PROXY_LOGIN, and gets back.
struct ProxyLoginRequest {
  std::wstring strProxy;
  std::wstring strRealm;
  bool bAgain = false;
  bool bGiven = false;
  std::wstring strUser;
  std::wstring strPassword;
};

// The string the message box shows for how a run ended; 0 when the run ends without a
// word: installed, kept as the person chose, or an installer that told the person itself.
UINT OutcomeStringId(SetupOutcome outcome);

class CSetupWindowObserver : public ISetupObserver {
 public:
  explicit CSetupWindowObserver(SetupProgress& progress) : m_progress(progress) {}

  // The window the run is shown in. It may go at any time: what is posted to it then is lost
  // without harm.
  void Attach(HWND window) { m_hWnd.store(window); }

  void OnProgress(int64_t received, int64_t total) override;
  // Asks on the window's thread (the window shows the login box) and waits for the answer.
  bool AskProxyLogin(const std::wstring& proxy, const std::wstring& realm, bool again, std::wstring& user,
                     std::wstring& password) override;
  void OnPackageReady() override;
  void OnRunEnded(SetupOutcome outcome) override;
  void OnInstallStarted() override;
  bool ConfirmReplace(const std::wstring& installedVersion, const std::wstring& publishedVersion) override;

 private:
  SetupProgress& m_progress;
  std::atomic<HWND> m_hWnd{nullptr};
};

// The observer of the process's one setup run, on the process's progress channel. Never
// destroyed, like the run's context: the worker may still report while the process ends.
CSetupWindowObserver& ProcessSetupObserver();

}  // namespace setup
