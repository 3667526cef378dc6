// List container elements: column alignment of the children, events, the element background.

#include "Control/UIListContainerElement.h"

#include "Control/UILabel.h"
#include "Core/UIManager.h"

namespace SkinUI {

CListContainerElementUI::CListContainerElementUI() : m_bDragPending(false) {}

LPCWSTR CListContainerElementUI::ClassName() const { return L"ListContainerElementUI"; }

LPVOID CListContainerElementUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
  if (::lstrcmpW(pstrName, L"ListContainerElement") == 0) {
    return static_cast<CListContainerElementUI*>(this);
  }
  return CContainerUI::QueryNamedInterface(pstrName);
}

void CListContainerElementUI::PlaceChildrenInContainer(RECT rc, bool bNeedInvalidate) {
  CContainerUI::SetPosition(rc, bNeedInvalidate);
}

void CListContainerElementUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  PlaceChildrenInContainer(rc, bNeedInvalidate);
  const ListInfo* pInfo = m_item.Info();
  if (pInfo == nullptr) return;
  const int nCount = m_items.GetSize() < pInfo->nColumns ? m_items.GetSize() : pInfo->nColumns;
  for (int i = 0; i < nCount; ++i) {
    CControlUI* pChild = ChildAt(i);
    RECT rcChild = pChild->GetPosition();
    rcChild.left = pInfo->rcColumn[i].left;
    rcChild.right = pInfo->rcColumn[i].right;
    pChild->SetPosition(rcChild, false);
  }
}

bool CListContainerElementUI::HandleItemEvent(InputEvent& event) {
  const bool bEnabled = IsEnabled();
  switch (event.iKind) {
    case kEventDoubleClick:
      if (bEnabled) {
        m_item.Notify(L"itemdbclick");
        Activate();
        Invalidate();
      }
      return true;
    case kEventKeyDown:
      if (event.chKey != VK_RETURN) return false;
      if (bEnabled) {
        Activate();
        Invalidate();
      }
      return true;
    case kEventButtonDown:
      m_bDragPending = true;
      return true;
    case kEventMouseMove:
      if (m_bDragPending && m_item.IsSelected()) {
        m_bDragPending = false;
        m_item.Notify(L"itembegindrag");
      }
      return true;
    case kEventButtonUp:
      m_bDragPending = false;
      if (bEnabled) {
        m_item.Notify(kNotifyItemClick);
        Select(true, true, true, false);
        Invalidate();
      }
      return true;
    case kEventRightButtonUp:
      if (bEnabled) {
        m_item.Notify(kNotifyItemRightClick);
        Select(true, true, true, true);
        Invalidate();
      }
      return true;
    case kEventRightButtonDown:
      return true;
    case kEventMouseEnter:
      if (bEnabled) m_item.SetHot(true);
      return true;
    case kEventMouseLeave:
      m_item.SetHot(false);
      return true;
    default:
      return false;
  }
}

void CListContainerElementUI::HandleEvent(InputEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.iKind)) {
    if (!m_item.PassToOwner(event)) CContainerUI::HandleEvent(event);
    return;
  }
  if (HandleItemEvent(event)) return;
  if (!m_item.PassToOwner(event)) CContainerUI::HandleEvent(event);
}

void CListContainerElementUI::PaintElementText(HDC hDC, const RECT& rcText) {
  const ListInfo* pInfo = m_item.Info();
  if (pInfo == nullptr || m_sText.IsEmpty()) return;
  RECT rc = rcText;
  const RECT rcPadding = TextPaddingAt(*pInfo, m_pHost);
  rc.left += rcPadding.left;
  rc.top += rcPadding.top;
  rc.right -= rcPadding.right;
  rc.bottom -= rcPadding.bottom;
  CSkinRenderer::RenderText(hDC, m_pHost, rc, m_sText, AdjustColor(m_item.TextColor()),
                            pInfo->nFont, pInfo->uTextStyle | kTextSingleLine);
}

}  // namespace SkinUI
