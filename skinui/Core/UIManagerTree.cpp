// The host's control tree: the root, the name index, the controls painted after the tree and the
// native child windows that controls own.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

CControlUI* CALLBACK IndexNamedControl(CControlUI* pControl, LPVOID pData) {
  CStringPtrMapUI* pIndex = static_cast<CStringPtrMapUI*>(pData);
  const CUIString sName = pControl->GetName();
  // A later control with the same name takes the entry over.
  if (!sName.IsEmpty()) pIndex->Set(sName, pControl);
  return nullptr;  // keep walking
}

CControlUI* CALLBACK HitControl(CControlUI* pControl, LPVOID pData) {
  const POINT* pPoint = static_cast<const POINT*>(pData);
  return ::PtInRect(&pControl->GetPosition(), *pPoint) ? pControl : nullptr;
}

}  // namespace

bool CWindowHostUI::AttachRoot(CControlUI* pControl) {
  UI_CHECK(::IsWindow(m_hWndPaint));
  SetFocusControl(nullptr, true);
  m_input.keyTarget = nullptr;
  m_input.hover = nullptr;
  m_input.pressed = nullptr;
  m_input.firstFocus = nullptr;
  if (m_pRoot != nullptr && m_pRoot != pControl) {
    m_aPostPaintControls.Empty();
    // The keyboard has not moved the focus in the new tree yet: its outline waits for a Tab,
    // which registers the painter again.
    m_bFocusCuesShown = false;
    m_nativeWindows.Clear();
    m_mNameHash.RemoveAll();
    // The old tree may be replaced from inside one of its own handlers: it goes after the
    // current message.
    DeferDelete(m_pRoot);
  }
  m_pRoot = pControl;
  m_bUpdateNeeded = true;
  m_bFirstLayout = true;
  m_bFocusNeeded = true;
  // Without this a replaced tree stays hidden behind the old picture until something else
  // invalidates the window.
  Invalidate();
  if (IHostShadow* pShadow = GetShadow()) pShadow->AttachToHost(this);
  return AttachSubtree(pControl, nullptr);
}

bool CWindowHostUI::AttachSubtree(CControlUI* pControl, CControlUI* pParent) {
  UI_CHECK(pControl);
  if (pControl == nullptr) return false;
  pControl->SetHost(this, pParent != nullptr ? pParent : pControl->GetParent(), true);
  pControl->FindControl(IndexNamedControl, &m_mNameHash, 0);
  return true;
}

bool CWindowHostUI::RenameControl(CControlUI* pControl, LPCWSTR pstrName) {
  UI_CHECK(pControl);
  if (pControl == nullptr || pControl->GetHost() != this || pstrName == nullptr ||
      pstrName[0] == L'\0') {
    return false;
  }
  const CUIString sOldName = pControl->GetName();
  if (sOldName == pstrName) return true;
  if (m_mNameHash.Find(pstrName) != nullptr) return false;
  // Only the control's own entry goes: another control may be indexed under the old name.
  if (m_mNameHash.Find(sOldName) == pControl) m_mNameHash.Remove(sOldName);
  const bool bIndexed = m_mNameHash.Insert(pstrName, pControl);
  if (bIndexed) pControl->SetName(pstrName);
  return bIndexed;
}

void CWindowHostUI::ReindexControl(CControlUI* pControl, LPCWSTR pstrOldName) {
  if (pControl == nullptr) return;
  if (pstrOldName != nullptr && *pstrOldName != L'\0' && m_mNameHash.Find(pstrOldName) == pControl) {
    m_mNameHash.Remove(pstrOldName);
  }
  const CUIString sName = pControl->GetName();
  if (sName.IsEmpty() || m_mNameHash.Find(sName) != nullptr) return;
  // Controls still being built are entered when their tree is attached; entering them now
  // would leave entries behind for the ones a build drops.
  CControlUI* pTop = pControl;
  while (pTop->GetParent() != nullptr) pTop = pTop->GetParent();
  if (pTop == m_pRoot) m_mNameHash.Insert(sName, pControl);
}

CControlUI* CWindowHostUI::GetRoot() const {
  UI_CHECK(m_pRoot);
  return m_pRoot;
}

CControlUI* CWindowHostUI::FindControlByName(LPCWSTR pstrName) const {
  UI_CHECK(m_pRoot);
  if (pstrName == nullptr) return nullptr;
  return static_cast<CControlUI*>(m_mNameHash.Find(pstrName));
}

CControlUI* CWindowHostUI::FindControlAt(POINT pt) const {
  UI_CHECK(m_pRoot);
  if (m_pRoot == nullptr) return nullptr;
  return m_pRoot->FindControl(HitControl, &pt, kFindVisible | kFindHitTest | kFindTopFirst);
}

bool CWindowHostUI::RegisterPostPaint(CControlUI* pControl) {
  UI_CHECK(m_aPostPaintControls.Find(pControl) < 0);
  return m_aPostPaintControls.Add(pControl);
}

bool CWindowHostUI::UnregisterPostPaint(CControlUI* pControl) {
  return m_aPostPaintControls.RemoveFirst(pControl);
}

bool CWindowHostUI::TrackNativeWindow(CControlUI* pControl, HWND hChildWnd) {
  RECT rcChild = GetNativeWindowRect(hChildWnd);
  Invalidate(rcChild);
  return m_nativeWindows.Track(pControl, hChildWnd);
}

bool CWindowHostUI::UntrackNativeWindow(HWND hChildWnd) {
  return m_nativeWindows.Untrack(hChildWnd);
}

RECT CWindowHostUI::GetNativeWindowRect(HWND hChildWnd) const {
  RECT rc = {0, 0, 0, 0};
  if (!::GetWindowRect(hChildWnd, &rc)) return RECT{0, 0, 0, 0};
  ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

}  // namespace SkinUI
