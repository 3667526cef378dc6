#include "windows/ProxyLogin.h"

#include <new>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "windows/WindowConstants.h"

namespace {

// A proxy's name and realm come from the network: no line breaks, no endless text.
std::wstring Shown(const std::wstring& text) {
  constexpr size_t kShownChars = 60;
  std::wstring shown;
  for (wchar_t ch : text) {
    if (ch < L' ' || ch == 0x7F) continue;
    if (shown.size() == kShownChars) {
      shown.back() = L'…';
      break;
    }
    shown += ch;
  }
  return shown;
}

}  // namespace

UI_BEGIN_NOTIFY_MAP(CFrameProxyLoginUI, CXMLWnd)
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyClick, L"btn_ok", OnConfirmClick)
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyClick, L"btn_cancle", OnCancelClick)
// Return in either field confirms, as in every sign-in box.
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyReturn, L"user", OnConfirmClick)
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyReturn, L"password", OnConfirmClick)
UI_END_NOTIFY_MAP()

CFrameProxyLoginUI::CFrameProxyLoginUI(LPCWSTR pstrSkinFile, const std::wstring& proxy, const std::wstring& realm,
                                       bool again)
    : CXMLWnd(pstrSkinFile), m_strProxy(proxy), m_strRealm(realm), m_bAgain(again) {}

CFrameProxyLoginUI::~CFrameProxyLoginUI() = default;

LRESULT CFrameProxyLoginUI::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_NCLBUTTONDBLCLK) return 0;
  return CXMLWnd::ProcessMessage(uMsg, wParam, lParam);
}

void CFrameProxyLoginUI::OnWindowGone(HWND hWnd) {
  CXMLWnd::OnWindowGone(hWnd);
  delete this;
}

void CFrameProxyLoginUI::OnSkinLoaded() {
  SkinUI::CControlUI* pText = m_Host.FindControlByName(setup::kMessageControlName);
  if (pText != nullptr) pText->SetText((L"代理服务器 " + Shown(m_strProxy) + L" 需要登录。").c_str());
  if (SkinUI::CControlUI* pRealm = m_Host.FindControlByName(L"realm_txt")) {
    pRealm->SetText(m_strRealm.empty() ? L"" : (L"（" + Shown(m_strRealm) + L"）").c_str());
  }
  SkinUI::CControlUI* pRetry = m_Host.FindControlByName(L"retry_txt");
  if (pRetry != nullptr) pRetry->SetVisible(m_bAgain);
  m_Host.SetFirstFocus(m_Host.FindControlByName(L"user"));
  // Asked again, what the person must hear first is that the last login was refused.
  m_Host.SetAccessibleMessage(m_bAgain && pRetry != nullptr ? pRetry : pText);
}

void CFrameProxyLoginUI::Confirm() {
  SkinUI::CControlUI* pUser = m_Host.FindControlByName(L"user");
  SkinUI::CControlUI* pPassword = m_Host.FindControlByName(L"password");
  if (m_pAnswer != nullptr && pUser != nullptr && pPassword != nullptr) {
    m_pAnswer->bGiven = true;
    m_pAnswer->strUser = pUser->GetText().GetData();
    m_pAnswer->strPassword = pPassword->GetText().GetData();
  }
  Close(IDOK);
}

void CFrameProxyLoginUI::OnConfirmClick(SkinUI::NotifyEvent& /*event*/) { Confirm(); }

void CFrameProxyLoginUI::OnCancelClick(SkinUI::NotifyEvent& /*event*/) { Close(IDCANCEL); }

bool ShowProxyLogin(HWND hOwner, const std::wstring& proxy, const std::wstring& realm, bool again, std::wstring& user,
                    std::wstring& password) {
  CFrameProxyLoginUI::Login answer;
  CFrameProxyLoginUI* pLogin = new (std::nothrow) CFrameProxyLoginUI(setup::kProxyLoginSkin, proxy, realm, again);
  if (pLogin == nullptr) return false;
  pLogin->SetAnswer(&answer);
  if (pLogin->CreateOver(hOwner) == nullptr) return false;
  // The window deletes itself when it goes; it is not touched after the loop.
  pLogin->RunModal(true);
  if (!answer.bGiven) return false;
  user = answer.strUser;
  password = answer.strPassword;
  if (!answer.strPassword.empty()) SecureZeroMemory(&answer.strPassword[0], answer.strPassword.size() * sizeof(wchar_t));
  return true;
}
