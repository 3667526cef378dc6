// The tile layout's grid: column count and column gap from the width, then one cell per child.

#include "Layout/UITileLayout.h"

#include <algorithm>
#include <cwchar>

namespace SkinUI {

CTileLayoutUI::CTileLayoutUI()
    : m_szItem(80, 80), m_nColumnsRequested(0), m_nColumns(1), m_nRows(0), m_iChildVPadding(0) {}

LPCWSTR CTileLayoutUI::ClassName() const { return L"TileLayoutUI"; }

LPVOID CTileLayoutUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"TileLayout") == 0) return this;
  return CContainerUI::QueryNamedInterface(pstrName);
}

void CTileLayoutUI::SetPosition(RECT rcPos, bool bNeedInvalidate) {
  CControlUI::SetPosition(rcPos, bNeedInvalidate);
  const RECT rc = GetContentRect();
  if (m_items.IsEmpty()) {
    UpdateScrollBars(rc, 0, 0);
    return;
  }
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
    CControlUI* pChild = ChildAt(i);
    if (!pChild->IsVisible()) continue;
    if (pChild->IsFloat()) {
      PlaceFloatingChild(i);
      continue;
    }
    // Cells follow the child's place in the whole list, so a hidden child leaves its cell empty.
    const int x = rc.left + (i % m_nColumns) * (g + iw) - szScroll.cx;
    const int y = rc.top + (i / m_nColumns) * (m_iChildVPadding + ih) - szScroll.cy;
    const RECT pad = pChild->GetPadding();
    const int cw = std::max(0, std::min(static_cast<int>(iw - pad.left - pad.right),
                                        pChild->GetMaxWidth()));
    const int ch = std::max(0, std::min(static_cast<int>(ih - pad.top - pad.bottom),
                                        pChild->GetMaxHeight()));
    RECT rcChild;
    if (m_iChildAlign == kChildAlignCenter) {
      const int o = (iw - cw) / 2;
      rcChild.left = x + o + pad.left;
      rcChild.right = x + o + cw - pad.right;
    } else if (m_iChildAlign == kChildAlignRight) {
      rcChild.left = x + iw + pad.left - cw;
      rcChild.right = x + iw - pad.right;
    } else {
      rcChild.left = x + pad.left;
      rcChild.right = x + cw - pad.right;
    }
    if (m_iChildVAlign == kChildVAlignCenter) {
      const int o = (ih - ch) / 2;
      rcChild.top = y + o + pad.top;
      rcChild.bottom = y + o + ch - pad.bottom;
    } else if (m_iChildVAlign == kChildVAlignBottom) {
      rcChild.top = y + ih + pad.top - ch;
      rcChild.bottom = y + ih - pad.bottom;
    } else {
      rcChild.top = y + pad.top;
      rcChild.bottom = y + ch - pad.bottom;
    }
    pChild->SetPosition(rcChild, false);
  }
  UpdateScrollBars(rc, cxNeeded, cyNeeded);
}

void CTileLayoutUI::ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (::lstrcmpW(pstrName, L"itemsize") == 0) {
    LPWSTR pstrEnd = nullptr;
    SIZE sz;
    sz.cx = static_cast<int>(std::wcstol(pstrValue, &pstrEnd, 10));
    sz.cy = *pstrEnd != L'\0' ? static_cast<int>(std::wcstol(pstrEnd + 1, nullptr, 10)) : 0;
    SetItemSize(sz);
  } else if (::lstrcmpW(pstrName, L"columns") == 0) {
    SetColumns(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else if (::lstrcmpW(pstrName, L"childvpadding") == 0) {
    SetChildVPadding(static_cast<int>(std::wcstol(pstrValue, nullptr, 10)));
  } else {
    CContainerUI::ApplyAttribute(pstrName, pstrValue);
  }
}

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
