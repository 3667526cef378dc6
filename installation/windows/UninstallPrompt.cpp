#include "windows/UninstallPrompt.h"

#include <new>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "windows/WindowConstants.h"

namespace {

constexpr int kPromptDeclined = 2;  // the same answer the base gives its close button

// A registry value or a server's manifest could hold anything: line breaks would split the
// line, and a long text would push the question out of the small text area.
constexpr size_t kShownVersionChars = 40;

std::wstring ShownVersion(const std::wstring& version) {
  std::wstring shown;
  for (wchar_t ch : version) {
    if (ch < L' ' || ch == 0x7F) continue;
    if (shown.size() == kShownVersionChars) {
      shown.back() = L'…';
      break;
    }
    shown += ch;
  }
  return shown;
}

// The skin's question, then what would be replaced by what on a line of its own, in the
// question's font and colour. A version that is not known is left out rather than shown
// empty.
std::wstring QuestionWithVersions(const std::wstring& question, const std::wstring& installedVersion,
                                  const std::wstring& publishedVersion) {
  const std::wstring installed = ShownVersion(installedVersion);
  const std::wstring published = ShownVersion(publishedVersion);
  std::wstring line;
  if (!installed.empty()) line = L"已安装版本：" + installed;
  if (!published.empty()) {
    if (!line.empty()) line += L"，";
    line += L"最新版本：" + published;
  }
  return line.empty() ? question : question + L"\r\n" + line;
}

}  // namespace

UI_BEGIN_NOTIFY_MAP(CFrameUninstallUI, CXMLWnd)
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyClick, L"btn_ok", OnConfirmClick)
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyClick, L"btn_cancle", OnDeclineClick)
UI_END_NOTIFY_MAP()

CFrameUninstallUI::CFrameUninstallUI(LPCWSTR pstrSkinFile) : CXMLWnd(pstrSkinFile) {}

CFrameUninstallUI::~CFrameUninstallUI() = default;

void CFrameUninstallUI::SetVersions(const std::wstring& installedVersion, const std::wstring& publishedVersion) {
  m_strInstalledVersion = installedVersion;
  m_strPublishedVersion = publishedVersion;
}

LRESULT CFrameUninstallUI::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  // A double click on the caption neither maximises nor restores the prompt.
  if (uMsg == WM_NCLBUTTONDBLCLK) return 0;
  return CXMLWnd::ProcessMessage(uMsg, wParam, lParam);
}

void CFrameUninstallUI::OnWindowGone(HWND hWnd) {
  CXMLWnd::OnWindowGone(hWnd);
  delete this;
}

void CFrameUninstallUI::OnSkinLoaded() {
  // The choice that changes nothing has the focus, outlined from the start: a Return or a Space
  // pressed before the person has read the question keeps the installed client.
  m_Host.SetFirstFocus(m_Host.FindControlByName(L"btn_cancle"));
  m_Host.ShowFocusCues();
  m_pMainText = m_Host.FindControlByName(setup::kMessageControlName);
  if (m_pMainText == nullptr) return;
  m_Host.SetAccessibleMessage(m_pMainText);
  const std::wstring question = m_pMainText->GetText().GetData();
  m_pMainText->SetText(QuestionWithVersions(question, m_strInstalledVersion, m_strPublishedVersion).c_str());
}

// Only a click decides: hovering a button, the focus that Tab or a press gives it, and a press
// dragged off it before the release answer nothing; a replaced client cannot be had back.
void CFrameUninstallUI::OnConfirmClick(SkinUI::NotifyEvent& /*event*/) { Close(setup::kPromptConfirmed); }

void CFrameUninstallUI::OnDeclineClick(SkinUI::NotifyEvent& /*event*/) { Close(kPromptDeclined); }

int ShowUninstallPrompt(HWND hMainWnd, const std::wstring& installedVersion, const std::wstring& publishedVersion) {
  CFrameUninstallUI* pPrompt = new (std::nothrow) CFrameUninstallUI(setup::kUninstallPromptSkin);
  if (pPrompt == nullptr) return 0;
  pPrompt->SetVersions(installedVersion, publishedVersion);
  if (pPrompt->CreateOver(hMainWnd) == nullptr) return 0;
  // The prompt deletes itself when its window goes; it is not touched after the loop.
  return pPrompt->RunModal(true);
}
