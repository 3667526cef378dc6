// One control as IAccessible, and the tree that clients walk.

#include "Core/UIAccessibleObject.h"

#include <algorithm>
#include <climits>
#include <new>

#include "Core/UIAccessibleTree.h"
#include "Core/UIControl.h"
#include "Core/UIHostAccessibility.h"
#include "Core/UIManager.h"
#include "Core/UIOleacc.h"

namespace SkinUI {

namespace {

LONG g_lLiveObjects = 0;

bool IsAncestorOf(const CControlUI* pAncestor, const CControlUI* pControl) {
  for (const CControlUI* p = pControl->GetParent(); p != nullptr; p = p->GetParent()) {
    if (p == pAncestor) return true;
  }
  return false;
}

// The keyboard's focus is in the window or in a native window inside it.
bool WindowHasFocus(HWND hWnd) {
  const HWND hFocus = ::GetFocus();
  return hFocus != nullptr && (hFocus == hWnd || ::IsChild(hWnd, hFocus) != FALSE);
}

// The part of the control its ancestors leave visible, in client coordinates; empty when they
// hide it all (scrolled out of its container, for one).
RECT VisibleRect(const CControlUI* pControl) {
  RECT rc = pControl->GetPosition();
  for (const CControlUI* p = pControl->GetParent(); p != nullptr; p = p->GetParent()) {
    if (!::IntersectRect(&rc, &rc, &p->GetPosition())) return RECT{0, 0, 0, 0};
  }
  return rc;
}

HRESULT ReturnText(const CUIString& sText, BSTR* pszText) {
  if (pszText == nullptr) return E_POINTER;
  *pszText = nullptr;
  if (sText.IsEmpty()) return S_FALSE;
  *pszText = ::SysAllocString(sText.GetData());
  return *pszText != nullptr ? S_OK : E_OUTOFMEMORY;
}

void SetEmpty(VARIANT* pvar) {
  pvar->vt = VT_EMPTY;
  pvar->llVal = 0;
}

CHostAccessibility* AccessibilityOf(const CControlUI* pControl) {
  CWindowHostUI* pHost = pControl->GetHost();
  return pHost != nullptr ? pHost->GetAccessibility() : nullptr;
}

// The sibling in the given direction on screen: the nearest one lying wholly on that side.
CControlUI* SiblingOnSide(CControlUI* pFrom, const std::vector<CControlUI*>& siblings, long navDir) {
  const RECT& from = pFrom->GetPosition();
  CControlUI* pBest = nullptr;
  long long best = LLONG_MAX;
  for (CControlUI* pSibling : siblings) {
    if (pSibling == pFrom) continue;
    const RECT& rc = pSibling->GetPosition();
    long long distance = 0;
    switch (navDir) {
      case NAVDIR_LEFT:
        if (rc.right > from.left) continue;
        distance = from.left - rc.right;
        break;
      case NAVDIR_RIGHT:
        if (rc.left < from.right) continue;
        distance = rc.left - from.right;
        break;
      case NAVDIR_UP:
        if (rc.bottom > from.top) continue;
        distance = from.top - rc.bottom;
        break;
      default:  // NAVDIR_DOWN
        if (rc.top < from.bottom) continue;
        distance = rc.top - from.bottom;
        break;
    }
    // Across the other axis, the one in line with the start comes first.
    const bool bAcross = navDir == NAVDIR_LEFT || navDir == NAVDIR_RIGHT;
    const long long offset = bAcross ? std::abs((rc.top + rc.bottom) - (from.top + from.bottom)) / 2
                                     : std::abs((rc.left + rc.right) - (from.left + from.right)) / 2;
    distance = distance * 4 + offset;
    if (distance < best) {
      best = distance;
      pBest = pSibling;
    }
  }
  return pBest;
}

}  // namespace

using namespace accessible_tree;

// ---- the object ----

CAccessibleObject::CAccessibleObject(CControlUI* pControl, HWND hWnd) : m_control(pControl), m_hWnd(hWnd) {
  ++g_lLiveObjects;
}

CAccessibleObject::~CAccessibleObject() { --g_lLiveObjects; }

LONG CAccessibleObject::LiveObjects() { return g_lLiveObjects; }

HRESULT CAccessibleObject::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
    *ppvObject = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

ULONG CAccessibleObject::AddRef() { return static_cast<ULONG>(++m_cRef); }

ULONG CAccessibleObject::Release() {
  const LONG cRef = --m_cRef;
  if (cRef == 0) delete this;
  return static_cast<ULONG>(cRef);
}

HRESULT CAccessibleObject::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo == nullptr) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

HRESULT CAccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
  if (ppTInfo != nullptr) *ppTInfo = nullptr;
  return E_NOTIMPL;
}

HRESULT CAccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT CAccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

HRESULT CAccessibleObject::Resolve(const VARIANT& varChild, CControlUI*& pTarget) const {
  pTarget = nullptr;
  CControlUI* pSelf = m_control.Get();
  if (pSelf == nullptr) return CO_E_OBJNOTCONNECTED;
  if (varChild.vt != VT_I4) return E_INVALIDARG;
  const LONG lChild = varChild.lVal;
  if (lChild == CHILDID_SELF) {
    pTarget = pSelf;
    return S_OK;
  }
  if (lChild > 0) {
    const std::vector<CControlUI*> children = ChildrenOf(pSelf);
    if (static_cast<size_t>(lChild) > children.size()) return E_INVALIDARG;
    pTarget = children[static_cast<size_t>(lChild) - 1];
    return S_OK;
  }
  CHostAccessibility* pAccessibility = AccessibilityOf(pSelf);
  CControlUI* pNamed = pAccessibility != nullptr ? pAccessibility->ControlForEventId(lChild) : nullptr;
  // An event's id reaches the controls below the object asked, the root's every control.
  if (pNamed == nullptr || !IsAncestorOf(pSelf, pNamed)) return E_INVALIDARG;
  pTarget = pNamed;
  return S_OK;
}

HRESULT CAccessibleObject::Answer(CControlUI* pControl, VARIANT* pvar) const {
  if (pControl == m_control.Get()) {
    pvar->vt = VT_I4;
    pvar->lVal = CHILDID_SELF;
    return S_OK;
  }
  CHostAccessibility* pAccessibility = AccessibilityOf(pControl);
  if (pAccessibility == nullptr) return E_FAIL;
  pvar->vt = VT_DISPATCH;
  pvar->pdispVal = pAccessibility->ObjectFor(pControl);
  return S_OK;
}

HRESULT CAccessibleObject::get_accParent(IDispatch** ppdispParent) {
  if (ppdispParent == nullptr) return E_POINTER;
  *ppdispParent = nullptr;
  CControlUI* pSelf = m_control.Get();
  if (pSelf == nullptr) return CO_E_OBJNOTCONNECTED;
  if (IsRoot(pSelf)) {
    // Above the client area is the window, as the platform describes it.
    return oleacc::ObjectFromWindow(m_hWnd, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                    reinterpret_cast<void**>(ppdispParent));
  }
  CControlUI* pParent = ParentOf(pSelf);
  CHostAccessibility* pAccessibility = AccessibilityOf(pSelf);
  if (pParent == nullptr || pAccessibility == nullptr) return S_FALSE;
  *ppdispParent = pAccessibility->ObjectFor(pParent);
  return S_OK;
}

HRESULT CAccessibleObject::get_accChildCount(long* pcountChildren) {
  if (pcountChildren == nullptr) return E_POINTER;
  *pcountChildren = 0;
  CControlUI* pSelf = m_control.Get();
  if (pSelf == nullptr) return CO_E_OBJNOTCONNECTED;
  *pcountChildren = static_cast<long>(ChildrenOf(pSelf).size());
  return S_OK;
}

HRESULT CAccessibleObject::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
  if (ppdispChild == nullptr) return E_POINTER;
  *ppdispChild = nullptr;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  CHostAccessibility* pAccessibility = AccessibilityOf(pTarget);
  if (pAccessibility == nullptr) return E_FAIL;
  *ppdispChild = pAccessibility->ObjectFor(pTarget);
  return S_OK;
}

HRESULT CAccessibleObject::get_accName(VARIANT varChild, BSTR* pszName) {
  if (pszName == nullptr) return E_POINTER;
  *pszName = nullptr;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  return ReturnText(NameOf(pTarget), pszName);
}

HRESULT CAccessibleObject::get_accValue(VARIANT varChild, BSTR* pszValue) {
  if (pszValue == nullptr) return E_POINTER;
  *pszValue = nullptr;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  const AccessibleDescription desc = Describe(pTarget);
  // A protected field's content is nobody's to read, not even as its length.
  if ((desc.dwState & STATE_SYSTEM_PROTECTED) != 0) return E_ACCESSDENIED;
  if (!desc.bHasValue) return DISP_E_MEMBERNOTFOUND;
  *pszValue = ::SysAllocString(desc.sValue.GetData());
  return *pszValue != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CAccessibleObject::get_accDescription(VARIANT varChild, BSTR* pszDescription) {
  if (pszDescription == nullptr) return E_POINTER;
  *pszDescription = nullptr;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  // A window that tells something (a message box, a question) is described by what it tells.
  CHostAccessibility* pAccessibility = AccessibilityOf(pTarget);
  CControlUI* pMessage = pAccessibility != nullptr ? pAccessibility->MessageControl() : nullptr;
  if (IsRoot(pTarget) && pMessage != nullptr) return ReturnText(NameOf(pMessage), pszDescription);
  // A tooltip that is not already the name says more about the control.
  CUIString sToolTip = pTarget->GetToolTip();
  CWindowHostUI::ApplyLanguageTokens(sToolTip);
  if (sToolTip == NameOf(pTarget).GetData()) return S_FALSE;
  return ReturnText(sToolTip, pszDescription);
}

HRESULT CAccessibleObject::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
  if (pvarRole == nullptr) return E_POINTER;
  SetEmpty(pvarRole);
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  pvarRole->vt = VT_I4;
  pvarRole->lVal = Describe(pTarget).lRole;
  return S_OK;
}

HRESULT CAccessibleObject::get_accState(VARIANT varChild, VARIANT* pvarState) {
  if (pvarState == nullptr) return E_POINTER;
  SetEmpty(pvarState);
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  DWORD dwState = Describe(pTarget).dwState;
  const RECT rcVisible = VisibleRect(pTarget);
  if (!pTarget->IsVisible()) {
    dwState |= STATE_SYSTEM_INVISIBLE;
  } else if (::IsRectEmpty(&rcVisible) != FALSE) {
    dwState |= STATE_SYSTEM_OFFSCREEN;
  }
  if (!pTarget->IsEnabled()) dwState |= STATE_SYSTEM_UNAVAILABLE;
  CWindowHostUI* pHost = pTarget->GetHost();
  // A control the window put the focus on (a progress bar it opens on) took it, Tab stop or not.
  const bool bIsFocus = pHost != nullptr && pHost->GetFocusControl() == pTarget;
  if (pTarget->IsEnabled() && (pTarget->IsKeyboardFocusable() || bIsFocus)) {
    dwState |= STATE_SYSTEM_FOCUSABLE;
  }
  if (WindowHasFocus(m_hWnd) && bIsFocus) {
    dwState |= STATE_SYSTEM_FOCUSED;
  }
  pvarState->vt = VT_I4;
  pvarState->lVal = static_cast<LONG>(dwState);
  return S_OK;
}

HRESULT CAccessibleObject::get_accHelp(VARIANT varChild, BSTR* pszHelp) {
  if (pszHelp == nullptr) return E_POINTER;
  *pszHelp = nullptr;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  return FAILED(hr) ? hr : S_FALSE;
}

HRESULT CAccessibleObject::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) {
  if (pszHelpFile != nullptr) *pszHelpFile = nullptr;
  if (pidTopic != nullptr) *pidTopic = -1;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  return FAILED(hr) ? hr : S_FALSE;
}

HRESULT CAccessibleObject::get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) {
  if (pszKeyboardShortcut == nullptr) return E_POINTER;
  *pszKeyboardShortcut = nullptr;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  const WCHAR chShortcut = pTarget->GetShortcut();
  if (chShortcut == 0) return S_FALSE;
  CUIString sShortcut = L"Alt+";
  sShortcut += chShortcut;
  return ReturnText(sShortcut, pszKeyboardShortcut);
}

HRESULT CAccessibleObject::get_accFocus(VARIANT* pvarChild) {
  if (pvarChild == nullptr) return E_POINTER;
  SetEmpty(pvarChild);
  CControlUI* pSelf = m_control.Get();
  if (pSelf == nullptr) return CO_E_OBJNOTCONNECTED;
  if (!WindowHasFocus(m_hWnd)) return S_FALSE;
  CWindowHostUI* pHost = pSelf->GetHost();
  CControlUI* pFocus = pHost != nullptr ? pHost->GetFocusControl() : nullptr;
  // A part a control keeps to itself stands for the control.
  if (pFocus != nullptr) pFocus = SelfOrAncestorInTree(pFocus);
  if (pFocus == nullptr) {
    // The window has the focus and no control of it: the client area has it.
    if (!IsRoot(pSelf)) return S_FALSE;
    pFocus = pSelf;
  }
  if (pFocus != pSelf && !IsAncestorOf(pSelf, pFocus)) return S_FALSE;
  return Answer(pFocus, pvarChild);
}

HRESULT CAccessibleObject::get_accSelection(VARIANT* pvarChildren) {
  if (pvarChildren == nullptr) return E_POINTER;
  SetEmpty(pvarChildren);
  CControlUI* pSelf = m_control.Get();
  if (pSelf == nullptr) return CO_E_OBJNOTCONNECTED;
  for (CControlUI* pChild : ChildrenOf(pSelf)) {
    if ((Describe(pChild).dwState & STATE_SYSTEM_SELECTED) != 0) return Answer(pChild, pvarChildren);
  }
  return S_FALSE;
}

HRESULT CAccessibleObject::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) {
  if (pszDefaultAction == nullptr) return E_POINTER;
  *pszDefaultAction = nullptr;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  const CUIString sAction = Describe(pTarget).sDefaultAction;
  if (sAction.IsEmpty()) return DISP_E_MEMBERNOTFOUND;
  return ReturnText(sAction, pszDefaultAction);
}

HRESULT CAccessibleObject::accSelect(long flagsSelect, VARIANT varChild) {
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  // Selection is the controls' own business; the focus is the host's.
  if (flagsSelect != SELFLAG_TAKEFOCUS) return E_NOTIMPL;
  if (!pTarget->IsVisible() || !pTarget->IsEnabled() || pTarget->GetHost() == nullptr) return E_FAIL;
  pTarget->GetHost()->SetFocusControl(pTarget, true);
  return pTarget->GetHost()->GetFocusControl() == pTarget ? S_OK : E_FAIL;
}

HRESULT CAccessibleObject::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                       VARIANT varChild) {
  if (pxLeft == nullptr || pyTop == nullptr || pcxWidth == nullptr || pcyHeight == nullptr) return E_POINTER;
  *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  const RECT& rc = pTarget->GetPosition();
  POINT ptTopLeft = {rc.left, rc.top};
  ::ClientToScreen(m_hWnd, &ptTopLeft);
  *pxLeft = ptTopLeft.x;
  *pyTop = ptTopLeft.y;
  *pcxWidth = rc.right - rc.left;
  *pcyHeight = rc.bottom - rc.top;
  return S_OK;
}

HRESULT CAccessibleObject::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) {
  if (pvarEndUpAt == nullptr) return E_POINTER;
  SetEmpty(pvarEndUpAt);
  CControlUI* pStart = nullptr;
  const HRESULT hr = Resolve(varStart, pStart);
  if (FAILED(hr)) return hr;
  CControlUI* pEnd = nullptr;
  if (navDir == NAVDIR_FIRSTCHILD || navDir == NAVDIR_LASTCHILD) {
    // From a child, not from the object itself: there is nothing below a child id.
    if (pStart != m_control.Get()) return E_INVALIDARG;
    const std::vector<CControlUI*> children = ChildrenOf(pStart);
    if (!children.empty()) pEnd = navDir == NAVDIR_FIRSTCHILD ? children.front() : children.back();
  } else {
    CControlUI* pParent = ParentOf(pStart);
    if (pParent == nullptr) return S_FALSE;
    const std::vector<CControlUI*> siblings = ChildrenOf(pParent);
    const auto it = std::find(siblings.begin(), siblings.end(), pStart);
    if (it == siblings.end()) return S_FALSE;
    switch (navDir) {
      case NAVDIR_NEXT:
        if (it + 1 != siblings.end()) pEnd = *(it + 1);
        break;
      case NAVDIR_PREVIOUS:
        if (it != siblings.begin()) pEnd = *(it - 1);
        break;
      case NAVDIR_LEFT:
      case NAVDIR_RIGHT:
      case NAVDIR_UP:
      case NAVDIR_DOWN:
        pEnd = SiblingOnSide(pStart, siblings, navDir);
        break;
      default:
        return E_INVALIDARG;
    }
  }
  if (pEnd == nullptr) return S_FALSE;
  // Always an object: the end is never this object itself.
  return Answer(pEnd, pvarEndUpAt);
}

HRESULT CAccessibleObject::accHitTest(long xLeft, long yTop, VARIANT* pvarChild) {
  if (pvarChild == nullptr) return E_POINTER;
  SetEmpty(pvarChild);
  CControlUI* pSelf = m_control.Get();
  if (pSelf == nullptr) return CO_E_OBJNOTCONNECTED;
  POINT pt = {xLeft, yTop};
  ::ScreenToClient(m_hWnd, &pt);
  const RECT rcSelf = VisibleRect(pSelf);
  if (::PtInRect(&rcSelf, pt) == FALSE) return S_FALSE;
  // The last child is painted last, over the others: it is the one under the point.
  const std::vector<CControlUI*> children = ChildrenOf(pSelf);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const RECT rcChild = VisibleRect(*it);
    if (::PtInRect(&rcChild, pt) != FALSE) return Answer(*it, pvarChild);
  }
  return Answer(pSelf, pvarChild);
}

HRESULT CAccessibleObject::accDoDefaultAction(VARIANT varChild) {
  CControlUI* pTarget = nullptr;
  const HRESULT hr = Resolve(varChild, pTarget);
  if (FAILED(hr)) return hr;
  if (Describe(pTarget).sDefaultAction.IsEmpty()) return DISP_E_MEMBERNOTFOUND;
  if (!pTarget->IsVisible() || !pTarget->IsEnabled()) return E_FAIL;
  CHostAccessibility* pAccessibility = AccessibilityOf(pTarget);
  if (pAccessibility == nullptr) return E_FAIL;
  pAccessibility->DeferActivate(pTarget);
  return S_OK;
}

HRESULT CAccessibleObject::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT CAccessibleObject::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }

}  // namespace SkinUI
