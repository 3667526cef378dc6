// The rich edit's settings and attributes, its text, the creation of its engine, and the
// messages and notifications that pass between the control and the engine.

#include "Control/UIRichEdit.h"

#include <richedit.h>

#include <cwchar>
#include <initializer_list>
#include <vector>

#include "Control/UITextHost.h"
#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"
#include "Core/UIScrollBarBase.h"

namespace SkinUI {

using namespace attribute_values;

namespace {

const DWORD kCodePageUtf16 = 1200;

// Engine notifications the window hears about as WM_NOTIFY, as a native rich edit would send.
bool IsForwardedNotification(DWORD dwCode) {
  switch (dwCode) {
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
    case EN_SAVECLIPBOARD:
    case EN_OLEOPFAILED:
    case EN_OBJECTPOSITIONS:
    case EN_LINK:
    case EN_DRAGDROPDONE:
      return true;
    default:
      return false;
  }
}

// Colours here tolerate blanks before the number sign.
DWORD ReadTextColor(LPCWSTR pstrValue) {
  while (*pstrValue == L' ') ++pstrValue;
  return ReadColor(pstrValue);
}

}  // namespace

CRichEditUI::CRichEditUI()
    : m_pTwh(nullptr),
      m_bVScrollBarFixing(false),
      m_bWantTab(true),
      m_bWantReturn(true),
      m_bWantCtrlReturn(true),
      m_bTransparent(true),
      m_bRich(true),
      m_bReadOnly(false),
      m_dwTextColor(0),
      m_iFont(-1),
      m_nLimitText(kDefaultMaxLength),
      m_dwStyle(kRichEditMultiLine),
      m_bDrawCaret(true),
      m_bInited(false),
      m_pFilterHost(nullptr) {}

CRichEditUI::~CRichEditUI() {
  if (m_pTwh != nullptr) {
    // The engine may call back while it winds down; the control is still whole here.
    m_pTwh->Shutdown();
    m_pTwh->Release();
    m_pTwh = nullptr;
  }
  // The host the filter went to, even if the control has been detached since.
  if (m_pFilterHost != nullptr) m_pFilterHost->UnregisterMessageFilter(this);
}

LPCWSTR CRichEditUI::ClassName() const { return L"RichEditUI"; }

LPVOID CRichEditUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
  return CContainerUI::QueryNamedInterface(pstrName);
}

UINT CRichEditUI::GetBehaviourFlags() const {
  return IsEnabled() ? kBehaviourTabStop | kBehaviourSetCursor : 0u;
}

// ---- settings ----

void CRichEditUI::SetTransparent(bool bTransparent) {
  m_bTransparent = bTransparent;
  if (m_pTwh != nullptr) m_pTwh->SetTransparent(bTransparent);
}

void CRichEditUI::SetRich(bool bRich) {
  m_bRich = bRich;
  if (m_pTwh != nullptr) m_pTwh->SetRich(bRich);
}

void CRichEditUI::SetReadOnly(bool bReadOnly) {
  m_bReadOnly = bReadOnly;
  m_dwStyle = bReadOnly ? (m_dwStyle | kRichEditReadOnly) : (m_dwStyle & ~kRichEditReadOnly);
  if (m_pTwh != nullptr) m_pTwh->SetReadOnly(bReadOnly);
}

void CRichEditUI::SetFont(int index) {
  m_iFont = index;
  if (m_pTwh != nullptr && m_pHost != nullptr) m_pTwh->SetFont(m_pHost->LookupFont(index));
}

void CRichEditUI::SetTextColor(DWORD dwTextColor) {
  m_dwTextColor = dwTextColor;
  if (m_pTwh != nullptr) m_pTwh->SetTextColor(dwTextColor);
}

void CRichEditUI::SetLimitText(LONG nLimit) {
  m_nLimitText = nLimit;
  if (m_pTwh != nullptr) m_pTwh->SetMaxLength(nLimit);
}

// The bar settings and "autovscroll" go on to the container as well.
UI_BEGIN_ATTRIBUTES(CRichEditUI, CContainerUI)
UI_ATTRIBUTE(L"vscrollbar", kBoolValue,
             if (IsTrue(pstrValue)) self.m_dwStyle |= kRichEditVScrollBar | kRichEditKeepScrollBars;
             ApplyTableAttribute(CContainerUI::GetThisAttributeTable(), self, L"vscrollbar", pstrValue))
UI_ATTRIBUTE(L"hscrollbar", kBoolValue,
             if (IsTrue(pstrValue)) self.m_dwStyle |= kRichEditHScrollBar | kRichEditKeepScrollBars;
             ApplyTableAttribute(CContainerUI::GetThisAttributeTable(), self, L"hscrollbar", pstrValue))
UI_ATTRIBUTE(L"autovscroll", kBoolValue,
             if (IsTrue(pstrValue)) self.m_dwStyle |= kRichEditAutoVScroll;
             self.AddCustomAttribute(L"autovscroll", pstrValue))
UI_ATTRIBUTE(L"autohscroll", kBoolValue,
             if (IsTrue(pstrValue)) self.m_dwStyle |= kRichEditAutoHScroll)
UI_ATTRIBUTE(L"wanttab", kBoolValue, self.SetWantTab(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"wantreturn", kBoolValue, self.SetWantReturn(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"wantctrlreturn", kBoolValue, self.SetWantCtrlReturn(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"transparent", kBoolValue, self.SetTransparent(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"rich", kBoolValue, self.SetRich(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"multiline", kBoolValue,
             if (!IsTrue(pstrValue)) self.m_dwStyle &= ~kRichEditMultiLine)
UI_ATTRIBUTE(L"readonly", kBoolValue, if (IsTrue(pstrValue)) self.SetReadOnly(true))
UI_ATTRIBUTE(L"password", kBoolValue, if (IsTrue(pstrValue)) self.m_dwStyle |= kRichEditPassword)
UI_ATTRIBUTE(L"align", kTextValue,
             DWORD& dwStyle = self.m_dwStyle;
             if (Contains(pstrValue, L"left")) dwStyle &= ~(kRichEditCenter | kRichEditRight);
             if (Contains(pstrValue, L"center")) dwStyle = (dwStyle & ~kRichEditRight) | kRichEditCenter;
             if (Contains(pstrValue, L"right")) dwStyle = (dwStyle & ~kRichEditCenter) | kRichEditRight)
UI_ATTRIBUTE(L"font", kFontValue, self.SetFont(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"textcolor", kColorValue, self.SetTextColor(ReadTextColor(pstrValue)))
UI_END_ATTRIBUTES()


// ---- the engine ----

bool CRichEditUI::StartEngine(LPCWSTR pstrText) {
  CTxtWinHost* pTwh = new CTxtWinHost;
  if (!pTwh->Create(this, TextHostCreation{m_dwStyle})) {
    pTwh->Release();
    return false;
  }
  m_pTwh = pTwh;
  m_uEngineDpi = m_pHost != nullptr ? m_pHost->GetDpi() : 0;
  m_bContrastText = false;
  if (m_bTransparent) m_pTwh->SetTransparent(true);
  m_pTwh->ActivateInPlace(true);
  // The text may have been set before there was an engine to hold it. It goes in only
  // once the engine is active: one that scrolls to the caret on its own has no lines to
  // scroll through before, and some engines fault on a selection made then.
  const CUIString sInitial = pstrText;
  SetText(sInitial);
  // Only changes are asked for, and only from now on: the skin's own text is no change.
  TxSend(EM_SETEVENTMASK, 0, ENM_CHANGE, nullptr);
  return true;
}

void CRichEditUI::RestartEngineForDpi() {
  const CUIString sText = GetText();
  m_pTwh->Shutdown();
  m_pTwh->Release();
  m_pTwh = nullptr;
  m_bVScrollBarFixing = false;
  for (CScrollBarBaseUI* pBar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
    if (pBar == nullptr) continue;
    pBar->SetScrollRange(0);
    pBar->SetVisible(true);
  }
  StartEngine(sText);
}

void CRichEditUI::InitSelf() {
  if (m_bInited) return;
  StartEngine(m_sText);
  if (m_pHost != nullptr) {
    m_pHost->RegisterMessageFilter(this);
    m_pFilterHost = m_pHost;
    if (m_pHost->IsLayered()) m_pHost->StartTimer(this, kCaretTimerId, ::GetCaretBlinkTime());
  }
  m_bInited = true;
}

HRESULT CRichEditUI::TxSend(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) const {
  if (m_pTwh == nullptr || m_pTwh->GetTextServices() == nullptr) return S_FALSE;
  LRESULT lResult = 0;
  const HRESULT hr = m_pTwh->GetTextServices()->TxSendMessage(uMsg, wParam, lParam, &lResult);
  if (plResult != nullptr) *plResult = lResult;
  return hr;
}

bool CRichEditUI::TakesReturnAsNotification(UINT uMsg, WPARAM wParam) const {
  if (uMsg != WM_KEYDOWN || wParam != VK_RETURN) return false;
  const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
  return !(m_bWantReturn && (!bCtrl || m_bWantCtrlReturn));
}

HRESULT CRichEditUI::SendTextMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) {
  if (m_pTwh == nullptr) return S_FALSE;
  if (TakesReturnAsNotification(uMsg, wParam)) {
    if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyReturn);
    return S_OK;
  }
  return TxSend(uMsg, wParam, lParam, plResult);
}

bool CRichEditUI::RedrawOnViewChange() { return true; }

void CRichEditUI::OnTextNotify(DWORD dwCode, void* pData) {
  if (m_pHost == nullptr) return;
  if (dwCode == EN_CHANGE) {
    NotifyAccessible(AccessibleEvent::kValue);
    m_pHost->RaiseNotification(this, kNotifyTextChanged);
    return;
  }
  if (!IsForwardedNotification(dwCode) || pData == nullptr) return;
  HWND hWnd = m_pHost->GetHostWindow();
  NMHDR* pHeader = static_cast<NMHDR*>(pData);
  pHeader->hwndFrom = hWnd;
  pHeader->idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrW(hWnd, GWLP_ID));
  pHeader->code = dwCode;
  ::SendMessageW(hWnd, WM_NOTIFY, pHeader->idFrom, reinterpret_cast<LPARAM>(pHeader));
}

// ---- text ----

CUIString CRichEditUI::GetText() const {
  if (m_pTwh == nullptr) return m_sText;
  GETTEXTLENGTHEX length = {GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, kCodePageUtf16};
  LRESULT lLength = 0;
  TxSend(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0, &lLength);
  if (lLength <= 0) return CUIString();
  std::vector<WCHAR> buffer(static_cast<size_t>(lLength) + 1, L'\0');
  GETTEXTEX get = {};
  get.cb = static_cast<DWORD>(buffer.size() * sizeof(WCHAR));
  get.flags = GT_USECRLF;
  get.codepage = kCodePageUtf16;
  TxSend(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buffer.data()),
         nullptr);
  return CUIString(buffer.data());
}

void CRichEditUI::SetText(LPCWSTR pstrText) {
  m_sText = pstrText;
  if (m_pTwh == nullptr) return;
  TxSend(EM_SETSEL, 0, -1, nullptr);
  TxSend(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(m_sText.GetData()), nullptr);
}

}  // namespace SkinUI
