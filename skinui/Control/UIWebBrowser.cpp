// The web browser control: navigation, the browser's events, the document-host UI handling, the
// download manager and keyboard accelerators.

#include "Control/UIWebBrowser.h"

#include <exdispid.h>
#include <mshtml.h>

#include "Core/UIManager.h"

namespace SkinUI {

namespace {

// GUIDs the import libraries do not carry.
const GUID kDocHostCommandHandler = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};
const IID kDownloadManagerIid = {
    0x988934a4, 0x064b, 0x11d3, {0xbb, 0x80, 0x00, 0x10, 0x4b, 0x35, 0xe7, 0xf9}};
const IID kCustomDocIid = {
    0x3050f3f0, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
const DWORD kShowScriptError = 40;  // OLECMDID_SHOWSCRIPTERROR
const LPCWSTR kScriptErrorProperties[] = {L"errorLine", L"errorCharacter", L"errorCode",
                                          L"errorMessage", L"errorUrl"};

// The event's argument i in declaration order; the platform hands them last first.
VARIANT& EventArgument(DISPPARAMS* pParams, UINT i) {
  return pParams->rgvarg[pParams->cArgs - 1 - i];
}

bool HasArguments(const DISPPARAMS* pParams, UINT cArgs) {
  return pParams != nullptr && pParams->rgvarg != nullptr && pParams->cArgs >= cArgs;
}

}  // namespace

// ---- download manager ----

STDMETHODIMP CWebBrowserDownloads::QueryInterface(REFIID riid, LPVOID* ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != kDownloadManagerIid) return E_NOINTERFACE;
  *ppvObject = static_cast<IDownloadManager*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserDownloads::AddRef() { return m_pOwner->AddRef(); }
STDMETHODIMP_(ULONG) CWebBrowserDownloads::Release() { return m_pOwner->Release(); }

STDMETHODIMP CWebBrowserDownloads::Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb,
                                            LONG grfBINDF, BINDINFO* pBindInfo,
                                            LPCOLESTR pszHeaders, LPCOLESTR pszRedir, UINT uiCP) {
  return m_pOwner->Download(pmk, pbc, dwBindVerb, grfBINDF, pBindInfo, pszHeaders, pszRedir, uiCP);
}

// ---- the control ----

CWebBrowserUI::CWebBrowserUI()
    : m_pWebBrowser(nullptr),
      m_dwRef(0),
      m_dwCookie(0),
      m_bAutoNavigate(false),
      m_pEventHandler(nullptr),
      m_downloads(this) {
  m_clsid = CLSID_WebBrowser;
}

CWebBrowserUI::~CWebBrowserUI() {
  CWebBrowserUI::ReleaseObject();
  ReleaseWebBrowser();
}

void CWebBrowserUI::ReleaseWebBrowser() {
  if (m_pWebBrowser == nullptr) return;
  m_pWebBrowser->Release();
  m_pWebBrowser = nullptr;
}

LPCWSTR CWebBrowserUI::ClassName() const { return L"WebBrowserUI"; }

LPVOID CWebBrowserUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"WebBrowser") == 0) return this;
  return CActiveXUI::QueryNamedInterface(pstrName);
}

UI_BEGIN_ATTRIBUTES(CWebBrowserUI, CActiveXUI)
UI_ATTRIBUTE(L"homepage", kTextValue, self.m_sHomePage = pstrValue)
UI_ATTRIBUTE(L"autonavi", kBoolValue, self.m_bAutoNavigate = ::lstrcmpW(pstrValue, L"true") == 0)
UI_END_ATTRIBUTES()


void CWebBrowserUI::ReleaseObject() {
  m_bCreated = false;
  if (m_pHost != nullptr) m_pHost->UnregisterAcceleratorTranslator(this);
  ConnectBrowserEvents(false);
}

bool CWebBrowserUI::CreateObject() {
  // A browser made before would otherwise stay alive, unreachable, with its site and window.
  if (m_pUnk != nullptr) {
    ReleaseObject();
    ReleaseWebBrowser();
    CActiveXUI::ReleaseObject();
  }
  if (!CActiveXUI::CreateObject()) return false;
  if (m_pHost != nullptr) m_pHost->RegisterAcceleratorTranslator(this);
  ReleaseWebBrowser();
  QueryObject(IID_IWebBrowser2, reinterpret_cast<LPVOID*>(&m_pWebBrowser));
  if (m_bAutoNavigate && !m_sHomePage.IsEmpty()) NavigateTo(m_sHomePage);
  ConnectBrowserEvents(true);
  return true;
}

void CWebBrowserUI::NavigateTo(LPCWSTR pstrUrl) {
  if (pstrUrl == nullptr || *pstrUrl == L'\0' || m_pWebBrowser == nullptr) return;
  VARIANT vUrl;
  ::VariantInit(&vUrl);
  vUrl.vt = VT_BSTR;
  vUrl.bstrVal = ::SysAllocString(pstrUrl);
  VARIANT vEmpty;
  ::VariantInit(&vEmpty);
  m_pWebBrowser->Navigate2(&vUrl, &vEmpty, &vEmpty, &vEmpty, &vEmpty);
  ::VariantClear(&vUrl);
}

HRESULT CWebBrowserUI::ConnectBrowserEvents(bool bConnect) {
  // Nothing to undo: a second disconnect must not hand the browser a stale cookie.
  if (!bConnect && m_dwCookie == 0) return S_OK;
  IWebBrowser2* pWebBrowser = nullptr;
  HRESULT hr = QueryObject(IID_IWebBrowser2, reinterpret_cast<LPVOID*>(&pWebBrowser));
  if (FAILED(hr)) return hr;
  IConnectionPointContainer* pContainer = nullptr;
  hr = pWebBrowser->QueryInterface(IID_IConnectionPointContainer,
                                   reinterpret_cast<LPVOID*>(&pContainer));
  pWebBrowser->Release();
  if (FAILED(hr)) return hr;
  IConnectionPoint* pPoint = nullptr;
  hr = pContainer->FindConnectionPoint(DIID_DWebBrowserEvents2, &pPoint);
  pContainer->Release();
  if (FAILED(hr)) return hr;
  if (bConnect) {
    hr = pPoint->Advise(static_cast<IDispatch*>(this), &m_dwCookie);
  } else {
    hr = pPoint->Unadvise(m_dwCookie);
    m_dwCookie = 0;
  }
  pPoint->Release();
  return hr;
}

HRESULT CWebBrowserUI::Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF,
                                BINDINFO* pBindInfo, LPCOLESTR pszHeaders, LPCOLESTR pszRedir,
                                UINT uiCP) {
  if (m_pEventHandler == nullptr) return S_OK;
  return m_pEventHandler->Download(pmk, pbc, dwBindVerb, grfBINDF, pBindInfo, pszHeaders, pszRedir,
                                   uiCP);
}

// ---- IUnknown ----

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID riid, LPVOID* ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IDocHostUIHandler) {
    *ppvObject = static_cast<IDocHostUIHandler*>(this);
  } else if (riid == IID_IDispatch || riid == IID_IUnknown) {
    // Every COM object answers IUnknown, and always with the same pointer.
    *ppvObject = static_cast<IDispatch*>(this);
  } else if (riid == IID_IServiceProvider) {
    *ppvObject = static_cast<IServiceProvider*>(this);
  } else if (riid == IID_IOleCommandTarget) {
    *ppvObject = static_cast<IOleCommandTarget*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }
STDMETHODIMP_(ULONG) CWebBrowserUI::Release() { return static_cast<ULONG>(::InterlockedDecrement(&m_dwRef)); }

// ---- IDispatch ----

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo != nullptr) *pctinfo = 0;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT /*iTInfo*/, LCID /*lcid*/, ITypeInfo** /*ppTInfo*/) {
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID /*riid*/, LPOLESTR* /*rgszNames*/, UINT /*cNames*/,
                                          LCID /*lcid*/, DISPID* /*rgDispId*/) {
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::Invoke(DISPID dispIdMember, REFIID riid, LCID /*lcid*/,
                                   WORD /*wFlags*/, DISPPARAMS* pDispParams,
                                   VARIANT* /*pVarResult*/, EXCEPINFO* /*pExcepInfo*/,
                                   UINT* /*puArgErr*/) {
  if (riid != IID_NULL) return E_INVALIDARG;
  IWebBrowserEventsUI* pReceiver = m_pEventHandler;
  DISPPARAMS* p = pDispParams;
  switch (dispIdMember) {
    case DISPID_STATUSTEXTCHANGE:
      return S_OK;
    case DISPID_COMMANDSTATECHANGE:
      if (pReceiver != nullptr && HasArguments(p, 2)) {
        pReceiver->CommandStateChange(EventArgument(p, 0).lVal, EventArgument(p, 1).boolVal);
      }
      return S_OK;
    case DISPID_BEFORENAVIGATE2:
      if (pReceiver != nullptr && HasArguments(p, 7)) {
        pReceiver->BeforeNavigate2(EventArgument(p, 0).pdispVal, EventArgument(p, 1).pvarVal,
                                   EventArgument(p, 2).pvarVal, EventArgument(p, 3).pvarVal,
                                   EventArgument(p, 4).pvarVal, EventArgument(p, 5).pvarVal,
                                   EventArgument(p, 6).pboolVal);
      }
      return S_OK;
    case DISPID_NAVIGATECOMPLETE2:
      HookDocumentUIHandler();
      if (pReceiver != nullptr && HasArguments(p, 2)) {
        pReceiver->NavigateComplete2(EventArgument(p, 0).pdispVal, EventArgument(p, 1).pvarVal);
      }
      return S_OK;
    case DISPID_DOCUMENTCOMPLETE:
      if (pReceiver != nullptr && HasArguments(p, 2) && m_pWebBrowser != nullptr) {
        IDispatch* pDisp = EventArgument(p, 0).pdispVal;
        // Frames complete too; only the top-level document counts.
        IUnknown* pTop = nullptr;
        IUnknown* pSender = nullptr;
        m_pWebBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<LPVOID*>(&pTop));
        if (pDisp != nullptr) pDisp->QueryInterface(IID_IUnknown, reinterpret_cast<LPVOID*>(&pSender));
        if (pTop != nullptr && pTop == pSender) {
          pReceiver->DocumentComplete(pDisp, EventArgument(p, 1).pvarVal);
        }
        if (pTop != nullptr) pTop->Release();
        if (pSender != nullptr) pSender->Release();
      }
      return S_OK;
    case DISPID_NAVIGATEERROR:
      if (pReceiver != nullptr && HasArguments(p, 5)) {
        pReceiver->NavigateError(EventArgument(p, 0).pdispVal, EventArgument(p, 1).pvarVal,
                                 EventArgument(p, 2).pvarVal, EventArgument(p, 3).pvarVal,
                                 EventArgument(p, 4).pboolVal);
      }
      return S_OK;
    case DISPID_NEWWINDOW3:
      if (pReceiver != nullptr && HasArguments(p, 5)) {
        pReceiver->NewWindow3(EventArgument(p, 0).ppdispVal, EventArgument(p, 1).pboolVal,
                              EventArgument(p, 2).uintVal, EventArgument(p, 3).bstrVal,
                              EventArgument(p, 4).bstrVal);
      }
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

void CWebBrowserUI::HookDocumentUIHandler() {
  if (m_pWebBrowser == nullptr) return;
  IDispatch* pDocument = nullptr;
  if (FAILED(m_pWebBrowser->get_Document(&pDocument)) || pDocument == nullptr) return;
  ICustomDoc* pCustomDoc = nullptr;
  pDocument->QueryInterface(kCustomDocIid, reinterpret_cast<LPVOID*>(&pCustomDoc));
  if (pCustomDoc != nullptr) {
    pCustomDoc->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
    pCustomDoc->Release();
  }
  pDocument->Release();
}

// ---- IDocHostUIHandler ----

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                                            IDispatch* pdispReserved) {
  if (m_pEventHandler != nullptr) {
    return m_pEventHandler->ShowContextMenu(dwID, ppt, pcmdtReserved, pdispReserved);
  }
  return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* pInfo) {
  return m_pEventHandler != nullptr ? m_pEventHandler->GetHostInfo(pInfo) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                   IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                                   IOleInPlaceUIWindow* pDoc) {
  if (m_pEventHandler != nullptr) {
    return m_pEventHandler->ShowUI(dwID, pActiveObject, pCommandTarget, pFrame, pDoc);
  }
  return S_OK;
}

STDMETHODIMP CWebBrowserUI::HideUI() {
  return m_pEventHandler != nullptr ? m_pEventHandler->HideUI() : S_OK;
}

STDMETHODIMP CWebBrowserUI::UpdateUI() {
  return m_pEventHandler != nullptr ? m_pEventHandler->UpdateUI() : S_OK;
}

STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL fEnable) {
  return m_pEventHandler != nullptr ? m_pEventHandler->EnableModeless(fEnable) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL fActivate) {
  return m_pEventHandler != nullptr ? m_pEventHandler->OnDocWindowActivate(fActivate) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL fActivate) {
  return m_pEventHandler != nullptr ? m_pEventHandler->OnFrameWindowActivate(fActivate)
                                    : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                         BOOL fFrameWindow) {
  if (m_pEventHandler != nullptr) {
    return m_pEventHandler->ResizeBorder(prcBorder, pUIWindow, fFrameWindow);
  }
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup,
                                                 DWORD nCmdID) {
  if (m_pEventHandler != nullptr) {
    return m_pEventHandler->TranslateAccelerator(lpMsg, pguidCmdGroup, nCmdID);
  }
  return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) {
  return m_pEventHandler != nullptr ? m_pEventHandler->GetOptionKeyPath(pchKey, dw) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) {
  if (m_pEventHandler != nullptr) return m_pEventHandler->GetDropTarget(pDropTarget, ppDropTarget);
  return S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** ppDispatch) {
  return m_pEventHandler != nullptr ? m_pEventHandler->GetExternal(ppDispatch) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD dwTranslate, LPWSTR pchURLIn, LPWSTR* ppchURLOut) {
  if (m_pEventHandler != nullptr) {
    return m_pEventHandler->TranslateUrl(dwTranslate, pchURLIn, ppchURLOut);
  }
  if (ppchURLOut != nullptr) *ppchURLOut = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) {
  if (m_pEventHandler != nullptr) return m_pEventHandler->FilterDataObject(pDO, ppDORet);
  if (ppDORet != nullptr) *ppDORet = nullptr;
  return E_NOTIMPL;
}

// ---- IServiceProvider ----

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID guidService, REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (guidService == kDownloadManagerIid && riid == kDownloadManagerIid) {
    *ppvObject = static_cast<IDownloadManager*>(&m_downloads);
    m_downloads.AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

// ---- IOleCommandTarget ----

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID* /*pguidCmdGroup*/, ULONG /*cCmds*/,
                                        OLECMD /*prgCmds*/[], OLECMDTEXT* /*pCmdText*/) {
  return OLECMDERR_E_NOTSUPPORTED;
}

STDMETHODIMP CWebBrowserUI::Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD /*nCmdexecopt*/,
                                 VARIANT* pvaIn, VARIANT* pvaOut) {
  if (pguidCmdGroup == nullptr || *pguidCmdGroup != kDocHostCommandHandler) {
    return OLECMDERR_E_UNKNOWNGROUP;
  }
  if (nCmdID != kShowScriptError) return OLECMDERR_E_NOTSUPPORTED;
  const HRESULT hr = ReadScriptError(pvaIn);
  // True tells the browser to go on running the page's scripts, without a dialog.
  if (pvaOut != nullptr) {
    ::VariantClear(pvaOut);
    pvaOut->vt = VT_BOOL;
    pvaOut->boolVal = VARIANT_TRUE;
  }
  return hr;
}

HRESULT CWebBrowserUI::ReadScriptError(VARIANT* pvaIn) {
  if (pvaIn == nullptr || (pvaIn->vt != VT_UNKNOWN && pvaIn->vt != VT_DISPATCH) ||
      pvaIn->punkVal == nullptr) {
    return E_INVALIDARG;
  }
  IHTMLDocument2* pDocument = nullptr;
  HRESULT hr = pvaIn->punkVal->QueryInterface(IID_IHTMLDocument2,
                                              reinterpret_cast<LPVOID*>(&pDocument));
  if (FAILED(hr)) return hr;
  IHTMLWindow2* pWindow = nullptr;
  hr = pDocument->get_parentWindow(&pWindow);
  pDocument->Release();
  if (FAILED(hr) || pWindow == nullptr) return FAILED(hr) ? hr : E_FAIL;
  IHTMLEventObj* pEvent = nullptr;
  hr = pWindow->get_event(&pEvent);
  pWindow->Release();
  if (FAILED(hr) || pEvent == nullptr) return FAILED(hr) ? hr : E_FAIL;
  for (LPCWSTR pstrName : kScriptErrorProperties) {
    DISPID dispId = DISPID_UNKNOWN;
    LPOLESTR pName = const_cast<LPOLESTR>(pstrName);
    hr = pEvent->GetIDsOfNames(IID_NULL, &pName, 1, LOCALE_SYSTEM_DEFAULT, &dispId);
    if (FAILED(hr)) continue;
    DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
    VARIANT vValue;
    ::VariantInit(&vValue);
    hr = pEvent->Invoke(dispId, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET,
                        &noArguments, &vValue, nullptr, nullptr);
    ::VariantClear(&vValue);
  }
  pEvent->Release();
  return hr;
}

// ---- accelerators ----

LRESULT CWebBrowserUI::TranslateAcceleratorKey(MSG* pMsg) {
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return S_FALSE;
  if (m_pWebBrowser == nullptr) return E_NOTIMPL;
  for (HWND hWnd = ::GetFocus(); hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    if (hWnd != m_hwndHost) continue;
    IOleInPlaceActiveObject* pActiveObject = nullptr;
    m_pWebBrowser->QueryInterface(IID_IOleInPlaceActiveObject,
                                  reinterpret_cast<LPVOID*>(&pActiveObject));
    if (pActiveObject == nullptr) return S_FALSE;
    const HRESULT hr = pActiveObject->TranslateAccelerator(pMsg);
    pActiveObject->Release();
    return hr;
  }
  return S_FALSE;
}

}  // namespace SkinUI
