// The state and behaviour all list items share.

#include "Control/UIListItemCore.h"

#include "Core/UIAccessible.h"
#include "Core/UIManager.h"

namespace SkinUI {

CListItemCore::CListItemCore(CControlUI* pItem)
    : m_pItem(pItem),
      m_pOwnerControl(nullptr),
      m_pOwner(nullptr),
      m_iIndex(-1),
      m_bSelected(false),
      m_bHot(false) {}

void CListItemCore::SetOwner(CControlUI* pOwner) {
  m_pOwnerControl = pOwner;
  m_pOwner = pOwner != nullptr
                 ? static_cast<IListOwnerUI*>(pOwner->QueryNamedInterface(L"IListOwner"))
                 : nullptr;
}

ListInfo* CListItemCore::Info() const {
  return m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
}

void CListItemCore::SetHot(bool bHot) {
  if (m_bHot == bHot) return;
  m_bHot = bHot;
  m_pItem->Invalidate();
}

bool CListItemCore::Select(bool bSelect, bool bNotify, bool bInformOwner, bool bRightClick) {
  if (!m_pItem->IsEnabled()) return false;
  const bool bWasSelected = m_bSelected;
  if (::GetKeyState(VK_CONTROL) >= 0 || bRightClick) {
    m_bSelected = bSelect;
  } else {
    m_bSelected = !m_bSelected;
  }
  // A right click on a selected item keeps a multiple selection as it is.
  if (bSelect && bInformOwner && m_pOwner != nullptr && !(bRightClick && bWasSelected)) {
    if (::GetKeyState(VK_SHIFT) < 0) {
      m_pOwner->SelectRange(m_iIndex, false, bNotify);
    } else {
      m_pOwner->SelectIndex(m_iIndex, false, bNotify);
    }
  }
  m_pItem->Invalidate();
  if (m_bSelected != bWasSelected) m_pItem->NotifyAccessible(AccessibleEvent::kState);
  return true;
}

void CListItemCore::ItemHidden() {
  if (!m_bSelected) return;
  m_bSelected = false;
  if (m_pOwner != nullptr) m_pOwner->SelectIndex(-1);
}

void CListItemCore::Notify(LPCWSTR pstrType, WPARAM wParam, LPARAM lParam) const {
  CWindowHostUI* pHost = m_pItem->GetHost();
  if (pHost != nullptr) pHost->RaiseNotification(m_pItem, pstrType, wParam, lParam);
}

bool CListItemCore::PassToOwner(InputEvent& event) const {
  if (m_pOwner == nullptr) return false;
  m_pOwner->DispatchListEvent(event);
  return true;
}

bool CListItemCore::IsOddRowWithAlternateBk(const ListInfo& info) const {
  return info.bAlternateBk && (m_iIndex % 2) != 0;
}

void CListItemCore::PaintBackground(HDC hDC, const RECT& rcPaint, ImageDrawInfo& ownImage,
                                    bool bImageEndsPaint) const {
  ListInfo* pInfo = Info();
  if (pInfo == nullptr) return;
  CWindowHostUI* pHost = m_pItem->GetHost();
  const RECT& rcItem = m_pItem->GetPosition();
  const bool bEnabled = m_pItem->IsEnabled();
  const bool bOddAlternate = IsOddRowWithAlternateBk(*pInfo);
  if (m_pItem->InHighContrast()) {
    // The row's colours and pictures give way to the system's: a selected row is highlighted.
    const int iColor = m_bSelected && bEnabled ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    CSkinRenderer::FillColor(hDC, rcItem, CWindowHostUI::SystemColor(iColor));
    return;
  }

  DWORD dwColor = bOddAlternate ? 0 : pInfo->dwBkColor;
  if (m_bHot && pInfo->dwHotBkColor != 0) dwColor = pInfo->dwHotBkColor;
  if (m_bSelected && pInfo->dwSelectedBkColor != 0) dwColor = pInfo->dwSelectedBkColor;
  if (!bEnabled && pInfo->dwDisabledBkColor != 0) dwColor = pInfo->dwDisabledBkColor;
  if (dwColor != 0) CSkinRenderer::FillColor(hDC, rcItem, m_pItem->AdjustColor(dwColor));

  bool bDrawn = false;
  if (!bEnabled) bDrawn = CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, pInfo->diDisabled);
  if (!bDrawn && m_bSelected) {
    bDrawn = CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, pInfo->diSelected);
  }
  if (!bDrawn && m_bHot) bDrawn = CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, pInfo->diHot);
  if (bDrawn && bImageEndsPaint) return;
  if (!bDrawn) {
    bDrawn = CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, ownImage);
    if (!bDrawn && !bOddAlternate) {
      bDrawn = CSkinRenderer::RenderImage(hDC, pHost, rcItem, rcPaint, pInfo->diBk);
    }
    if (bDrawn && bImageEndsPaint) return;
  }

  if (pInfo->dwLineColor != 0) {
    const RECT rcLine = {rcItem.left, rcItem.bottom - 1, rcItem.right, rcItem.bottom - 1};
    CSkinRenderer::StrokeLine(hDC, rcLine, 1, m_pItem->AdjustColor(pInfo->dwLineColor));
  }
}

DWORD CListItemCore::TextColor() const {
  const ListInfo* pInfo = Info();
  if (pInfo == nullptr) return 0;
  if (m_pItem->InHighContrast()) {
    if (!m_pItem->IsEnabled()) return CWindowHostUI::SystemColor(COLOR_GRAYTEXT);
    return CWindowHostUI::SystemColor(m_bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  }
  DWORD dwColor = pInfo->dwTextColor;
  if (m_bHot) dwColor = pInfo->dwHotTextColor;
  if (m_bSelected) dwColor = pInfo->dwSelectedTextColor;
  if (!m_pItem->IsEnabled()) dwColor = pInfo->dwDisabledTextColor;
  return dwColor;
}

}  // namespace SkinUI
