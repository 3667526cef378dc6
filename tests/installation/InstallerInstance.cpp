// A stand-in for the installer's start-up, as far as two installers started at once meet:
// the single-instance claim and what the start-up does when the name is held, a window of the installer's class and title, and the setup
// engine's whole run (download, extraction, installation) driven by that window's messages.
//   installer_instance.exe           one setup run
//   installer_instance.exe --idle    only the window, until it is closed
// Exit codes: see InstallerInstance.h.
#include <windows.h>

#include <cwchar>

#include "InstallerInstance.h"
#include "SingleInstance.h"
#include "engine/ExistingInstall.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupWorker.h"
#include "windows/SetupProgress.h"
#include "windows/SetupWindowObserver.h"
#include "windows/WindowConstants.h"

using namespace setup;

namespace {

// The installer windows' observer, except that a clean machine asks nothing and an installed
// client is replaced without a prompt.
class ConfirmingObserver : public CSetupWindowObserver {
 public:
  using CSetupWindowObserver::CSetupWindowObserver;
  bool ConfirmReplace(const std::wstring&, const std::wstring&) override { return true; }
};

SetupContext g_context;
ConfirmingObserver g_observer(g_setupProgress);
int g_exitCode = instance_test::kRanToTheEnd;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETUP_PROGRESS:
      TakeSetupProgress();
      return 0;
    case WM_SETUP_PACKAGE_READY:
      OnPackageReady(g_context);
      return 0;
    case WM_SETUP_ERROR:
      g_exitCode = instance_test::kSetupFailed;
      PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_DESTROY:
      g_context.m_bRunning = false;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// After the running installer's window was brought to the front.
int SecondInstance() {
  const HWND first = FindWindowW(kWindowClassName, instance_test::kMainTitle);
  return first && GetForegroundWindow() == first ? instance_test::kBroughtToFront
                                                 : instance_test::kFoundButNotInFront;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  SingleInstance single;
  if (!single.Claim(kSingleInstanceMutexName) &&
      !GoOnBesideNameHolder(single, kWindowClassName, instance_test::kMainTitle, kRunningInstallerWindowWaitMs)) {
    return SecondInstance();
  }

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(kWindowClassName, instance_test::kMainTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                    100, 620, 240, nullptr, nullptr, instance, nullptr);
  if (!window) return instance_test::kSetupFailed;
  g_observer.Attach(window);
  if (wcsstr(arguments, instance_test::kIdleArgument) == nullptr &&
      !BeginSetup(g_context, &g_observer, SetupWorkerProc)) {
    return instance_test::kSetupFailed;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return g_exitCode;
}
