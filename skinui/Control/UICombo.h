#pragma once
// CComboUI: shows its selected list item in itself and, activated, opens a drop-down window
// (CComboWnd) in which the same items are laid out in a scrolling column. Keys and the wheel
// change the selection in place; "dropdown" is sent when the box opens, "itemselect" when the
// selection changes.

#include <windows.h>

#include "Control/UIListInterfaces.h"
#include "Control/UIStateImage.h"
#include "Core/UIContainer.h"

namespace SkinUI {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:

  CComboUI();
  ~CComboUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  bool IsTabReachable() const override;
  CUIString GetText() const override;
  bool Activate() override;
  void SetEnabled(bool bEnable = true) override;
  // The items are laid out, painted and hit only in the drop-down, never over the combo.
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  CControlUI* FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags) override;
  bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  void ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  SIZE MeasureSize(SIZE szAvailable) override;
  void PaintStateImages(HDC hDC) override;
  void PaintTextLayer(HDC hDC) override;

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

  bool IsShowText() const { return m_bShowText; }
  void SetShowText(bool bShowText);
  RECT GetTextPadding() const { return m_rcTextPadding; }
  void SetTextPadding(RECT rc);
  LPCWSTR GetDropBoxAttributes() const { return m_sDropBoxAttributes; }
  void SetDropBoxAttributes(LPCWSTR pstrList) { m_sDropBoxAttributes = pstrList; }
  SIZE GetDropBoxSize() const { return m_szDropBox; }
  void SetDropBoxSize(SIZE szDropBox) { m_szDropBox = szDropBox; }
  UINT GetButtonState() const { return m_uButtonState; }
  // The open drop-down, or null.
  CComboWnd* GetDropDown() const { return m_pWindow; }
  void SetNormalImage(LPCWSTR pstrImage);
  void SetHotImage(LPCWSTR pstrImage);
  void SetPushedImage(LPCWSTR pstrImage);
  void SetFocusedImage(LPCWSTR pstrImage);
  void SetDisabledImage(LPCWSTR pstrImage);

 private:
  friend class CComboWnd;

  // Selection moved by keys or the wheel leaves an open drop-down open.
  void SelectWithoutClosing(int iIndex);
  void DropDownGone();

  CComboWnd* m_pWindow;
  int m_iCurSel;
  bool m_bShowText;
  bool m_bSelectCloseFlag;
  CUIRect m_rcTextPadding;
  CUIString m_sDropBoxAttributes;
  SIZE m_szDropBox;
  UINT m_uButtonState;
  StateImageSet m_images;
  ListInfo m_ListInfo;
};

}  // namespace SkinUI
