// The tile layout's grid: column count and column gap from the width, then one cell per child.

#include "Layout/UITileLayout.h"

#include <algorithm>

#include "Core/UIAttributeValues.h"

namespace SkinUI {

namespace {

using namespace attribute_values;

const LayoutAxis kHorizontal(false);
const LayoutAxis kVertical(true);

}  // namespace

CTileLayoutUI::CTileLayoutUI()
    : m_szItem(80, 80), m_nColumnsRequested(0), m_nColumns(1), m_nRows(0), m_iChildVPadding(0) {}

LPCWSTR CTileLayoutUI::ClassName() const { return L"TileLayoutUI"; }

LPVOID CTileLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"TileLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

void CTileLayoutUI::SetPosition(RECT rcPos, bool bNeedInvalidate) {
  RECT rc = {0, 0, 0, 0};
  if (!BeginLayout(rcPos, bNeedInvalidate, rc)) return;
  const int W = rc.right - rc.left;
  const SIZE szScroll = GetScrollPosition();
  // The width the content may take when a horizontal bar scrolls it.
  const int cxContent = W + GetScrollRange().cx;
  const int iw = m_szItem.cx;
  const int ih = m_szItem.cy;
  int n = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (pChild->IsVisible() && !pChild->IsFloat()) ++n;
  }

  int g = m_iChildPadding;
  int cxNeeded = 0;
  if (m_nColumnsRequested > 0) {
    m_nColumns = m_nColumnsRequested;
    if (m_nColumns < 2) {
      g = 0;
    } else if (g < 1) {
      const bool bFitsArea = IsBarShown(m_pHorizontalScrollBar) && W >= m_nColumns * iw;
      g = std::max(0, ((bFitsArea ? W : cxContent) - m_nColumns * iw) / (m_nColumns - 1));
    }
    const int nUsed = std::min(n, m_nColumns);
    cxNeeded = nUsed * iw + g * std::max(0, nUsed - 1);
  } else if (W < iw || g + iw <= 0) {
    // An item and gap of no width cannot divide the width into columns: one column then.
    m_nColumns = 1;
    cxNeeded = iw;
    g = 0;
  } else {
    m_nColumns = W / (g + iw);
    cxNeeded = W;
    if (m_nColumns < 2) {
      g = 0;
    } else if (g < 1) {
      g = std::max(0, (W - iw * m_nColumns) / (m_nColumns - 1));
    }
  }
  if (m_nColumns < 1) m_nColumns = 1;
  m_nRows = n > 0 ? (n - 1) / m_nColumns + 1 : 0;
  const int cyNeeded = m_nRows > 0 ? ih * m_nRows + (m_nRows - 1) * m_iChildVPadding : 0;

  for (int i = 0; i < m_items.GetSize(); ++i) {
    if (SkipsFlow(i)) continue;
    CControlUI* pChild = ChildAt(i);
    // Cells follow the child's place in the whole list, so a hidden child leaves its cell empty.
    const int x = rc.left + (i % m_nColumns) * (g + iw) - szScroll.cx;
    const int y = rc.top + (i / m_nColumns) * (m_iChildVPadding + ih) - szScroll.cy;
    RECT rcChild = {0, 0, 0, 0};
    PlaceInCell(kHorizontal, x, iw, *pChild, rcChild);
    PlaceInCell(kVertical, y, ih, *pChild, rcChild);
    pChild->SetPosition(rcChild, false);
  }
  UpdateScrollBars(rc, cxNeeded, cyNeeded);
}

void CTileLayoutUI::PlaceInCell(const LayoutAxis& axis, int nCellNear, int nCell,
                                const CControlUI& child, RECT& rc) const {
  const RECT pad = child.GetPadding();
  // The child's extent in the cell: the cell less the paddings, at most its maximum.
  const int nSize = std::max(0, std::min(static_cast<int>(nCell - axis.Near(pad) - axis.Far(pad)),
                                         axis.MaxOf(child)));
  LONG& nNear = axis.Near(rc);
  LONG& nFar = axis.Far(rc);
  switch (PlacementOn(axis)) {
    case Placement::kCenter: {
      const int o = (nCell - nSize) / 2;
      nNear = nCellNear + o + axis.Near(pad);
      nFar = nCellNear + o + nSize - axis.Far(pad);
      break;
    }
    case Placement::kEnd:
      nNear = nCellNear + nCell + axis.Near(pad) - nSize;
      nFar = nCellNear + nCell - axis.Far(pad);
      break;
    case Placement::kStart:
      nNear = nCellNear + axis.Near(pad);
      nFar = nCellNear + nSize - axis.Far(pad);
      break;
  }
}

UI_BEGIN_ATTRIBUTES(CTileLayoutUI, CContainerUI)
UI_ATTRIBUTE(L"itemsize", kPixelSizeValue, self.SetItemSize(ReadSize(pstrValue)))
UI_ATTRIBUTE(L"columns", kIntValue, self.SetColumns(ReadInt(pstrValue)))
UI_ATTRIBUTE(L"childvpadding", kPixelValue, self.SetChildVPadding(ReadInt(pstrValue)))
UI_END_ATTRIBUTES()


SIZE CTileLayoutUI::GetItemSize() const { return m_szItem; }

void CTileLayoutUI::SetItemSize(SIZE szItem) {
  if (m_szItem.cx == szItem.cx && m_szItem.cy == szItem.cy) return;
  m_szItem = szItem;
  RequestLayout();
}

int CTileLayoutUI::GetColumns() const { return m_nColumnsRequested; }

void CTileLayoutUI::SetColumns(int nCols) {
  if (nCols < 0) return;
  m_nColumnsRequested = nCols;
  RequestLayout();
}

int CTileLayoutUI::GetChildVPadding() const { return m_iChildVPadding; }

void CTileLayoutUI::SetChildVPadding(int iPadding) {
  m_iChildVPadding = iPadding < 0 ? 0 : iPadding;
  RequestLayout();
}

int CTileLayoutUI::GetColumnsInUse() const { return m_nColumns; }
int CTileLayoutUI::GetRows() const { return m_nRows; }

}  // namespace SkinUI
