#include "windows/FrameMsgBoxUI.h"

#include <new>
#include <string>

#include "Common/tool.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "windows/WindowConstants.h"

CFrameMsgBoxUI::CFrameMsgBoxUI(LPCWSTR pstrSkinFile) : CXMLWnd(pstrSkinFile) {}

void CFrameMsgBoxUI::OnWindowGone(HWND hWnd) {
  CXMLWnd::OnWindowGone(hWnd);
  delete this;
}

void CFrameMsgBoxUI::OnSkinLoaded() {
  // Outlined from the start: what a Return or a Space would do is in sight before the first key.
  m_Host.SetFirstFocus(m_Host.FindControlByName(setup::kCloseButtonName));
  m_Host.ShowFocusCues();
  m_Host.SetAccessibleMessage(m_Host.FindControlByName(setup::kMessageControlName));
}

void ShowSetupError(HWND hMainWnd, UINT nStringId) {
  ShowSetupMessage(hMainWnd, setup::LoadStringResource(SkinUI::CWindowHostUI::GetModuleInstance(), nStringId));
}

void ShowSetupMessage(HWND hMainWnd, const std::wstring& text) {
  CFrameMsgBoxUI* pBox = new (std::nothrow) CFrameMsgBoxUI(setup::kMessageBoxSkin);
  if (pBox == nullptr) return;
  // Not deleted on failure: a window that failed after its first message has already taken
  // the object with it, and one that never got that far leaves only these few bytes behind.
  if (pBox->CreateOver(hMainWnd) == nullptr) return;
  if (SkinUI::CControlUI* pText = pBox->GetWindowHost().FindControlByName(L"main_txt")) {
    pText->SetText(text.c_str());
  }
  // The box deletes itself when its window goes; it is not touched after the loop.
  pBox->RunModal(true);
  ::PostMessageW(hMainWnd, WM_CLOSE, 0, 0);
}
