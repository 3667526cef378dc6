#pragma once
// CFrameMainUI: the installer's main setup window. It starts the setup once its skin is built
// and its first frame is painted, shows the download's progress, hands the worker's outcome to
// the installation steps or to the message box, and ends the process when it is gone.

#include <windows.h>

#include <string>

#include "MainWindowHost.h"
#include "engine/SetupContext.h"
#include "windows/SetupWindowObserver.h"
#include "windows/XMLWnd.h"

namespace SkinUI {
class CControlUI;
class CProgressUI;
}  // namespace SkinUI

class CFrameMainUI : public CXMLWnd, public IMainSetupWindow {
 public:
  // `context` and `observer` must outlive the process's last thread: the worker keeps using
  // them after the window is gone (setup::ProcessSetupContext(), setup::ProcessSetupObserver()).
  CFrameMainUI(LPCWSTR pstrSkinFile, setup::SetupContext& context,
               setup::CSetupWindowObserver& observer = setup::ProcessSetupObserver());
  ~CFrameMainUI() override;

  // What start-up drives.
  HWND Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y,
              int cx, int cy, HMENU hMenu) override;
  void CenterOnOwner() override;
  void SetWindowIcon(UINT nIconId) override;
  UINT RunModal(bool bEnableOwner) override;
  HWND GetHWND() const override;

  // Progress figures are applied at most this often; the worker's channel keeps the newest
  // figures meanwhile, so nothing is lost by waiting.
  static constexpr DWORD kProgressIntervalMs = 40;

  UI_DECLARE_NOTIFY_MAP()

 protected:
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  // Clears the run's running flag, deletes the window object and ends the process with exit
  // code 0.
  void OnWindowGone(HWND hWnd) override;
  void OnSkinLoaded() override;
  void OnCancelClick(SkinUI::NotifyEvent& event);

  setup::SetupContext& m_context;
  setup::CSetupWindowObserver& m_observer;
  SkinUI::CProgressUI* m_pProgress = nullptr;
  SkinUI::CControlUI* m_pDownloadSize = nullptr;

 private:
  // WM_SETUP_PROGRESS: applies the newest figures now, or when the interval since the last
  // ones has passed.
  void OnSetupProgress();
  // Takes the newest figures from the worker's channel and shows them.
  void ApplyProgress();
  // The setup's start, once: the worker's first steps (loading the network and security
  // libraries, the manifest's request) would otherwise compete with the first frame.
  void StartSetup();
  // What the message box says for the run's outcome string (some are formatted with what
  // the run found out).
  std::wstring OutcomeText(UINT nStringId) const;

  DWORD m_dwLastProgressTick = 0;
  bool m_bProgressShown = false;
  bool m_bProgressDeferred = false;  // a timer will apply figures the channel still holds
  bool m_bSetupStarted = false;
};
