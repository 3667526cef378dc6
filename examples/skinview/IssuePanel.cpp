#include "IssuePanel.h"

#include <algorithm>

#include "Control/UILabel.h"
#include "Core/UIContainer.h"
#include "Layout/UIHorizontalLayout.h"
#include "SkinViewResources.h"

namespace {

const DWORD kPlaceColor = 0xFF7A8696;
const DWORD kWarningColor = 0xFF1F2D3D;
const DWORD kErrorColor = 0xFFC62828;

SkinUI::CLabelUI* MakeLabel(const std::wstring& text, DWORD dwColor) {
  auto* pLabel = new SkinUI::CLabelUI;
  pLabel->SetText(text.c_str());
  pLabel->SetToolTip(text.c_str());
  pLabel->SetTextColor(dwColor);
  pLabel->ApplyAttribute(L"endellipsis", L"true");
  return pLabel;
}

}  // namespace

SkinUI::CUIString CIssuePanel::SkinFile() const {
  SkinUI::CUIString sId;
  sId.Format(L"%d", IDR_PANEL_SKIN);
  return sId;
}

HWND CIssuePanel::CreateOwned(HWND hOwner) {
  return Create(hOwner, L"skinview", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 0, 0, 0, 0);
}

void CIssuePanel::ShowBeside(HWND hOwner) {
  RECT rcOwner = {};
  RECT rcPanel = {};
  ::GetWindowRect(hOwner, &rcOwner);
  ::GetWindowRect(m_hWnd, &rcPanel);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(hOwner, MONITOR_DEFAULTTONEAREST), &monitor);
  // Never past the screen's right edge, even when that covers part of the preview.
  const int x = std::min<int>(rcOwner.right + m_Host.ScalePixels(kGap),
                              monitor.rcWork.right - (rcPanel.right - rcPanel.left));
  ::SetWindowPos(m_hWnd, nullptr, x, rcOwner.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

void CIssuePanel::ShowLoad(const std::wstring& title, const std::wstring& status,
                           const std::vector<Row>& rows) {
  if (SkinUI::CControlUI* pTitle = m_Host.FindControlByName(L"title")) pTitle->SetText(title.c_str());
  if (SkinUI::CControlUI* pStatus = m_Host.FindControlByName(L"status")) pStatus->SetText(status.c_str());
  auto* pRows = static_cast<SkinUI::CContainerUI*>(m_Host.FindControlByName(L"rows"));
  if (pRows == nullptr) return;
  pRows->RemoveAllItems();
  for (const Row& row : rows) {
    // Lengths in skin pixels, taken at the panel's DPI when the row joins it.
    auto* pRow = new SkinUI::CHorizontalLayoutUI;
    pRow->ApplyAttribute(L"height", L"20");
    SkinUI::CLabelUI* pPlace = MakeLabel(row.place, kPlaceColor);
    pPlace->ApplyAttribute(L"width", row.place.size() > 9 ? L"130" : L"64");
    pRow->AddItem(pPlace);
    pRow->AddItem(MakeLabel(row.text, row.bError ? kErrorColor : kWarningColor));
    pRows->AddItem(pRow);
  }
}

void CIssuePanel::ShowEvent(const std::wstring& text) {
  if (SkinUI::CControlUI* pEvents = m_Host.FindControlByName(L"events")) pEvents->SetText(text.c_str());
}

std::vector<std::wstring> CIssuePanel::RowTexts() {
  std::vector<std::wstring> texts;
  auto* pRows = static_cast<SkinUI::CContainerUI*>(m_Host.FindControlByName(L"rows"));
  for (int i = 0; pRows != nullptr && i < pRows->GetItemCount(); ++i) {
    auto* pRow = static_cast<SkinUI::CContainerUI*>(pRows->GetItemAt(i));
    texts.push_back(std::wstring(pRow->GetItemAt(0)->GetText().GetData()) + L"  " +
                    pRow->GetItemAt(1)->GetText().GetData());
  }
  return texts;
}

void CIssuePanel::OnCloseButton(SkinUI::NotifyEvent& /*event*/) { ::ShowWindow(m_hWnd, SW_HIDE); }
