#pragma once
// CWebBrowserUI: an ActiveX host preset to the platform's web browser object. It navigates to a
// home page, sinks the browser's events, supplies the document-host UI handling (script-error
// dialogs suppressed), offers itself as the browser's download manager and hands keyboard
// accelerators to the browser while the focus is inside it. An optional IWebBrowserEventsUI
// receives the events and the document-host calls.

#include <windows.h>
#include <docobj.h>
#include <downloadmgr.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>

#include "Control/UIActiveX.h"
#include "Control/UIWebBrowserEvents.h"

namespace SkinUI {

class CWebBrowserUI;

// The download manager the browser asks its host for; counted with the control it belongs to.
class CWebBrowserDownloads final : public IDownloadManager {
 public:
  explicit CWebBrowserDownloads(CWebBrowserUI* pOwner) : m_pOwner(pOwner) {}
  STDMETHOD(QueryInterface)(REFIID riid, LPVOID* ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(Download)(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF,
                      BINDINFO* pBindInfo, LPCOLESTR pszHeaders, LPCOLESTR pszRedir,
                      UINT uiCP) override;

 private:
  CWebBrowserUI* m_pOwner;
};

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator {
 public:
  CWebBrowserUI();
  ~CWebBrowserUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  UI_DECLARE_ATTRIBUTES()
  // Lets go of the event connection and the accelerator registration; the browser object stays
  // until the control goes or a new one is made.
  void ReleaseObject() override;
  bool CreateObject() override;
  virtual HRESULT Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF,
                           BINDINFO* pBindInfo, LPCOLESTR pszHeaders, LPCOLESTR pszRedir,
                           UINT uiCP);

  void SetHomePage(LPCWSTR pstrUrl) { m_sHomePage = pstrUrl; }
  LPCWSTR GetHomePage() const { return m_sHomePage; }
  void SetAutoNavigate(bool bAutoNavigate) { m_bAutoNavigate = bAutoNavigate; }
  bool IsAutoNavigate() const { return m_bAutoNavigate; }
  // Not owned; null removes it.
  void SetWebBrowserEventHandler(IWebBrowserEventsUI* pEventHandler) {
    m_pEventHandler = pEventHandler;
  }
  void NavigateTo(LPCWSTR pstrUrl);
  // Null until the browser object exists. No reference is added.
  IWebBrowser2* GetWebBrowser2() const { return m_pWebBrowser; }
  bool IsConnectedToEvents() const { return m_dwCookie != 0; }

  // IUnknown, shared by every COM interface of the control. The count never deletes: the control
  // tree owns the control.
  STDMETHOD(QueryInterface)(REFIID riid, LPVOID* ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;

  // IDispatch: the browser's events.
  STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
  STDMETHOD(GetTypeInfo)(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                           DISPID* rgDispId) override;
  STDMETHOD(Invoke)(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                    DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                    UINT* puArgErr) override;

  // IDocHostUIHandler
  STDMETHOD(ShowContextMenu)(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved,
                             IDispatch* pdispReserved) override;
  STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* pInfo) override;
  STDMETHOD(ShowUI)(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                    IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                    IOleInPlaceUIWindow* pDoc) override;
  STDMETHOD(HideUI)() override;
  STDMETHOD(UpdateUI)() override;
  STDMETHOD(EnableModeless)(BOOL fEnable) override;
  STDMETHOD(OnDocWindowActivate)(BOOL fActivate) override;
  STDMETHOD(OnFrameWindowActivate)(BOOL fActivate) override;
  STDMETHOD(ResizeBorder)(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                          BOOL fFrameWindow) override;
  STDMETHOD(TranslateAccelerator)(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;
  STDMETHOD(GetOptionKeyPath)(LPOLESTR* pchKey, DWORD dw) override;
  STDMETHOD(GetDropTarget)(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;
  STDMETHOD(GetExternal)(IDispatch** ppDispatch) override;
  STDMETHOD(TranslateUrl)(DWORD dwTranslate, LPWSTR pchURLIn, LPWSTR* ppchURLOut) override;
  STDMETHOD(FilterDataObject)(IDataObject* pDO, IDataObject** ppDORet) override;

  // IServiceProvider
  STDMETHOD(QueryService)(REFGUID guidService, REFIID riid, void** ppvObject) override;

  // IOleCommandTarget
  STDMETHOD(QueryStatus)(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD prgCmds[],
                         OLECMDTEXT* pCmdText) override;
  STDMETHOD(Exec)(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn,
                  VARIANT* pvaOut) override;

  // ITranslateAccelerator
  LRESULT TranslateAcceleratorKey(MSG* pMsg) override;

 protected:
  HRESULT ConnectBrowserEvents(bool bConnect);
  // The current document takes this control as its UI handler.
  void HookDocumentUIHandler();
  // Reads the current script error of the document in pvaIn; the status of the last read.
  HRESULT ReadScriptError(VARIANT* pvaIn);
  void ReleaseWebBrowser();

  IWebBrowser2* m_pWebBrowser;
  LONG m_dwRef;
  DWORD m_dwCookie;
  CUIString m_sHomePage;
  bool m_bAutoNavigate;
  IWebBrowserEventsUI* m_pEventHandler;
  CWebBrowserDownloads m_downloads;
};

}  // namespace SkinUI
