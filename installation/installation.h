#pragma once
// The installer's application object.

#include "AppFramework.h"
#include "MainWindowHost.h"
#include "SingleInstance.h"

class CinstallationApp : public CWinAppEx {
 public:
  // Start-up. With "/quiet" on the command line the whole setup runs without a window and
  // the exit code tells what happened (QuietSetup.h). Otherwise: when another installer
  // runs, its window is brought to the front and start-up
  // ends here (a program that merely holds the installers' name does not stop it; see
  // SingleInstance.h); otherwise common controls, the ActiveX switch, the settings key, the
  // framework's module instance, then the main setup window run modally. Returns FALSE: the
  // main window ends the process itself when it is gone.
  BOOL InitInstance() override;
  // The quiet run's exit code; 0 for the interactive installer, whatever happened.
  int ExitInstance() override;

 protected:
  // The main setup window for the skin file; null when it cannot be made.
  virtual IMainSetupWindow* CreateMainWindow(const wchar_t* skinFile);

 private:
  setup::SingleInstance m_singleInstance;
  int m_nExitCode = 0;
};
