#pragma once
// CRichEditUI: a container hosting the platform's windowless rich text engine. No native child
// window exists: the engine draws into the window host's device context, gets the window's
// messages through this control's message filter and calls back through a CTxtWinHost.
//
// Sources: UIRichEdit.cpp (settings, attributes, text, creating the engine, its messages and
// notifications), UIRichEditLayout.cpp (text area, placement and scrolling),
// UIRichEditInput.cpp (input events and the message filter), UIRichEditPaint.cpp (painting and
// the drawn caret of layered windows).

#include <windows.h>
#include <richedit.h>

#include "Core/UIContainer.h"
#include "Core/UIEvents.h"

namespace SkinUI {

class CTxtWinHost;

// The platform edit style bits the control hands to its engine.
enum RichEditStyle : DWORD {
  kRichEditCenter = ES_CENTER,
  kRichEditRight = ES_RIGHT,
  kRichEditMultiLine = ES_MULTILINE,
  kRichEditPassword = ES_PASSWORD,
  kRichEditAutoVScroll = ES_AUTOVSCROLL,
  kRichEditAutoHScroll = ES_AUTOHSCROLL,
  kRichEditNoHideSelection = ES_NOHIDESEL,
  kRichEditReadOnly = ES_READONLY,
  kRichEditKeepScrollBars = ES_DISABLENOSCROLL,
  kRichEditHScrollBar = WS_HSCROLL,
  kRichEditVScrollBar = WS_VSCROLL,
};

class CRichEditUI : public CContainerUI, public IMessageFilterUI {
 public:
  // The control timer that blinks the caret drawn in layered windows.
  static const UINT kCaretTimerId = 20;
  static const LONG kDefaultMaxLength = 32767;

  CRichEditUI();
  ~CRichEditUI() override;

  // ---- overrides ----
  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UINT GetBehaviourFlags() const override;
  CUIString GetText() const override;
  void SetText(LPCWSTR pstrText) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
  void InitSelf() override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  SIZE MeasureSize(SIZE szAvailable) override;
  bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
  void SetScrollPosition(SIZE szPos) override;
  void ScrollLineUp() override;
  void ScrollLineDown() override;
  void ScrollPageUp() override;
  void ScrollPageDown() override;
  void ScrollToTop() override;
  void ScrollToBottom() override;
  void ScrollLineLeft() override;
  void ScrollLineRight() override;
  void ScrollPageLeft() override;
  void ScrollPageRight() override;
  void ScrollToLeft() override;
  void ScrollToRight() override;

  // ---- operations the rich edit adds, in slot order ----
  // Without an engine: S_FALSE. plResult may be null.
  virtual HRESULT SendTextMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult);
  virtual bool RedrawOnViewChange();
  virtual void OnTextNotify(DWORD dwCode, void* pData);

  // ---- IMessageFilterUI ----
  LRESULT FilterMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

  // ---- settings ----
  bool IsWantTab() const { return m_bWantTab; }
  bool WantsTabKey() const override { return m_bWantTab; }
  void SetWantTab(bool bWantTab = true) { m_bWantTab = bWantTab; }
  bool IsWantReturn() const { return m_bWantReturn; }
  void SetWantReturn(bool bWantReturn = true) { m_bWantReturn = bWantReturn; }
  bool IsWantCtrlReturn() const { return m_bWantCtrlReturn; }
  void SetWantCtrlReturn(bool bWantCtrlReturn = true) { m_bWantCtrlReturn = bWantCtrlReturn; }
  bool IsTransparent() const { return m_bTransparent; }
  void SetTransparent(bool bTransparent = true);
  bool IsRich() const { return m_bRich; }
  void SetRich(bool bRich = true);
  bool IsReadOnly() const { return m_bReadOnly; }
  // Also after the engine exists: typing and pasting are refused, selecting and copying stay.
  void SetReadOnly(bool bReadOnly = true);
  int GetFont() const { return m_iFont; }
  void SetFont(int index);
  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetTextColor(DWORD dwTextColor);
  // The most characters typing and pasting may leave in the control.
  LONG GetLimitText() const { return m_nLimitText; }
  void SetLimitText(LONG nLimit);
  DWORD GetStyleBits() const { return m_dwStyle; }
  CTxtWinHost* GetTextHost() const { return m_pTwh; }
  // The rectangle the engine lays its text out in: less the inset and the visible bars.
  RECT GetTextArea() const;

 protected:
  // Straight to the engine; S_FALSE without one.
  HRESULT TxSend(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) const;
  void SendScroll(UINT uMsg, WORD wCode);
  // Scrolls the engine to an absolute position on one axis.
  void ScrollEngineTo(bool bVertical, int nPos);
  // The engine's natural height for the text at the given width.
  LONG NaturalHeight(LONG nWidth) const;
  bool CaretTimerApplies() const;
  void PlaceCompositionWindow();
  void InvalidateCaret();
  void PaintCaret(HDC hDC);
  // A Return key-down the engine must not see: sent as "return" instead.
  bool TakesReturnAsNotification(UINT uMsg, WPARAM wParam) const;
  // Makes the engine and gives it the text; false when none can be made.
  bool StartEngine(LPCWSTR pstrText);
  // An engine lays its text out for the DPI it started at and keeps the font it was given then:
  // on a screen of another DPI the control starts a new one with its text, as it would have
  // started there. The scroll bars go back to how a new control has them.
  void RestartEngineForDpi();

  CTxtWinHost* m_pTwh;
  bool m_bVScrollBarFixing;
  bool m_bWantTab;
  bool m_bWantReturn;
  bool m_bWantCtrlReturn;
  bool m_bTransparent;
  bool m_bRich;
  bool m_bReadOnly;
  DWORD m_dwTextColor;
  // The engine was last given the system's text colour, for high contrast.
  bool m_bContrastText = false;
  int m_iFont;
  LONG m_nLimitText;
  DWORD m_dwStyle;
  bool m_bDrawCaret;
  bool m_bInited;
  UINT m_uEngineDpi = 0;
  CWindowHostUI* m_pFilterHost;
};

}  // namespace SkinUI
