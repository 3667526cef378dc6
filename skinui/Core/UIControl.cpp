// The control's place in the tree, its geometry, visibility, invalidation, events and searching.

#include "Core/UIControl.h"

#include <algorithm>

#include "Core/UIAccessible.h"
#include "Core/UIControlHandle.h"
#include "Core/UIManager.h"

namespace SkinUI {

CUIString GetNotifySenderName(CControlUI* pSender) {
  return pSender != nullptr ? pSender->GetName() : CUIString();
}

CControlUI::CControlUI()
    : m_pHost(nullptr),
      m_pParent(nullptr),
      m_bUpdateNeeded(true),
      m_bMenuUsed(false),
      m_ptFixedOrigin{0, 0},
      m_cxyMax(9999, 9999),
      m_bVisible(true),
      m_bInheritedVisible(true),
      m_bEnabled(true),
      m_bMouseEnabled(true),
      m_bKeyboardEnabled(true),
      m_bFocused(false),
      m_bFloat(false),
      m_FloatRatios{0, 0, 0, 0},
      m_bInSizeCallback(false),
      m_nToolTipWidth(300),
      m_chShortcut(0),
      m_pTag(0),
      m_dwBackColor(0),
      m_dwBackColor2(0),
      m_dwBackColor3(0),
      m_dwBorderColor(0),
      m_dwFocusBorderColor(0),
      m_bColorHSL(false),
      m_nBorderStyle(PS_SOLID),
      m_mCustomAttributes(83) {}

CControlUI::~CControlUI() {
  RemoveAllCustomAttributes();
  if (OnDestroy) OnDestroy(this);
  if (m_pHost != nullptr) m_pHost->ForgetControl(this);
  if (m_pHandleSlot != nullptr) *m_pHandleSlot = nullptr;
}

CControlHandle::CControlHandle(CControlUI* pControl) {
  if (pControl == nullptr) return;
  if (pControl->m_pHandleSlot == nullptr) {
    pControl->m_pHandleSlot = std::make_shared<CControlUI*>(pControl);
  }
  m_pSlot = pControl->m_pHandleSlot;
}

CUIString CControlUI::GetName() const { return m_sName; }

void CControlUI::SetName(LPCWSTR pstrName) {
  if (m_sName == pstrName) return;
  const CUIString sOldName = m_sName;
  m_sName = pstrName;
  // An index entry left under the old name would outlive the control.
  if (m_pHost != nullptr) m_pHost->ReindexControl(this, sOldName);
}

LPCWSTR CControlUI::ClassName() const { return L"ControlUI"; }

LPVOID CControlUI::QueryNamedInterface(LPCWSTR pstrName) {
  return ::lstrcmpW(pstrName, L"Control") == 0 ? this : nullptr;
}

UINT CControlUI::GetBehaviourFlags() const { return 0; }

HWND CControlUI::GetNativeHandle() const { return nullptr; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

CWindowHostUI* CControlUI::GetHost() const { return m_pHost; }

void CControlUI::SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit) {
  m_pHost = pHost;
  m_pParent = pParent;
  MatchHostDpi();
  if (bInit && m_pParent != nullptr) Init();
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }

CUIString CControlUI::GetText() const { return m_sText; }

void CControlUI::SetText(LPCWSTR pstrText) {
  if (m_sText == pstrText) return;
  m_sText = pstrText;
  Invalidate();
  NotifyAccessible(AccessibleEvent::kText);
}

// ---- geometry ----

const RECT& CControlUI::GetPosition() const { return m_rcItem; }

RECT CControlUI::GetPositionInParent() const {
  if (m_pParent == nullptr) return RECT{0, 0, 0, 0};
  CUIRect rc = m_rcItem;
  const RECT& rcParent = m_pParent->GetPosition();
  rc.Offset(-rcParent.left, -rcParent.top);
  return rc;
}

RECT CControlUI::GetClientPosition() const { return m_rcItem; }

bool CControlUI::ClipToAncestors(RECT& rc, bool bStopAtHidden) const {
  for (CControlUI* pParent = m_pParent; pParent != nullptr; pParent = pParent->GetParent()) {
    if (bStopAtHidden && !pParent->IsVisible()) return false;
    if (!::IntersectRect(&rc, &rc, &pParent->GetPosition())) return false;
  }
  return true;
}

void CControlUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;

  CUIRect rcInvalidate = ::IsRectEmpty(&m_rcItem) ? CUIRect(rc) : m_rcItem;
  if (m_bFloat && m_pParent != nullptr) {
    // rc is relative to the parent; the ratios give the part of it that follows the parent's
    // size, the rest is what "pos" fixed.
    const RECT& rcParent = m_pParent->GetPosition();
    const int nParentWidth = rcParent.right - rcParent.left;
    const int nParentHeight = rcParent.bottom - rcParent.top;
    m_rcItem = rc;
    m_rcItem.Offset(rcParent.left, rcParent.top);
    m_ptFixedOrigin.x = rc.left - static_cast<int>(nParentWidth * m_FloatRatios.left);
    m_cxyFixed.cx =
        rc.right - m_ptFixedOrigin.x - static_cast<int>(nParentWidth * m_FloatRatios.right);
    m_ptFixedOrigin.y = rc.top - static_cast<int>(nParentHeight * m_FloatRatios.top);
    m_cxyFixed.cy =
        rc.bottom - m_ptFixedOrigin.y - static_cast<int>(nParentHeight * m_FloatRatios.bottom);
  } else if (!m_bFloat) {
    m_rcItem = rc;
  }
  if (m_pHost == nullptr) return;

  if (!m_bInSizeCallback) {
    m_bInSizeCallback = true;
    OnSize(this);
    m_bInSizeCallback = false;
  }
  m_bUpdateNeeded = false;

  if (bNeedInvalidate && IsVisible()) {
    rcInvalidate.Join(m_rcItem);
    if (ClipToAncestors(rcInvalidate, true)) m_pHost->Invalidate(rcInvalidate);
  }
}

void CControlUI::MoveBy(int dx, int dy, bool bNeedInvalidate) {
  CUIRect rcInvalidate = m_rcItem;
  m_rcItem.Offset(dx, dy);
  if (bNeedInvalidate && m_pHost != nullptr && IsVisible()) {
    rcInvalidate.Join(m_rcItem);
    if (ClipToAncestors(rcInvalidate, true)) m_pHost->Invalidate(rcInvalidate);
  }
}

int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }

RECT CControlUI::GetPadding() const { return m_rcPadding; }

void CControlUI::SetPadding(RECT rcPadding) {
  m_rcPadding = rcPadding;
  RequestParentLayout();
}

POINT CControlUI::GetFixedOrigin() const { return m_ptFixedOrigin; }

void CControlUI::SetFixedOrigin(int x, int y) {
  m_ptFixedOrigin.x = x;
  m_ptFixedOrigin.y = y;
  RequestParentLayout();
}

FloatRatios CControlUI::GetFloatRatios() const { return m_FloatRatios; }

void CControlUI::SetFloatRatios(double left, double top, double right, double bottom) {
  m_FloatRatios = FloatRatios{left, top, right, bottom};
  RequestParentLayout();
}

int CControlUI::GetFixedWidth() const { return m_cxyFixed.cx; }

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0) return;
  m_cxyFixed.cx = cx;
  RequestParentLayout();
}

int CControlUI::GetFixedHeight() const { return m_cxyFixed.cy; }

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0) return;
  m_cxyFixed.cy = cy;
  RequestParentLayout();
}

int CControlUI::GetMinWidth() const { return m_cxyMin.cx; }

void CControlUI::SetMinWidth(int cx) {
  if (cx < 0 || m_cxyMin.cx == cx) return;
  m_cxyMin.cx = cx;
  RequestParentLayout();
}

int CControlUI::GetMaxWidth() const { return std::max(m_cxyMax.cx, m_cxyMin.cx); }

void CControlUI::SetMaxWidth(int cx) {
  if (cx < 0 || m_cxyMax.cx == cx) return;
  m_cxyMax.cx = cx;
  RequestParentLayout();
}

int CControlUI::GetMinHeight() const { return m_cxyMin.cy; }

void CControlUI::SetMinHeight(int cy) {
  if (cy < 0 || m_cxyMin.cy == cy) return;
  m_cxyMin.cy = cy;
  RequestParentLayout();
}

int CControlUI::GetMaxHeight() const { return std::max(m_cxyMax.cy, m_cxyMin.cy); }

void CControlUI::SetMaxHeight(int cy) {
  if (cy < 0 || m_cxyMax.cy == cy) return;
  m_cxyMax.cy = cy;
  RequestParentLayout();
}

// ---- plain properties ----

CUIString CControlUI::GetToolTip() const { return m_sToolTip; }

void CControlUI::SetToolTip(LPCWSTR pstrText) {
  m_sToolTip = pstrText;
  m_sToolTip.Replace(L"<n>", L"\r\n");
}

void CControlUI::SetToolTipWidth(int nWidth) { m_nToolTipWidth = nWidth; }
int CControlUI::GetToolTipWidth() const { return m_nToolTipWidth; }
WCHAR CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(WCHAR ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuEnabled() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuEnabled(bool bMenuUsed) { m_bMenuUsed = bMenuUsed; }
CUIString CControlUI::GetUserData() const { return m_sUserData; }
void CControlUI::SetUserData(LPCWSTR pstrText) { m_sUserData = pstrText; }
UINT_PTR CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(UINT_PTR pTag) { m_pTag = pTag; }

// ---- visibility, enabling, focus ----

bool CControlUI::IsVisible() const { return m_bVisible && m_bInheritedVisible; }

void CControlUI::SetVisible(bool bVisible) {
  if (m_bVisible == bVisible) return;
  const bool bWasVisible = IsVisible();
  m_bVisible = bVisible;
  m_bFocused = false;
  if (!bVisible && m_pHost != nullptr && m_pHost->GetFocusControl() == this) {
    m_pHost->SetFocusControl(nullptr, true);
  }
  if (IsVisible() != bWasVisible) {
    RequestParentLayout();
    NotifyAccessible(bWasVisible ? AccessibleEvent::kHidden : AccessibleEvent::kShown);
  }
}

void CControlUI::SetInheritedVisible(bool bVisible) {
  m_bInheritedVisible = bVisible;
  if (!bVisible && m_pHost != nullptr && m_pHost->GetFocusControl() == this) {
    m_pHost->SetFocusControl(nullptr, true);
  }
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool bEnable) {
  if (m_bEnabled == bEnable) return;
  m_bEnabled = bEnable;
  Invalidate();
  NotifyAccessible(AccessibleEvent::kState);
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool bEnable) { m_bMouseEnabled = bEnable; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool bEnable) { m_bKeyboardEnabled = bEnable; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus() {
  if (m_pHost != nullptr) m_pHost->SetFocusControl(this, false);
}

bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool bFloat) {
  if (m_bFloat == bFloat) return;
  m_bFloat = bFloat;
  RequestParentLayout();
}

// ---- searching, initialisation, events ----

CControlUI* CControlUI::FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags) {
  if ((uFlags & kFindVisible) != 0 && !IsVisible()) return nullptr;
  if ((uFlags & kFindEnabled) != 0 && !IsEnabled()) return nullptr;
  if ((uFlags & kFindHitTest) != 0 &&
      (pData == nullptr || !m_bMouseEnabled ||
       !::PtInRect(&m_rcItem, *static_cast<const POINT*>(pData)))) {
    return nullptr;
  }
  if ((uFlags & kFindUpdateTest) != 0 && Proc(this, pData) != nullptr) return nullptr;
  return Proc(this, pData);
}

void CControlUI::Init() {
  InitSelf();
  OnInit(this);
}

void CControlUI::InitSelf() {}

void CControlUI::DispatchEvent(InputEvent& event) {
  if (OnEvent(&event)) HandleEvent(event);
}

bool CControlUI::NoteFocusEvent(const InputEvent& event) {
  if (event.iKind != kEventSetFocus && event.iKind != kEventKillFocus) return false;
  m_bFocused = event.iKind == kEventSetFocus;
  return true;
}

void CControlUI::HandleEvent(InputEvent& event) {
  switch (event.iKind) {
    case kEventContextMenu:
      if (m_bMenuUsed) {
        if (m_pHost != nullptr) {
          m_pHost->RaiseNotification(this, kNotifyMenu, event.wParam, event.lParam, false);
        }
        return;
      }
      break;
    case kEventKillFocus:
      m_bFocused = false;
      Invalidate();
      return;
    case kEventSetFocus:
      m_bFocused = true;
      Invalidate();
      return;
    case kEventSetCursor:
      SetStandardCursor(kCursorArrow);
      return;
    case kEventTimer:
      if (m_pHost != nullptr) {
        m_pHost->RaiseNotification(this, kNotifyTimer, event.wParam, event.lParam, false);
      }
      return;
    default:
      break;
  }
  if (m_pParent != nullptr) m_pParent->HandleEvent(event);
}

SIZE CControlUI::MeasureSize(SIZE /*szAvailable*/) { return m_cxyFixed; }

// ---- invalidation and layout requests ----

void CControlUI::Invalidate() {
  if (!IsVisible()) return;
  RECT rc = m_rcItem;
  if (m_pHost != nullptr && ClipToAncestors(rc, false)) m_pHost->Invalidate(rc);
}

void CControlUI::RequestLayout() {
  if (!IsVisible()) return;
  m_bUpdateNeeded = true;
  Invalidate();
  if (m_pHost != nullptr) m_pHost->RequestFullLayout();
}

void CControlUI::RequestParentLayout() {
  if (m_pParent != nullptr) {
    m_pParent->RequestLayout();
    m_pParent->Invalidate();
  } else {
    RequestLayout();
  }
  if (m_pHost != nullptr) m_pHost->RequestFullLayout();
}

bool CControlUI::IsLayoutDirty() const { return m_bUpdateNeeded; }

void CControlUI::SetVirtualWindowName(LPCWSTR pstrValue) { m_sVirtualWnd = pstrValue; }

CUIString CControlUI::GetVirtualWindowName() const { return m_sVirtualWnd; }

}  // namespace SkinUI
