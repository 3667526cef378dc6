// Plain list items: the list item view, visibility and selection, the element background.

#include "Control/UIListElement.h"

#include "Core/UIAttributeValues.h"

namespace SkinUI {

CListElementUI::CListElementUI() : m_item(this) {}

LPCWSTR CListElementUI::ClassName() const { return L"ListElementUI"; }

LPVOID CListElementUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
  if (::lstrcmpW(pstrName, L"ListElement") == 0) return static_cast<CListElementUI*>(this);
  return CControlUI::QueryNamedInterface(pstrName);
}

UINT CListElementUI::GetBehaviourFlags() const { return 4; }

bool CListElementUI::Activate() {
  if (!CControlUI::Activate()) return false;
  m_item.Notify(L"itemactivate");
  return true;
}

void CListElementUI::SetVisible(bool bVisible) {
  CControlUI::SetVisible(bVisible);
  if (!IsVisible()) m_item.ItemHidden();
}

void CListElementUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_item.SetHot(false);
}

void CListElementUI::HandleEvent(InputEvent& event) {
  if (!m_item.PassToOwner(event)) CControlUI::HandleEvent(event);
}

void CListElementUI::ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (::lstrcmpW(pstrName, L"selected") == 0) {
    Select(attribute_values::IsTrue(pstrValue));
  } else {
    CControlUI::ApplyAttribute(pstrName, pstrValue);
  }
}

void CListElementUI::PaintBackgroundColor(HDC hDC) { m_item.PaintBackground(hDC, m_rcPaint, m_diBk); }

void CListElementUI::PaintBackgroundImage(HDC /*hDC*/) {}

int CListElementUI::GetIndex() const { return m_item.GetIndex(); }
void CListElementUI::SetIndex(int iIndex) { m_item.SetIndex(iIndex); }
IListOwnerUI* CListElementUI::GetOwner() { return m_item.GetOwner(); }
void CListElementUI::SetOwner(CControlUI* pOwner) { m_item.SetOwner(pOwner); }
bool CListElementUI::IsSelected() const { return m_item.IsSelected(); }

bool CListElementUI::Select(bool bSelect, bool bNotify, bool bInformOwner, bool bRightClick) {
  return m_item.Select(bSelect, bNotify, bInformOwner, bRightClick);
}

void CListElementUI::SetSelectedSilently(bool bSelected) {
  m_item.SetSelectedSilently(bSelected);
  Invalidate();
}

bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool /*bExpand*/) { return false; }
void CListElementUI::PaintElementText(HDC /*hDC*/, const RECT& /*rcText*/) {}

}  // namespace SkinUI
