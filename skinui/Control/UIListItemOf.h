#pragma once
// CListItemOf<TBase>: the control class TBase (a plain control or a container) as a list item —
// its list item view kept by a CListItemCore, selection through the "selected" attribute, hiding
// that gives the selection back, "itemactivate" on activation and the element background.

#include <windows.h>

#include "Control/UIListItemCore.h"
#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIContainer.h"

namespace SkinUI {

template <class TBase>
class CListItemOf : public TBase, public IListItemUI {
 public:
  CListItemOf() : m_item(this) {}

  // Wants the Return key.
  UINT GetBehaviourFlags() const override { return kBehaviourWantReturn; }
  bool Activate() override {
    if (!TBase::Activate()) return false;
    m_item.Notify(kNotifyItemActivate);
    return true;
  }
  void SetVisible(bool bVisible = true) override {
    TBase::SetVisible(bVisible);
    if (!this->IsVisible()) m_item.ItemHidden();
  }
  void SetEnabled(bool bEnable = true) override {
    TBase::SetEnabled(bEnable);
    if (!this->IsEnabled()) m_item.SetHot(false);
  }
  void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override {
    if (::lstrcmpW(pstrName, L"selected") == 0) {
      Select(attribute_values::IsTrue(pstrValue));
    } else {
      TBase::ApplyAttribute(pstrName, pstrValue);
    }
  }
  void PaintBackgroundColor(HDC hDC) override {
    m_item.PaintBackground(hDC, this->m_rcPaint, this->m_diBk);
  }
  // The item's own background image is part of the element background.
  void PaintBackgroundImage(HDC /*hDC*/) override {}

  void DescribeAccessible(AccessibleDescription& desc) const override {
    TBase::DescribeAccessible(desc);
    desc.lRole = ROLE_SYSTEM_LISTITEM;
    desc.dwState |= STATE_SYSTEM_SELECTABLE | (IsSelected() ? STATE_SYSTEM_SELECTED : 0);
    // A double click activates an item, as Activate does.
    desc.sDefaultAction = kActionDoubleClick;
    if (desc.sName.IsEmpty()) desc.sName = TextOfParts();
  }

  // ---- IListItemUI ----
  int GetIndex() const override { return m_item.GetIndex(); }
  void SetIndex(int iIndex) override { m_item.SetIndex(iIndex); }
  IListOwnerUI* GetOwner() override { return m_item.GetOwner(); }
  void SetOwner(CControlUI* pOwner) override { m_item.SetOwner(pOwner); }
  bool IsSelected() const override { return m_item.IsSelected(); }
  bool Select(bool bSelect = true, bool bNotify = true, bool bInformOwner = true,
              bool bRightClick = false) override {
    return m_item.Select(bSelect, bNotify, bInformOwner, bRightClick);
  }
  void SetSelectedSilently(bool bSelected) override {
    m_item.SetSelectedSilently(bSelected);
    this->Invalidate();
  }
  bool IsExpanded() const override { return false; }
  bool Expand(bool /*bExpand*/ = true) override { return false; }

  bool IsHot() const { return m_item.IsHot(); }

 protected:
  // An item made of controls reads as their texts, one after the other.
  CUIString TextOfParts() const {
    CUIString sText;
    auto* pParts = static_cast<IContainerUI*>(const_cast<CListItemOf*>(this)->QueryNamedInterface(L"IContainer"));
    if (pParts == nullptr) return sText;
    for (int i = 0; i < pParts->GetItemCount(); ++i) {
      CControlUI* pPart = pParts->GetItemAt(i);
      if (pPart == nullptr || !pPart->IsVisible() || pPart->GetText().IsEmpty()) continue;
      if (!sText.IsEmpty()) sText += L' ';
      sText += pPart->GetText();
    }
    return sText;
  }

  CListItemCore m_item;
};

}  // namespace SkinUI
