// Scrolling of the container base: its two optional bars, the scroll positions and steps, the
// keys and wheel that scroll, and when the bars appear after a layout.

#include <cstdlib>

#include "Control/UIScrollBar.h"
#include "Core/UIContainer.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// Horizontal lines have no font to follow.
const int kHorizontalLineStep = 8;

}  // namespace

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

void CContainerUI::EnableScrollBars(bool bEnableVertical, bool bEnableHorizontal) {
  auto update = [this](CScrollBarUI*& pBar, bool bEnable, bool bHorizontal, LPCWSTR pstrDefaults) {
    if (!bEnable) {
      delete pBar;
      pBar = nullptr;
      return;
    }
    if (pBar != nullptr) return;
    pBar = new CScrollBarUI;
    pBar->SetScrollRange(0);
    pBar->SetHorizontal(bHorizontal);
    pBar->SetOwner(this);
    pBar->SetHost(m_pHost, nullptr, false);
    if (m_pHost != nullptr) {
      LPCWSTR pstrList = m_pHost->DefaultAttributesFor(pstrDefaults);
      if (pstrList != nullptr) pBar->ApplyAttributeString(pstrList);
    }
  };
  update(m_pVerticalScrollBar, bEnableVertical, false, L"VScrollBar");
  update(m_pHorizontalScrollBar, bEnableHorizontal, true, L"HScrollBar");
  RequestLayout();
}

SIZE CContainerUI::GetScrollPosition() const {
  SIZE sz = {0, 0};
  if (IsBarShown(m_pHorizontalScrollBar)) sz.cx = m_pHorizontalScrollBar->GetScrollValue();
  if (IsBarShown(m_pVerticalScrollBar)) sz.cy = m_pVerticalScrollBar->GetScrollValue();
  return sz;
}

SIZE CContainerUI::GetScrollRange() const {
  SIZE sz = {0, 0};
  if (IsBarShown(m_pHorizontalScrollBar)) sz.cx = m_pHorizontalScrollBar->GetScrollRange();
  if (IsBarShown(m_pVerticalScrollBar)) sz.cy = m_pVerticalScrollBar->GetScrollRange();
  return sz;
}

void CContainerUI::SetScrollPosition(SIZE szPos) {
  int cx = 0;
  int cy = 0;
  if (IsBarShown(m_pVerticalScrollBar)) {
    const int nOld = m_pVerticalScrollBar->GetScrollValue();
    m_pVerticalScrollBar->SetScrollValue(szPos.cy);
    cy = m_pVerticalScrollBar->GetScrollValue() - nOld;
  }
  if (IsBarShown(m_pHorizontalScrollBar)) {
    const int nOld = m_pHorizontalScrollBar->GetScrollValue();
    m_pHorizontalScrollBar->SetScrollValue(szPos.cx);
    cx = m_pHorizontalScrollBar->GetScrollValue() - nOld;
  }
  if (cx == 0 && cy == 0) return;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (pChild->IsVisible() && !pChild->IsFloat()) pChild->MoveBy(-cx, -cy, false);
  }
  Invalidate();
}

void CContainerUI::ScrollLineUp() {
  int nStep = 8;
  if (m_pHost != nullptr) nStep += m_pHost->GetDefaultFontInfo()->tm.tmHeight;
  SIZE sz = GetScrollPosition();
  sz.cy -= nStep;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollLineDown() {
  int nStep = 8;
  if (m_pHost != nullptr) nStep += m_pHost->GetDefaultFontInfo()->tm.tmHeight;
  SIZE sz = GetScrollPosition();
  sz.cy += nStep;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollPageUp() {
  SIZE sz = GetScrollPosition();
  int nPage = GetHeight() - m_rcInset.top - m_rcInset.bottom;
  if (IsBarShown(m_pHorizontalScrollBar)) nPage -= m_pHorizontalScrollBar->GetFixedHeight();
  sz.cy -= nPage;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollPageDown() {
  SIZE sz = GetScrollPosition();
  int nPage = GetHeight() - m_rcInset.top - m_rcInset.bottom;
  if (IsBarShown(m_pHorizontalScrollBar)) nPage -= m_pHorizontalScrollBar->GetFixedHeight();
  sz.cy += nPage;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollToTop() {
  SIZE sz = GetScrollPosition();
  sz.cy = 0;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollToBottom() {
  SIZE sz = GetScrollPosition();
  sz.cy = GetScrollRange().cy;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollLineLeft() {
  SIZE sz = GetScrollPosition();
  sz.cx -= kHorizontalLineStep;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollLineRight() {
  SIZE sz = GetScrollPosition();
  sz.cx += kHorizontalLineStep;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollPageLeft() {
  SIZE sz = GetScrollPosition();
  int nPage = GetWidth() - m_rcInset.left - m_rcInset.right;
  if (IsBarShown(m_pVerticalScrollBar)) nPage -= m_pVerticalScrollBar->GetFixedWidth();
  sz.cx -= nPage;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollPageRight() {
  SIZE sz = GetScrollPosition();
  int nPage = GetWidth() - m_rcInset.left - m_rcInset.right;
  if (IsBarShown(m_pVerticalScrollBar)) nPage -= m_pVerticalScrollBar->GetFixedWidth();
  sz.cx += nPage;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollToLeft() {
  SIZE sz = GetScrollPosition();
  sz.cx = 0;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollToRight() {
  SIZE sz = GetScrollPosition();
  sz.cx = GetScrollRange().cx;
  SetScrollPosition(sz);
}

bool CContainerUI::HandleScrollEvent(const InputEvent& event) {
  auto usable = [this](CScrollBarUI* pBar) { return IsBarShown(pBar) && pBar->IsEnabled(); };
  const bool bVertical = usable(m_pVerticalScrollBar);
  const bool bHorizontal = usable(m_pHorizontalScrollBar);
  if (event.iKind == kEventKeyDown && (bVertical || bHorizontal)) {
    switch (event.chKey) {
      case VK_PRIOR:
        bVertical ? ScrollPageUp() : ScrollPageLeft();
        return true;
      case VK_NEXT:
        bVertical ? ScrollPageDown() : ScrollPageRight();
        return true;
      case VK_END:
        bVertical ? ScrollToBottom() : ScrollToRight();
        return true;
      case VK_HOME:
        bVertical ? ScrollToTop() : ScrollToLeft();
        return true;
      case VK_UP:
        bVertical ? ScrollLineUp() : ScrollLineLeft();
        return true;
      case VK_DOWN:
        bVertical ? ScrollLineDown() : ScrollLineRight();
        return true;
      default:
        return false;
    }
  }
  if (event.iKind == kEventScrollWheel) {
    const bool bTowardUser = event.wParam == 1;
    if (bHorizontal && ::PtInRect(&m_pHorizontalScrollBar->GetPosition(), event.ptMouse)) {
      bTowardUser ? ScrollLineRight() : ScrollLineLeft();
      return true;
    }
    if (bVertical) {
      bTowardUser ? ScrollLineDown() : ScrollLineUp();
      return true;
    }
    if (bHorizontal) {
      bTowardUser ? ScrollLineRight() : ScrollLineLeft();
      return true;
    }
  }
  return false;
}

void CContainerUI::RelayoutForScrollBars(bool bNeedInvalidate) {
  SetPosition(IsFloat() ? GetPositionInParent() : RECT(m_rcItem), bNeedInvalidate);
}

void CContainerUI::UpdateScrollBars(RECT rc, int cxNeeded, int cyNeeded) {
  CScrollBarUI* const pH = m_pHorizontalScrollBar;
  CScrollBarUI* const pV = m_pVerticalScrollBar;
  // Shows the bar (under the flag that keeps the nested layout from hiding it again) and lays
  // the container out around it.
  auto showAndRelayout = [this](CScrollBarUI* pBar, int nRange) {
    pBar->SetVisible(true);
    pBar->SetScrollRange(nRange);
    pBar->SetScrollValue(0);
    m_bScrollProcess = true;
    RelayoutForScrollBars(true);
    m_bScrollProcess = false;
  };
  // An already visible bar whose range may have to follow the content.
  auto followRange = [this](CScrollBarUI* pBar, int nRange, bool bChanged) {
    if (pBar->GetScrollRange() == nRange) return;
    const int nOldPos = pBar->GetScrollValue();
    pBar->SetScrollRange(std::abs(nRange));
    if (pBar->GetScrollRange() == 0) {
      pBar->SetVisible(false);
      pBar->SetScrollValue(0);
    }
    if (pBar->GetScrollValue() < nOldPos || bChanged) RelayoutForScrollBars(false);
  };
  auto hideAndRelayout = [this](CScrollBarUI* pBar) {
    pBar->SetVisible(false);
    pBar->SetScrollValue(0);
    pBar->SetScrollRange(0);
    RelayoutForScrollBars(true);
  };

  if (pH != nullptr && pV != nullptr) {
    const int nHRange = cxNeeded - (rc.right - rc.left);
    const int cyBar = pH->GetFixedHeight();
    const int cxBar = pV->GetFixedWidth();
    bool bChanged = false;
    if (cxNeeded > rc.right - rc.left) {
      if (!pH->IsVisible()) {
        pH->SetVisible(true);
        pH->SetScrollValue(0);
        rc.bottom -= cyBar;
      }
      pH->SetPosition(RECT{rc.left, rc.bottom, rc.right, rc.bottom + cyBar}, false);
      if (pH->GetScrollRange() != nHRange) {
        pH->SetScrollRange(nHRange);
        bChanged = true;
      }
    } else if (pH->IsVisible()) {
      pH->SetVisible(false);
      rc.bottom += cyBar;
    }

    const int nVRange = cyNeeded - (rc.bottom - rc.top);
    if (cyNeeded > rc.bottom - rc.top && !pV->IsVisible()) {
      pV->SetVisible(true);
      pV->SetScrollRange(nVRange);
      pV->SetScrollValue(0);
      if (pH->IsVisible()) {
        pH->SetPosition(RECT{rc.left, rc.bottom, rc.right - cxBar, rc.bottom + cyBar}, false);
        pH->SetScrollRange(nHRange + cxBar);
      }
      m_bScrollProcess = true;
      RelayoutForScrollBars(true);
      m_bScrollProcess = false;
      return;
    }
    if (pV->IsVisible() && (nVRange > 0 || m_bScrollProcess)) {
      pV->SetPosition(RECT{rc.right, rc.top, rc.right + cxBar, rc.bottom}, false);
      followRange(pV, nVRange, bChanged);
      return;
    }
    if (pV->IsVisible()) {
      pV->SetVisible(false);
      pV->SetScrollValue(0);
      pV->SetScrollRange(0);
      if (pH->IsVisible()) {
        pH->SetPosition(RECT{rc.left, rc.bottom, rc.right + cxBar, rc.bottom + cyBar}, false);
        pH->SetScrollRange(nHRange - cxBar);
      }
      RelayoutForScrollBars(true);
      return;
    }
    if (bChanged) RelayoutForScrollBars(true);
    return;
  }

  if (pH != nullptr) {
    const int nHRange = cxNeeded - (rc.right - rc.left);
    if (cxNeeded > rc.right - rc.left && !pH->IsVisible()) {
      showAndRelayout(pH, nHRange);
      return;
    }
    if (!pH->IsVisible()) return;
    if (nHRange > 0 || m_bScrollProcess) {
      const int cyBar = pH->GetFixedHeight();
      pH->SetPosition(RECT{rc.left, rc.bottom, rc.right, rc.bottom + cyBar}, false);
      followRange(pH, nHRange, false);
      return;
    }
    hideAndRelayout(pH);
    return;
  }

  if (pV != nullptr) {
    const int nVRange = cyNeeded - (rc.bottom - rc.top);
    if (cyNeeded > rc.bottom - rc.top && !pV->IsVisible()) {
      showAndRelayout(pV, nVRange);
      return;
    }
    if (!pV->IsVisible()) return;
    if (nVRange > 0 || m_bScrollProcess) {
      const int cxBar = pV->GetFixedWidth();
      pV->SetPosition(RECT{rc.right, rc.top, rc.right + cxBar, rc.bottom}, false);
      followRange(pV, nVRange, false);
      return;
    }
    hideAndRelayout(pV);
  }
}

}  // namespace SkinUI
