#include "Control/UIActiveXFrame.h"

#include "Control/UIActiveX.h"
#include "Core/UIManager.h"

namespace SkinUI {

CActiveXFrameWnd::CActiveXFrameWnd(CActiveXUI* pOwner)
    : m_dwRef(1), m_pOwner(pOwner), m_pActiveObject(nullptr) {}

CActiveXFrameWnd::~CActiveXFrameWnd() {
  if (m_pActiveObject != nullptr) m_pActiveObject->Release();
}

STDMETHODIMP CActiveXFrameWnd::QueryInterface(REFIID riid, LPVOID* ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IUnknown || riid == IID_IOleWindow || riid == IID_IOleInPlaceUIWindow ||
      riid == IID_IOleInPlaceFrame) {
    *ppvObject = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::AddRef() {
  return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef));
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::Release() {
  const LONG lRef = ::InterlockedDecrement(&m_dwRef);
  if (lRef == 0) delete this;
  return static_cast<ULONG>(lRef);
}

STDMETHODIMP CActiveXFrameWnd::GetWindow(HWND* phwnd) {
  if (phwnd == nullptr) return E_POINTER;
  *phwnd = nullptr;
  if (m_pOwner == nullptr || m_pOwner->GetHost() == nullptr) return E_UNEXPECTED;
  *phwnd = m_pOwner->GetHost()->GetHostWindow();
  return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::ContextSensitiveHelp(BOOL /*fEnterMode*/) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::GetBorder(LPRECT /*lprectBorder*/) { return S_OK; }

STDMETHODIMP CActiveXFrameWnd::RequestBorderSpace(LPCBORDERWIDTHS /*pborderwidths*/) {
  return INPLACE_E_NOTOOLSPACE;
}

STDMETHODIMP CActiveXFrameWnd::SetBorderSpace(LPCBORDERWIDTHS /*pborderwidths*/) { return S_OK; }

STDMETHODIMP CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject* pActiveObject,
                                               LPCOLESTR /*pszObjName*/) {
  if (pActiveObject != nullptr) pActiveObject->AddRef();
  if (m_pActiveObject != nullptr) m_pActiveObject->Release();
  m_pActiveObject = pActiveObject;
  return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::InsertMenus(HMENU /*hmenuShared*/,
                                           LPOLEMENUGROUPWIDTHS /*lpMenuWidths*/) {
  return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::SetMenu(HMENU /*hmenuShared*/, HOLEMENU /*holemenu*/,
                                       HWND /*hwndActiveObject*/) {
  return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::RemoveMenus(HMENU /*hmenuShared*/) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::SetStatusText(LPCOLESTR /*pszStatusText*/) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::EnableModeless(BOOL /*fEnable*/) { return S_OK; }
STDMETHODIMP CActiveXFrameWnd::TranslateAccelerator(LPMSG /*lpmsg*/, WORD /*wID*/) { return S_FALSE; }

}  // namespace SkinUI
