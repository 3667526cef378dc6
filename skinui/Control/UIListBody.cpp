// The list body's layout and scrolling.

#include "Control/UIListBody.h"

#include <algorithm>
#include <vector>

#include "Control/UIList.h"
#include "Control/UIListHeader.h"
#include "Control/UIScrollBar.h"

namespace SkinUI {

CListBodyUI::CListBodyUI(CListUI* pOwner) : m_pOwner(pOwner) {}

LPCWSTR CListBodyUI::ClassName() const { return L"ListBodyUI"; }

int CListBodyUI::ItemWidth(const RECT& rcContent) {
  const SIZE szAvailable = {rcContent.right - rcContent.left, rcContent.bottom - rcContent.top};
  CListHeaderUI* pHeader = m_pOwner->GetHeader();
  if (pHeader != nullptr && pHeader->GetItemCount() > 0) {
    int cx = 0;
    for (int i = 0; i < pHeader->GetItemCount(); ++i) {
      cx += pHeader->GetItemAt(i)->MeasureSize(szAvailable).cx;
    }
    // Header items without a width of their own share the header: rows span the columns as they
    // were laid out, not the nothing those items measure.
    const ListInfo* pInfo = m_pOwner->GetListInfo();
    if (pInfo->nColumns > 0) {
      cx = std::max<int>(cx, pInfo->rcColumn[pInfo->nColumns - 1].right - pInfo->rcColumn[0].left);
    }
    return cx;
  }
  // Without columns to follow, rows fill at least the visible width: items without a width of
  // their own (tree nodes, container elements) would otherwise get none.
  int cx = szAvailable.cx;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (pChild->IsVisible() && !pChild->IsFloat()) {
      cx = std::max<int>(cx, pChild->MeasureSize(szAvailable).cx);
    }
  }
  return cx;
}

void CListBodyUI::SetPosition(RECT rcPos, bool bNeedInvalidate) {
  RECT rc = {0, 0, 0, 0};
  if (!BeginLayout(rcPos, bNeedInvalidate, rc)) return;
  const SIZE szScroll = CContainerUI::GetScrollPosition();
  const SIZE szRange = CContainerUI::GetScrollRange();
  const int cxItem = ItemWidth(rc);
  const int ah = rc.bottom - rc.top + szRange.cy;

  // Each item is measured once: long lists pay for every measurement.
  std::vector<int> heights(static_cast<size_t>(m_items.GetSize()), 0);
  int nPlaced = 0;
  int nStretch = 0;
  int cyFixed = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (!pChild->IsVisible() || pChild->IsFloat()) continue;
    const RECT pad = pChild->GetPadding();
    int cy = pChild->MeasureSize(SIZE{cxItem, ah}).cy;
    if (cy == 0) {
      ++nStretch;
    } else {
      cy = ClampToLimits(cy, pChild->GetMinHeight(), pChild->GetMaxHeight());
    }
    heights[static_cast<size_t>(i)] = cy;
    cyFixed += pad.top + pad.bottom + cy;
    ++nPlaced;
  }
  cyFixed += nPlaced > 0 ? m_iChildPadding * (nPlaced - 1) : 0;
  const int cyShare = nStretch > 0 ? std::max<int>(0, (ah - cyFixed) / nStretch) : 0;

  int y = rc.top - szScroll.cy;
  int cyNeeded = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    if (SkipsFlow(i)) continue;
    CControlUI* pChild = ChildAt(i);
    const RECT pad = pChild->GetPadding();
    int cy = heights[static_cast<size_t>(i)];
    if (cy == 0) cy = ClampToLimits(cyShare, pChild->GetMinHeight(), pChild->GetMaxHeight());
    const int cx = ClampToLimits(cxItem, pChild->GetMinWidth(), pChild->GetMaxWidth());
    RECT rcChild;
    rcChild.left = rc.left - szScroll.cx + pad.left;
    rcChild.right = rcChild.left + cx;
    rcChild.top = y + pad.top;
    rcChild.bottom = rcChild.top + cy;
    pChild->SetPosition(rcChild, false);
    y += pad.top + cy + pad.bottom + m_iChildPadding;
    cyNeeded += pad.top + cy + pad.bottom + m_iChildPadding;
  }
  if (cyNeeded > 0) cyNeeded -= m_iChildPadding;
  UpdateScrollBars(rc, cxItem, cyNeeded);
}

void CListBodyUI::SetScrollPosition(SIZE szPos) {
  const int cxOld = CContainerUI::GetScrollPosition().cx;
  CVerticalLayoutUI::SetScrollPosition(szPos);
  const int dx = CContainerUI::GetScrollPosition().cx - cxOld;
  if (dx != 0) m_pOwner->ShiftColumns(-dx);
}

void CListBodyUI::HandleEvent(InputEvent& event) {
  if (event.iKind == kEventScrollWheel && m_pHorizontalScrollBar != nullptr &&
      m_pHorizontalScrollBar->IsVisible() &&
      ::PtInRect(&m_pHorizontalScrollBar->GetPosition(), event.ptMouse)) {
    if (event.wParam == 0) {
      ScrollLineLeft();
    } else {
      ScrollLineRight();
    }
    return;
  }
  m_pOwner->HandleEvent(event);
}

}  // namespace SkinUI
