// The container base: the child list, its insets and alignment settings, floating children,
// clipped painting of the children and searching them.

#include "Core/UIContainer.h"

#include <cwchar>
#include <initializer_list>

#include "Core/UIScrollBarBase.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIManager.h"

namespace SkinUI {

using namespace attribute_values;

int CContainerUI::ClampToLimits(int x, int nMin, int nMax) {
  if (x < nMin) x = nMin;
  if (x > nMax) x = nMax;
  return x;
}

CContainerUI::CContainerUI()
    : m_iChildPadding(0),
      m_iChildAlign(kChildAlignLeft),
      m_iChildVAlign(kChildVAlignTop),
      m_bOwningChildren(true),
      m_bDeferredDelete(true),
      m_bMouseChildEnabled(true),
      m_bScrollProcess(false),
      m_pVerticalScrollBar(nullptr),
      m_pHorizontalScrollBar(nullptr) {}

CContainerUI::~CContainerUI() {
  m_bDeferredDelete = false;
  RemoveAllItems();
  delete m_pVerticalScrollBar;
  delete m_pHorizontalScrollBar;
}

LPCWSTR CContainerUI::ClassName() const { return L"ContainerUI"; }

LPVOID CContainerUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
  if (::lstrcmpW(pstrName, L"Container") == 0) return static_cast<CContainerUI*>(this);
  return CControlUI::QueryNamedInterface(pstrName);
}

void CContainerUI::SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit) {
  for (int i = 0; i < m_items.GetSize(); ++i) {
    m_items[i]->SetHost(pHost, this, bInit);
  }
  if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetHost(pHost, this, bInit);
  if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetHost(pHost, this, bInit);
  CControlUI::SetHost(pHost, pParent, bInit);
}

// ---- the child list ----

CControlUI* CContainerUI::GetItemAt(int iIndex) const {
  return m_items.GetAt(iIndex);
}

int CContainerUI::GetItemIndex(CControlUI* pControl) const { return m_items.Find(pControl); }

bool CContainerUI::MoveItemTo(CControlUI* pControl, int iIndex) {
  const int iOld = m_items.Find(pControl);
  if (iOld < 0) return false;
  RequestLayout();
  m_items.Remove(iOld);
  if (!m_items.InsertAt(iIndex, pControl)) {
    // An index past the end would otherwise drop the child from the list and leak it.
    m_items.Add(pControl);
  }
  return true;
}

int CContainerUI::GetItemCount() const { return m_items.GetSize(); }

bool CContainerUI::AddItem(CControlUI* pControl) {
  // Not the virtual insert: derived containers keep their own bookkeeping for each entry point.
  return CContainerUI::InsertItemAt(pControl, m_items.GetSize());
}

bool CContainerUI::InsertItemAt(CControlUI* pControl, int iIndex) {
  if (pControl == nullptr) return false;
  // A position outside the list would be refused after the child was already attached here.
  if (iIndex < 0 || iIndex > m_items.GetSize()) return false;
  if (m_pHost != nullptr) {
    m_pHost->AttachSubtree(pControl, this);
  } else {
    pControl->SetHost(nullptr, this, false);
  }
  if (IsVisible()) {
    RequestLayout();
  } else {
    pControl->SetInheritedVisible(false);
  }
  return m_items.InsertAt(iIndex, pControl);
}

void CContainerUI::ReleaseChild(CControlUI* pControl) {
  if (!m_bOwningChildren) return;
  // A child removed from inside its own event handler must outlive the handler: the host
  // destroys it after the current message.
  if (m_bDeferredDelete && m_pHost != nullptr) {
    m_pHost->DeferDelete(pControl);
  } else {
    delete pControl;
  }
}

bool CContainerUI::RemoveItem(CControlUI* pControl) {
  if (pControl == nullptr) return false;
  const int iIndex = m_items.Find(pControl);
  if (iIndex < 0) return false;
  RequestLayout();
  // Out of the list before it is destroyed, so nothing its destructor triggers finds it here.
  m_items.Remove(iIndex);
  ReleaseChild(pControl);
  return true;
}

bool CContainerUI::RemoveItemAt(int iIndex) { return RemoveItem(GetItemAt(iIndex)); }

void CContainerUI::RemoveAllItems() {
  const CTypedPtrArrayUI<CControlUI> items = m_items;
  m_items.Empty();
  for (int i = 0; i < items.GetSize(); ++i) ReleaseChild(items[i]);
  RequestLayout();
}

// ---- settings ----

RECT CContainerUI::GetInset() const { return m_rcInset; }

void CContainerUI::SetInset(RECT rcInset) {
  m_rcInset = rcInset;
  RequestLayout();
}

int CContainerUI::GetChildPadding() const { return m_iChildPadding; }

void CContainerUI::SetChildPadding(int iPadding) {
  m_iChildPadding = iPadding < 0 ? 0 : iPadding;
  RequestLayout();
}

int CContainerUI::GetChildAlign() const { return m_iChildAlign; }

void CContainerUI::SetChildAlign(int iAlign) {
  m_iChildAlign = iAlign;
  RequestLayout();
}

int CContainerUI::GetChildVAlign() const { return m_iChildVAlign; }

void CContainerUI::SetChildVAlign(int iVAlign) {
  m_iChildVAlign = iVAlign;
  RequestLayout();
}

bool CContainerUI::IsOwningChildren() const { return m_bOwningChildren; }
void CContainerUI::SetOwningChildren(bool bOwning) { m_bOwningChildren = bOwning; }
bool CContainerUI::IsDeferredDelete() const { return m_bDeferredDelete; }
void CContainerUI::SetDeferredDelete(bool bDeferred) { m_bDeferredDelete = bDeferred; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool bEnable) { m_bMouseChildEnabled = bEnable; }

int CContainerUI::FindSelectableItem(int iIndex, bool bForward) const {
  const int nCount = m_items.GetSize();
  if (nCount == 0) return -1;
  if (iIndex < 0) iIndex = 0;
  if (iIndex >= nCount) iIndex = nCount - 1;
  auto selectable = [this](int i) {
    CControlUI* pChild = ChildAt(i);
    return pChild->QueryNamedInterface(L"ListItem") != nullptr && pChild->IsVisible() &&
           pChild->IsEnabled();
  };
  if (bForward) {
    for (int i = iIndex; i < nCount; ++i) {
      if (selectable(i)) return i;
    }
    return -1;
  }
  for (int i = iIndex; i >= 0; --i) {
    if (selectable(i)) return i;
  }
  return FindSelectableItem(0, true);
}

// ---- geometry ----

RECT CContainerUI::GetContentRect() const {
  RECT rc = m_rcItem;
  rc.left += m_rcInset.left;
  rc.top += m_rcInset.top;
  rc.right -= m_rcInset.right;
  rc.bottom -= m_rcInset.bottom;
  if (IsBarShown(m_pVerticalScrollBar)) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
  if (IsBarShown(m_pHorizontalScrollBar)) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  return rc;
}

bool CContainerUI::IsBarShown(const CScrollBarBaseUI* pBar) const {
  return pBar != nullptr && pBar->IsVisible();
}

RECT CContainerUI::GetClientPosition() const {
  RECT rc = GetContentRect();
  if (IsBarShown(m_pVerticalScrollBar)) {
    rc.top -= m_pVerticalScrollBar->GetScrollValue();
    rc.bottom -= m_pVerticalScrollBar->GetScrollValue();
    rc.bottom += m_pVerticalScrollBar->GetScrollRange();
  }
  if (IsBarShown(m_pHorizontalScrollBar)) {
    rc.left -= m_pHorizontalScrollBar->GetScrollValue();
    rc.right -= m_pHorizontalScrollBar->GetScrollValue();
    rc.right += m_pHorizontalScrollBar->GetScrollRange();
  }
  return rc;
}

bool CContainerUI::SkipsFlow(int iIndex) {
  CControlUI* pChild = ChildAt(iIndex);
  if (!pChild->IsVisible()) return true;
  if (!pChild->IsFloat()) return false;
  PlaceFloatingChild(iIndex);
  return true;
}

Placement CContainerUI::PlacementOn(const LayoutAxis& axis) const {
  if (axis.IsVertical()) {
    if (m_iChildVAlign == kChildVAlignCenter) return Placement::kCenter;
    return m_iChildVAlign == kChildVAlignBottom ? Placement::kEnd : Placement::kStart;
  }
  if (m_iChildAlign == kChildAlignCenter) return Placement::kCenter;
  return m_iChildAlign == kChildAlignRight ? Placement::kEnd : Placement::kStart;
}

bool CContainerUI::BeginLayout(RECT rcPos, bool bNeedInvalidate, RECT& rcContent) {
  CControlUI::SetPosition(rcPos, bNeedInvalidate);
  rcContent = GetContentRect();
  if (!m_items.IsEmpty()) return true;
  UpdateScrollBars(rcContent, 0, 0);
  return false;
}

void CContainerUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  CControlUI::SetPosition(rc, bNeedInvalidate);
  if (m_items.IsEmpty()) return;
  RECT rcArea = GetContentRect();
  const SIZE szScroll = GetScrollPosition();
  ::OffsetRect(&rcArea, -szScroll.cx, -szScroll.cy);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    if (SkipsFlow(i)) continue;
    CControlUI* pChild = ChildAt(i);
    const int cx = ClampToLimits(rcArea.right - rcArea.left, pChild->GetMinWidth(),
                                 pChild->GetMaxWidth());
    const int cy = ClampToLimits(rcArea.bottom - rcArea.top, pChild->GetMinHeight(),
                                 pChild->GetMaxHeight());
    pChild->SetPosition(RECT{rcArea.left, rcArea.top, rcArea.left + cx, rcArea.top + cy}, false);
  }
}

void CContainerUI::PlaceFloatingChild(int iIndex) {
  CControlUI* pChild = iIndex >= 0 && iIndex < m_items.GetSize() ? ChildAt(iIndex) : nullptr;
  if (pChild == nullptr || !pChild->IsVisible() || !pChild->IsFloat()) return;
  const int nWidth = GetWidth();
  const int nHeight = GetHeight();
  const POINT ptOrigin = pChild->GetFixedOrigin();
  const FloatRatios ratios = pChild->GetFloatRatios();
  RECT rc;
  rc.left = static_cast<int>(nWidth * ratios.left) + ptOrigin.x;
  rc.top = static_cast<int>(nHeight * ratios.top) + ptOrigin.y;
  rc.right = static_cast<int>(nWidth * ratios.right) + ptOrigin.x + pChild->GetFixedWidth();
  rc.bottom = static_cast<int>(nHeight * ratios.bottom) + ptOrigin.y + pChild->GetFixedHeight();
  pChild->SetPosition(rc, false);
}

void CContainerUI::MoveBy(int dx, int dy, bool bNeedInvalidate) {
  CControlUI::MoveBy(dx, dy, bNeedInvalidate);
  if (IsBarShown(m_pVerticalScrollBar)) m_pVerticalScrollBar->MoveBy(dx, dy, false);
  if (IsBarShown(m_pHorizontalScrollBar)) m_pHorizontalScrollBar->MoveBy(dx, dy, false);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (pChild->IsVisible()) pChild->MoveBy(dx, dy, false);
  }
}

// ---- visibility and input flags ----

void CContainerUI::SetVisible(bool bVisible) {
  if (m_bVisible == bVisible) return;
  CControlUI::SetVisible(bVisible);
  for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetInheritedVisible(bool bVisible) {
  CControlUI::SetInheritedVisible(bVisible);
  for (int i = 0; i < m_items.GetSize(); ++i) ChildAt(i)->SetInheritedVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool bEnable) {
  if (m_pVerticalScrollBar != nullptr) m_pVerticalScrollBar->SetMouseEnabled(bEnable);
  if (m_pHorizontalScrollBar != nullptr) m_pHorizontalScrollBar->SetMouseEnabled(bEnable);
  CControlUI::SetMouseEnabled(bEnable);
}

// ---- attributes ----

UI_BEGIN_ATTRIBUTES(CContainerUI, CControlUI)
UI_ATTRIBUTE(L"inset", kPixelRectValue, self.SetInset(ReadRect(pstrValue)))
UI_ATTRIBUTE(L"mousechild", kBoolValue, self.SetMouseChildEnabled(IsTrue(pstrValue)))
UI_ATTRIBUTE(L"vscrollbar", kBoolValue,
             self.EnableScrollBars(IsTrue(pstrValue), self.m_pHorizontalScrollBar != nullptr))
UI_ATTRIBUTE(L"vscrollbarstyle", kAttributeListValue,
             self.EnableScrollBars(true, self.m_pHorizontalScrollBar != nullptr);
             // No bar when the program registered none.
             if (self.m_pVerticalScrollBar != nullptr) {
               self.m_pVerticalScrollBar->ApplyAttributeString(pstrValue);
             })
UI_ATTRIBUTE(L"hscrollbar", kBoolValue,
             self.EnableScrollBars(self.m_pVerticalScrollBar != nullptr, IsTrue(pstrValue)))
UI_ATTRIBUTE(L"hscrollbarstyle", kAttributeListValue,
             self.EnableScrollBars(self.m_pVerticalScrollBar != nullptr, true);
             if (self.m_pHorizontalScrollBar != nullptr) {
               self.m_pHorizontalScrollBar->ApplyAttributeString(pstrValue);
             })
UI_ATTRIBUTE(L"childpadding", kPixelValue,
             self.SetChildPadding(static_cast<int>(std::wcstol(pstrValue, nullptr, 10))))
UI_ATTRIBUTE(L"childalign", kTextValue,
             if (::lstrcmpW(pstrValue, L"left") == 0) {
               self.SetChildAlign(kChildAlignLeft);
             } else if (::lstrcmpW(pstrValue, L"center") == 0) {
               self.SetChildAlign(kChildAlignCenter);
             } else if (::lstrcmpW(pstrValue, L"right") == 0) {
               self.SetChildAlign(kChildAlignRight);
             })
UI_ATTRIBUTE(L"childvalign", kTextValue,
             if (::lstrcmpW(pstrValue, L"top") == 0) {
               self.SetChildVAlign(kChildVAlignTop);
             } else if (::lstrcmpW(pstrValue, L"vcenter") == 0) {
               self.SetChildVAlign(kChildVAlignCenter);
             } else if (::lstrcmpW(pstrValue, L"bottom") == 0) {
               self.SetChildVAlign(kChildVAlignBottom);
             })
UI_END_ATTRIBUTES()

// ---- painting ----

bool CContainerUI::PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
  RECT rcTemp;
  if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) return true;
  CSkinClip outerClip;
  CSkinClip::ClipToRect(hDC, rcTemp, outerClip);
  CControlUI::PaintSelf(hDC, rcPaint, pStopControl);
  if (!m_items.IsEmpty() && !PaintChildren(hDC, rcPaint, pStopControl)) return false;
  for (CScrollBarBaseUI* pBar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
    if (!IsBarShown(pBar) || !::IntersectRect(&rcTemp, &rcPaint, &pBar->GetPosition())) continue;
    if (!pBar->Paint(hDC, rcPaint, pStopControl)) return false;
  }
  return true;
}

bool CContainerUI::PaintChildren(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
  RECT rcTemp;
  const RECT rcChildren = GetContentRect();
  if (!::IntersectRect(&rcTemp, &rcPaint, &rcChildren)) {
    for (int i = 0; i < m_items.GetSize(); ++i) {
      CControlUI* pChild = ChildAt(i);
      if (pChild == pStopControl) return false;
      if (!pChild->IsVisible() || !pChild->IsFloat()) continue;
      if (!::IntersectRect(&rcTemp, &rcPaint, &pChild->GetPosition())) continue;
      if (!::IntersectRect(&rcTemp, &m_rcItem, &pChild->GetPosition())) continue;
      if (!pChild->Paint(hDC, rcPaint, pStopControl)) return false;
    }
    return true;
  }

  CSkinClip childClip;
  CSkinClip::ClipToRect(hDC, rcTemp, childClip);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* pChild = ChildAt(i);
    if (pChild == pStopControl) return false;
    if (!pChild->IsVisible()) continue;
    if (!::IntersectRect(&rcTemp, &rcPaint, &pChild->GetPosition())) continue;
    if (pChild->IsFloat()) {
      if (!::IntersectRect(&rcTemp, &m_rcItem, &pChild->GetPosition())) continue;
      CSkinClip::UseSavedClip(hDC, childClip);
      const bool bGoOn = pChild->Paint(hDC, rcPaint, pStopControl);
      CSkinClip::UseNewClip(hDC, childClip);
      if (!bGoOn) return false;
    } else {
      if (!::IntersectRect(&rcTemp, &rcChildren, &pChild->GetPosition())) continue;
      if (!pChild->Paint(hDC, rcPaint, pStopControl)) return false;
    }
  }
  return true;
}

// ---- searching ----

CControlUI* CContainerUI::FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags) {
  if ((uFlags & kFindVisible) != 0 && !IsVisible()) return nullptr;
  if ((uFlags & kFindEnabled) != 0 && !IsEnabled()) return nullptr;
  const bool bHitTest = (uFlags & kFindHitTest) != 0;
  if (bHitTest && (pData == nullptr || !::PtInRect(&m_rcItem, *static_cast<POINT*>(pData)))) {
    return nullptr;
  }
  if ((uFlags & kFindUpdateTest) != 0 && Proc(this, pData) != nullptr) return nullptr;

  const bool bSelfEligible = !bHitTest || IsMouseEnabled();
  if ((uFlags & kFindMeFirst) != 0 && bSelfEligible) {
    CControlUI* pResult = Proc(this, pData);
    if (pResult != nullptr) return pResult;
  }

  if (!bHitTest || IsMouseEnabled()) {
    for (CScrollBarBaseUI* pBar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
      if (pBar == nullptr) continue;
      CControlUI* pResult = pBar->FindControl(Proc, pData, uFlags);
      if (pResult != nullptr) return pResult;
    }
  }

  if (!bHitTest || m_bMouseChildEnabled) {
    const RECT rcChildren = GetContentRect();
    const int nCount = m_items.GetSize();
    const bool bTopFirst = (uFlags & kFindTopFirst) != 0;
    for (int n = 0; n < nCount; ++n) {
      CControlUI* pChild = ChildAt(bTopFirst ? nCount - 1 - n : n);
      CControlUI* pResult = pChild->FindControl(Proc, pData, uFlags);
      if (pResult == nullptr) continue;
      if (!bHitTest || pResult->IsFloat() ||
          ::PtInRect(&rcChildren, *static_cast<POINT*>(pData))) {
        return pResult;
      }
    }
  }

  if ((uFlags & kFindMeFirst) == 0 && bSelfEligible) return Proc(this, pData);
  return nullptr;
}

// ---- input ----

void CContainerUI::HandleEvent(InputEvent& event) {
  if (PassMouseWhenOff<CControlUI>(*this, event)) return;
  if (NoteFocusEvent(event) || HandleScrollEvent(event)) return;
  CControlUI::HandleEvent(event);
}

}  // namespace SkinUI
