#include "installation.h"

#include <commctrl.h>

#include <new>

#include "CommandLine.h"
#include "CrashDump.h"
#include "Core/UIManager.h"
#include "QuietSetup.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"
#include "resource.h"
#include "windows/FrameMainUI.h"
#include "windows/WindowConstants.h"
#include "windows/XMLWnd.h"

namespace {

// Read through a volatile pointer so that no optimisation can drop the access violation.
int* volatile g_pNowhere = nullptr;

void CrashForTest() { *g_pNowhere = 1; }

}  // namespace

BOOL CinstallationApp::InitInstance() {
  InstallCrashHandler();
  InstallerOptions options = ParseCommandLine(GetCommandLineW());
  OpenLogCopy(options);
  if (!options.strLogCopy.empty()) setup::SetSetupLogCopy(options.strLogCopy);
  if (!options.problems.empty()) {
    // Nothing runs, no window opens: the reasons go to the log (and the /log file, when it
    // can be written).
    for (const std::string& problem : options.problems) setup::WriteSetupLog(problem.c_str());
    setup::WriteSetupLogF("command line not taken: nothing was done, exit code %d", kQuietBadCommandLine);
    m_nExitCode = kQuietBadCommandLine;
    return FALSE;
  }
  setup::ProcessSetupContext().m_facts.bTurnedOff = options.bNoReport;
  if (options.bCrashForTest) CrashForTest();
  if (options.bQuiet) {
    m_nExitCode = RunQuietSetup(m_singleInstance, options.bKeep);
    return FALSE;
  }

  if (!m_singleInstance.Claim(setup::kSingleInstanceMutexName) &&
      !setup::GoOnBesideNameHolder(m_singleInstance, setup::kWindowClassName,
                                   LoadStringResource(IDS_MAIN_TITLE).c_str(), setup::kRunningInstallerWindowWaitMs)) {
    return FALSE;
  }

  INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), 0xFF};
  InitCommonControlsEx(&controls);

  CWinAppEx::InitInstance();
  EnableActiveXContainer();
  SetRegistryKey(setup::kAppSettingsKey);
  SkinUI::CWindowHostUI::SetModuleInstance(GetInstance());

  IMainSetupWindow* frame = CreateMainWindow(setup::kMainSkin);
  if (!frame) return FALSE;

  const std::wstring title = LoadStringResource(IDS_MAIN_TITLE);
  frame->Create(nullptr, title.c_str(), kInstallerWindowStyle, kInstallerWindowExStyle, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr);
  frame->CenterOnOwner();
  frame->SetWindowIcon(IDR_MAINFRAME);
  SetMainWindow(frame->GetHWND());
  frame->RunModal(true);
  return FALSE;
}

int CinstallationApp::ExitInstance() { return m_nExitCode; }

IMainSetupWindow* CinstallationApp::CreateMainWindow(const wchar_t* skinFile) {
  // The window deletes itself when it is gone and ends the process.
  return new (std::nothrow) CFrameMainUI(skinFile, setup::ProcessSetupContext());
}
