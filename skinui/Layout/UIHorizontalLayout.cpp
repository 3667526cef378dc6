// The horizontal layout's sizing: a measuring pass that finds the fixed width and the number of
// stretching children, then a placing pass that hands out the rest.

#include "Layout/UIHorizontalLayout.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CSeparatedLayoutUI(false, L"sepwidth") {}

LPCWSTR CHorizontalLayoutUI::ClassName() const { return L"HorizontalLayoutUI"; }

LPVOID CHorizontalLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"HorizontalLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

void CHorizontalLayoutUI::SetPosition(RECT rcPos, bool bNeedInvalidate) {
  CControlUI::SetPosition(rcPos, bNeedInvalidate);
  const RECT rc = GetContentRect();
  if (m_items.IsEmpty()) {
    UpdateScrollBars(rc, 0, 0);
    return;
  }
  // Scrolled content may be larger than the area: the bars' ranges say by how much.
  const SIZE szScroll = GetScrollPosition();
  const SIZE szRange = GetScrollRange();
  const int aw = rc.right - rc.left + szRange.cx;
  const int ah = rc.bottom - rc.top + szRange.cy;

  int nPlaced = 0;
  int nStretch = 0;
  int cxFixed = 0;
  int cyNeeded = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (!pChild->IsVisible() || pChild->IsFloat()) continue;
    const RECT pad = pChild->GetPadding();
    const int lw = pChild->GetFixedWidth() < 1 ? pChild->GetMaxWidth() : pChild->GetFixedWidth();
    const int lh = pChild->GetFixedHeight() < 1 ? pChild->GetMaxHeight() : pChild->GetFixedHeight();
    SIZE sz = pChild->MeasureSize(SIZE{std::min<int>(lw, aw), std::min<int>(lh, ah - pad.top - pad.bottom)});
    if (sz.cx == 0) {
      ++nStretch;
    } else {
      sz.cx = ClampToLimits(sz.cx, pChild->GetMinWidth(), pChild->GetMaxWidth());
    }
    cxFixed += pad.left + pad.right + sz.cx;
    if (sz.cy < 1) sz.cy = 0;
    sz.cy = ClampToLimits(sz.cy, pChild->GetMinHeight(), pChild->GetMaxHeight());
    cyNeeded = std::max<int>(cyNeeded, static_cast<int>(pad.top + sz.cy + pad.bottom));
    ++nPlaced;
  }
  // Gaps lie only between placed children; with none placed there is no gap to count.
  const int cxGaps = nPlaced > 0 ? m_iChildPadding * (nPlaced - 1) : 0;
  cxFixed += cxGaps;
  const int cxShare = nStretch > 0 ? std::max<int>(0, (aw - cxFixed) / nStretch) : 0;

  int cxRemaining = aw;
  int x = rc.left - szScroll.cx;
  int iStretch = 0;
  int cxFixedRemaining = cxFixed;
  int cxNeeded = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (!pChild->IsVisible()) continue;
    if (pChild->IsFloat()) {
      PlaceFloatingChild(i);
      continue;
    }
    const RECT pad = pChild->GetPadding();
    const int lw = pChild->GetFixedWidth() < 1 ? pChild->GetMaxWidth() : pChild->GetFixedWidth();
    const int lh = pChild->GetFixedHeight() < 1 ? pChild->GetMaxHeight() : pChild->GetFixedHeight();
    const int cyAvailable = std::min<int>(lh, ah - pad.top - pad.bottom);
    cxRemaining -= pad.left;
    const SIZE sz = pChild->MeasureSize(SIZE{std::min<int>(lw, cxRemaining), cyAvailable});
    int cx = sz.cx;
    if (cx != 0) {
      cx = ClampToLimits(cx, pChild->GetMinWidth(), pChild->GetMaxWidth());
      cxFixedRemaining -= cx;
    } else {
      ++iStretch;
      cx = iStretch == nStretch ? std::max<int>(0, cxRemaining - pad.right - cxFixedRemaining)
                                : cxShare;
      cx = ClampToLimits(cx, pChild->GetMinWidth(), pChild->GetMaxWidth());
    }

    int cy = pChild->GetMaxHeight();
    if (cy == 0) cy = ah - pad.top - pad.bottom;
    if (cy < 0) cy = 0;
    cy = std::min<int>(cy, cyAvailable);
    cy = std::max<int>(cy, pChild->GetMinHeight());

    RECT rcChild;
    rcChild.left = x + pad.left;
    rcChild.right = rcChild.left + cx;
    if (m_iChildVAlign == kChildVAlignCenter) {
      rcChild.top = (rc.top + rc.bottom) / 2 + szRange.cy / 2 - szScroll.cy - cy / 2;
      rcChild.bottom = rcChild.top + cy;
    } else if (m_iChildVAlign == kChildVAlignBottom) {
      const int y = rc.bottom + szRange.cy - szScroll.cy;
      rcChild.top = y - cy - pad.bottom;
      rcChild.bottom = y - pad.bottom;
    } else {
      rcChild.top = rc.top - szScroll.cy + pad.top;
      rcChild.bottom = rcChild.top + cy;
    }
    pChild->SetPosition(rcChild, false);

    x += pad.left + cx + pad.right + m_iChildPadding;
    cxNeeded += pad.left + cx + pad.right;
    cxRemaining -= cx + pad.right + m_iChildPadding;
  }
  cxNeeded += cxGaps;
  UpdateScrollBars(rc, cxNeeded, cyNeeded);
}

}  // namespace SkinUI
