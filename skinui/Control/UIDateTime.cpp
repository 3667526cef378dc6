// Date-time label and the native picker it lays over itself while focused.

#include "Control/UIDateTime.h"

#include <commctrl.h>

#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

// The picker's time-only style; its absence means a date.
const DWORD kTimeFormatStyle = DTS_TIMEFORMAT;

}  // namespace

// ---------------------------------------------------------------------------------------------
// The picker window. It deletes itself when its window is gone; its owner forgets it then.

class CDateTimeWnd : public CWindowWnd {
 public:
  CDateTimeWnd() : m_pOwner(nullptr), m_bInit(false) {}

  void OpenFor(CDateTimeUI* pOwner);
  // The owner goes first: the picker closes without touching it.
  void Detach();

 protected:
  LPCWSTR WindowClassName() const override { return L"DateTimeWnd"; }
  LPCWSTR SuperclassName() const override { return DATETIMEPICK_CLASSW; }
  LRESULT ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnWindowGone(HWND hWnd) override;

 private:
  // The owner's rectangle clipped by the client area of every ancestor; empty when one of them
  // is hidden.
  RECT PickerRect() const;
  bool IsLayeredHost() const {
    return m_pOwner != nullptr && m_pOwner->GetHost() != nullptr && m_pOwner->GetHost()->IsLayered();
  }
  void Finish(int nUpdateState);

  CDateTimeUI* m_pOwner;
  bool m_bInit;
};

RECT CDateTimeWnd::PickerRect() const {
  RECT rc = m_pOwner->GetPosition();
  for (CControlUI* pParent = m_pOwner->GetParent(); pParent != nullptr;
       pParent = pParent->GetParent()) {
    if (!pParent->IsVisible()) return RECT{0, 0, 0, 0};
    const RECT rcParent = pParent->GetClientPosition();
    if (!::IntersectRect(&rc, &rc, &rcParent)) return RECT{0, 0, 0, 0};
  }
  return rc;
}

void CDateTimeWnd::OpenFor(CDateTimeUI* pOwner) {
  m_pOwner = pOwner;
  pOwner->m_nUpdateState = kDateTimeIdle;
  CWindowHostUI* pHost = pOwner->GetHost();
  if (m_hWnd == nullptr) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&icc);
    // A failed Create has already deleted this object through OnWindowGone.
    if (Create(pHost->GetHostWindow(), nullptr, pOwner->m_dwNativeStyles, 0, PickerRect()) ==
        nullptr) {
      return;
    }
    HFONT hFont = pHost->LookupFont(pOwner->GetFont());
    if (hFont == nullptr) hFont = pHost->GetDefaultFontInfo()->hFont;
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), TRUE);
  }
  Send(DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(pOwner->m_sFormat.GetData()));
  Send(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&pOwner->m_sysTime));
  if (pOwner->m_bRange) {
    SYSTEMTIME range[2] = {pOwner->m_sysMin, pOwner->m_sysMax};
    Send(DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
  }
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  ::SetFocus(m_hWnd);
  m_bInit = true;
}

void CDateTimeWnd::Detach() {
  m_pOwner = nullptr;
  if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

void CDateTimeWnd::Finish(int nUpdateState) {
  if (m_pOwner != nullptr) m_pOwner->m_nUpdateState = nUpdateState;
  Post(WM_CLOSE);
}

LRESULT CDateTimeWnd::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_CREATE: {
      const LRESULT lRes = CallPreviousProc(uMsg, wParam, lParam);
      if (m_pOwner != nullptr) m_pOwner->GetHost()->TrackNativeWindow(m_pOwner, m_hWnd);
      return lRes;
    }
    case WM_KILLFOCUS: {
      const LRESULT lRes = CallPreviousProc(uMsg, wParam, lParam);
      if (m_pOwner != nullptr) {
        if (m_pOwner->m_nUpdateState == kDateTimeIdle) {
          Send(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&m_pOwner->m_sysTime));
          m_pOwner->m_nUpdateState = kDateTimeTakeValue;
          m_pOwner->UpdateText();
        }
        HWND hWndHost = m_pOwner->GetHost()->GetHostWindow();
        if (reinterpret_cast<HWND>(wParam) != hWndHost) ::SendMessageW(hWndHost, WM_KILLFOCUS, wParam, lParam);
      }
      Post(WM_CLOSE);
      return lRes;
    }
    case WM_PAINT:
      // A layered host composes the picker into its own image; it must hear of every repaint.
      if (IsLayeredHost()) m_pOwner->GetHost()->TrackNativeWindow(m_pOwner, m_hWnd);
      break;
    case WM_KEYUP:
      if (wParam == VK_BACK || wParam == VK_DELETE || wParam == VK_ESCAPE) {
        const LRESULT lRes = CallPreviousProc(uMsg, wParam, lParam);
        Finish(wParam == VK_ESCAPE ? kDateTimeCancelled : kDateTimeCleared);
        return lRes;
      }
      break;
    default:
      break;
  }
  return CallPreviousProc(uMsg, wParam, lParam);
}

void CDateTimeWnd::OnWindowGone(HWND hWnd) {
  if (m_pOwner != nullptr) {
    if (m_pOwner->GetHost() != nullptr) m_pOwner->GetHost()->UntrackNativeWindow(hWnd);
    m_pOwner->m_pWindow = nullptr;
    m_pOwner->Invalidate();
  }
  delete this;
}

// ---------------------------------------------------------------------------------------------

CDateTimeUI::CDateTimeUI()
    : m_nUpdateState(kDateTimeIdle),
      m_pWindow(nullptr),
      m_dwNativeStyles(WS_CHILD),
      m_sFormat(L"yyyy-MM-dd"),
      m_bRange(false),
      m_sysMin(),
      m_sysMax() {
  ::GetLocalTime(&m_sysTime);
  // A control that is never focused still shows its value.
  RefreshText();
}

CDateTimeUI::~CDateTimeUI() {
  // The picker would otherwise write its value into a control that is gone.
  if (m_pWindow != nullptr) m_pWindow->Detach();
}

LPCWSTR CDateTimeUI::ClassName() const { return L"DateTimeUI"; }

LPVOID CDateTimeUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"DateTime") == 0) return this;
  return CLabelUI::QueryNamedInterface(pstrName);
}

UINT CDateTimeUI::GetBehaviourFlags() const { return kBehaviourTabStop; }

HWND CDateTimeUI::GetNativeHandle() const {
  return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr;
}

bool CDateTimeUI::IsTimeFormat() const {
  return (m_dwNativeStyles & kTimeFormatStyle) == kTimeFormatStyle;
}

void CDateTimeUI::SetTime(const SYSTEMTIME& sysTime) {
  m_sysTime = sysTime;
  if (m_pWindow != nullptr && m_pWindow->GetHWND() != nullptr) {
    ::SendMessageW(m_pWindow->GetHWND(), DTM_SETSYSTEMTIME, GDT_VALID,
                   reinterpret_cast<LPARAM>(&m_sysTime));
  }
  RefreshText();
}

void CDateTimeUI::SetTimeRange(const SYSTEMTIME& sysMin, const SYSTEMTIME& sysMax) {
  m_sysMin = sysMin;
  m_sysMax = sysMax;
  m_bRange = true;
}

void CDateTimeUI::UpdateText() {
  if (m_nUpdateState != kDateTimeTakeValue) return;
  WCHAR szText[64] = {};
  if (IsTimeFormat()) {
    ::wsprintfW(szText, L"%02d:%02d", m_sysTime.wHour, m_sysTime.wMinute);
  } else {
    ::wsprintfW(szText, L"%4d-%02d-%02d", m_sysTime.wYear, m_sysTime.wMonth, m_sysTime.wDay);
  }
  SetText(szText);
}

void CDateTimeUI::RefreshText() {
  m_nUpdateState = kDateTimeTakeValue;
  UpdateText();
  m_nUpdateState = kDateTimeIdle;
}

UI_BEGIN_ATTRIBUTES(CDateTimeUI, CLabelUI)
UI_ATTRIBUTE(L"style", kTextValue,
             if (Contains(pstrValue, L"time")) {
               self.m_dwNativeStyles |= kTimeFormatStyle;
               self.m_sFormat = L"HH:mm";
             } else if (Contains(pstrValue, L"date")) {
               self.m_dwNativeStyles &= ~kTimeFormatStyle;
               self.m_sFormat = L"yyy-MM-dd";
             }
             self.RefreshText())
UI_END_ATTRIBUTES()


void CDateTimeUI::OpenPicker() {
  if (m_pWindow == nullptr) m_pWindow = new CDateTimeWnd;
  UI_CHECK(m_pWindow);
  m_pWindow->OpenFor(this);
  // A picker whose window could not be made is of no use.
  if (m_pWindow != nullptr && m_pWindow->GetHWND() == nullptr) {
    delete m_pWindow;
    m_pWindow = nullptr;
  }
}

void CDateTimeUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CLabelUI>(*this, event)) return;
  switch (event.iKind) {
    case kEventSetCursor:
      if (!IsEnabled()) break;
      SetStandardCursor(kCursorIBeam);
      return;
    case kEventWindowSize:
      if (m_pWindow != nullptr && m_pHost != nullptr) m_pHost->RequestInitialFocus(this);
      return;
    case kEventScrollWheel:
      if (m_pWindow != nullptr) return;
      break;
    case kEventSetFocus:
      if (IsEnabled() && m_pWindow == nullptr && m_pHost != nullptr) OpenPicker();
      break;
    case kEventKillFocus:
      if (IsEnabled()) Invalidate();
      break;
    case kEventMouseMove:
    case kEventMouseLeave:
    case kEventMouseEnter:
    case kEventButtonUp:
    case kEventContextMenu:
      return;
    case kEventButtonDown:
    case kEventRightButtonDown:
    case kEventDoubleClick:
      if (!IsEnabled() || m_pHost == nullptr) break;
      m_pHost->ReleaseMouse();
      if (m_pWindow != nullptr || IsFocused()) OpenPicker();
      return;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

}  // namespace SkinUI
