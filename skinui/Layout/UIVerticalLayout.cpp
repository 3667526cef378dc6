// The vertical layout's sizing: a measuring pass that finds the fixed height and the number of
// stretching children, then a placing pass that hands out the rest.

#include "Layout/UIVerticalLayout.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CSeparatedLayoutUI(true, L"sepheight") {}

LPCWSTR CVerticalLayoutUI::ClassName() const { return L"VerticalLayoutUI"; }

LPVOID CVerticalLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"VerticalLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

void CVerticalLayoutUI::SetPosition(RECT rcPos, bool bNeedInvalidate) {
  CControlUI::SetPosition(rcPos, bNeedInvalidate);
  const RECT rc = GetContentRect();
  if (m_items.IsEmpty()) {
    UpdateScrollBars(rc, 0, 0);
    return;
  }
  // Scrolled content may be larger than the area: the bars' ranges say by how much.
  // The layout's own bars: a list forwards the overridable scrolling operations to its body.
  const SIZE szScroll = CContainerUI::GetScrollPosition();
  const SIZE szRange = CContainerUI::GetScrollRange();
  const int aw = rc.right - rc.left + szRange.cx;
  const int ah = rc.bottom - rc.top + szRange.cy;

  int nPlaced = 0;
  int nStretch = 0;
  int cyFixed = 0;
  int cxNeeded = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (!pChild->IsVisible() || pChild->IsFloat()) continue;
    const RECT pad = pChild->GetPadding();
    const int lw = pChild->GetFixedWidth() < 1 ? pChild->GetMaxWidth() : pChild->GetFixedWidth();
    const int lh = pChild->GetFixedHeight() < 1 ? pChild->GetMaxHeight() : pChild->GetFixedHeight();
    SIZE sz = pChild->MeasureSize(SIZE{std::min<int>(lw, aw - pad.left - pad.right), std::min<int>(lh, ah)});
    if (sz.cy == 0) {
      ++nStretch;
    } else {
      sz.cy = ClampToLimits(sz.cy, pChild->GetMinHeight(), pChild->GetMaxHeight());
    }
    cyFixed += pad.top + pad.bottom + sz.cy;
    if (sz.cx < 1) sz.cx = 0;
    sz.cx = ClampToLimits(sz.cx, pChild->GetMinWidth(), pChild->GetMaxWidth());
    cxNeeded = std::max<int>(cxNeeded, static_cast<int>(pad.left + sz.cx + pad.right));
    ++nPlaced;
  }
  // Gaps lie only between placed children; with none placed there is no gap to count.
  const int cyGaps = nPlaced > 0 ? m_iChildPadding * (nPlaced - 1) : 0;
  cyFixed += cyGaps;
  const int cyShare = nStretch > 0 ? std::max<int>(0, (ah - cyFixed) / nStretch) : 0;

  int cyRemaining = ah;
  int y = rc.top - szScroll.cy;
  int iStretch = 0;
  int cyFixedRemaining = cyFixed;
  int cyNeeded = 0;
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
    const int cxAvailable = std::min<int>(lw, aw - pad.left - pad.right);
    cyRemaining -= pad.top;
    const SIZE sz = pChild->MeasureSize(SIZE{cxAvailable, std::min<int>(lh, cyRemaining)});
    int cy = sz.cy;
    if (cy != 0) {
      cy = ClampToLimits(cy, pChild->GetMinHeight(), pChild->GetMaxHeight());
      cyFixedRemaining -= cy;
    } else {
      ++iStretch;
      cy = iStretch == nStretch ? std::max<int>(0, cyRemaining - pad.bottom - cyFixedRemaining)
                                : cyShare;
      cy = ClampToLimits(cy, pChild->GetMinHeight(), pChild->GetMaxHeight());
    }

    int cx = pChild->GetMaxWidth();
    if (cx == 0) cx = aw - pad.left - pad.right;
    if (cx < 0) cx = 0;
    cx = std::min<int>(cx, cxAvailable);
    cx = std::max<int>(cx, pChild->GetMinWidth());

    RECT rcChild;
    rcChild.top = y + pad.top;
    rcChild.bottom = rcChild.top + cy;
    if (m_iChildAlign == kChildAlignCenter) {
      rcChild.left = (rc.left + rc.right) / 2 + szRange.cx / 2 - szScroll.cx - cx / 2;
      rcChild.right = rcChild.left + cx;
    } else if (m_iChildAlign == kChildAlignRight) {
      const int x = rc.right + szRange.cx - szScroll.cx;
      rcChild.left = x - cx - pad.right;
      rcChild.right = x - pad.right;
    } else {
      rcChild.left = rc.left - szScroll.cx + pad.left;
      rcChild.right = rcChild.left + cx;
    }
    pChild->SetPosition(rcChild, false);

    y += pad.top + cy + pad.bottom + m_iChildPadding;
    cyNeeded += pad.top + cy + pad.bottom;
    cyRemaining -= cy + pad.bottom + m_iChildPadding;
  }
  cyNeeded += cyGaps;
  UpdateScrollBars(rc, cxNeeded, cyNeeded);
}

}  // namespace SkinUI
