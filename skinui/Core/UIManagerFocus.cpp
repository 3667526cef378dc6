// The host's focus control: moving it on request, with Tab and Shift+Tab from one Tab stop to the
// next, and onto a control chosen before the tree has positions (the first focus, or one
// that asks for it).

#include "Core/UIControl.h"
#include "Core/UIManager.h"

namespace SkinUI {

namespace {

void SendFocusEvent(CControlUI* pControl, int iKind, CControlUI* pSender) {
  InputEvent event = {};
  event.iKind = iKind;
  event.pSender = pSender;
  event.dwTimestamp = ::GetTickCount();
  pControl->DispatchEvent(event);
}

struct TabSearch {
  CControlUI* pFocus;
  CControlUI* pLast;
  bool bForward;
  bool bNextIsIt;
  bool bByKeyboard = false;
};

CControlUI* CALLBACK FindTabStop(CControlUI* pControl, LPVOID pData) {
  TabSearch* pSearch = static_cast<TabSearch*>(pData);
  if (pControl == pSearch->pFocus) {
    if (pSearch->bForward) {
      pSearch->bNextIsIt = true;
      return nullptr;
    }
    return pSearch->pLast;
  }
  const bool bStop = (pControl->GetBehaviourFlags() & kBehaviourTabStop) != 0 ||
                     (pSearch->bByKeyboard && pControl->IsTabReachable());
  if (!bStop) return nullptr;
  pSearch->pLast = pControl;
  if (pSearch->bNextIsIt || pSearch->pFocus == nullptr) return pControl;
  return nullptr;
}

// The tab stop after (or before) pFocus, wrapping around the tree; null without any.
CControlUI* NextTabStop(CControlUI* pRoot, CControlUI* pFocus, bool bForward, bool bByKeyboard) {
  const UINT uFlags = kFindVisible | kFindEnabled | kFindMeFirst;
  TabSearch search = {pFocus, nullptr, bForward, false, bByKeyboard};
  CControlUI* pFound = pRoot->FindControl(FindTabStop, &search, uFlags);
  if (pFound != nullptr) return pFound;
  if (!bForward) return search.pLast;
  TabSearch wrap = {nullptr, nullptr, true, false, bByKeyboard};
  return pRoot->FindControl(FindTabStop, &wrap, uFlags);
}

}  // namespace

CControlUI* CWindowHostUI::GetFocusControl() const { return m_input.focus; }

void CWindowHostUI::DropFocus(CControlUI* pNext) {
  if (m_input.focus == nullptr) return;
  // A control may destroy itself while it handles its focus event (the host then forgets it as
  // the focus control): no notification may name it after that.
  CControlUI* pOld = m_input.focus;
  SendFocusEvent(pOld, kEventKillFocus, pNext);
  if (m_input.focus == pOld) RaiseNotification(pOld, kNotifyKillFocus);
  m_input.focus = nullptr;
}

void CWindowHostUI::SetFocusControl(CControlUI* pControl, bool bFocusWnd) {
  if (bFocusWnd && m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && pControl != m_input.focus) {
    ::SetFocus(m_hWndPaint);
  }
  if (pControl == m_input.focus) return;
  const CControlHandle oldFocus = m_input.focus;
  DropFocus(pControl);
  if (pControl != nullptr && pControl->GetHost() == this && pControl->IsVisible() &&
      pControl->IsEnabled()) {
    m_input.focus = pControl;
    SendFocusEvent(pControl, kEventSetFocus, pControl);
    if (m_input.focus == pControl) RaiseNotification(pControl, kNotifySetFocus);
  }
  NoteFocusMoved(oldFocus, m_input.focus);
}

bool CWindowHostUI::MoveFocus(bool bForward, bool bByKeyboard) {
  if (m_bUpdateNeeded && bForward) {
    // The tree has no positions yet: the paint lays it out and then moves the focus.
    m_bFocusNeeded = true;
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
    return true;
  }
  if (m_pRoot != nullptr) {
    CControlUI* pNext = NextTabStop(m_pRoot, m_input.focus, bForward, bByKeyboard);
    if (pNext != nullptr) SetFocusControl(pNext, true);
  }
  m_bFocusNeeded = false;
  return true;
}

void CWindowHostUI::SetFirstFocus(CControlUI* pControl) {
  if (pControl == nullptr || pControl->GetHost() != this) return;
  if (!m_bFocusNeeded) {
    SetFocusControl(pControl, true);
    return;
  }
  m_input.firstFocus = pControl;
}

void CWindowHostUI::TakeFirstFocus() {
  CControlUI* pFirst = m_input.firstFocus.Get();
  m_input.firstFocus = nullptr;
  if (pFirst == nullptr || !pFirst->IsVisible() || !pFirst->IsEnabled()) {
    MoveFocus(true);
    return;
  }
  m_bFocusNeeded = false;
  SetFocusControl(pFirst, true);
}

void CWindowHostUI::RequestInitialFocus(CControlUI* pControl) {
  ::SetFocus(m_hWndPaint);
  if (pControl == nullptr) return;
  m_input.firstFocus = nullptr;
  DropFocus(pControl);
  if (m_pRoot == nullptr) return;
  // The Tab stop before the control, so that moving forward after the layout lands on it.
  TabSearch search = {pControl, nullptr, false, false};
  m_input.focus = m_pRoot->FindControl(FindTabStop, &search, kFindVisible | kFindEnabled | kFindMeFirst);
  m_bFocusNeeded = true;
  m_pRoot->RequestLayout();
}

}  // namespace SkinUI
