#pragma once
// CTileLayoutUI: a grid of equal cells, one child per cell in list order. With no column count
// requested, as many columns as fit the width.

#include "Core/UIContainer.h"

namespace SkinUI {

class CTileLayoutUI : public CContainerUI {
 public:
  CTileLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  UI_DECLARE_ATTRIBUTES()

  SIZE GetItemSize() const;
  void SetItemSize(SIZE szItem);
  // 0: automatic.
  int GetColumns() const;
  void SetColumns(int nCols);
  // The gap between rows; the gap between columns is the child padding.
  int GetChildVPadding() const;
  void SetChildVPadding(int iPadding);
  // What the last layout used.
  int GetColumnsInUse() const;
  int GetRows() const;

 private:
  // The child's edges on axis inside the cell that starts at nCellNear and is nCell long, by the
  // child alignment on that axis.
  void PlaceInCell(const LayoutAxis& axis, int nCellNear, int nCell, const CControlUI& child,
                   RECT& rc) const;

  CUISize m_szItem;
  int m_nColumnsRequested;
  int m_nColumns;
  int m_nRows;
  int m_iChildVPadding;
};

}  // namespace SkinUI
