#include "GalleryWindow.h"

#include "Control/UIProgress.h"
#include "Control/UISlider.h"
#include "Core/UIControl.h"
#include "Core/UIDlgBuilder.h"
#include "Layout/UITabLayout.h"

using namespace SkinUI;

const wchar_t* const CGalleryWindow::kControlNames[] = {
    L"button", L"option1", L"option2", L"check", L"progress", L"slider", L"date",
    L"time", L"gif", L"tabs", L"activex", L"browser", nullptr};

bool CGalleryWindow::BuildSkin() {
  m_host.AttachWindow(m_hWnd);
  m_host.RegisterNotifier(this);
  CWindowHostUI::SetSkinFolder(CWindowHostUI::GetProgramFolder());
  CSkinBuilder builder;
  CControlUI* pRoot = builder.Build(L"gallery.xml", nullptr, nullptr, &m_host, nullptr);
  if (pRoot == nullptr) return false;
  m_host.AttachRoot(pRoot);
  const CUISize size = m_host.GetInitialSize();
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
  return true;
}

void CGalleryWindow::Notify(NotifyEvent& event) {
  // The button and the slider move the progress bar; the check box turns the tab page.
  const CUIString sSender = GetNotifySenderName(event.pSender);
  if (event.sType == kNotifyClick && sSender == L"button") {
    CProgressUI* pProgress = static_cast<CProgressUI*>(m_host.FindControlByName(L"progress"));
    pProgress->SetValue((pProgress->GetValue() + 10) % 110);
  } else if (event.sType == kNotifyValueChanged && sSender == L"slider") {
    CProgressUI* pProgress = static_cast<CProgressUI*>(m_host.FindControlByName(L"progress"));
    pProgress->SetValue(static_cast<CSliderUI*>(event.pSender)->GetValue());
  } else if (event.sType == kNotifySelectChanged && sSender == L"check") {
    CTabLayoutUI* pTabs = static_cast<CTabLayoutUI*>(m_host.FindControlByName(L"tabs"));
    pTabs->SelectIndex(1 - pTabs->GetCurSel());
  }
}

LRESULT CGalleryWindow::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_CREATE) {
    m_bBuilt = BuildSkin();
    return m_bBuilt ? 0 : -1;
  }
  if (uMsg == WM_DESTROY) {
    m_host.UnregisterNotifier(this);
    ::PostQuitMessage(0);
  }
  LRESULT lRes = 0;
  if (m_bBuilt && m_host.HandleWindowMessage(uMsg, wParam, lParam, lRes)) return lRes;
  return CWindowWnd::ProcessMessage(uMsg, wParam, lParam);
}
