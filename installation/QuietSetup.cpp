#include "QuietSetup.h"

#include <mutex>

#include "engine/ExistingInstall.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"
#include "engine/SetupWorker.h"
#include "windows/WindowConstants.h"

namespace {

// Tells what happened without showing anything: nobody can be asked, so a proxy's login is
// refused and an installed client is replaced unless told to keep it.
class CQuietObserver : public setup::ISetupObserver {
 public:
  explicit CQuietObserver(bool keep) : m_bKeep(keep) {}

  void OnProgress(int64_t, int64_t) override {}
  bool AskProxyLogin(const std::wstring&, const std::wstring&, bool, std::wstring&, std::wstring&) override {
    setup::WriteSetupLog("quiet: a proxy asks for a login that nobody is there to give");
    return false;
  }
  void OnPackageReady() override { Settle(setup::OutcomeExitCode(setup::SetupOutcome::kInstalled), true); }
  void OnRunEnded(setup::SetupOutcome outcome) override { Settle(setup::OutcomeExitCode(outcome), false); }
  void OnInstallStarted() override {}
  bool ConfirmReplace(const std::wstring&, const std::wstring&) override { return !m_bKeep; }

  int ExitCode() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_nExitCode;
  }
  bool PackageReady() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_bReady;
  }

 private:
  void Settle(int code, bool ready) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_nExitCode = code;
    m_bReady = ready;
  }

  const bool m_bKeep;
  mutable std::mutex m_lock;
  // A worker that ends without a word has failed to download.
  int m_nExitCode = setup::OutcomeExitCode(setup::SetupOutcome::kDownloadFailed);
  bool m_bReady = false;
};

// A window of the installers' class that is never shown: an interactive installer started
// meanwhile finds it, as it finds any installer's main window, and ends instead of running
// beside this one.
class HiddenInstallerWindow {
 public:
  HiddenInstallerWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = setup::kWindowClassName;
    RegisterClassW(&windowClass);
    m_hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, setup::kWindowClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  ~HiddenInstallerWindow() {
    if (m_hWnd) DestroyWindow(m_hWnd);
  }
  HiddenInstallerWindow(const HiddenInstallerWindow&) = delete;
  HiddenInstallerWindow& operator=(const HiddenInstallerWindow&) = delete;

 private:
  HWND m_hWnd = nullptr;
};

// Waits for the worker while answering this thread's messages (other programs may ask the
// hidden window something).
void WaitForWorker(HANDLE worker) {
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT);
    if (woke != WAIT_OBJECT_0 + 1) return;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

}  // namespace

int RunQuietSetup(setup::SingleInstance& instance, bool keep) {
  if (!instance.Claim(setup::kSingleInstanceMutexName)) {
    // Beside a holder that is no installer, another installer may already have gone on the
    // same way: its window (or its marker, when quiet) says so, and two runs would share one
    // package file.
    if (instance.HeldByInstaller() ||
        setup::FindRunningInstallerWindow(setup::kWindowClassName, L"", 0)) {
      setup::WriteSetupLog("quiet: another installer is running");
      return kQuietAnotherInstaller;
    }
    setup::WriteSetupLog("single instance: the name is held by a program that is no installer, going on");
  }
  setup::WriteSetupInfo("quiet: %s", keep ? "an installed client is kept" : "an installed client is replaced");
  const HiddenInstallerWindow marker;
  CQuietObserver observer(keep);
  setup::SetupContext& context = setup::ProcessSetupContext();
  context.m_bUnattended = true;
  if (!setup::BeginSetup(context, &observer, setup::SetupWorkerProc)) return observer.ExitCode();
  WaitForWorker(context.m_hWorker);
  if (observer.PackageReady()) setup::OnPackageReady(context);
  const int code = observer.ExitCode();
  setup::WriteSetupInfo("quiet: exit code %d", code);
  return code;
}
