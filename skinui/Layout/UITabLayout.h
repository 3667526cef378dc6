#pragma once
// CTabLayoutUI: shows one child at a time over the whole client area and sends "tabselect"
// (new index, old index) when the selection changes.

#include "Core/UIContainer.h"

namespace SkinUI {

class CTabLayoutUI : public CContainerUI {
 public:
  CTabLayoutUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  bool AddItem(CControlUI* pControl) override;
  bool InsertItemAt(CControlUI* pControl, int iIndex) override;
  bool RemoveItem(CControlUI* pControl) override;
  void RemoveAllItems() override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  UI_DECLARE_ATTRIBUTES()

  // -1 when nothing is selected.
  int GetCurSel() const;
  // False for an index out of range; true and no change for the selected one.
  bool SelectIndex(int iIndex, bool bNotify = true);

 private:
  int m_iCurSel;
};

}  // namespace SkinUI
