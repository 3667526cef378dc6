#include "windows/SetupWindowObserver.h"

#include <cstdio>

#include "resource.h"
#include "windows/UninstallPrompt.h"
#include "windows/WindowConstants.h"

namespace setup {

ProgressFigures FiguresFor(int64_t received, int64_t total) {
  ProgressFigures figures;
  if (total > 0) figures.nPercent = static_cast<int>(received * 100 / total);
  snprintf(figures.szSizeText, sizeof figures.szSizeText, "%.1f/%.1f KB", static_cast<double>(received) / 1000,
           static_cast<double>(total) / 1000);
  return figures;
}

UINT OutcomeStringId(SetupOutcome outcome) {
  switch (outcome) {
    case SetupOutcome::kPackageDamaged:
      return IDS_PACKAGE_CORRUPT;
    case SetupOutcome::kDownloadFailed:
      return IDS_DOWNLOAD_FAILED;
    case SetupOutcome::kDiskError:
      return IDS_DISK_WRITE_FAILED;
    case SetupOutcome::kPreviousRestored:
      return IDS_PREVIOUS_RESTORED;
    case SetupOutcome::kRestartNeeded:
      return IDS_RESTART_NEEDED;
    case SetupOutcome::kNewerInstalled:
      return IDS_NEWER_INSTALLED;
    case SetupOutcome::kClientUnidentified:
      return IDS_CLIENT_UNIDENTIFIED;
    case SetupOutcome::kClockWrong:
      return IDS_CLOCK_WRONG;
    case SetupOutcome::kReplaceFailed:
      return IDS_REPLACE_FAILED;
    case SetupOutcome::kPutBackFailed:
      return IDS_PUT_BACK_FAILED;
    case SetupOutcome::kInstalled:
    case SetupOutcome::kClientKept:
    // An installer that failed has told the person in its own window.
    case SetupOutcome::kInstallerFailed:
      break;
  }
  return 0;
}

void CSetupWindowObserver::OnProgress(int64_t received, int64_t total) {
  const ProgressFigures figures = FiguresFor(received, total);
  m_progress.Publish(m_hWnd.load(), figures.nPercent, figures.szSizeText);
}

bool CSetupWindowObserver::AskProxyLogin(const std::wstring& proxy, const std::wstring& realm, bool again,
                                         std::wstring& user, std::wstring& password) {
  ProxyLoginRequest request;
  request.strProxy = proxy;
  request.strRealm = realm;
  request.bAgain = again;
  // Sent, not posted: the worker waits for the person. A window that is gone answers nothing.
  SendMessageW(m_hWnd.load(), WM_SETUP_PROXY_LOGIN, 0, reinterpret_cast<LPARAM>(&request));
  if (!request.bGiven) return false;
  user = request.strUser;
  password = request.strPassword;
  if (!request.strPassword.empty())
    SecureZeroMemory(&request.strPassword[0], request.strPassword.size() * sizeof(wchar_t));
  return true;
}

void CSetupWindowObserver::OnPackageReady() { PostMessageW(m_hWnd.load(), WM_SETUP_PACKAGE_READY, 0, 0); }

void CSetupWindowObserver::OnRunEnded(SetupOutcome outcome) {
  const UINT text = OutcomeStringId(outcome);
  if (text == 0) {
    PostMessageW(m_hWnd.load(), WM_CLOSE, 0, 0);
    return;
  }
  PostMessageW(m_hWnd.load(), WM_SETUP_ERROR, text, 0);
}

void CSetupWindowObserver::OnInstallStarted() { ShowWindow(m_hWnd.load(), SW_HIDE); }

bool CSetupWindowObserver::ConfirmReplace(const std::wstring& installedVersion, const std::wstring& publishedVersion) {
  return ShowUninstallPrompt(m_hWnd.load(), installedVersion, publishedVersion) == kPromptConfirmed;
}

CSetupWindowObserver& ProcessSetupObserver() {
  static CSetupWindowObserver* const observer = new CSetupWindowObserver(g_setupProgress);
  return *observer;
}

}  // namespace setup
