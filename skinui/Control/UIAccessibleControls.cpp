// What each control of this layer is to assistive technology: its role, the name and value it
// gives of itself, the states only it knows and what its Activate does, in the words clients
// read out.

#include <cstdio>

#include "Control/UIActiveX.h"
#include "Control/UIButton.h"
#include "Control/UICheckBox.h"
#include "Control/UICombo.h"
#include "Control/UIDateTime.h"
#include "Control/UIEdit.h"
#include "Control/UIGifAnim.h"
#include "Control/UILabel.h"
#include "Control/UIList.h"
#include "Control/UIListHeaderItem.h"
#include "Control/UIOption.h"
#include "Control/UIProgress.h"
#include "Control/UIRichEdit.h"
#include "Control/UIScrollBar.h"
#include "Control/UISlider.h"
#include "Control/UIText.h"
#include "Control/UITreeNode.h"
#include "Control/UITreeView.h"
#include "Core/UIAccessible.h"

namespace SkinUI {

namespace {

CUIString Decimal(long long nValue) {
  WCHAR szValue[32] = {};
  std::swprintf(szValue, 32, L"%lld", nValue);
  return szValue;
}

// A share of a range as the platform's progress bars say it: a whole percentage.
CUIString Percentage(int nValue, int nMin, int nMax) {
  const long long nSpan = static_cast<long long>(nMax) - nMin;
  const long long nShare = nSpan > 0 ? (static_cast<long long>(nValue) - nMin) * 100 / nSpan : 0;
  CUIString sValue = Decimal(nShare);
  sValue += L'%';
  return sValue;
}

}  // namespace

void CLabelUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_STATICTEXT;
  desc.sName = m_bShowHtml ? PlainTextOfMarkup(m_sText) : m_sText;
}

void CTextUI::DescribeAccessible(AccessibleDescription& desc) const {
  CLabelUI::DescribeAccessible(desc);
  if (m_nLinks > 0) {
    desc.dwState |= STATE_SYSTEM_LINKED;
    desc.sDefaultAction = kActionJump;
  }
}

void CButtonUI::DescribeAccessible(AccessibleDescription& desc) const {
  CLabelUI::DescribeAccessible(desc);
  desc.lRole = ROLE_SYSTEM_PUSHBUTTON;
  desc.sDefaultAction = kActionPress;
}

void COptionUI::DescribeAccessible(AccessibleDescription& desc) const {
  CButtonUI::DescribeAccessible(desc);
  desc.lRole = ROLE_SYSTEM_RADIOBUTTON;
  desc.sDefaultAction = kActionSelect;
  // Options a skin makes into page tabs are selected, as tabs are; radio buttons are checked.
  if (m_lAccessibleRole == ROLE_SYSTEM_PAGETAB) {
    desc.dwState |= STATE_SYSTEM_SELECTABLE | (m_bSelected ? STATE_SYSTEM_SELECTED : 0);
  } else if (m_bSelected) {
    desc.dwState |= STATE_SYSTEM_CHECKED;
  }
}

void CCheckBoxUI::DescribeAccessible(AccessibleDescription& desc) const {
  COptionUI::DescribeAccessible(desc);
  desc.lRole = ROLE_SYSTEM_CHECKBUTTON;
  desc.sDefaultAction = m_bSelected ? kActionUncheck : kActionCheck;
}

void CProgressUI::DescribeAccessible(AccessibleDescription& desc) const {
  CLabelUI::DescribeAccessible(desc);
  desc.lRole = ROLE_SYSTEM_PROGRESSBAR;
  desc.sValue = Percentage(m_nValue, m_nMin, m_nMax);
  desc.bHasValue = true;
  desc.dwState |= STATE_SYSTEM_READONLY;
}

void CSliderUI::DescribeAccessible(AccessibleDescription& desc) const {
  CLabelUI::DescribeAccessible(desc);
  desc.lRole = ROLE_SYSTEM_SLIDER;
  desc.sValue = Decimal(m_nValue);
  desc.bHasValue = true;
}

void CScrollBarUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_SCROLLBAR;
  desc.sName = m_sText;
  desc.sValue = Decimal(m_nScrollPos);
  desc.bHasValue = true;
  // Its arrows and thumb are drawn parts, not controls.
  desc.bExposeChildren = false;
}

void CEditUI::DescribeAccessible(AccessibleDescription& desc) const {
  // The text is what the field holds, not what it is called: its name comes from the skin.
  desc.lRole = ROLE_SYSTEM_TEXT;
  if (m_bPassword) {
    desc.dwState |= STATE_SYSTEM_PROTECTED;
  } else {
    desc.sValue = m_sText;
    desc.bHasValue = true;
  }
  if (m_bReadOnly) desc.dwState |= STATE_SYSTEM_READONLY;
}

void CRichEditUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_TEXT;
  if ((m_dwStyle & ES_PASSWORD) != 0) {
    desc.dwState |= STATE_SYSTEM_PROTECTED;
  } else {
    desc.sValue = GetText();
    desc.bHasValue = true;
  }
  if (m_bReadOnly) desc.dwState |= STATE_SYSTEM_READONLY;
}

void CComboUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_COMBOBOX;
  desc.sValue = GetText();
  desc.bHasValue = true;
  desc.dwState |= STATE_SYSTEM_HASPOPUP | (m_pWindow != nullptr ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
  // Its items live in the drop-down, a window of their own.
  desc.bExposeChildren = false;
}

void CListUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_LIST;
  desc.sName = m_sText;
}

void CListHeaderItemUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_COLUMNHEADER;
  desc.sName = m_sText;
  desc.bExposeChildren = false;
}

void CTreeViewUI::DescribeAccessible(AccessibleDescription& desc) const {
  CListUI::DescribeAccessible(desc);
  desc.lRole = ROLE_SYSTEM_OUTLINE;
}

void CTreeNodeUI::DescribeAccessible(AccessibleDescription& desc) const {
  CListContainerElementUI::DescribeAccessible(desc);
  desc.lRole = ROLE_SYSTEM_OUTLINEITEM;
  desc.sName = GetText();
  // An outline item's value is its depth, as in the platform's tree views.
  int nLevel = 0;
  for (const CTreeNodeUI* pNode = m_pParentNode; pNode != nullptr; pNode = pNode->GetOwnerNode()) ++nLevel;
  desc.sValue = Decimal(nLevel);
  desc.bHasValue = true;
  if (GetChildCount() > 0) {
    desc.dwState |= m_bExpanded ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    desc.sDefaultAction = m_bExpanded ? L"Collapse" : L"Expand";
  }
  if (m_pCheckBox != nullptr && m_pCheckBox->IsVisible() && m_pCheckBox->IsSelected()) {
    desc.dwState |= STATE_SYSTEM_CHECKED;
  }
  // The row's buttons are the node's own parts.
  desc.bExposeChildren = false;
}

void CDateTimeUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_COMBOBOX;
  desc.sValue = m_sText;
  desc.bHasValue = true;
  desc.dwState |= STATE_SYSTEM_HASPOPUP;
}

void CGifAnimUI::DescribeAccessible(AccessibleDescription& desc) const {
  desc.lRole = ROLE_SYSTEM_ANIMATION;
  desc.sName = m_sText;
}

void CActiveXUI::DescribeAccessible(AccessibleDescription& desc) const {
  // The hosted object's window answers for what it shows.
  desc.lRole = ROLE_SYSTEM_CLIENT;
  desc.sName = m_sText;
  desc.bExposeChildren = false;
}

}  // namespace SkinUI
