// Combo boxes: items and selection, the drop-down's opening, events, attributes and painting.

#include "Control/UICombo.h"

#include "Control/UIComboWnd.h"
#include "Control/UIListSelection.h"
#include "Control/UIStateImage.h"
#include "Control/UILabel.h"
#include "Core/UIAccessible.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

using namespace attribute_values;

CComboUI::CComboUI()
    : m_pWindow(nullptr),
      m_iCurSel(-1),
      m_bShowText(true),
      m_bSelectCloseFlag(true),
      m_rcTextPadding(0, 0, 0, 0),
      m_szDropBox{0, 150},
      m_uButtonState(0) {}

CComboUI::~CComboUI() {
  if (m_pWindow != nullptr) {
    CComboWnd* pWindow = m_pWindow;
    m_pWindow = nullptr;
    pWindow->Abandon();
  }
}

LPCWSTR CComboUI::ClassName() const { return L"ComboUI"; }

LPVOID CComboUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"Combo") == 0) return static_cast<CComboUI*>(this);
  if (::lstrcmpW(pstrName, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
  return CContainerUI::QueryNamedInterface(pstrName);
}

bool CComboUI::IsTabReachable() const { return IsEnabled() && IsKeyboardEnabled(); }

CUIString CComboUI::GetText() const {
  CControlUI* pItem = GetItemAt(m_iCurSel);
  return pItem != nullptr ? pItem->GetText() : CUIString();
}

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_pWindow != nullptr) return true;
  CComboWnd* pWindow = new CComboWnd;
  m_pWindow = pWindow;
  if (!pWindow->OpenFor(this)) {
    m_pWindow = nullptr;
    UI_CHECK(m_pWindow);
    return true;
  }
  if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyDropDown);
  Invalidate();
  return true;
}

void CComboUI::DropDownGone() {
  m_pWindow = nullptr;
  m_uButtonState &= ~kStatePushed;
  Invalidate();
}

void CComboUI::SetEnabled(bool bEnable) {
  CContainerUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CComboUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  CControlUI::SetPosition(rc, bNeedInvalidate);
}

CControlUI* CComboUI::FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags) {
  // Searches by name or state still reach the items.
  if ((uFlags & kFindHitTest) != 0) return CControlUI::FindControl(Proc, pData, uFlags);
  return CContainerUI::FindControl(Proc, pData, uFlags);
}

bool CComboUI::PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
  return CControlUI::PaintSelf(hDC, rcPaint, pStopControl);
}

// ---- items ----

bool CComboUI::AddItem(CControlUI* pControl) {
  return CComboUI::InsertItemAt(pControl, m_items.GetSize());
}

bool CComboUI::InsertItemAt(CControlUI* pControl, int iIndex) {
  if (!CContainerUI::InsertItemAt(pControl, iIndex)) return false;
  IListItemUI* pItem = AsListItem(pControl);
  if (pItem != nullptr) pItem->SetOwner(this);
  RenumberListItems(this, iIndex);
  if (m_iCurSel >= iIndex) ++m_iCurSel;
  return true;
}

bool CComboUI::MoveItemTo(CControlUI* pControl, int iIndex) {
  CControlUI* pCurrent = GetItemAt(m_iCurSel);
  if (!CContainerUI::MoveItemTo(pControl, iIndex)) return false;
  RenumberListItems(this, 0);
  m_iCurSel = pCurrent != nullptr ? GetItemIndex(pCurrent) : -1;
  return true;
}

bool CComboUI::RemoveItem(CControlUI* pControl) {
  const int iIndex = GetItemIndex(pControl);
  if (iIndex < 0) return false;
  if (m_pWindow != nullptr) m_pWindow->DetachItem(pControl);
  IListItemUI* pItem = AsListItem(pControl);
  if (pItem != nullptr) pItem->SetOwner(nullptr);
  if (!CContainerUI::RemoveItem(pControl)) return false;
  RenumberListItems(this, iIndex);
  if (iIndex == m_iCurSel) {
    m_iCurSel = -1;
    const int iNext = FindSelectableItem(iIndex - 1, false);
    if (iNext >= 0) SelectWithoutClosing(iNext);
  } else if (iIndex < m_iCurSel) {
    --m_iCurSel;
  }
  return true;
}

bool CComboUI::RemoveItemAt(int iIndex) { return RemoveItem(GetItemAt(iIndex)); }

void CComboUI::RemoveAllItems() {
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pControl = ChildAt(i);
    if (m_pWindow != nullptr) m_pWindow->DetachItem(pControl);
    IListItemUI* pItem = AsListItem(pControl);
    if (pItem != nullptr) pItem->SetOwner(nullptr);
  }
  CContainerUI::RemoveAllItems();
  m_iCurSel = -1;
  // Nothing is left to choose from.
  if (m_pWindow != nullptr) m_pWindow->RequestClose();
}

// ---- selection ----

ListInfo* CComboUI::GetListInfo() { return &m_ListInfo; }
int CComboUI::GetCurSel() const { return m_iCurSel; }

bool CComboUI::SelectIndex(int iIndex, bool bTakeFocus, bool bNotify) {
  if (m_bSelectCloseFlag && m_pWindow != nullptr) m_pWindow->RequestClose();
  if (iIndex == m_iCurSel) return true;
  const int iOld = m_iCurSel;
  IListItemUI* pOld = AsListItem(GetItemAt(m_iCurSel));
  if (pOld != nullptr) pOld->Select(false, bNotify, false, false);
  m_iCurSel = -1;
  if (iIndex < 0 || m_items.IsEmpty()) return false;
  if (iIndex >= m_items.GetSize()) iIndex = m_items.GetSize() - 1;
  CControlUI* pControl = ChildAt(iIndex);
  IListItemUI* pItem = AsListItem(pControl);
  if (pItem == nullptr || !pControl->IsVisible() || !pControl->IsEnabled()) return false;
  m_iCurSel = iIndex;
  if (m_pWindow != nullptr || bTakeFocus) pControl->SetFocus();
  pItem->SetSelectedSilently(true);
  NotifyAccessible(AccessibleEvent::kValue);
  if (bNotify && m_pHost != nullptr) {
    m_pHost->RaiseNotification(this, kNotifyItemSelect, static_cast<WPARAM>(iIndex),
                               static_cast<LPARAM>(iOld));
  }
  Invalidate();
  return true;
}

bool CComboUI::SelectRange(int iIndex, bool bTakeFocus, bool bNotify) {
  return SelectIndex(iIndex, bTakeFocus, bNotify);
}

void CComboUI::SelectWithoutClosing(int iIndex) {
  m_bSelectCloseFlag = false;
  SelectIndex(iIndex);
  m_bSelectCloseFlag = true;
}

void CComboUI::DispatchListEvent(InputEvent& event) { HandleEvent(event); }

// ---- events ----

void CComboUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CContainerUI>(*this, event)) return;
  if (NoteFocusEvent(event)) {
    Invalidate();
    return;
  }
  switch (event.iKind) {
    case kEventButtonDown:
      if (IsEnabled()) {
        Activate();
        m_uButtonState |= kStatePushed | kStateCaptured;
      }
      return;
    case kEventButtonUp:
      if ((m_uButtonState & kStateCaptured) != 0) {
        m_uButtonState &= ~kStateCaptured;
        Invalidate();
      }
      return;
    case kEventMouseMove:
    case kEventContextMenu:
      return;
    case kEventMouseEnter:
      if (::PtInRect(&m_rcItem, event.ptMouse)) {
        m_uButtonState |= kStateHot;
        Invalidate();
      }
      return;
    case kEventMouseLeave:
      m_uButtonState &= ~kStateHot;
      Invalidate();
      return;
    case kEventKeyDown:
      switch (event.chKey) {
        case VK_PRIOR:
        case VK_UP:
          SelectWithoutClosing(FindSelectableItem(m_iCurSel - 1, false));
          return;
        case VK_NEXT:
        case VK_DOWN:
          SelectWithoutClosing(FindSelectableItem(m_iCurSel + 1, true));
          return;
        case VK_HOME:
          SelectWithoutClosing(FindSelectableItem(0, true));
          return;
        case VK_END:
          SelectWithoutClosing(FindSelectableItem(m_items.GetSize() - 1, false));
          return;
        case VK_F4:
          Activate();
          return;
        default:
          break;
      }
      break;
    case kEventScrollWheel:
      if (event.wParam != 0) {
        SelectWithoutClosing(FindSelectableItem(m_iCurSel + 1, true));
      } else {
        SelectWithoutClosing(FindSelectableItem(m_iCurSel - 1, false));
      }
      return;
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

// ---- attributes ----

void CComboUI::SetShowText(bool bShowText) {
  if (m_bShowText == bShowText) return;
  m_bShowText = bShowText;
  Invalidate();
}

void CComboUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CComboUI::SetNormalImage(LPCWSTR pstrImage) {
  if (StoreImageAttribute(m_images.normal, pstrImage)) Invalidate();
}
void CComboUI::SetHotImage(LPCWSTR pstrImage) {
  if (StoreImageAttribute(m_images.hot, pstrImage)) Invalidate();
}
void CComboUI::SetPushedImage(LPCWSTR pstrImage) {
  if (StoreImageAttribute(m_images.pushed, pstrImage)) Invalidate();
}
void CComboUI::SetFocusedImage(LPCWSTR pstrImage) {
  if (StoreImageAttribute(m_images.focused, pstrImage)) Invalidate();
}
void CComboUI::SetDisabledImage(LPCWSTR pstrImage) {
  if (StoreImageAttribute(m_images.disabled, pstrImage)) Invalidate();
}

UI_BEGIN_ATTRIBUTES(CComboUI, CContainerUI)
UI_ATTRIBUTE(L"textpadding", kPixelRectValue, self.SetTextPadding(ReadRect(pstrValue)))
UI_ATTRIBUTE(L"showtext", kBoolValue, self.SetShowText(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"normalimage", kImageValue, self.SetNormalImage(pstrValue))
UI_ATTRIBUTE(L"hotimage", kImageValue, self.SetHotImage(pstrValue))
UI_ATTRIBUTE(L"pushedimage", kImageValue, self.SetPushedImage(pstrValue))
UI_ATTRIBUTE(L"focusedimage", kImageValue, self.SetFocusedImage(pstrValue))
UI_ATTRIBUTE(L"disabledimage", kImageValue, self.SetDisabledImage(pstrValue))
UI_ATTRIBUTE(L"dropbox", kAttributeListValue, self.SetDropBoxAttributes(pstrValue))
UI_ATTRIBUTE(L"dropboxsize", kPixelSizeValue, self.SetDropBoxSize(ReadSize(pstrValue)))
UI_ATTRIBUTE(L"itemfont", kFontValue,
             ApplyListInfoAttribute(self.m_ListInfo, L"itemfont", pstrValue))
UI_ATTRIBUTE(L"itemalign", kTextValue,
             ApplyListInfoAttribute(self.m_ListInfo, L"itemalign", pstrValue))
UI_END_ATTRIBUTES()

void CComboUI::ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  CContainerUI::ApplyAttribute(pstrName, pstrValue);
  // The combo's own attributes are kept as custom attributes as well, as the skin wrote them:
  // the entries see lengths already at the window's DPI.
  if (FindOwnAttributeEntry(GetThisAttributeTable(), pstrName) != nullptr) {
    AddCustomAttribute(pstrName, pstrValue);
  }
}

// The item attributes of the drop-down's rows ("item..."), kept in the list info.
void CComboUI::ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  if (ApplyListInfoAttribute(m_ListInfo, pstrName, pstrValue) == kListInfoNotMine) {
    CContainerUI::ApplyUnlistedAttribute(pstrName, pstrValue);
  } else {
    Invalidate();
  }
}


SIZE CComboUI::MeasureSize(SIZE szAvailable) {
  if (m_cxyFixed.cy != 0 || m_pHost == nullptr) return CContainerUI::MeasureSize(szAvailable);
  return SIZE{m_cxyFixed.cx, m_pHost->GetDefaultFontInfo()->tm.tmHeight + 12};
}

// ---- painting ----

void CComboUI::PaintStateImages(HDC hDC) {
  SetStyleBit(m_uButtonState, kStateFocused, IsFocused());
  SetStyleBit(m_uButtonState, kStateDisabled, !IsEnabled());
  PaintStateImage(hDC, m_pHost, m_rcItem, m_rcPaint,
                  {{(m_uButtonState & kStateDisabled) != 0, &m_images.disabled},
                   {(m_uButtonState & kStatePushed) != 0, &m_images.pushed},
                   {(m_uButtonState & kStateHot) != 0, &m_images.hot},
                   {(m_uButtonState & kStateFocused) != 0, &m_images.focused}},
                  m_images.normal);
}

void CComboUI::PaintTextLayer(HDC hDC) {
  if (!m_bShowText) return;
  CControlUI* pControl = GetItemAt(m_iCurSel);
  if (pControl == nullptr) return;
  RECT rcText = m_rcItem;
  rcText.left += m_rcTextPadding.left;
  rcText.top += m_rcTextPadding.top;
  rcText.right -= m_rcTextPadding.right;
  rcText.bottom -= m_rcTextPadding.bottom;
  IListItemUI* pItem = AsListItem(pControl);
  if (pItem != nullptr) {
    pItem->PaintElementText(hDC, rcText);
    return;
  }
  const RECT rcOld = pControl->GetPosition();
  pControl->SetPosition(rcText, false);
  pControl->Paint(hDC, rcText, nullptr);
  pControl->SetPosition(rcOld, false);
}

}  // namespace SkinUI
