#pragma once
// CTxtWinHost: the text-host object through which the windowless rich text engine of a
// CRichEditUI reaches the skinned window. The engine draws into the window host's device
// context, scrolls with the control's own scroll bars, sets the window's caret, timers, capture
// and cursor, and reports changes, all through the callbacks below.
//
// A COM object of our own: it lives while references to it remain. The owning control holds the
// first one and calls Shutdown before letting go, which releases the engine (and with it any
// reference the engine keeps on this host) and cuts the way back to the control.
//
// Sources: UITextHost.cpp (life, owner settings, IUnknown), UITextHostCallbacks.cpp (ITextHost).

#include <windows.h>
#include <ole2.h>
#include <richedit.h>
#include <textserv.h>

#include "Control/UITextCaret.h"

namespace SkinUI {

class CRichEditUI;
class CScrollBarBaseUI;
class CWindowHostUI;

// What the control hands to Create: the platform edit style bits it was configured with.
struct TextHostCreation {
  DWORD dwStyle;
};

class CTxtWinHost final : public ITextHost {
 public:
  CTxtWinHost();
  CTxtWinHost(const CTxtWinHost&) = delete;
  CTxtWinHost& operator=(const CTxtWinHost&) = delete;

  // Builds the formats from the owner's font and colour and creates the engine. False when the
  // engine cannot be had; the object then holds no engine.
  bool Create(CRichEditUI* pOwner, const TextHostCreation& creation);
  // Deactivates and releases the engine and forgets the owner. Callbacks arriving later do
  // nothing.
  void Shutdown();
  ITextServices* GetTextServices() const { return m_pServices; }

  // Objects alive in the process, to tell a leaked host from a freed one.
  static LONG LiveObjects();

  // ---- what the owner changes ----
  void SetFont(HFONT hFont);
  void SetTextColor(DWORD dwColor);  // 0xAARRGGBB; the alpha byte is dropped
  void SetRich(bool bRich);
  void SetReadOnly(bool bReadOnly);
  void SetTransparent(bool bTransparent);
  void SetMaxLength(LONG nMaxLength);
  void SetClientRect(const RECT& rc);
  const RECT& GetClientRect() const { return m_rcClient; }
  void ActivateInPlace(bool bActive);
  // Lets the engine pick the cursor for the point; prcClient null means the stored rectangle.
  void ApplyCursor(const RECT* prcClient, POINT pt);
  void NeedCaretRefresh() { m_bNeedCaretRefresh = true; }
  bool HasCapture() const { return m_bCaptured; }
  bool IsCaretShown() const { return m_caret.IsWanted(); }
  POINT GetCaretPosition() const { return m_caret.Position(); }
  int GetCaretWidth() const { return m_caret.Size().cx; }
  int GetCaretHeight() const { return m_caret.Size().cy; }

  // ---- IUnknown ----
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ---- ITextHost ----
  HDC TxGetDC() override;
  INT TxReleaseDC(HDC hdc) override;
  BOOL TxShowScrollBar(INT fnBar, BOOL fShow) override;
  BOOL TxEnableScrollBar(INT fuSBFlags, INT fuArrowflags) override;
  BOOL TxSetScrollRange(INT fnBar, LONG nMinPos, INT nMaxPos, BOOL fRedraw) override;
  BOOL TxSetScrollPos(INT fnBar, INT nPos, BOOL fRedraw) override;
  void TxInvalidateRect(LPCRECT prc, BOOL fMode) override;
  void TxViewChange(BOOL fUpdate) override;
  BOOL TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight) override;
  BOOL TxShowCaret(BOOL fShow) override;
  BOOL TxSetCaretPos(INT x, INT y) override;
  BOOL TxSetTimer(UINT idTimer, UINT uTimeout) override;
  void TxKillTimer(UINT idTimer) override;
  void TxScrollWindowEx(INT dx, INT dy, LPCRECT lprcScroll, LPCRECT lprcClip, HRGN hrgnUpdate,
                        LPRECT lprcUpdate, UINT fuScroll) override;
  void TxSetCapture(BOOL fCapture) override;
  void TxSetFocus() override;
  void TxSetCursor(HCURSOR hcur, BOOL fText) override;
  BOOL TxScreenToClient(LPPOINT lppt) override;
  BOOL TxClientToScreen(LPPOINT lppt) override;
  HRESULT TxActivate(LONG* plOldState) override;
  HRESULT TxDeactivate(LONG lNewState) override;
  HRESULT TxGetClientRect(LPRECT prc) override;
  HRESULT TxGetViewInset(LPRECT prc) override;
  HRESULT TxGetCharFormat(const CHARFORMATW** ppCF) override;
  HRESULT TxGetParaFormat(const PARAFORMAT** ppPF) override;
  COLORREF TxGetSysColor(int nIndex) override;
  HRESULT TxGetBackStyle(TXTBACKSTYLE* pstyle) override;
  HRESULT TxGetMaxLength(DWORD* plength) override;
  HRESULT TxGetScrollBars(DWORD* pdwScrollBar) override;
  HRESULT TxGetPasswordChar(TCHAR* pch) override;
  HRESULT TxGetAcceleratorPos(LONG* pcp) override;
  HRESULT TxGetExtent(LPSIZEL lpExtent) override;
  HRESULT OnTxCharFormatChange(const CHARFORMATW* pcf) override;
  HRESULT OnTxParaFormatChange(const PARAFORMAT* ppf) override;
  HRESULT TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits) override;
  HRESULT TxNotify(DWORD iNotify, void* pv) override;
  HIMC TxImmGetContext() override;
  void TxImmReleaseContext(HIMC himc) override;
  HRESULT TxGetSelectionBarWidth(LONG* lSelBarWidth) override;

 private:
  // Only Release deletes.
  ~CTxtWinHost();

  CWindowHostUI* WindowHost() const;
  HWND HostWindow() const;
  void PropertyChange(DWORD dwMask, DWORD dwBits);
  void InvalidateCaretAt(POINT pt, SIZE sz);
  void ShowBar(CScrollBarBaseUI* pBar, bool bShow);

  LONG m_cRefs;
  CRichEditUI* m_pOwner;
  ITextServices* m_pServices;
  DWORD m_dwStyle;
  CHARFORMAT2W m_cf;
  PARAFORMAT2 m_pf;
  LONG m_nMaxLength;
  RECT m_rcClient;
  SIZEL m_sizelExtent;  // HIMETRIC
  CTextCaret m_caret;
  LONG m_nSelBarWidth;
  LONG m_nAccelPos;
  WCHAR m_chPassword;

  bool m_bAutoWordSel;
  bool m_bWordWrap;
  bool m_bAllowBeep;
  bool m_bRich;
  bool m_bSaveSelection;
  bool m_bInPlaceActive;
  bool m_bTransparent;
  bool m_bTimer;
  bool m_bCaptured;
  bool m_bNeedCaretRefresh;
};

}  // namespace SkinUI
