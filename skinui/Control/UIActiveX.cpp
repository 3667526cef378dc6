// The ActiveX host control: creating, placing, painting and releasing the hosted object, and the
// window messages a windowless object receives.

#include "Control/UIActiveX.h"

#include "Control/UIActiveXSite.h"
#include "Control/UIActiveXWnd.h"
#include "Core/UIManager.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

// In-process server, in-process handler, local server and remote server.
const DWORD kCreationContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER |
                               CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
const int kMaxClassIdChars = 99;
const LONG kHimetricPerInch = 2540;

typedef HRESULT(STDAPICALLTYPE* GetClassObjectProc)(REFCLSID, REFIID, LPVOID*);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowProc)();

bool IsMouseMessage(UINT uMsg) { return uMsg >= WM_MOUSEFIRST && uMsg <= WM_MOUSELAST; }
bool IsKeyMessage(UINT uMsg) { return uMsg >= WM_KEYFIRST && uMsg <= WM_KEYLAST; }

}  // namespace

CActiveXUI::CActiveXUI()
    : m_clsid(GUID_NULL),
      m_bCreated(false),
      m_bDelayCreate(true),
      m_pUnk(nullptr),
      m_pControl(nullptr),
      m_hwndHost(nullptr),
      m_hServerModule(nullptr),
      m_bComInitialized(SUCCEEDED(::CoInitialize(nullptr))) {}

CActiveXUI::~CActiveXUI() {
  CActiveXUI::ReleaseObject();
  if (m_bComInitialized) ::CoUninitialize();
}

LPCWSTR CActiveXUI::ClassName() const { return L"ActiveXUI"; }

LPVOID CActiveXUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ActiveX") == 0) return this;
  return CControlUI::QueryNamedInterface(pstrName);
}

UINT CActiveXUI::GetBehaviourFlags() const { return kBehaviourTabStop; }

HWND CActiveXUI::GetNativeHandle() const { return m_hwndHost; }

bool CActiveXUI::SetClassId(REFCLSID clsid) {
  UI_CHECK(clsid!=GUID_NULL);
  if (clsid == GUID_NULL) return false;
  m_clsid = clsid;
  m_bCreated = false;
  if (!m_bDelayCreate) CreateObject();
  return true;
}

void CActiveXUI::SetServerModule(LPCWSTR pstrModuleName) { m_sModuleName = pstrModuleName; }

void CActiveXUI::SetDeferredCreation(bool bDelayCreate) {
  if (m_bDelayCreate == bDelayCreate) return;
  if (!bDelayCreate && !m_bCreated && m_clsid != GUID_NULL) {
    m_bDelayCreate = false;
    CreateObject();
  }
  m_bDelayCreate = bDelayCreate;
}

HRESULT CActiveXUI::QueryObject(REFIID iid, LPVOID* ppRet) {
  UI_CHECK(ppRet!=0);
  if (ppRet == nullptr) return E_POINTER;
  UI_CHECK(*ppRet==0);
  if (m_pUnk == nullptr) return E_PENDING;
  return m_pUnk->QueryInterface(iid, ppRet);
}

UI_BEGIN_ATTRIBUTES(CActiveXUI, CControlUI)
UI_ATTRIBUTE(L"clsid", kTextValue,
             WCHAR szClassId[kMaxClassIdChars + 1] = {};
             ::lstrcpynW(szClassId, pstrValue, kMaxClassIdChars + 1);
             CLSID clsid = GUID_NULL;
             const HRESULT hr = szClassId[0] == L'{' ? ::CLSIDFromString(szClassId, &clsid)
                                                     : ::CLSIDFromProgID(szClassId, &clsid);
             if (FAILED(hr)) clsid = GUID_NULL;
             self.SetClassId(clsid))
UI_ATTRIBUTE(L"modulename", kTextValue, self.SetServerModule(pstrValue))
UI_ATTRIBUTE(L"delaycreate", kBoolValue,
             self.SetDeferredCreation(::lstrcmpW(pstrValue, L"true") == 0))
UI_END_ATTRIBUTES()

// ---- placing ----

void CActiveXUI::SetPosition(RECT rc, bool bNeedInvalidate) {
  CControlUI::SetPosition(rc, bNeedInvalidate);
  if (!m_bCreated) CreateObject();
  if (m_pUnk == nullptr || m_pControl == nullptr) return;
  PlaceObject();
}

void CActiveXUI::PlaceObject() {
  HDC hDC = ::GetDC(nullptr);
  const SIZEL hmSize = {::MulDiv(kHimetricPerInch, m_rcItem.right - m_rcItem.left,
                                 ::GetDeviceCaps(hDC, LOGPIXELSX)),
                        ::MulDiv(kHimetricPerInch, m_rcItem.bottom - m_rcItem.top,
                                 ::GetDeviceCaps(hDC, LOGPIXELSY))};
  ::ReleaseDC(nullptr, hDC);
  SIZEL size = hmSize;
  m_pUnk->SetExtent(DVASPECT_CONTENT, &size);
  if (m_pControl->m_pInPlaceObject != nullptr) {
    RECT rcItem = m_rcItem;
    if (!m_pControl->m_bWindowless) ::OffsetRect(&rcItem, -rcItem.left, -rcItem.top);
    m_pControl->m_pInPlaceObject->SetObjectRects(&rcItem, &rcItem);
  }
  if (!m_pControl->m_bWindowless) MoveObjectWindow();
}

void CActiveXUI::MoveObjectWindow() {
  UI_CHECK(m_pControl->m_pWindow);
  if (m_pControl->m_pWindow == nullptr || m_pControl->m_pWindow->GetHWND() == nullptr) return;
  ::MoveWindow(m_pControl->m_pWindow->GetHWND(), m_rcItem.left, m_rcItem.top,
               m_rcItem.right - m_rcItem.left, m_rcItem.bottom - m_rcItem.top, TRUE);
}

void CActiveXUI::MoveBy(int dx, int dy, bool bNeedInvalidate) {
  CControlUI::MoveBy(dx, dy, bNeedInvalidate);
  if (m_pControl != nullptr && !m_pControl->m_bWindowless) MoveObjectWindow();
}

void CActiveXUI::SetVisible(bool bVisible) {
  CControlUI::SetVisible(bVisible);
  if (m_hwndHost != nullptr && m_pControl != nullptr && !m_pControl->m_bWindowless) {
    ::ShowWindow(m_hwndHost, IsVisible() ? SW_SHOW : SW_HIDE);
  }
}

void CActiveXUI::SetInheritedVisible(bool bVisible) {
  CControlUI::SetInheritedVisible(bVisible);
  if (m_hwndHost != nullptr && m_pControl != nullptr && !m_pControl->m_bWindowless) {
    ::ShowWindow(m_hwndHost, IsVisible() ? SW_SHOW : SW_HIDE);
  }
}

bool CActiveXUI::PaintSelf(HDC hDC, const RECT& /*rcPaint*/, CControlUI* /*pStopControl*/) {
  if (m_pControl != nullptr && m_pControl->m_bWindowless && m_pControl->m_pViewObject != nullptr) {
    m_pControl->DrawContent(hDC, m_rcItem);
  }
  return true;
}

// ---- the windowless object's messages ----

LRESULT CActiveXUI::FilterMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  // A windowed object hears its own window; only a windowless one speaks the interface below.
  if (m_pControl == nullptr || !m_pControl->m_bWindowless) return 0;
  if (!m_pControl->m_bInPlaceActive || m_pControl->m_pInPlaceObject == nullptr) return 0;
  const bool bMouse = IsMouseMessage(uMsg);
  if (bMouse && !IsMouseEnabled()) return 0;
  bool bWasHandled = true;
  if (bMouse || uMsg == WM_SETCURSOR) {
    DWORD dwHitResult = m_pControl->m_bCaptured ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    if (dwHitResult == HITRESULT_OUTSIDE && m_pControl->m_pViewObject != nullptr) {
      IViewObjectEx* pViewEx = nullptr;
      m_pControl->m_pViewObject->QueryInterface(IID_IViewObjectEx,
                                                reinterpret_cast<LPVOID*>(&pViewEx));
      if (pViewEx != nullptr) {
        const POINT ptMouse = {static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam))};
        pViewEx->QueryHitPoint(DVASPECT_CONTENT, &m_rcItem, ptMouse, 0, &dwHitResult);
        pViewEx->Release();
      }
    }
    if (dwHitResult != HITRESULT_HIT) return 0;
    if (uMsg == WM_SETCURSOR) bWasHandled = false;
    if (uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK || uMsg == WM_RBUTTONDOWN) {
      ::SetFocus(GetHost()->GetHostWindow());
      SetFocus();
    }
  } else if (IsKeyMessage(uMsg)) {
    if (!IsFocused()) return 0;
  } else if (uMsg == WM_HELP || uMsg == WM_CONTEXTMENU) {
    bWasHandled = false;
  } else {
    return 0;
  }
  LRESULT lResult = 0;
  IOleInPlaceObjectWindowless* pWindowless =
      static_cast<IOleInPlaceObjectWindowless*>(m_pControl->m_pInPlaceObject);
  if (pWindowless->OnWindowMessage(uMsg, wParam, lParam, &lResult) == S_OK) bHandled = bWasHandled;
  return lResult;
}

// ---- creating and releasing ----

bool CActiveXUI::CreateObject() {
  ReleaseObject();
  m_bCreated = true;

  IOleControl* pOleControl = nullptr;
  HRESULT hr = E_FAIL;
  if (!m_sModuleName.IsEmpty()) {
    m_hServerModule = ::LoadLibraryW(m_sModuleName);
    GetClassObjectProc pfnGetClassObject =
        m_hServerModule != nullptr ? reinterpret_cast<GetClassObjectProc>(reinterpret_cast<void*>(
                                         ::GetProcAddress(m_hServerModule, "DllGetClassObject")))
                                   : nullptr;
    IClassFactory* pFactory = nullptr;
    if (pfnGetClassObject != nullptr) {
      hr = pfnGetClassObject(m_clsid, IID_IClassFactory, reinterpret_cast<LPVOID*>(&pFactory));
    }
    if (SUCCEEDED(hr) && pFactory != nullptr) {
      hr = pFactory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<LPVOID*>(&pOleControl));
      pFactory->Release();
    } else if (SUCCEEDED(hr)) {
      hr = E_FAIL;
    }
  }
  if (FAILED(hr) || pOleControl == nullptr) {
    hr = ::CoCreateInstance(m_clsid, nullptr, kCreationContext, IID_IOleControl,
                            reinterpret_cast<LPVOID*>(&pOleControl));
  }
  const HRESULT Hr = hr;
  UI_CHECK((((HRESULT)(Hr)) >= 0));
  if (FAILED(hr) || pOleControl == nullptr) {
    FreeServerModule();
    return false;
  }
  pOleControl->QueryInterface(IID_IOleObject, reinterpret_cast<LPVOID*>(&m_pUnk));
  pOleControl->Release();
  if (m_pUnk == nullptr) return false;

  m_pControl = new CActiveXCtrl;
  m_pControl->m_pOwner = this;
  DWORD dwMiscStatus = 0;
  m_pUnk->GetMiscStatus(DVASPECT_CONTENT, &dwMiscStatus);
  IOleClientSite* pClientSite = nullptr;
  m_pControl->QueryInterface(IID_IOleClientSite, reinterpret_cast<LPVOID*>(&pClientSite));
  if ((dwMiscStatus & OLEMISC_SETCLIENTSITEFIRST) != 0) m_pUnk->SetClientSite(pClientSite);

  IPersistStreamInit* pPersistStreamInit = nullptr;
  m_pUnk->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<LPVOID*>(&pPersistStreamInit));
  if (pPersistStreamInit != nullptr) {
    hr = pPersistStreamInit->InitNew();
    pPersistStreamInit->Release();
  }
  if (FAILED(hr)) {
    pClientSite->Release();
    return false;
  }
  if ((dwMiscStatus & OLEMISC_SETCLIENTSITEFIRST) == 0) m_pUnk->SetClientSite(pClientSite);

  IViewObject* pViewObject = nullptr;
  hr = m_pUnk->QueryInterface(IID_IViewObjectEx, reinterpret_cast<LPVOID*>(&pViewObject));
  if (FAILED(hr)) {
    hr = m_pUnk->QueryInterface(IID_IViewObject2, reinterpret_cast<LPVOID*>(&pViewObject));
  }
  if (FAILED(hr)) {
    hr = m_pUnk->QueryInterface(IID_IViewObject, reinterpret_cast<LPVOID*>(&pViewObject));
  }
  m_pControl->m_pViewObject = pViewObject;

  m_pUnk->SetHostNames(L"UIActiveX", nullptr);
  if (m_pHost != nullptr) m_pHost->RaiseNotification(this, kNotifyShowActiveX, 0, 0, false);
  if ((dwMiscStatus & OLEMISC_INVISIBLEATRUNTIME) == 0) {
    RECT rcItem = m_rcItem;
    hr = m_pUnk->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, pClientSite, 0,
                        m_pHost != nullptr ? m_pHost->GetHostWindow() : nullptr, &rcItem);
  }
  IObjectWithSite* pSite = nullptr;
  m_pUnk->QueryInterface(IID_IObjectWithSite, reinterpret_cast<LPVOID*>(&pSite));
  if (pSite != nullptr) {
    pSite->SetSite(static_cast<IOleClientSite*>(m_pControl));
    pSite->Release();
  }
  pClientSite->Release();
  return SUCCEEDED(hr);
}

void CActiveXUI::ReleaseObject() {
  m_hwndHost = nullptr;
  if (m_pUnk != nullptr) {
    IObjectWithSite* pSite = nullptr;
    m_pUnk->QueryInterface(IID_IObjectWithSite, reinterpret_cast<LPVOID*>(&pSite));
    if (pSite != nullptr) {
      pSite->SetSite(nullptr);
      pSite->Release();
    }
    m_pUnk->Close(OLECLOSE_NOSAVE);
    m_pUnk->SetClientSite(nullptr);
    m_pUnk->Release();
    m_pUnk = nullptr;
  }
  if (m_pControl != nullptr) {
    m_pControl->m_pOwner = nullptr;
    m_pControl->Release();
    m_pControl = nullptr;
  }
  if (m_pHost != nullptr) m_pHost->UnregisterMessageFilter(this);
  FreeServerModule();
}

void CActiveXUI::FreeServerModule() {
  if (m_hServerModule == nullptr) return;
  CanUnloadNowProc pfnCanUnloadNow = reinterpret_cast<CanUnloadNowProc>(
      reinterpret_cast<void*>(::GetProcAddress(m_hServerModule, "DllCanUnloadNow")));
  // A server whose objects are still referenced elsewhere stays: its code is still running.
  if (pfnCanUnloadNow != nullptr && pfnCanUnloadNow() == S_OK) ::FreeLibrary(m_hServerModule);
  m_hServerModule = nullptr;
}

}  // namespace SkinUI
