#pragma once
// CFrameUninstallUI: the question asked before an installed client is replaced, shown over
// the (hidden) main window with the installed and the published version, and
// ShowUninstallPrompt, which runs it and hands back the answer.

#include <windows.h>

#include <string>

#include "windows/XMLWnd.h"

class CFrameUninstallUI : public CXMLWnd {
 public:
  explicit CFrameUninstallUI(LPCWSTR pstrSkinFile);
  ~CFrameUninstallUI() override;

  // Kept for the question: the installed version is empty when the client was found only
  // through the uninstall list.
  void SetVersions(const std::wstring& installedVersion, const std::wstring& publishedVersion);

  UI_DECLARE_NOTIFY_MAP()

 protected:
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  // The prompt owns itself once created: it goes with its window.
  void OnWindowGone(HWND hWnd) override;
  void OnSkinLoaded() override;
  void OnConfirmClick(SkinUI::NotifyEvent& event);
  void OnDeclineClick(SkinUI::NotifyEvent& event);

  SkinUI::CControlUI* m_pMainText = nullptr;
  std::wstring m_strInstalledVersion;
  std::wstring m_strPublishedVersion;
};

namespace setup {
inline constexpr int kPromptConfirmed = 1;
}  // namespace setup

// 1 when the user confirmed the replacement (setup::kPromptConfirmed), 2 when declined with
// the cancel or the close button, 0 when the prompt was closed otherwise or could not be
// shown: anything but 1 leaves the machine as it is.
int ShowUninstallPrompt(HWND hMainWnd, const std::wstring& installedVersion, const std::wstring& publishedVersion);
