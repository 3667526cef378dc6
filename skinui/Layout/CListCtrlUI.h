#pragma once
// CListCtrlUI: the list view — list items in a grid, with the list's item styling and selection,
// and a rubber band dragged over the items to select them.

#include <windows.h>

#include "Control/UIListInterfaces.h"
#include "Control/UIListSelection.h"
#include "Layout/UITileLayout.h"

namespace SkinUI {

class CListCtrlUI : public CTileLayoutUI, public IListOwnerUI {
 public:
  // A drag shorter than this on both axes is a click, not a band.
  static constexpr int kBandThreshold = 20;

  CListCtrlUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  bool IsTabReachable() const override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  void ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;

  // ---- IContainerUI: items keep their indexes, owner and the selection ----
  bool MoveItemTo(CControlUI* pControl, int iIndex) override;
  bool AddItem(CControlUI* pControl) override;
  bool InsertItemAt(CControlUI* pControl, int iIndex) override;
  bool RemoveItem(CControlUI* pControl) override;
  bool RemoveItemAt(int iIndex) override;
  void RemoveAllItems() override;

  // ---- IListOwnerUI ----
  ListInfo* GetListInfo() override;
  int GetCurSel() const override;
  bool SelectIndex(int iIndex, bool bTakeFocus = false, bool bNotify = true) override;
  void DispatchListEvent(InputEvent& event) override;
  bool SelectRange(int iIndex, bool bTakeFocus = false, bool bNotify = true) override;

  int GetSelectedCount() const { return m_selection.GetSelectedCount(); }
  bool IsBandActive() const { return m_bBandActive; }
  // The band as last drawn (window client coordinates).
  RECT GetBandRect() const { return m_rcBand; }

 private:
  void UpdateBand(bool bAllowScroll);
  void EndBand();
  void FollowScroll();

  ListInfo m_ListInfo;
  CListSelection m_selection;
  bool m_bScrollSelect;
  bool m_bBandActive;
  POINT m_ptBandStart;
  POINT m_ptBandCurrent;
  RECT m_rcBand;
  int m_nLastScrollY;
  ImageDrawInfo m_diSelectFrame;
};

}  // namespace SkinUI
