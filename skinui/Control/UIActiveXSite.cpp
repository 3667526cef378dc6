// The site of a hosted ActiveX object: what the object may ask of its container.

#include "Control/UIActiveXSite.h"

#include "Control/UIActiveX.h"
#include "Control/UIActiveXEnum.h"
#include "Control/UIActiveXFrame.h"
#include "Control/UIActiveXWnd.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

void TraceCall(LPCWSTR pstrOperation) { UITrace(L"AX: CActiveXCtrl::%s", pstrOperation); }

// The frame has no accelerators of its own: one table of one entry that matches no key, made once
// and shared, since the objects that receive it never free it.
HACCEL EmptyAcceleratorTable() {
  static ACCEL empty = {0, 0, 0};
  static HACCEL hAccel = ::CreateAcceleratorTableW(&empty, 1);
  return hAccel;
}

}  // namespace

CActiveXCtrl::CActiveXCtrl()
    : m_dwRef(1),
      m_pOwner(nullptr),
      m_pWindow(nullptr),
      m_pUnkSite(nullptr),
      m_pViewObject(nullptr),
      m_pInPlaceObject(nullptr),
      m_bLocked(false),
      m_bFocused(false),
      m_bCaptured(false),
      m_bUIActivated(false),
      m_bInPlaceActive(false),
      m_bWindowless(true) {}

CActiveXCtrl::~CActiveXCtrl() {
  DestroyObjectWindow();
  if (m_pUnkSite != nullptr) m_pUnkSite->Release();
  if (m_pViewObject != nullptr) m_pViewObject->Release();
  if (m_pInPlaceObject != nullptr) m_pInPlaceObject->Release();
}

void CActiveXCtrl::DestroyObjectWindow() {
  CActiveXWnd* pWindow = m_pWindow;
  m_pWindow = nullptr;
  if (pWindow == nullptr) return;
  // The owner must not keep the handle of a window that is gone.
  if (m_pOwner != nullptr && m_pOwner->m_hwndHost == pWindow->GetHWND()) {
    m_pOwner->m_hwndHost = nullptr;
  }
  if (pWindow->GetHWND() != nullptr) ::DestroyWindow(pWindow->GetHWND());
  delete pWindow;
}

HWND CActiveXCtrl::OwnerHostWindow() const {
  return m_pOwner != nullptr ? m_pOwner->m_hwndHost : nullptr;
}

HWND CActiveXCtrl::OwnerPaintWindow() const {
  if (m_pOwner == nullptr || m_pOwner->GetHost() == nullptr) return nullptr;
  return m_pOwner->GetHost()->GetHostWindow();
}

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID riid, LPVOID* ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IUnknown || riid == IID_IOleInPlaceSiteWindowless ||
      riid == IID_IOleInPlaceSiteEx || riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) {
    *ppvObject = static_cast<IOleInPlaceSiteWindowless*>(this);
  } else if (riid == IID_IOleClientSite) {
    *ppvObject = static_cast<IOleClientSite*>(this);
  } else if (riid == IID_IOleControlSite) {
    *ppvObject = static_cast<IOleControlSite*>(this);
  } else if (riid == IID_IObjectWithSite) {
    *ppvObject = static_cast<IObjectWithSite*>(this);
  } else if (riid == IID_IOleContainer) {
    *ppvObject = static_cast<IOleContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXCtrl::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }

STDMETHODIMP_(ULONG) CActiveXCtrl::Release() {
  const LONG lRef = ::InterlockedDecrement(&m_dwRef);
  if (lRef == 0) delete this;
  return static_cast<ULONG>(lRef);
}

// ---- IObjectWithSite ----

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown* pUnkSite) {
  TraceCall(L"SetSite");
  if (pUnkSite != nullptr) pUnkSite->AddRef();
  if (m_pUnkSite != nullptr) m_pUnkSite->Release();
  m_pUnkSite = pUnkSite;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID riid, LPVOID* ppvSite) {
  TraceCall(L"GetSite");
  if (ppvSite == nullptr) return E_POINTER;
  *ppvSite = nullptr;
  if (m_pUnkSite == nullptr) return E_FAIL;
  return m_pUnkSite->QueryInterface(riid, ppvSite);
}

// ---- IOleClientSite ----

STDMETHODIMP CActiveXCtrl::SaveObject() {
  TraceCall(L"SaveObject");
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD /*dwAssign*/, DWORD /*dwWhichMoniker*/,
                                      IMoniker** ppmk) {
  TraceCall(L"GetMoniker");
  if (ppmk != nullptr) *ppmk = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer** ppContainer) {
  TraceCall(L"GetContainer");
  if (ppContainer == nullptr) return E_POINTER;
  *ppContainer = nullptr;
  HRESULT hr = E_NOTIMPL;
  if (m_pUnkSite != nullptr) {
    hr = m_pUnkSite->QueryInterface(IID_IOleContainer, reinterpret_cast<LPVOID*>(ppContainer));
  }
  if (FAILED(hr)) hr = QueryInterface(IID_IOleContainer, reinterpret_cast<LPVOID*>(ppContainer));
  return hr;
}

void CActiveXCtrl::DrawContent(HDC hDC, const RECT& rc) {
  const RECTL rcBounds = {rc.left, rc.top, rc.right, rc.bottom};
  m_pViewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hDC, &rcBounds, &rcBounds,
                      nullptr, 0);
}

STDMETHODIMP CActiveXCtrl::ShowObject() {
  TraceCall(L"ShowObject");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  HWND hWnd = OwnerHostWindow();
  // Without a window of its own the object would be drawn over the whole screen.
  if (hWnd == nullptr) return E_UNEXPECTED;
  HDC hDC = ::GetDC(hWnd);
  if (hDC == nullptr) return E_FAIL;
  if (m_pViewObject != nullptr) DrawContent(hDC, m_pOwner->GetPosition());
  ::ReleaseDC(hWnd, hDC);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(BOOL /*fShow*/) {
  TraceCall(L"OnShowWindow");
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout() {
  TraceCall(L"RequestNewObjectLayout");
  return E_NOTIMPL;
}

// ---- IOleInPlaceSiteWindowless ----

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate() {
  TraceCall(L"CanWindowlessActivate");
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetCapture() {
  TraceCall(L"GetCapture");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  return m_bCaptured ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetCapture(BOOL fCapture) {
  TraceCall(L"SetCapture");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  m_bCaptured = fCapture == TRUE;
  if (m_bCaptured) {
    ::SetCapture(OwnerHostWindow());
  } else {
    ::ReleaseCapture();
  }
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus() {
  TraceCall(L"GetFocus");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  return m_bFocused ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXCtrl::SetFocus(BOOL fFocus) {
  TraceCall(L"SetFocus");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (fFocus) m_pOwner->SetFocus();
  m_bFocused = fFocus == TRUE;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT /*pRect*/, DWORD grfFlags, HDC* phDC) {
  TraceCall(L"GetDC");
  if (phDC == nullptr) return E_POINTER;
  *phDC = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  // A windowless object draws only in the paint pass, into the host's off-screen image.
  if (m_bWindowless) return S_FALSE;
  *phDC = ::GetDC(OwnerHostWindow());
  if ((grfFlags & OLEDC_PAINTBKGND) != 0) {
    RECT rcItem = m_pOwner->GetPosition();
    ::OffsetRect(&rcItem, -rcItem.left, -rcItem.top);
    ::FillRect(*phDC, &rcItem, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC hDC) {
  TraceCall(L"ReleaseDC");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  ::ReleaseDC(OwnerHostWindow(), hDC);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT pRect, BOOL fErase) {
  TraceCall(L"InvalidateRect");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  HWND hWnd = OwnerHostWindow();
  if (hWnd == nullptr) return E_FAIL;
  return ::InvalidateRect(hWnd, pRect, fErase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN hRGN, BOOL fErase) {
  TraceCall(L"InvalidateRgn");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  return ::InvalidateRgn(OwnerHostWindow(), hRGN, fErase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT /*dx*/, INT /*dy*/, LPCRECT /*pRectScroll*/,
                                      LPCRECT /*pRectClip*/) {
  TraceCall(L"ScrollRect");
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT /*prc*/) {
  TraceCall(L"AdjustRect");
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                              LRESULT* plResult) {
  TraceCall(L"OnDefWindowMessage");
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  const LRESULT lRes = ::DefWindowProcW(OwnerHostWindow(), msg, wParam, lParam);
  if (plResult != nullptr) *plResult = lRes;
  return S_OK;
}

// ---- IOleInPlaceSiteEx ----

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(BOOL* /*pfNoRedraw*/, DWORD dwFlags) {
  TraceCall(L"OnInPlaceActivateEx");
  UI_CHECK(m_pInPlaceObject==0);
  if (m_pOwner == nullptr || m_pOwner->m_pUnk == nullptr || m_pOwner->GetHost() == nullptr) {
    return E_UNEXPECTED;
  }
  // A second activation would leak the in-place object taken by the first.
  if (m_pInPlaceObject != nullptr) return S_OK;
  ::OleLockRunning(m_pOwner->m_pUnk, TRUE, FALSE);
  HRESULT hr = E_FAIL;
  if ((dwFlags & ACTIVATE_WINDOWLESS) != 0) {
    m_bWindowless = true;
    hr = m_pOwner->m_pUnk->QueryInterface(IID_IOleInPlaceObjectWindowless,
                                          reinterpret_cast<LPVOID*>(&m_pInPlaceObject));
    if (SUCCEEDED(hr)) {
      m_pOwner->m_hwndHost = OwnerPaintWindow();
      m_pOwner->GetHost()->RegisterMessageFilter(m_pOwner);
    }
  }
  if (FAILED(hr)) {
    m_bWindowless = false;
    hr = EnsureObjectWindow();
    if (FAILED(hr)) return hr;
    hr = m_pOwner->m_pUnk->QueryInterface(IID_IOleInPlaceObject,
                                          reinterpret_cast<LPVOID*>(&m_pInPlaceObject));
  }
  if (m_pInPlaceObject != nullptr) {
    RECT rcItem = m_pOwner->GetPosition();
    if (!m_bWindowless) ::OffsetRect(&rcItem, -rcItem.left, -rcItem.top);
    m_pInPlaceObject->SetObjectRects(&rcItem, &rcItem);
  }
  m_bInPlaceActive = SUCCEEDED(hr);
  return hr;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(BOOL /*fNoRedraw*/) {
  TraceCall(L"OnInPlaceDeactivateEx");
  m_bInPlaceActive = false;
  if (m_bWindowless && m_pOwner != nullptr && m_pOwner->GetHost() != nullptr) {
    m_pOwner->GetHost()->UnregisterMessageFilter(m_pOwner);
  }
  if (m_pInPlaceObject != nullptr) {
    m_pInPlaceObject->Release();
    m_pInPlaceObject = nullptr;
  }
  DestroyObjectWindow();
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate() {
  TraceCall(L"RequestUIActivate");
  return S_OK;
}

// ---- IOleInPlaceSite ----

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate() {
  TraceCall(L"CanInPlaceActivate");
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceActivate() {
  TraceCall(L"OnInPlaceActivate");
  BOOL bDummy = FALSE;
  return OnInPlaceActivateEx(&bDummy, 0);
}

STDMETHODIMP CActiveXCtrl::OnUIActivate() {
  TraceCall(L"OnUIActivate");
  m_bUIActivated = true;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** ppFrame,
                                            IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                            LPRECT lprcClipRect,
                                            LPOLEINPLACEFRAMEINFO lpFrameInfo) {
  TraceCall(L"GetWindowContext");
  if (ppFrame == nullptr || ppDoc == nullptr || lprcPosRect == nullptr || lprcClipRect == nullptr) {
    return E_POINTER;
  }
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (m_pWindow != nullptr && m_pWindow->GetHWND() != nullptr) {
    ::GetClientRect(m_pWindow->GetHWND(), lprcPosRect);
    ::GetClientRect(m_pWindow->GetHWND(), lprcClipRect);
  } else {
    // A windowless object lives in the host window's coordinates, inside the control.
    *lprcPosRect = m_pOwner->GetPosition();
    *lprcClipRect = m_pOwner->GetPosition();
  }
  *ppFrame = new CActiveXFrameWnd(m_pOwner);
  *ppDoc = nullptr;
  if (lpFrameInfo != nullptr) {
    lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = OwnerPaintWindow();
    lpFrameInfo->haccel = EmptyAcceleratorTable();
    lpFrameInfo->cAccelEntries = 1;
  }
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE /*scrollExtant*/) {
  TraceCall(L"Scroll");
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(BOOL /*fUndoable*/) {
  TraceCall(L"OnUIDeactivate");
  m_bUIActivated = false;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate() {
  TraceCall(L"OnInPlaceDeactivate");
  return OnInPlaceDeactivateEx(TRUE);
}

STDMETHODIMP CActiveXCtrl::DiscardUndoState() {
  TraceCall(L"DiscardUndoState");
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::DeactivateAndUndo() {
  TraceCall(L"DeactivateAndUndo");
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT /*lprcPosRect*/) {
  TraceCall(L"OnPosRectChange");
  return E_NOTIMPL;
}

// ---- IOleWindow ----

STDMETHODIMP CActiveXCtrl::GetWindow(HWND* phwnd) {
  TraceCall(L"GetWindow");
  if (phwnd == nullptr) return E_POINTER;
  *phwnd = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (m_pOwner->m_hwndHost == nullptr) EnsureObjectWindow();
  if (m_pOwner->m_hwndHost == nullptr) return E_FAIL;
  *phwnd = m_pOwner->m_hwndHost;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(BOOL /*fEnterMode*/) {
  TraceCall(L"ContextSensitiveHelp");
  return S_OK;
}

// ---- IOleControlSite ----

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged() {
  TraceCall(L"OnControlInfoChanged");
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockInPlaceActive(BOOL /*fLock*/) {
  TraceCall(L"LockInPlaceActive");
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch** ppDisp) {
  TraceCall(L"GetExtendedControl");
  if (ppDisp == nullptr) return E_POINTER;
  *ppDisp = nullptr;
  if (m_pOwner == nullptr || m_pOwner->m_pUnk == nullptr) return E_UNEXPECTED;
  return m_pOwner->m_pUnk->QueryInterface(IID_IDispatch, reinterpret_cast<LPVOID*>(ppDisp));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL* /*pPtlHimetric*/, POINTF* /*pPtfContainer*/,
                                           DWORD /*dwFlags*/) {
  TraceCall(L"TransformCoords");
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG* /*pMsg*/, DWORD /*grfModifiers*/) {
  TraceCall(L"TranslateAccelerator");
  return S_FALSE;
}

STDMETHODIMP CActiveXCtrl::OnFocus(BOOL fGotFocus) {
  TraceCall(L"OnFocus");
  m_bFocused = fGotFocus == TRUE;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame() {
  TraceCall(L"ShowPropertyFrame");
  return E_NOTIMPL;
}

// ---- IOleContainer ----

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD /*grfFlags*/, IEnumUnknown** ppenum) {
  TraceCall(L"EnumObjects");
  if (ppenum == nullptr) return E_POINTER;
  *ppenum = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  *ppenum = new CActiveXEnum(m_pOwner->m_pUnk);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::LockContainer(BOOL fLock) {
  TraceCall(L"LockContainer");
  m_bLocked = fLock != FALSE;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx* /*pbc*/, LPOLESTR /*pszDisplayName*/,
                                            ULONG* /*pchEaten*/, IMoniker** /*ppmkOut*/) {
  TraceCall(L"ParseDisplayName");
  return E_NOTIMPL;
}

// ---- the object's window ----

HRESULT CActiveXCtrl::EnsureObjectWindow() {
  if (m_pWindow != nullptr) return S_OK;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  m_pWindow = new CActiveXWnd(this);
  m_pOwner->m_hwndHost = m_pWindow->Init(OwnerPaintWindow());
  return S_OK;
}

}  // namespace SkinUI
