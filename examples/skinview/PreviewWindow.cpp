#include "PreviewWindow.h"

#include <ctime>

#include "Core/UIConstants.h"
#include "Core/UIControl.h"
#include "Core/UIDlgBuilder.h"
#include "Core/UISkinIssues.h"
#include "Layout/UITabLayout.h"
#include "SkinReports.h"

namespace {

const UINT_PTR kReloadTimer = 0x5356;
// The size of the window while no skin has been built, in skin pixels.
const int kPlaceholderWidth = 560;
const int kPlaceholderHeight = 240;

std::wstring TimeOfDay() {
  SYSTEMTIME st = {};
  ::GetLocalTime(&st);
  wchar_t sz[16] = {};
  std::swprintf(sz, 16, L"%02u:%02u:%02u", st.wHour, st.wMinute, st.wSecond);
  return sz;
}

// "12:5", or "other.xml:12:5" for a skin the shown one names.
std::wstring RowPlace(const std::wstring& file, const SkinUI::SkinIssue& issue) {
  std::wstring place;
  if (!issue.sSource.IsEmpty() && file != issue.sSource.GetData()) place = issue.sSource.GetData();
  if (issue.nLine > 0) {
    if (!place.empty()) place += L":";
    place += std::to_wstring(issue.nLine) + L":" + std::to_wstring(issue.nColumn);
  }
  return place;
}

SkinUI::CControlUI* CALLBACK FindTabLayout(SkinUI::CControlUI* pControl, LPVOID /*pData*/) {
  return pControl->QueryNamedInterface(L"TabLayout") != nullptr ? pControl : nullptr;
}

// Notifications that come by themselves, not from what the user did.
bool IsQuiet(LPCWSTR pstrType) {
  for (LPCWSTR pstrQuiet : {SkinUI::kNotifyWindowInit, SkinUI::kNotifyTimer, SkinUI::kNotifySetFocus,
                            SkinUI::kNotifyKillFocus, SkinUI::kNotifyDpiChanged}) {
    if (::lstrcmpW(pstrType, pstrQuiet) == 0) return true;
  }
  return false;
}

}  // namespace

CPreviewWindow::CPreviewWindow(const SkinLocation& skin, UINT uDpi, SIZE szWindow, bool bContrast)
    : m_skin(skin),
      m_uDpi(uDpi),
      m_szAsked(szWindow),
      m_bContrast(bContrast),
      m_pOverlay(new CErrorOverlayUI(m_Host)) {}

CPreviewWindow::~CPreviewWindow() { m_watch.Stop(); }

HWND CPreviewWindow::CreatePreview() {
  if (Create(nullptr, L"skinview", WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0, 0, 0, 0) ==
      nullptr) {
    return nullptr;
  }
  m_panel.CreateOwned(m_hWnd);
  LoadSkin();
  PlaceWithPanel();
  ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
  if (m_panel.GetHWND() != nullptr) m_panel.ShowBeside(m_hWnd);
  m_bWatching = m_watch.Start(m_skin.folder.c_str(), m_hWnd, kFolderChangedMessage);
  return m_hWnd;
}

LRESULT CPreviewWindow::HandleCreate(UINT, WPARAM, LPARAM, bool& /*bHandled*/) {
  // The skin is read by CreatePreview, once the panel it reports to is there.
  AttachFrame();
  if (m_uDpi != 0) m_Host.SetDpi(m_uDpi);
  if (m_bContrast) m_Host.ForceHighContrast(true);
  m_Host.RegisterNotifier(this);
  return 0;
}

LRESULT CPreviewWindow::HandleDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
  m_watch.Stop();
  ::KillTimer(m_hWnd, kReloadTimer);
  bHandled = false;
  return 0;
}

LRESULT CPreviewWindow::ProcessOtherMessage(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
  switch (uMsg) {
    case kFolderChangedMessage:
      // Each change starts the wait again: the skin is read once the save is over.
      ::SetTimer(m_hWnd, kReloadTimer, kSettleMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam != kReloadTimer) break;
      ::KillTimer(m_hWnd, kReloadTimer);
      LoadSkin();
      return 0;
    case WM_DPICHANGED:
      // A DPI asked for on the command line stays, whatever screen the window is on.
      if (m_uDpi != 0) return 0;
      break;
    default:
      break;
  }
  bHandled = false;
  return 0;
}

LRESULT CPreviewWindow::HandleKeyDown(UINT, WPARAM wParam, LPARAM, bool& bHandled) {
  const bool bControl = ::GetKeyState(VK_CONTROL) < 0;
  if (wParam == VK_F5) {
    LoadSkin();
  } else if (wParam == VK_F12) {
    if (::IsWindowVisible(m_panel)) {
      ::ShowWindow(m_panel, SW_HIDE);
    } else {
      m_panel.ShowBeside(m_hWnd);
    }
  } else if (bControl && (wParam == VK_NEXT || wParam == VK_PRIOR)) {
    TurnTabPage(wParam == VK_NEXT ? 1 : -1);
  } else {
    bHandled = false;
  }
  return 0;
}

void CPreviewWindow::Notify(SkinUI::NotifyEvent& event) {
  if (!IsQuiet(event.sType) && m_panel.GetHWND() != nullptr) {
    std::wstring text = std::wstring(event.sType.GetData());
    if (event.pSender != nullptr && !event.pSender->GetName().IsEmpty()) {
      text += L" from \"" + std::wstring(event.pSender->GetName().GetData()) + L"\"";
    }
    m_panel.ShowEvent(TimeOfDay() + L"  " + text);
  }
  WindowImplBase::Notify(event);
}

void CPreviewWindow::LoadSkin() {
  ++m_load.nCount;
  // Tried on its own first: a skin that does not parse must not take the shown one's fonts,
  // images and defaults away.
  SkinUI::CSkinMarkup trial;
  if (!trial.ParseSkinFile(m_skin.file.c_str(), SkinUI::SkinTextEncoding::Utf8)) {
    ShowFailure(trial);
    return;
  }
  // What the last skin registered goes with it, the shared registries included.
  m_Host.AttachWindow(m_hWnd);
  m_Host.RemoveAllFonts(true);
  m_Host.RemoveAllImages(true);
  m_Host.RemoveAllDefaultAttributeLists(true);
  m_Host.RemoveAllWindowCustomAttributes();
  SkinUI::CSkinIssueList issues(&m_Host);
  SkinUI::CSkinBuilder builder;
  SkinUI::CControlUI* pRoot = nullptr;
  {
    // Child layouts build their skins when the tree is attached: the scope spans both.
    SkinUI::CSkinBuildScope scope(&issues);
    pRoot = builder.Build(m_skin.file.c_str(), nullptr, this, &m_Host);
    if (pRoot != nullptr) m_Host.AttachRoot(pRoot);
  }
  if (pRoot == nullptr) {
    ShowFailure(*builder.GetMarkup());
    return;
  }

  m_load.bParsed = true;
  m_load.error.clear();
  m_load.nLine = 0;
  m_load.nColumn = 0;
  m_load.issues.clear();
  std::vector<CIssuePanel::Row> rows;
  for (int i = 0; i < issues.GetCount(); ++i) {
    const SkinUI::SkinIssue& issue = issues.GetAt(i);
    m_load.issues.push_back(DescribeSkinIssue(m_skin.file, issue));
    rows.push_back({RowPlace(m_skin.file, issue), issue.Describe().GetData(), false});
  }
  SkinUI::CUISize szSkin = m_Host.GetInitialSize();
  if (m_szAsked.cx > 0 && m_szAsked.cy > 0) {
    szSkin = SkinUI::CUISize(m_Host.ScalePixels(m_szAsked.cx), m_Host.ScalePixels(m_szAsked.cy));
  }
  if (szSkin.cx > 0 && szSkin.cy > 0 && (szSkin.cx != m_szSkin.cx || szSkin.cy != m_szSkin.cy)) {
    m_szSkin = SIZE{szSkin.cx, szSkin.cy};
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, szSkin.cx, szSkin.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  m_shownRows = rows;
  m_bTreeShown = true;
  m_bPlaceholder = false;
  m_pOverlay->Hide();
  KeepOverlayOnTop();
  const std::wstring status =
      (issues.GetCount() == 0 ? std::wstring(L"No problems")
                              : std::to_wstring(issues.GetCount()) +
                                    (issues.GetCount() == 1 ? L" problem" : L" problems")) +
      L"  (read at " + TimeOfDay() + L")";
  if (m_panel.GetHWND() != nullptr) m_panel.ShowLoad(m_skin.file, status, rows);
}

void CPreviewWindow::ShowFailure(const SkinUI::CSkinMarkup& markup) {
  m_load.bParsed = false;
  m_load.nLine = markup.GetLastErrorLine();
  m_load.nColumn = markup.GetLastErrorColumn();
  const bool bMessage = markup.GetLastErrorMessage()[0] != L'\0';
  const std::wstring message = bMessage ? markup.GetLastErrorMessage() : L"the skin makes no control";
  m_load.error = bMessage ? DescribeSkinError(m_skin.file, markup)
                          : m_skin.file + L": error: " + message;
  std::wstring place = m_skin.file;
  std::wstring rowPlace;
  if (m_load.nLine > 0) {
    rowPlace = std::to_wstring(m_load.nLine) + L":" + std::to_wstring(m_load.nColumn);
    place += L":" + rowPlace;
  }
  const bool bSkinBehind = m_bTreeShown && !m_bPlaceholder;
  if (!m_bTreeShown) ShowPlaceholder();
  m_pOverlay->Show(place, message,
                   m_load.nLine > 0 ? ReadSkinLine(m_skin.folder + m_skin.file, m_load.nLine) : L"",
                   m_load.nColumn, bSkinBehind);
  KeepOverlayOnTop();
  if (m_panel.GetHWND() != nullptr) {
    // The problems of the skin behind the overlay stay listed below the error.
    std::vector<CIssuePanel::Row> rows = {{rowPlace, message, true}};
    rows.insert(rows.end(), m_shownRows.begin(), m_shownRows.end());
    m_panel.ShowLoad(m_skin.file, L"Does not parse  (read at " + TimeOfDay() + L")", rows);
  }
}

// A new tree drops the controls painted after it; the overlay is painted after every tree, once.
void CPreviewWindow::KeepOverlayOnTop() {
  m_Host.UnregisterPostPaint(m_pOverlay.get());
  m_Host.RegisterPostPaint(m_pOverlay.get());
}

void CPreviewWindow::ShowPlaceholder() {
  auto* pEmpty = new SkinUI::CControlUI;
  pEmpty->SetBkColor(0xFFE9ECF1);
  m_Host.AttachRoot(pEmpty);
  m_bTreeShown = true;
  m_bPlaceholder = true;
  m_szSkin = SIZE{0, 0};
  m_shownRows.clear();
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_Host.ScalePixels(kPlaceholderWidth),
                 m_Host.ScalePixels(kPlaceholderHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window and the panel at its right, centred together on the screen; a window too wide for
// both is centred alone and the panel keeps to the screen's right edge.
void CPreviewWindow::PlaceWithPanel() {
  RECT rcWindow = {};
  RECT rcPanel = {};
  ::GetWindowRect(m_hWnd, &rcWindow);
  if (m_panel.GetHWND() != nullptr) ::GetWindowRect(m_panel, &rcPanel);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& rcWork = monitor.rcWork;
  const int cxWindow = rcWindow.right - rcWindow.left;
  const int cyWindow = rcWindow.bottom - rcWindow.top;
  const int cxGroup = cxWindow + m_Host.ScalePixels(CIssuePanel::kGap) + (rcPanel.right - rcPanel.left);
  const int cxWork = rcWork.right - rcWork.left;
  const int x = rcWork.left + (cxGroup <= cxWork ? (cxWork - cxGroup) / 2 : (cxWork - cxWindow) / 2);
  const int y = rcWork.top + ((rcWork.bottom - rcWork.top) - cyWindow) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x > rcWork.left ? x : rcWork.left, y > rcWork.top ? y : rcWork.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPreviewWindow::TurnTabPage(int nStep) {
  if (!m_bTreeShown) return;
  SkinUI::CControlUI* pRoot = m_Host.GetRoot();
  POINT pt = {};
  ::GetCursorPos(&pt);
  ::ScreenToClient(m_hWnd, &pt);
  SkinUI::CControlUI* pTab = nullptr;
  for (SkinUI::CControlUI* p = m_Host.FindControlAt(pt); p != nullptr && pTab == nullptr; p = p->GetParent()) {
    if (p->QueryNamedInterface(L"TabLayout") != nullptr) pTab = p;
  }
  if (pTab == nullptr) pTab = pRoot->FindControl(FindTabLayout, nullptr, SkinUI::kFindVisible | SkinUI::kFindMeFirst);
  auto* pLayout = static_cast<SkinUI::CTabLayoutUI*>(pTab);
  if (pLayout == nullptr || pLayout->GetItemCount() == 0) return;
  const int nCount = pLayout->GetItemCount();
  const int iPage = ((pLayout->GetCurSel() + nStep) % nCount + nCount) % nCount;
  pLayout->SelectIndex(iPage);
  if (m_panel.GetHWND() != nullptr) {
    m_panel.ShowEvent(TimeOfDay() + L"  page " + std::to_wstring(iPage + 1) + L" of " +
                      std::to_wstring(nCount) + L" shown");
  }
}
