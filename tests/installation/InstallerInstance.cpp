// A stand-in for the installer's start-up, as far as two installers started at once meet:
// the single-instance claim, a window of the installer's class and title, and the setup
// engine's whole run (download, extraction, installation) driven by that window's messages.
//   installer_instance.exe           one setup run
//   installer_instance.exe --idle    only the window, until it is closed
// Exit codes: see InstallerInstance.h.
#include <windows.h>

#include <cwchar>

#include "ExistingInstall.h"
#include "InstallerInstance.h"
#include "SetupConstants.h"
#include "SetupContext.h"
#include "SetupProgress.h"
#include "SetupWorker.h"
#include "SingleInstance.h"

using namespace setup;

namespace {

SetupContext g_context;
int g_exitCode = instance_test::kRanToTheEnd;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETUP_PROGRESS:
      TakeSetupProgress();
      return 0;
    case WM_SETUP_PACKAGE_READY:
      // A clean machine asks nothing; an installed client would be replaced.
      OnPackageReady(g_context, window, [](const std::wstring&, const std::wstring&) { return kPromptConfirmed; });
      return 0;
    case WM_SETUP_ERROR:
      g_exitCode = instance_test::kSetupFailed;
      PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_DESTROY:
      g_bSetupRunning = false;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int SecondInstance() {
  const HWND first =
      BringRunningInstallerToFront(kWindowClassName, instance_test::kMainTitle, kRunningInstallerWindowWaitMs);
  if (!first) return instance_test::kFoundNoWindow;
  return GetForegroundWindow() == first ? instance_test::kBroughtToFront : instance_test::kFoundButNotInFront;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  SingleInstance single;
  if (!single.Claim(kSingleInstanceMutexName)) return SecondInstance();

  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClassName;
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(kWindowClassName, instance_test::kMainTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                    100, 620, 240, nullptr, nullptr, instance, nullptr);
  if (!window) return instance_test::kSetupFailed;
  if (wcsstr(arguments, instance_test::kIdleArgument) == nullptr &&
      !BeginSetup(g_context, window, SetupWorkerProc)) {
    return instance_test::kSetupFailed;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return g_exitCode;
}
