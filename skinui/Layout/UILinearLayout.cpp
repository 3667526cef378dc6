// The linear layouts' sizing along an axis: a measuring pass that finds the fixed extent and the
// number of stretching children, then a placing pass that hands out the rest. The separator's
// attributes and events go to the separator.

#include "Layout/UILinearLayout.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

namespace {

// A child's limit on an axis: its fixed size, or its maximum when it has none.
int LimitOf(const LayoutAxis& axis, const CControlUI& child) {
  return axis.FixedOf(child) < 1 ? axis.MaxOf(child) : axis.FixedOf(child);
}

}  // namespace

CLinearLayoutUI::CLinearLayoutUI(bool bVertical) : m_axis(bVertical), m_separator(bVertical) {}

void CLinearLayoutUI::SetPosition(RECT rcPos, bool bNeedInvalidate) {
  RECT rc = {0, 0, 0, 0};
  if (!BeginLayout(rcPos, bNeedInvalidate, rc)) return;
  const LayoutAxis& along = m_axis;
  const LayoutAxis across = m_axis.Across();
  // Scrolled content may be larger than the area: the bars' ranges say by how much. These are
  // the layout's own bars: a list forwards the overridable scrolling operations to its body.
  const SIZE szScroll = CContainerUI::GetScrollPosition();
  const SIZE szRange = CContainerUI::GetScrollRange();
  const int nAlongRoom = along.Extent(rc) + along.Of(szRange);
  const int nAcrossRoom = across.Extent(rc) + across.Of(szRange);

  int nPlaced = 0;
  int nStretch = 0;
  int nFixed = 0;
  int nAcrossNeeded = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (!pChild->IsVisible() || pChild->IsFloat()) continue;
    const RECT pad = pChild->GetPadding();
    const int nAcrossPads = across.Near(pad) + across.Far(pad);
    const SIZE sz = pChild->MeasureSize(along.MakeSize(
        std::min<int>(LimitOf(along, *pChild), nAlongRoom),
        std::min<int>(LimitOf(across, *pChild), nAcrossRoom - nAcrossPads)));
    int nSize = along.Of(sz);
    if (nSize == 0) {
      ++nStretch;
    } else {
      nSize = ClampToLimits(nSize, along.MinOf(*pChild), along.MaxOf(*pChild));
    }
    nFixed += along.Near(pad) + along.Far(pad) + nSize;
    int nAcross = across.Of(sz);
    if (nAcross < 1) nAcross = 0;
    nAcross = ClampToLimits(nAcross, across.MinOf(*pChild), across.MaxOf(*pChild));
    nAcrossNeeded = std::max<int>(nAcrossNeeded, nAcrossPads + nAcross);
    ++nPlaced;
  }
  // Gaps lie only between placed children; with none placed there is no gap to count.
  const int nGaps = nPlaced > 0 ? m_iChildPadding * (nPlaced - 1) : 0;
  nFixed += nGaps;
  const int nShare = nStretch > 0 ? std::max<int>(0, (nAlongRoom - nFixed) / nStretch) : 0;

  // Only the alignment across the stacking axis counts.
  const Placement placement = PlacementOn(across);
  int nRemaining = nAlongRoom;
  int nPos = along.Near(rc) - along.Of(szScroll);
  int iStretch = 0;
  int nFixedRemaining = nFixed;
  int nAlongNeeded = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    if (SkipsFlow(i)) continue;
    CControlUI* pChild = ChildAt(i);
    const RECT pad = pChild->GetPadding();
    const int nAcrossPads = across.Near(pad) + across.Far(pad);
    const int nAcrossAvailable = std::min<int>(LimitOf(across, *pChild), nAcrossRoom - nAcrossPads);
    nRemaining -= along.Near(pad);
    const SIZE sz = pChild->MeasureSize(
        along.MakeSize(std::min<int>(LimitOf(along, *pChild), nRemaining), nAcrossAvailable));
    int nSize = along.Of(sz);
    if (nSize != 0) {
      nSize = ClampToLimits(nSize, along.MinOf(*pChild), along.MaxOf(*pChild));
      nFixedRemaining -= nSize;
    } else {
      ++iStretch;
      // The last stretching child takes what is left. The fixed remainder still holds every
      // padding and gap, so paddings reduce its share a second time.
      nSize = iStretch == nStretch
                  ? std::max<int>(0, nRemaining - along.Far(pad) - nFixedRemaining)
                  : nShare;
      nSize = ClampToLimits(nSize, along.MinOf(*pChild), along.MaxOf(*pChild));
    }

    int nAcross = across.MaxOf(*pChild);
    if (nAcross == 0) nAcross = nAcrossRoom - nAcrossPads;
    if (nAcross < 0) nAcross = 0;
    nAcross = std::min<int>(nAcross, nAcrossAvailable);
    nAcross = std::max<int>(nAcross, across.MinOf(*pChild));

    int nAcrossNear = 0;
    switch (placement) {
      case Placement::kCenter:
        // Centred in the whole scrollable width, without paddings.
        nAcrossNear = (across.Near(rc) + across.Far(rc)) / 2 + across.Of(szRange) / 2 -
                      across.Of(szScroll) - nAcross / 2;
        break;
      case Placement::kEnd:
        nAcrossNear = across.Far(rc) + across.Of(szRange) - across.Of(szScroll) - nAcross -
                      across.Far(pad);
        break;
      case Placement::kStart:
        nAcrossNear = across.Near(rc) - across.Of(szScroll) + across.Near(pad);
        break;
    }
    const int nNear = nPos + along.Near(pad);
    pChild->SetPosition(along.MakeRect(nNear, nNear + nSize, nAcrossNear, nAcrossNear + nAcross),
                        false);

    nPos += along.Near(pad) + nSize + along.Far(pad) + m_iChildPadding;
    nAlongNeeded += along.Near(pad) + nSize + along.Far(pad);
    nRemaining -= nSize + along.Far(pad) + m_iChildPadding;
  }
  nAlongNeeded += nGaps;
  const SIZE szNeeded = along.MakeSize(nAlongNeeded, nAcrossNeeded);
  UpdateScrollBars(rc, szNeeded.cx, szNeeded.cy);
}

UI_BEGIN_ATTRIBUTES(CLinearLayoutUI, CContainerUI)
UI_ATTRIBUTE(L"sepimm", kBoolValue, self.SetImmediateResize(::lstrcmpW(pstrValue, L"true") == 0))
UI_END_ATTRIBUTES()


void CLinearLayoutUI::SetSeparatorSize(int iSize) { m_separator.SetSize(iSize); }
int CLinearLayoutUI::GetSeparatorSize() const { return m_separator.GetSize(); }
void CLinearLayoutUI::SetImmediateResize(bool bImmediate) { m_separator.SetImmediate(*this, bImmediate); }
bool CLinearLayoutUI::IsImmediateResize() const { return m_separator.IsImmediate(); }
bool CLinearLayoutUI::IsDragging() const { return m_separator.IsDragging(); }

RECT CLinearLayoutUI::GetSeparatorRect(bool bUseProposed) const {
  return m_separator.GetBand(m_rcItem, bUseProposed);
}

UINT CLinearLayoutUI::GetBehaviourFlags() const {
  return IsEnabled() && m_separator.GetSize() != 0 ? kBehaviourSetCursor : 0u;
}

void CLinearLayoutUI::HandleEvent(InputEvent& event) {
  if (m_separator.HandleEvent(*this, m_rcItem, event)) return;
  CContainerUI::HandleEvent(event);
}

void CLinearLayoutUI::PostPaint(HDC hDC, const RECT& rcPaint) {
  m_separator.PaintTracker(hDC);
  CContainerUI::PostPaint(hDC, rcPaint);
}

}  // namespace SkinUI
