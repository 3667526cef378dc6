// Scrolling of the container base: its two optional bars, the scroll positions and steps, the
// keys and wheel that scroll, and when the bars appear after a layout.

#include <cstdlib>

#include "Core/UIScrollBarBase.h"
#include "Core/UIContainer.h"
#include "Core/UIControlFactory.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// Horizontal lines have no font to follow.
const int kHorizontalLineStep = 8;
const int kVerticalLineMargin = 8;

}  // namespace

CScrollBarBaseUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarBaseUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

// Whatever the program registered as "ScrollBar", when it is one.
CScrollBarBaseUI* CContainerUI::MakeScrollBar() {
  CControlUI* pControl = CControlFactory::Create(L"ScrollBar");
  if (pControl == nullptr) return nullptr;
  auto* pBar = static_cast<CScrollBarBaseUI*>(
      pControl->QueryNamedInterface(CScrollBarBaseUI::kInterfaceName));
  if (pBar == nullptr) delete pControl;
  return pBar;
}

void CContainerUI::EnableScrollBars(bool bEnableVertical, bool bEnableHorizontal) {
  auto update = [this](CScrollBarBaseUI*& pBar, bool bEnable, bool bHorizontal,
                       LPCWSTR pstrDefaults) {
    if (!bEnable) {
      delete pBar;
      pBar = nullptr;
      return;
    }
    if (pBar != nullptr) return;
    pBar = MakeScrollBar();
    if (pBar == nullptr) return;
    pBar->SetScrollRange(0);
    pBar->SetHorizontal(bHorizontal);
    pBar->SetOwner(this);
    pBar->SetHost(m_pHost, nullptr, false);
    // The usual thickness, given as a skin length so that it follows the window's DPI.
    pBar->ApplyAttribute(bHorizontal ? L"height" : L"width", L"16");
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

namespace {

const LayoutAxis kVertical(true);
const LayoutAxis kHorizontal(false);

}  // namespace

void CContainerUI::ScrollLineUp() { ScrollBy(kVertical, -LineStep(kVertical)); }
void CContainerUI::ScrollLineDown() { ScrollBy(kVertical, LineStep(kVertical)); }
void CContainerUI::ScrollPageUp() { ScrollBy(kVertical, -PageStep(kVertical)); }
void CContainerUI::ScrollPageDown() { ScrollBy(kVertical, PageStep(kVertical)); }
void CContainerUI::ScrollToTop() { ScrollTo(kVertical, 0); }
void CContainerUI::ScrollToBottom() { ScrollTo(kVertical, GetScrollRange().cy); }
void CContainerUI::ScrollLineLeft() { ScrollBy(kHorizontal, -LineStep(kHorizontal)); }
void CContainerUI::ScrollLineRight() { ScrollBy(kHorizontal, LineStep(kHorizontal)); }
void CContainerUI::ScrollPageLeft() { ScrollBy(kHorizontal, -PageStep(kHorizontal)); }
void CContainerUI::ScrollPageRight() { ScrollBy(kHorizontal, PageStep(kHorizontal)); }
void CContainerUI::ScrollToLeft() { ScrollTo(kHorizontal, 0); }
void CContainerUI::ScrollToRight() { ScrollTo(kHorizontal, GetScrollRange().cx); }

int CContainerUI::LineStep(const LayoutAxis& axis) const {
  // A vertical line follows the text: the default font's height plus a margin.
  if (!axis.IsVertical()) return kHorizontalLineStep;
  return m_pHost != nullptr ? kVerticalLineMargin + m_pHost->GetDefaultFontInfo()->tm.tmHeight
                            : kVerticalLineMargin;
}

int CContainerUI::PageStep(const LayoutAxis& axis) const {
  // The visible part: the extent less the inset and the bar that lies across the axis.
  int nPage = (axis.IsVertical() ? GetHeight() : GetWidth()) - axis.Near(m_rcInset) -
              axis.Far(m_rcInset);
  const CScrollBarBaseUI* pAcross = axis.IsVertical() ? m_pHorizontalScrollBar : m_pVerticalScrollBar;
  if (IsBarShown(pAcross)) nPage -= axis.FixedOf(*pAcross);
  return nPage;
}

void CContainerUI::ScrollBy(const LayoutAxis& axis, int nDelta) {
  SIZE sz = GetScrollPosition();
  axis.Of(sz) += nDelta;
  SetScrollPosition(sz);
}

void CContainerUI::ScrollTo(const LayoutAxis& axis, int nPos) {
  SIZE sz = GetScrollPosition();
  axis.Of(sz) = nPos;
  SetScrollPosition(sz);
}

bool CContainerUI::HandleScrollEvent(const InputEvent& event) {
  auto usable = [this](CScrollBarBaseUI* pBar) { return IsBarShown(pBar) && pBar->IsEnabled(); };
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
  CScrollBarBaseUI* const pH = m_pHorizontalScrollBar;
  CScrollBarBaseUI* const pV = m_pVerticalScrollBar;
  // Shows the bar (under the flag that keeps the nested layout from hiding it again) and lays
  // the container out around it.
  auto showAndRelayout = [this](CScrollBarBaseUI* pBar, int nRange) {
    pBar->SetVisible(true);
    pBar->SetScrollRange(nRange);
    pBar->SetScrollValue(0);
    m_bScrollProcess = true;
    RelayoutForScrollBars(true);
    m_bScrollProcess = false;
  };
  // An already visible bar whose range may have to follow the content.
  auto followRange = [this](CScrollBarBaseUI* pBar, int nRange, bool bChanged) {
    if (pBar->GetScrollRange() == nRange) return;
    const int nOldPos = pBar->GetScrollValue();
    pBar->SetScrollRange(std::abs(nRange));
    if (pBar->GetScrollRange() == 0) {
      pBar->SetVisible(false);
      pBar->SetScrollValue(0);
    }
    if (pBar->GetScrollValue() < nOldPos || bChanged) RelayoutForScrollBars(false);
  };
  auto hideAndRelayout = [this](CScrollBarBaseUI* pBar) {
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

  // One bar alone, scrolling along axis: it lies across the far edge of the other axis.
  auto updateAlone = [&](const LayoutAxis& axis, CScrollBarBaseUI* pBar, int nNeeded) {
    const int nRange = nNeeded - axis.Extent(rc);
    if (nNeeded > axis.Extent(rc) && !pBar->IsVisible()) {
      showAndRelayout(pBar, nRange);
      return;
    }
    if (!pBar->IsVisible()) return;
    if (nRange > 0 || m_bScrollProcess) {
      const LayoutAxis across = axis.Across();
      const int nThickness = across.FixedOf(*pBar);
      pBar->SetPosition(axis.MakeRect(axis.Near(rc), axis.Far(rc), across.Far(rc),
                                      across.Far(rc) + nThickness),
                        false);
      followRange(pBar, nRange, false);
      return;
    }
    hideAndRelayout(pBar);
  };
  if (pH != nullptr) {
    updateAlone(kHorizontal, pH, cxNeeded);
  } else if (pV != nullptr) {
    updateAlone(kVertical, pV, cyNeeded);
  }
}

}  // namespace SkinUI
