#include "GalleryWindow.h"

#include <cstdarg>
#include <cwchar>

#include "Control/UICombo.h"
#include "Control/UIList.h"
#include "Control/UIListTextElement.h"
#include "Control/UIOption.h"
#include "Control/UIProgress.h"
#include "Control/UIScrollBar.h"
#include "Control/UISlider.h"
#include "Control/UIText.h"
#include "Control/UITreeView.h"
#include "Core/UIConstants.h"
#include "Core/UIControl.h"
#include "Layout/CListCtrlUI.h"
#include "Layout/UITabLayout.h"

using namespace SkinUI;

namespace {

const wchar_t* const kBasics[] = {L"label", L"text", L"btn_add", L"btn_reset", L"btn_disabled",
                                  L"size_small", L"size_medium", L"size_large", L"check_bold",
                                  L"check_italic", L"check_off", L"progress", L"slider",
                                  L"scrollbar", L"gif", nullptr};
const wchar_t* const kInput[] = {L"edit", L"password", L"combo", L"date", L"time", L"richedit",
                                 nullptr};
const wchar_t* const kLists[] = {L"list", L"tree", L"listctrl", nullptr};
const wchar_t* const kLayouts[] = {L"inner_tabs", L"btn_prev", L"btn_next", L"child",
                                   L"child_button", L"scrolled", L"container", nullptr};
const wchar_t* const kHosted[] = {L"activex", L"browser", nullptr};

const wchar_t* const kBasicsKeyboard[] = {L"btn_add", L"btn_reset", L"size_small", L"size_medium", L"size_large",
                                          L"check_bold", L"check_italic", L"slider", L"scrollbar", nullptr};
const wchar_t* const kInputKeyboard[] = {L"edit", L"password", L"combo", L"date", L"time", L"richedit", nullptr};
const wchar_t* const kListsKeyboard[] = {L"list", L"tree", L"listctrl", nullptr};
const wchar_t* const kLayoutsKeyboard[] = {L"btn_prev", L"btn_next", L"child_button", nullptr};
const wchar_t* const kNothing[] = {nullptr};

// The list's rows: name, size, date.
const wchar_t* const kFiles[][3] = {
    {L"annual-report.pdf", L"2.4 MB", L"2024-03-18 09:12"},
    {L"holiday.jpg", L"3.1 MB", L"2024-07-02 17:45"},
    {L"notes.txt", L"4 KB", L"2024-09-11 08:30"},
    {L"budget.xlsx", L"88 KB", L"2024-10-05 14:03"},
    {L"song.mp3", L"5.6 MB", L"2024-11-21 21:17"},
    {L"setup.zip", L"41.0 MB", L"2024-12-01 11:59"},
};

}  // namespace

const CGalleryWindow::Page CGalleryWindow::kPages[] = {
    {L"tab_basics", kBasics, kBasicsKeyboard}, {L"tab_input", kInput, kInputKeyboard},
    {L"tab_lists", kLists, kListsKeyboard},    {L"tab_layouts", kLayouts, kLayoutsKeyboard},
    {L"tab_hosted", kHosted, kNothing}};
const int CGalleryWindow::kPageCount = sizeof(kPages) / sizeof(kPages[0]);

// Each entry: the notification type, the sender's name (empty: any sender), the handler. Clicks
// on the caption's buttons go on to the base class's table.
UI_BEGIN_NOTIFY_MAP(CGalleryWindow, WindowImplBase)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"btn_add", OnAddClick)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"btn_reset", OnResetClick)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"btn_prev", OnPreviousPageClick)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"btn_next", OnNextPageClick)
UI_ON_NOTIFY_NAMED(kNotifyClick, L"child_button", OnChildButtonClick)
UI_ON_NOTIFY(kNotifySelectChanged, OnSelectChanged)
UI_ON_NOTIFY_NAMED(kNotifyValueChanged, L"slider", OnSliderChanged)
UI_ON_NOTIFY_NAMED(kNotifyScroll, L"scrollbar", OnScroll)
UI_ON_NOTIFY_NAMED(kNotifyLink, L"text", OnLink)
UI_ON_NOTIFY_NAMED(kNotifyTextChanged, L"edit", OnEditChanged)
UI_ON_NOTIFY_NAMED(kNotifyItemSelect, L"list", OnListSelect)
UI_ON_NOTIFY_NAMED(kNotifyItemSelect, L"combo", OnComboSelect)
UI_ON_NOTIFY_NAMED(kNotifyItemSelect, L"tree", OnTreeSelect)
UI_ON_NOTIFY_NAMED(kNotifyItemSelect, L"listctrl", OnTileSelect)
UI_ON_NOTIFY(kNotifyDpiChanged, OnDpiChanged)
UI_END_NOTIFY_MAP()

void CGalleryWindow::OnSkinLoaded() {
  // Rows can come from the skin or, as here, from the program.
  CListUI* pList = Find<CListUI>(L"list");
  for (const auto& file : kFiles) {
    CListTextElementUI* pRow = new CListTextElementUI;
    // A skin length, not SetFixedHeight's window pixels: the row follows the window's DPI.
    pRow->ApplyAttribute(L"height", L"26");
    pList->AddItem(pRow);
    for (int iColumn = 0; iColumn < 3; ++iColumn) pRow->SetColumnText(iColumn, file[iColumn]);
  }
  ShowDpi();
  // A value the program sets can go without a notification; the user's changes always send one.
  Find<CScrollBarUI>(L"scrollbar")->SetScrollValue(30, false);
  Find<CControlUI>(L"richedit")->SetText(
      L"A rich edit holds many lines of text and scrolls them with its own scroll bar.\r\n\r\n"
      L"Type here: Return starts a new line.\r\nLine 4\r\nLine 5\r\nLine 6\r\nLine 7\r\n"
      L"Line 8\r\nLine 9\r\nLine 10\r\nLine 11\r\nLine 12\r\nLine 13\r\nLine 14\r\nLine 15");
}

void CGalleryWindow::OnAddClick(NotifyEvent&) {
  ShowValue(Find<CProgressUI>(L"progress")->GetValue() + 10);
}

void CGalleryWindow::OnResetClick(NotifyEvent&) { ShowValue(0); }

void CGalleryWindow::OnPreviousPageClick(NotifyEvent&) {
  CTabLayoutUI* pInnerTabs = Find<CTabLayoutUI>(L"inner_tabs");
  pInnerTabs->SelectIndex((pInnerTabs->GetCurSel() + 2) % 3);
}

void CGalleryWindow::OnNextPageClick(NotifyEvent&) {
  CTabLayoutUI* pInnerTabs = Find<CTabLayoutUI>(L"inner_tabs");
  pInnerTabs->SelectIndex((pInnerTabs->GetCurSel() + 1) % 3);
}

void CGalleryWindow::OnChildButtonClick(NotifyEvent&) {
  ShowStatus(L"The button of the child skin was clicked.");
}

void CGalleryWindow::OnSelectChanged(NotifyEvent& event) {
  COptionUI* pOption = static_cast<COptionUI*>(event.pSender);
  const CUIString sGroup = pOption->GetGroup();
  if (sGroup == L"tabs") {
    // The tab options carry their page's index as their tag.
    if (pOption->IsSelected()) {
      Find<CTabLayoutUI>(L"pages")->SelectIndex(static_cast<int>(pOption->GetTag()));
    }
  } else if (sGroup == L"size") {
    // A group sends "selectchanged" only from the option that became selected.
    ShowStatus(L"Option \"%ls\" selected.", pOption->GetText().GetData());
  } else {
    ShowStatus(L"Check box \"%ls\" is %ls.", pOption->GetText().GetData(),
               pOption->IsSelected() ? L"on" : L"off");
  }
}

void CGalleryWindow::OnSliderChanged(NotifyEvent& event) {
  ShowValue(static_cast<CSliderUI*>(event.pSender)->GetValue());
}

void CGalleryWindow::OnScroll(NotifyEvent& event) {
  ShowStatus(L"Scroll bar at %d of %d.", static_cast<int>(event.wParam),
             static_cast<CScrollBarUI*>(event.pSender)->GetScrollRange());
}

void CGalleryWindow::OnLink(NotifyEvent& event) {
  CTextUI* pText = static_cast<CTextUI*>(event.pSender);
  ShowStatus(L"Link \"%ls\" clicked.", pText->GetLinkText(static_cast<int>(event.wParam)).GetData());
}

void CGalleryWindow::OnEditChanged(NotifyEvent& event) {
  CUIString sEcho = L"You typed: ";
  sEcho += event.pSender->GetText();
  Find<CControlUI>(L"echo")->SetText(sEcho);
}

// The list family sends "itemselect" with the new index first and the old one second.
void CGalleryWindow::OnListSelect(NotifyEvent& event) {
  CListUI* pList = static_cast<CListUI*>(event.pSender);
  CListTextElementUI* pRow =
      static_cast<CListTextElementUI*>(pList->GetItemAt(static_cast<int>(event.wParam)));
  if (pRow != nullptr) {
    ShowStatus(L"List row %d: %ls, %ls.", static_cast<int>(event.wParam) + 1,
               pRow->GetColumnText(0).GetData(), pRow->GetColumnText(1).GetData());
  }
}

void CGalleryWindow::OnComboSelect(NotifyEvent& event) {
  ShowStatus(L"Combo: \"%ls\" chosen.", event.pSender->GetText().GetData());
}

void CGalleryWindow::OnTreeSelect(NotifyEvent& event) {
  CControlUI* pNode = static_cast<CTreeViewUI*>(event.pSender)->GetItemAt(static_cast<int>(event.wParam));
  if (pNode != nullptr) ShowStatus(L"Tree node \"%ls\" selected.", pNode->GetText().GetData());
}

void CGalleryWindow::OnTileSelect(NotifyEvent& event) {
  // A tile is a container: its text is its label's.
  CContainerUI* pTile = static_cast<CContainerUI*>(
      static_cast<CListCtrlUI*>(event.pSender)->GetItemAt(static_cast<int>(event.wParam)));
  if (pTile != nullptr && pTile->GetItemAt(0) != nullptr) {
    ShowStatus(L"Tile \"%ls\" selected.", pTile->GetItemAt(0)->GetText().GetData());
  }
}

void CGalleryWindow::ShowValue(int nValue) {
  CProgressUI* pProgress = Find<CProgressUI>(L"progress");
  // Past the end the bar starts again, so the button can be pressed for ever.
  pProgress->SetValue(nValue > 100 ? 0 : nValue);
  Find<CSliderUI>(L"slider")->SetValue(pProgress->GetValue());
  wchar_t szText[80];
  std::swprintf(szText, 80, L"The slider and the buttons move the bar: %d %%", pProgress->GetValue());
  Find<CControlUI>(L"progress_value")->SetText(szText);
}

void CGalleryWindow::ShowStatus(LPCWSTR pstrFormat, ...) {
  wchar_t szText[256];
  va_list args;
  va_start(args, pstrFormat);
  std::vswprintf(szText, 256, pstrFormat, args);
  va_end(args);
  Find<CControlUI>(L"status")->SetText(szText);
}

void CGalleryWindow::OnDpiChanged(NotifyEvent&) { ShowDpi(); }

void CGalleryWindow::ShowDpi() {
  const UINT uDpi = m_Host.GetDpi();
  wchar_t szText[40];
  std::swprintf(szText, 40, L"DPI %u (%u %%)", uDpi, (uDpi * 100 + 48) / 96);
  Find<CControlUI>(L"dpi")->SetText(szText);
}
