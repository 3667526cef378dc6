#pragma once
// CFrameProxyLoginUI: the name and password a proxy asks for, over the main window, and
// ShowProxyLogin, which runs it. What is typed stays in memory for the run: it is never
// written anywhere.

#include <windows.h>

#include <string>

#include "windows/XMLWnd.h"

class CFrameProxyLoginUI : public CXMLWnd {
 public:
  CFrameProxyLoginUI(LPCWSTR pstrSkinFile, const std::wstring& proxy, const std::wstring& realm, bool again);
  ~CFrameProxyLoginUI() override;

  // Filled when the person confirms; read before the window is gone.
  struct Login {
    bool bGiven = false;
    std::wstring strUser;
    std::wstring strPassword;
  };
  void SetAnswer(Login* answer) { m_pAnswer = answer; }

  UI_DECLARE_NOTIFY_MAP()

 protected:
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND hWnd) override;
  void OnSkinLoaded() override;
  void OnConfirmClick(SkinUI::NotifyEvent& event);
  void OnCancelClick(SkinUI::NotifyEvent& event);

 private:
  void Confirm();

  std::wstring m_strProxy;
  std::wstring m_strRealm;
  bool m_bAgain;
  Login* m_pAnswer = nullptr;
};

// Asks for the login `proxy` wants (its realm shown; `again`: the last one was refused) over
// `hOwner`. True with the name and password when the person confirms; false when they
// cancel or close it, or it cannot be shown.
bool ShowProxyLogin(HWND hOwner, const std::wstring& proxy, const std::wstring& realm, bool again, std::wstring& user,
                    std::wstring& password);
