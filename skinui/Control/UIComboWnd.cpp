// The combo box's drop-down: placing it, its own host and root column, keys and mouse, closing.

#include "Control/UIComboWnd.h"

#include "Control/UICombo.h"
#include "Control/UIScrollBar.h"
#include "Layout/UIVerticalLayout.h"

namespace SkinUI {

namespace {

// The pop-up's frame around the items, on top of their heights.
const int kFrameHeight = 4;

CControlUI* CALLBACK ForgetInHost(CControlUI* pControl, LPVOID pData) {
  static_cast<CWindowHostUI*>(pData)->ForgetControl(pControl);
  return nullptr;
}

}  // namespace

LPCWSTR CComboWnd::WindowClassName() const { return L"ComboWnd"; }

RECT CComboWnd::PlaceUnderOwner() const {
  const SIZE szDropBox = m_pOwner->GetDropBoxSize();
  RECT rc = m_pOwner->GetPosition();
  const int cyCombo = rc.bottom - rc.top;
  rc.top = rc.bottom;
  rc.bottom = rc.top + szDropBox.cy;
  if (szDropBox.cx > 0) rc.right = rc.left + szDropBox.cx;

  const SIZE szAvailable = {rc.right - rc.left, szDropBox.cy};
  int cyNeeded = 0;
  for (int i = 0; i < m_pOwner->GetItemCount(); ++i) {
    CControlUI* pItem = m_pOwner->GetItemAt(i);
    if (pItem->IsVisible()) cyNeeded += pItem->MeasureSize(szAvailable).cy;
  }
  cyNeeded += kFrameHeight;
  if (cyNeeded < rc.bottom - rc.top) rc.bottom = rc.top + cyNeeded;

  const HWND hHostWnd = m_pOwner->GetHost()->GetHostWindow();
  ::MapWindowPoints(hHostWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromWindow(hHostWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
  if (rc.bottom > mi.rcWork.bottom) {
    const int cy = rc.bottom - rc.top;
    rc.bottom = rc.top - cyCombo;
    rc.top = rc.bottom - cy;
  }
  return rc;
}

bool CComboWnd::OpenFor(CComboUI* pOwner) {
  m_pOwner = pOwner;
  m_iOldSel = pOwner->GetCurSel();
  CWindowHostUI* pHost = pOwner->GetHost();
  if (pHost == nullptr || pHost->GetHostWindow() == nullptr) {
    delete this;
    return false;
  }
  const RECT rc = PlaceUnderOwner();
  if (Create(pHost->GetHostWindow(), nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rc) == nullptr) {
    // A failed Create has already deleted this object through OnWindowGone.
    return false;
  }
  ::ShowWindow(m_hWnd, SW_SHOW);
  // The owner window keeps an active caption while its pop-up has the focus.
  HWND hTop = pHost->GetHostWindow();
  while (::GetParent(hTop) != nullptr) hTop = ::GetParent(hTop);
  ::SendMessageW(hTop, WM_NCACTIVATE, TRUE, 0);
  return true;
}

void CComboWnd::BuildLayout() {
  CWindowHostUI* pOwnerHost = m_pOwner->GetHost();
  // The items draw with the combo's fonts and colours; this host has none of its own.
  const FontInfo* pDefault = pOwnerHost->GetDefaultFontInfo();
  m_host.SetDefaultFont(pDefault->sFontName, pDefault->iSize, pDefault->bBold,
                        pDefault->bUnderline, pDefault->bItalic);
  const int iItemFont = m_pOwner->GetListInfo()->nFont;
  if (iItemFont >= 0) {
    const FontInfo* pFont = pOwnerHost->GetFontInfo(iItemFont);
    m_host.RegisterFont(iItemFont, pFont->sFontName, pFont->iSize, pFont->bBold, pFont->bUnderline,
                        pFont->bItalic);
  }
  for (int i = 0; i < kDefaultColorCount; ++i) {
    const DefaultColor which = static_cast<DefaultColor>(i);
    m_host.SetDefaultColor(which, pOwnerHost->GetDefaultColor(which));
  }

  m_pLayout = new CVerticalLayoutUI;
  LPCWSTR pstrDefaults = pOwnerHost->DefaultAttributesFor(L"VerticalLayout");
  if (pstrDefaults != nullptr) m_pLayout->ApplyAttributeString(pstrDefaults);
  m_pLayout->SetInset(RECT{1, 1, 1, 1});
  m_pLayout->SetBkColor(0xFFFFFFFF);
  m_pLayout->SetBorderColor(0xFFC6C7D2);
  m_pLayout->SetBorderSize(1);
  m_pLayout->SetOwningChildren(false);
  m_pLayout->EnableScrollBars(true, false);
  m_pLayout->ApplyAttributeString(m_pOwner->GetDropBoxAttributes());
  for (int i = 0; i < m_pOwner->GetItemCount(); ++i) m_pLayout->AddItem(m_pOwner->GetItemAt(i));
  m_host.AttachRoot(m_pLayout);
}

void CComboWnd::ReturnItems() {
  if (m_pOwner == nullptr) return;
  for (int i = 0; i < m_pOwner->GetItemCount(); ++i) {
    CControlUI* pItem = m_pOwner->GetItemAt(i);
    // Hover, press and focus of this host must not reach items that live elsewhere now.
    pItem->FindControl(ForgetInHost, &m_host, 0);
    pItem->SetHost(m_pOwner->GetHost(), m_pOwner, false);
  }
  if (m_pLayout != nullptr) m_pLayout->RemoveAllItems();
}

void CComboWnd::DetachItem(CControlUI* pItem) {
  if (m_pLayout == nullptr || pItem == nullptr) return;
  pItem->FindControl(ForgetInHost, &m_host, 0);
  m_pLayout->RemoveItem(pItem);
  if (m_pOwner != nullptr) pItem->SetHost(m_pOwner->GetHost(), m_pOwner, false);
}

void CComboWnd::Abandon() {
  ReturnItems();
  m_pOwner = nullptr;
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
    ::DestroyWindow(m_hWnd);
  } else {
    delete this;
  }
}

void CComboWnd::RequestClose() {
  if (m_hWnd != nullptr) Post(WM_CLOSE);
}

void CComboWnd::EnsureVisible(int iIndex) {
  if (m_pLayout == nullptr || m_pOwner == nullptr) return;
  CControlUI* pItem = m_pOwner->GetItemAt(iIndex);
  if (pItem == nullptr) return;
  RECT rcClient = m_pLayout->GetPosition();
  const RECT rcInset = m_pLayout->GetInset();
  rcClient.top += rcInset.top;
  rcClient.bottom -= rcInset.bottom;
  const RECT& rcItem = pItem->GetPosition();
  if (rcItem.top >= rcClient.top && rcItem.bottom <= rcClient.bottom) return;
  const int dy = rcItem.top < rcClient.top ? rcItem.top - rcClient.top : rcItem.bottom - rcClient.bottom;
  Scroll(0, dy);
}

void CComboWnd::Scroll(int dx, int dy) {
  if (m_pLayout == nullptr) return;
  SIZE sz = m_pLayout->GetScrollPosition();
  sz.cx += dx;
  sz.cy += dy;
  m_pLayout->SetScrollPosition(sz);
}

void CComboWnd::SendToOwner(int iKind, WPARAM wParam) {
  InputEvent event = {};
  event.iKind = iKind;
  event.pSender = m_pOwner;
  event.dwTimestamp = ::GetTickCount();
  event.chKey = static_cast<WCHAR>(wParam);
  event.wParam = wParam;
  m_pOwner->HandleEvent(event);
}

void CComboWnd::OnWindowGone(HWND /*hWnd*/) {
  if (m_pOwner != nullptr) {
    ReturnItems();
    m_pOwner->DropDownGone();
  }
  delete this;
}

LRESULT CComboWnd::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (m_pOwner == nullptr) return CallPreviousProc(uMsg, wParam, lParam);
  switch (uMsg) {
    case WM_CREATE:
      m_host.AttachWindow(m_hWnd);
      BuildLayout();
      return 0;
    case WM_CLOSE:
      ReturnItems();
      m_pOwner->SetPosition(m_pOwner->GetPosition(), false);
      m_pOwner->SetFocus();
      break;
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wParam) != m_hWnd) Post(WM_CLOSE);
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        Post(WM_KILLFOCUS);
      } else if (wParam == VK_ESCAPE) {
        m_pOwner->SelectIndex(m_iOldSel, true);
        EnsureVisible(m_iOldSel);
        Post(WM_KILLFOCUS);
      } else {
        SendToOwner(kEventKeyDown, wParam);
        EnsureVisible(m_pOwner->GetCurSel());
      }
      return 0;
    case WM_MOUSEWHEEL:
      SendToOwner(kEventScrollWheel, static_cast<short>(HIWORD(wParam)) < 0 ? 1 : 0);
      EnsureVisible(m_pOwner->GetCurSel());
      return 0;
    case WM_LBUTTONUP: {
      LRESULT lRes = 0;
      m_host.HandleWindowMessage(uMsg, wParam, lParam, lRes);
      const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      CControlUI* pControl = m_host.GetRoot() != nullptr ? m_host.FindControlAt(pt) : nullptr;
      if (pControl == nullptr || ::lstrcmpW(pControl->ClassName(), L"ScrollBarUI") != 0) {
        Post(WM_KILLFOCUS);
      }
      return lRes;
    }
    default:
      break;
  }
  LRESULT lRes = 0;
  if (m_host.HandleWindowMessage(uMsg, wParam, lParam, lRes)) return lRes;
  return CallPreviousProc(uMsg, wParam, lParam);
}

}  // namespace SkinUI
