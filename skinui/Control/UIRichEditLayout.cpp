// Where the rich edit's engine lays its text out, where the scroll bars go, and scrolling, which
// the engine does itself: the steps and drags of the control's bars become the engine's scroll
// messages, and the engine sets the bars back through its host.

#include <richedit.h>

#include "Control/UIRichEdit.h"
#include "Control/UIScrollBar.h"
#include "Control/UITextHost.h"
#include "Core/UIManager.h"

namespace SkinUI {

RECT CRichEditUI::GetTextArea() const { return GetContentRect(); }

SIZE CRichEditUI::MeasureSize(SIZE szAvailable) { return CControlUI::MeasureSize(szAvailable); }

LONG CRichEditUI::NaturalHeight(LONG nWidth) const {
  if (m_pTwh == nullptr || m_pTwh->GetTextServices() == nullptr) return 0;
  SIZEL szExtent = {-1, -1};
  LONG nNaturalWidth = nWidth;
  LONG nNaturalHeight = 0;
  m_pTwh->GetTextServices()->TxGetNaturalSize(
      DVASPECT_CONTENT, m_pHost != nullptr ? m_pHost->GetHostDC() : nullptr, nullptr, nullptr,
      TXTNS_FITTOCONTENT, &szExtent, &nNaturalWidth, &nNaturalHeight);
  return nNaturalHeight;
}

void CRichEditUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  if (m_pTwh != nullptr && m_pHost != nullptr && m_pHost->GetDpi() != m_uEngineDpi) {
    // An engine started before the control had a host is at the DPI of the first host it lays
    // out in.
    if (m_uEngineDpi == 0) {
      m_uEngineDpi = m_pHost->GetDpi();
    } else {
      RestartEngineForDpi();
    }
  }
  CContainerUI::SetPosition(rc, bNeedInvalidate);
  RECT rcText = GetTextArea();
  CScrollBarBaseUI* const pVertical = m_pVerticalScrollBar;
  CScrollBarBaseUI* const pHorizontal = m_pHorizontalScrollBar;
  const bool bVerticalWasShown = IsBarShown(pVertical);
  if (m_pTwh != nullptr) {
    m_pTwh->SetClientRect(rcText);
    // A bar the engine has just taken away may still be needed once the text is as wide as
    // the bar left it; otherwise the bar and the wrapping would chase each other.
    if (pVertical != nullptr &&
        ((bVerticalWasShown && !pVertical->IsVisible()) || m_bVScrollBarFixing)) {
      const LONG cxText = rcText.right - rcText.left + pVertical->GetFixedWidth();
      if (NaturalHeight(cxText) > rcText.bottom - rcText.top) {
        pVertical->SetVisible(true);
        pVertical->SetScrollValue(0);
        m_bVScrollBarFixing = true;
      } else if (m_bVScrollBarFixing) {
        pVertical->SetVisible(false);
        m_bVScrollBarFixing = false;
        RequestLayout();
      }
    }
  }
  if (IsBarShown(pVertical)) {
    pVertical->SetPosition(
        RECT{rcText.right, rcText.top, rcText.right + pVertical->GetFixedWidth(), rcText.bottom},
        false);
  }
  if (IsBarShown(pHorizontal)) {
    pHorizontal->SetPosition(RECT{rcText.left, rcText.bottom, rcText.right,
                                  rcText.bottom + pHorizontal->GetFixedHeight()},
                             false);
  }
}

void CRichEditUI::MoveBy(int dx, int dy, bool bNeedInvalidate) {
  CContainerUI::MoveBy(dx, dy, bNeedInvalidate);
  if (m_pTwh != nullptr) m_pTwh->SetClientRect(GetTextArea());
}

// ---- scrolling ----

void CRichEditUI::SendScroll(UINT uMsg, WORD wCode) { TxSend(uMsg, MAKEWPARAM(wCode, 0), 0, nullptr); }

void CRichEditUI::ScrollLineUp() { SendScroll(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::ScrollLineDown() {
  CScrollBarBaseUI* const pVertical = m_pVerticalScrollBar;
  const int nOld = pVertical != nullptr ? pVertical->GetScrollValue() : 0;
  SendScroll(WM_VSCROLL, SB_LINEDOWN);
  // The plain-text engine stops one line short of the end without saying so.
  if (!m_bRich && pVertical != nullptr && pVertical->GetScrollValue() <= nOld) {
    pVertical->SetScrollValue(pVertical->GetScrollRange());
  }
}

void CRichEditUI::ScrollPageUp() { SendScroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::ScrollPageDown() { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::ScrollToTop() { SendScroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::ScrollToBottom() { SendScroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::ScrollLineLeft() { SendScroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::ScrollLineRight() { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::ScrollPageLeft() { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::ScrollPageRight() { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::ScrollToLeft() { SendScroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::ScrollToRight() { SendScroll(WM_HSCROLL, SB_RIGHT); }

void CRichEditUI::ScrollEngineTo(bool bVertical, int nPos) {
  TxSend(bVertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, nPos), 0, nullptr);
}

void CRichEditUI::SetScrollPosition(SIZE szPos) {
  auto follow = [this](CScrollBarBaseUI* pBar, int nPos, bool bVertical) {
    if (!IsBarShown(pBar)) return;
    const int nOld = pBar->GetScrollValue();
    pBar->SetScrollValue(nPos);
    if (pBar->GetScrollValue() == nOld) return;
    ScrollEngineTo(bVertical, pBar->GetScrollValue());
    if (!m_bRich && nPos > nOld && pBar->GetScrollValue() <= nOld) pBar->SetScrollValue(nOld);
  };
  follow(m_pVerticalScrollBar, szPos.cy, true);
  follow(m_pHorizontalScrollBar, szPos.cx, false);
}

}  // namespace SkinUI
