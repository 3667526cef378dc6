#pragma once
// CListElementUI: the base of the plain list items (one control, no children). It answers as a
// list item, paints the background its owner's list info gives it, selects itself and sends
// "itemactivate" when activated.

#include <windows.h>

#include "Control/UIListItemCore.h"
#include "Core/UIControl.h"

namespace SkinUI {

class CListElementUI : public CControlUI, public IListItemUI {
 public:
  CListElementUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  // Wants the Return key.
  UINT GetBehaviourFlags() const override;
  bool Activate() override;
  void SetVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void HandleEvent(InputEvent& event) override;
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  void PaintBackgroundColor(HDC hDC) override;
  // The item's own background image is part of the element background.
  void PaintBackgroundImage(HDC hDC) override;

  // ---- IListItemUI ----
  int GetIndex() const override;
  void SetIndex(int iIndex) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* pOwner) override;
  bool IsSelected() const override;
  bool Select(bool bSelect = true, bool bNotify = true, bool bInformOwner = true,
              bool bRightClick = false) override;
  void SetSelectedSilently(bool bSelected) override;
  bool IsExpanded() const override;
  bool Expand(bool bExpand = true) override;
  void PaintElementText(HDC hDC, const RECT& rcText) override;

  bool IsHot() const { return m_item.IsHot(); }

 protected:
  CListItemCore m_item;
};

}  // namespace SkinUI
