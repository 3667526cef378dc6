// The text host's side of the platform's text-host interface: what the engine asks of the
// skinned window (device context, scroll bars, invalidation, caret, timers, capture, cursor) and
// what it reads (client rectangle, formats, limits, property bits), and its notifications.

#include "Control/UIRichEdit.h"
#include "Control/UIScrollBar.h"
#include "Control/UITextHost.h"
#include "Core/UIManager.h"

namespace SkinUI {

// ---- ITextHost: device context, scroll bars, invalidation ----

HDC CTxtWinHost::TxGetDC() {
  CWindowHostUI* pHost = WindowHost();
  return pHost != nullptr ? pHost->GetHostDC() : nullptr;
}

// The host's paint device context is kept for the window's life; nothing to give back.
INT CTxtWinHost::TxReleaseDC(HDC /*hdc*/) { return 1; }

// A bar that comes or goes changes the text area: the control is laid out again.
void CTxtWinHost::ShowBar(CScrollBarBaseUI* pBar, bool bShow) {
  if (pBar == nullptr || pBar->IsVisible() == bShow) return;
  pBar->SetVisible(bShow);
  m_pOwner->RequestLayout();
}

BOOL CTxtWinHost::TxShowScrollBar(INT fnBar, BOOL fShow) {
  if (m_pOwner == nullptr) return FALSE;
  CScrollBarBaseUI* pVertical = m_pOwner->GetVerticalScrollBar();
  CScrollBarBaseUI* pHorizontal = m_pOwner->GetHorizontalScrollBar();
  if (fnBar == SB_VERT || fnBar == SB_BOTH) ShowBar(pVertical, fShow != FALSE);
  if (fnBar == SB_HORZ || fnBar == SB_BOTH) ShowBar(pHorizontal, fShow != FALSE);
  return TRUE;
}

BOOL CTxtWinHost::TxEnableScrollBar(INT fuSBFlags, INT fuArrowflags) {
  if (m_pOwner == nullptr) return FALSE;
  const bool bVertical = fuSBFlags == SB_VERT || fuSBFlags == SB_BOTH;
  const bool bHorizontal = fuSBFlags == SB_HORZ || fuSBFlags == SB_BOTH;
  // Creating lays the control out again; bars that exist are left as they are.
  const bool bHaveVertical = m_pOwner->GetVerticalScrollBar() != nullptr;
  const bool bHaveHorizontal = m_pOwner->GetHorizontalScrollBar() != nullptr;
  if ((bVertical && !bHaveVertical) || (bHorizontal && !bHaveHorizontal)) {
    m_pOwner->EnableScrollBars(bVertical || bHaveVertical, bHorizontal || bHaveHorizontal);
  }
  const bool bShow = fuArrowflags != ESB_DISABLE_BOTH;
  if (bVertical) ShowBar(m_pOwner->GetVerticalScrollBar(), bShow);
  if (bHorizontal) ShowBar(m_pOwner->GetHorizontalScrollBar(), bShow);
  return TRUE;
}

BOOL CTxtWinHost::TxSetScrollRange(INT fnBar, LONG nMinPos, INT nMaxPos, BOOL /*fRedraw*/) {
  if (m_pOwner == nullptr) return FALSE;
  const bool bVertical = fnBar == SB_VERT;
  CScrollBarBaseUI* pBar =
      bVertical ? m_pOwner->GetVerticalScrollBar() : m_pOwner->GetHorizontalScrollBar();
  if (pBar == nullptr) return FALSE;
  const LONG nPage = bVertical ? m_rcClient.bottom - m_rcClient.top
                               : m_rcClient.right - m_rcClient.left;
  const LONG nRange = (nMaxPos - nMinPos) - nPage;
  ShowBar(pBar, nRange > 0);
  if (nRange > 0) pBar->SetScrollRange(nRange);
  return TRUE;
}

BOOL CTxtWinHost::TxSetScrollPos(INT fnBar, INT nPos, BOOL /*fRedraw*/) {
  if (m_pOwner == nullptr) return FALSE;
  CScrollBarBaseUI* pBar = fnBar == SB_VERT ? m_pOwner->GetVerticalScrollBar()
                                        : m_pOwner->GetHorizontalScrollBar();
  if (pBar == nullptr) return FALSE;
  pBar->SetScrollValue(nPos);
  return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT prc, BOOL /*fMode*/) {
  CWindowHostUI* pHost = WindowHost();
  if (pHost == nullptr) return;
  RECT rc = prc != nullptr ? *prc : m_rcClient;
  pHost->Invalidate(rc);
}

void CTxtWinHost::TxViewChange(BOOL /*fUpdate*/) {
  if (m_pOwner != nullptr && m_pOwner->RedrawOnViewChange()) m_pOwner->Invalidate();
}

// ---- ITextHost: caret, timers, capture, focus, cursor, coordinates ----

void CTxtWinHost::InvalidateCaretAt(POINT pt, SIZE sz) {
  CWindowHostUI* pHost = WindowHost();
  if (pHost == nullptr || sz.cx <= 0 || sz.cy <= 0) return;
  RECT rc = {pt.x, pt.y, pt.x + sz.cx, pt.y + sz.cy};
  pHost->Invalidate(rc);
}

BOOL CTxtWinHost::TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight) {
  return m_caret.Create(HostWindow(), hbmp, xWidth, yHeight);
}

BOOL CTxtWinHost::TxShowCaret(BOOL fShow) {
  m_caret.Show(HostWindow(), fShow != FALSE, m_rcClient);
  return TRUE;
}

BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  CWindowHostUI* pHost = WindowHost();
  if (pHost == nullptr) return FALSE;
  // A drawn caret (layered windows) moves only when both places are painted again.
  if (pHost->IsLayered() || m_bNeedCaretRefresh) {
    InvalidateCaretAt(m_caret.Position(), m_caret.PreviousSize());
    InvalidateCaretAt(m_caret.Position(), m_caret.Size());
    InvalidateCaretAt(POINT{x, y}, m_caret.Size());
    m_bNeedCaretRefresh = false;
  }
  return m_caret.MoveTo(pHost->GetHostWindow(), POINT{x, y}, m_rcClient);
}

BOOL CTxtWinHost::TxSetTimer(UINT idTimer, UINT uTimeout) {
  CWindowHostUI* pHost = WindowHost();
  if (pHost == nullptr) return FALSE;
  m_bTimer = true;
  return pHost->StartTimer(m_pOwner, idTimer, uTimeout);
}

void CTxtWinHost::TxKillTimer(UINT idTimer) {
  CWindowHostUI* pHost = WindowHost();
  if (pHost == nullptr) return;
  pHost->StopTimer(m_pOwner, idTimer);
  m_bTimer = false;
}

// The engine repaints through invalidation; there is no window of its own to scroll.
void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(BOOL fCapture) {
  CWindowHostUI* pHost = WindowHost();
  if (pHost == nullptr) return;
  if (fCapture) {
    pHost->CaptureMouse();
  } else {
    pHost->ReleaseMouse();
  }
  m_bCaptured = fCapture != FALSE;
}

void CTxtWinHost::TxSetFocus() {
  if (m_pOwner != nullptr) m_pOwner->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR hcur, BOOL /*fText*/) { ::SetCursor(hcur); }

BOOL CTxtWinHost::TxScreenToClient(LPPOINT lppt) {
  HWND hWnd = HostWindow();
  return hWnd != nullptr && ::ScreenToClient(hWnd, lppt);
}

BOOL CTxtWinHost::TxClientToScreen(LPPOINT lppt) {
  HWND hWnd = HostWindow();
  return hWnd != nullptr && ::ClientToScreen(hWnd, lppt);
}

HRESULT CTxtWinHost::TxActivate(LONG* /*plOldState*/) { return S_OK; }
HRESULT CTxtWinHost::TxDeactivate(LONG /*lNewState*/) { return S_OK; }

// ---- ITextHost: what the engine reads ----

HRESULT CTxtWinHost::TxGetClientRect(LPRECT prc) {
  *prc = m_rcClient;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT prc) {
  *prc = RECT{0, 0, 0, 0};
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** ppCF) {
  *ppCF = reinterpret_cast<const CHARFORMATW*>(&m_cf);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** ppPF) {
  *ppPF = reinterpret_cast<const PARAFORMAT*>(&m_pf);
  return S_OK;
}

// The window host's colours: a program previewing a high-contrast scheme gives its own.
COLORREF CTxtWinHost::TxGetSysColor(int nIndex) { return CWindowHostUI::SystemColorRef(nIndex); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* pstyle) {
  *pstyle = m_bTransparent ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* plength) {
  *plength = static_cast<DWORD>(m_nMaxLength);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* pdwScrollBar) {
  *pdwScrollBar = m_dwStyle & (kRichEditVScrollBar | kRichEditHScrollBar | kRichEditAutoVScroll |
                               kRichEditAutoHScroll | kRichEditKeepScrollBars);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* pch) {
  *pch = m_chPassword;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pcp) {
  *pcp = m_nAccelPos;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL lpExtent) {
  *lpExtent = m_sizelExtent;
  return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW* /*pcf*/) { return S_OK; }
HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT* /*ppf*/) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits) {
  DWORD dwBits = 0;
  if (m_bRich) dwBits |= TXTBIT_RICHTEXT;
  if ((m_dwStyle & kRichEditMultiLine) != 0) dwBits |= TXTBIT_MULTILINE;
  if ((m_dwStyle & kRichEditReadOnly) != 0) dwBits |= TXTBIT_READONLY;
  if ((m_dwStyle & kRichEditPassword) != 0) dwBits |= TXTBIT_USEPASSWORD;
  if ((m_dwStyle & kRichEditNoHideSelection) == 0) dwBits |= TXTBIT_HIDESELECTION;
  if (m_bAutoWordSel) dwBits |= TXTBIT_AUTOWORDSEL;
  if (m_bWordWrap) dwBits |= TXTBIT_WORDWRAP;
  if (m_bAllowBeep) dwBits |= TXTBIT_ALLOWBEEP;
  if (m_bSaveSelection) dwBits |= TXTBIT_SAVESELECTION;
  *pdwBits = dwBits & dwMask;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD iNotify, void* pv) {
  if (iNotify == EN_REQUESTRESIZE) {
    const REQRESIZE* pResize = static_cast<const REQRESIZE*>(pv);
    if (pResize != nullptr) {
      m_rcClient.right = m_rcClient.left + (pResize->rc.right - pResize->rc.left);
      m_rcClient.bottom = m_rcClient.top + (pResize->rc.bottom - pResize->rc.top);
    }
    return S_OK;
  }
  if (m_pOwner != nullptr) m_pOwner->OnTextNotify(iNotify, pv);
  return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }
void CTxtWinHost::TxImmReleaseContext(HIMC /*himc*/) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* lSelBarWidth) {
  *lSelBarWidth = m_nSelBarWidth;
  return S_OK;
}

}  // namespace SkinUI
