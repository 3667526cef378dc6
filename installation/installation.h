#pragma once
// The installer's application object.

#include "AppFramework.h"
#include "MainWindowHost.h"

class CinstallationApp : public CWinAppEx {
 public:
  // Start-up: common controls, the ActiveX switch, the settings key, the framework's
  // module instance, then the main setup window run modally. Returns FALSE: the main
  // window ends the process itself when it is gone.
  BOOL InitInstance() override;

 protected:
  // The main setup window for the skin file; null when it cannot be made.
  virtual IMainSetupWindow* CreateMainWindow(const wchar_t* skinFile);
};
