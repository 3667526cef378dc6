#pragma once
// IWebBrowserEventsUI: what an application may receive from a web browser control: the browser's
// navigation events, the document-host calls and downloads. Each operation takes the arguments
// of the platform operation of the same name and returns what that one returns.

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <urlmon.h>

namespace SkinUI {

class IWebBrowserEventsUI {
 public:
  virtual void BeforeNavigate2(IDispatch* pDisp, VARIANT* pvUrl, VARIANT* pvFlags,
                               VARIANT* pvTargetFrameName, VARIANT* pvPostData,
                               VARIANT* pvHeaders, VARIANT_BOOL* pbCancel) = 0;
  virtual void NavigateError(IDispatch* pDisp, VARIANT* pvUrl, VARIANT* pvTargetFrameName,
                             VARIANT* pvStatusCode, VARIANT_BOOL* pbCancel) = 0;
  virtual void NavigateComplete2(IDispatch* pDisp, VARIANT* pvUrl) = 0;
  virtual void DocumentComplete(IDispatch* pDisp, VARIANT* pvUrl) = 0;
  virtual void NewWindow3(IDispatch** ppDisp, VARIANT_BOOL* pbCancel, DWORD dwFlags,
                          BSTR bstrUrlContext, BSTR bstrUrl) = 0;
  virtual void CommandStateChange(long lCommand, VARIANT_BOOL bEnable) = 0;

  virtual HRESULT ShowContextMenu(DWORD dwID, POINT* pptPosition, IUnknown* pCommandTarget,
                                  IDispatch* pDispatchObjectHit) = 0;
  virtual HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) = 0;
  virtual HRESULT ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                         IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                         IOleInPlaceUIWindow* pDoc) = 0;
  virtual HRESULT HideUI() = 0;
  virtual HRESULT UpdateUI() = 0;
  virtual HRESULT EnableModeless(BOOL fEnable) = 0;
  virtual HRESULT OnDocWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT OnFrameWindowActivate(BOOL fActivate) = 0;
  virtual HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                               BOOL fFrameWindow) = 0;
  virtual HRESULT TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) = 0;
  virtual HRESULT GetOptionKeyPath(LPOLESTR* pchKey, DWORD dwReserved) = 0;
  virtual HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) = 0;
  virtual HRESULT GetExternal(IDispatch** ppDispatch) = 0;
  virtual HRESULT TranslateUrl(DWORD dwTranslate, LPWSTR pchURLIn, LPWSTR* ppchURLOut) = 0;
  virtual HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) = 0;

  virtual HRESULT Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF,
                           BINDINFO* pBindInfo, LPCOLESTR pszHeaders, LPCOLESTR pszRedir,
                           UINT uiCP) = 0;

 protected:
  ~IWebBrowserEventsUI() = default;
};

}  // namespace SkinUI
