// Dragging the separator band of a linear layout.

#include "Layout/UILayoutSeparator.h"

#include <algorithm>
#include <cstdlib>

#include "Core/UIManager.h"

namespace SkinUI {

namespace {

const DWORD kTrackerColor = 0xAA000000;

}  // namespace

CLayoutSeparator::CLayoutSeparator(bool bVertical)
    : m_axis(bVertical),
      m_iSize(0),
      m_bImmediate(false),
      m_bDragging(false),
      m_ptLastMouse{0, 0},
      m_rcProposed{0, 0, 0, 0} {}

void CLayoutSeparator::SetImmediate(CControlUI& layout, bool bImmediate) {
  if (m_bImmediate == bImmediate) return;
  // The tracker of a drag in progress must not outlive the mode that drew it.
  if (m_bDragging && !m_bImmediate && layout.GetHost() != nullptr) {
    layout.GetHost()->UnregisterPostPaint(&layout);
  }
  m_bImmediate = bImmediate;
}

RECT CLayoutSeparator::GetBand(const RECT& rcItem, bool bUseProposed) const {
  const RECT& rc = bUseProposed && m_bDragging ? m_rcProposed : rcItem;
  if (m_iSize == 0) return RECT{0, 0, 0, 0};
  if (m_axis.IsVertical()) {
    if (m_iSize > 0) return RECT{rc.left, std::max<int>(rc.bottom - m_iSize, rc.top), rc.right, rc.bottom};
    return RECT{rc.left, rc.top, rc.right, std::min<int>(rc.top - m_iSize, rc.bottom)};
  }
  if (m_iSize > 0) return RECT{rc.right - m_iSize, rc.top, rc.right, rc.bottom};
  return RECT{rc.left, rc.top, rc.left - m_iSize, rc.bottom};
}

bool CLayoutSeparator::HandleEvent(CControlUI& layout, RECT& rcItem, const InputEvent& event) {
  if (m_iSize == 0) return false;
  CWindowHostUI* pHost = layout.GetHost();
  switch (event.iKind) {
    case kEventButtonDown: {
      if (!layout.IsEnabled()) return false;
      const RECT rcBand = GetBand(rcItem, false);
      if (!::PtInRect(&rcBand, event.ptMouse)) return false;
      m_bDragging = true;
      m_ptLastMouse = event.ptMouse;
      m_rcProposed = rcItem;
      if (!m_bImmediate && pHost != nullptr) pHost->RegisterPostPaint(&layout);
      return true;
    }
    case kEventButtonUp:
      if (!m_bDragging) return false;
      rcItem = m_rcProposed;
      m_bDragging = false;
      if (!m_bImmediate && pHost != nullptr) pHost->UnregisterPostPaint(&layout);
      layout.RequestParentLayout();
      return true;
    case kEventMouseMove:
      if (!m_bDragging) return false;
      MoveBy(layout, rcItem, event.ptMouse);
      return true;
    case kEventSetCursor: {
      const RECT rcBand = GetBand(rcItem, false);
      if (!layout.IsEnabled() || !::PtInRect(&rcBand, event.ptMouse)) return false;
      SetStandardCursor(m_axis.IsVertical() ? kCursorSizeNS : kCursorSizeWE);
      return true;
    }
    default:
      return false;
  }
}

void CLayoutSeparator::MoveBy(CControlUI& layout, RECT& rcItem, POINT pt) {
  const int d = m_axis.Of(pt) - m_axis.Of(m_ptLastMouse);
  m_ptLastMouse = pt;
  LONG& nNearEdge = m_axis.Near(m_rcProposed);
  LONG& nFarEdge = m_axis.Far(m_rcProposed);
  const int c = m_axis.Of(pt);
  // Until the pointer is back over the band, moves toward it do not drag the edge.
  if (m_iSize > 0) {
    if (d > 0 && c < nFarEdge - m_iSize) return;
    if (d < 0 && c > nFarEdge) return;
  } else {
    if (d > 0 && c < nNearEdge) return;
    if (d < 0 && c > nNearEdge + std::abs(m_iSize)) return;
  }

  const int nCurrent = m_axis.Extent(m_rcProposed);
  int nSize = m_iSize > 0 ? nCurrent + d : nCurrent - d;
  const int nMin = m_axis.MinOf(layout);
  const int nMax = m_axis.MaxOf(layout);
  if (nSize <= nMin) {
    if (nCurrent <= nMin) return;
    nSize = nMin;
  }
  if (nSize >= nMax) {
    if (nCurrent >= nMax) return;
    nSize = nMax;
  }

  const RECT rcOldBand = GetBand(rcItem, true);
  if (m_iSize > 0) {
    nFarEdge = nNearEdge + nSize;
  } else {
    nNearEdge = nFarEdge - nSize;
  }
  m_axis.SetFixed(layout, nSize);
  if (m_bImmediate) {
    rcItem = m_rcProposed;
    layout.RequestParentLayout();
    return;
  }
  CWindowHostUI* pHost = layout.GetHost();
  if (pHost == nullptr) return;
  RECT rcInvalid;
  const RECT rcNewBand = GetBand(rcItem, true);
  const RECT rcItemBand = GetBand(rcItem, false);
  ::UnionRect(&rcInvalid, &rcOldBand, &rcNewBand);
  ::UnionRect(&rcInvalid, &rcInvalid, &rcItemBand);
  pHost->Invalidate(rcInvalid);
}

void CLayoutSeparator::PaintTracker(HDC hDC) const {
  if (!m_bDragging || m_bImmediate) return;
  const RECT rcBand = GetBand(m_rcProposed, true);
  CSkinRenderer::FillColor(hDC, rcBand, kTrackerColor);
}

}  // namespace SkinUI
