#include "windows/FrameMainUI.h"

#include <cstdlib>
#include <string>

#include "Common/tool.h"
#include "Control/UIProgress.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "engine/ExistingInstall.h"
#include "engine/SetupWorker.h"
#include "resource.h"
#include "windows/FrameMsgBoxUI.h"
#include "windows/ProxyLogin.h"
#include "windows/SetupProgress.h"
#include "windows/WindowConstants.h"

namespace {

// Above the ids the window host gives its control timers and its layered-paint timer.
constexpr UINT_PTR kProgressTimerId = 0x3000;
// A timer's tick is taken from the queue only when no paint is pending, so it starts the
// setup right after the first frame, or at once when the window has nothing to paint.
constexpr UINT_PTR kStartSetupTimerId = 0x3001;

// The local date of a universal time, "YYYY-MM-DD".
std::wstring LocalDate(const SYSTEMTIME& universal) {
  SYSTEMTIME local = universal;
  SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
  wchar_t text[16];
  _snwprintf(text, 16, L"%04u-%02u-%02u", local.wYear, local.wMonth, local.wDay);
  text[15] = L'\0';
  return text;
}

std::wstring WidenAscii(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return wide;
}

}  // namespace

UI_BEGIN_NOTIFY_MAP(CFrameMainUI, CXMLWnd)
UI_ON_NOTIFY_NAMED(SkinUI::kNotifyClick, L"btn_cancle", OnCancelClick)
UI_END_NOTIFY_MAP()

CFrameMainUI::CFrameMainUI(LPCWSTR pstrSkinFile, setup::SetupContext& context, setup::CSetupWindowObserver& observer)
    : CXMLWnd(pstrSkinFile), m_context(context), m_observer(observer) {}

CFrameMainUI::~CFrameMainUI() = default;

HWND CFrameMainUI::Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y,
                          int cx, int cy, HMENU hMenu) {
  return CXMLWnd::Create(hwndParent, pstrName, dwStyle, dwExStyle, x, y, cx, cy, hMenu);
}

void CFrameMainUI::CenterOnOwner() { CXMLWnd::CenterOnOwner(); }

void CFrameMainUI::SetWindowIcon(UINT nIconId) { CXMLWnd::SetWindowIcon(nIconId); }

UINT CFrameMainUI::RunModal(bool bEnableOwner) { return static_cast<UINT>(CXMLWnd::RunModal(bEnableOwner)); }

HWND CFrameMainUI::GetHWND() const { return m_hWnd; }

LRESULT CFrameMainUI::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_NCLBUTTONDBLCLK:
      // A double click on the caption neither maximises nor restores the window.
      return 0;
    case setup::WM_SETUP_PROGRESS:
      OnSetupProgress();
      return 0;
    case WM_TIMER:
      if (wParam == kStartSetupTimerId) {
        StartSetup();
        return 0;
      }
      if (wParam != kProgressTimerId) break;
      ApplyProgress();
      return 0;
    case setup::WM_SETUP_PACKAGE_READY:
      // Figures still waiting for their turn are the last ones: the bar ends full.
      if (m_bProgressDeferred) ApplyProgress();
      setup::OnPackageReady(m_context);
      break;
    case setup::WM_SETUP_ERROR:
      ShowSetupMessage(m_hWnd, OutcomeText(static_cast<UINT>(wParam)));
      break;
    case setup::WM_SETUP_PROXY_LOGIN:
      if (auto* pRequest = reinterpret_cast<setup::ProxyLoginRequest*>(lParam)) {
        pRequest->bGiven = ShowProxyLogin(m_hWnd, pRequest->strProxy, pRequest->strRealm, pRequest->bAgain,
                                          pRequest->strUser, pRequest->strPassword);
      }
      return 0;
    default:
      break;
  }
  return CXMLWnd::ProcessMessage(uMsg, wParam, lParam);
}

void CFrameMainUI::OnWindowGone(HWND hWnd) {
  CXMLWnd::OnWindowGone(hWnd);
  // The worker is not waited for: a stalled transfer would hold the process open. Its next
  // write is refused, and everything it still reads (the context, the progress channel)
  // outlives the exit handlers.
  m_context.m_bRunning = false;
  delete this;
  std::exit(0);
}

void CFrameMainUI::OnSkinLoaded() {
  SkinUI::CControlUI* pProgress = m_Host.FindControlByName(L"progress");
  m_pProgress = pProgress != nullptr ? static_cast<SkinUI::CProgressUI*>(pProgress->QueryNamedInterface(L"Progress"))
                                     : nullptr;
  m_pDownloadSize = m_Host.FindControlByName(L"download_size");
  // The window opens on what it is about, where no key does anything: a Return or a Space
  // pressed before the person has looked cancels nothing.
  m_Host.SetFirstFocus(pProgress);
  if (::SetTimer(m_hWnd, kStartSetupTimerId, 0, nullptr) == 0) StartSetup();
}

void CFrameMainUI::StartSetup() {
  ::KillTimer(m_hWnd, kStartSetupTimerId);
  if (m_bSetupStarted) return;
  m_bSetupStarted = true;
  m_observer.Attach(m_hWnd);
  // A setup that cannot begin is told to the observer like a worker's failure: its box is
  // shown and the window closes, instead of waiting at "0 / 0 KB" for a worker that never ran.
  setup::BeginSetup(m_context, &m_observer, setup::SetupWorkerProc);
}

std::wstring CFrameMainUI::OutcomeText(UINT nStringId) const {
  const std::wstring text = setup::LoadStringResource(SkinUI::CWindowHostUI::GetModuleInstance(), nStringId);
  if (nStringId != IDS_CLOCK_WRONG || !m_context.m_serverTime) return text;
  std::wstring formatted(text.size() + 16, L'\0');
  const int chars = _snwprintf(&formatted[0], formatted.size(), text.c_str(), LocalDate(*m_context.m_serverTime).c_str());
  formatted.resize(chars > 0 ? static_cast<size_t>(chars) : 0);
  return formatted;
}

void CFrameMainUI::OnCancelClick(SkinUI::NotifyEvent& /*event*/) { Close(1); }

void CFrameMainUI::OnSetupProgress() {
  if (m_bProgressDeferred) return;  // the timer takes the newest figures when it fires
  const DWORD dwSince = ::GetTickCount() - m_dwLastProgressTick;
  if (m_bProgressShown && dwSince < kProgressIntervalMs &&
      ::SetTimer(m_hWnd, kProgressTimerId, kProgressIntervalMs - dwSince, nullptr) != 0) {
    m_bProgressDeferred = true;
    return;
  }
  ApplyProgress();
}

void CFrameMainUI::ApplyProgress() {
  if (m_bProgressDeferred) ::KillTimer(m_hWnd, kProgressTimerId);
  m_bProgressDeferred = false;
  const setup::ProgressFigures figures = setup::TakeSetupProgress();
  // A skin without the two controls still runs the setup; it only shows nothing of it.
  if (m_pProgress != nullptr) m_pProgress->SetValue(figures.nPercent);
  if (m_pDownloadSize != nullptr) m_pDownloadSize->SetText(WidenAscii(figures.szSizeText).c_str());
  m_dwLastProgressTick = ::GetTickCount();
  m_bProgressShown = true;
}
