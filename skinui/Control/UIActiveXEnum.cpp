#include "Control/UIActiveXEnum.h"

namespace SkinUI {

CActiveXEnum::CActiveXEnum(IUnknown* pUnk) : m_dwRef(1), m_iPos(0), m_pUnk(pUnk) {
  if (m_pUnk != nullptr) m_pUnk->AddRef();
}

CActiveXEnum::~CActiveXEnum() {
  if (m_pUnk != nullptr) m_pUnk->Release();
}

STDMETHODIMP CActiveXEnum::QueryInterface(REFIID riid, LPVOID* ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IUnknown || riid == IID_IEnumUnknown) {
    *ppvObject = static_cast<IEnumUnknown*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CActiveXEnum::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }

STDMETHODIMP_(ULONG) CActiveXEnum::Release() {
  const LONG lRef = ::InterlockedDecrement(&m_dwRef);
  if (lRef == 0) delete this;
  return static_cast<ULONG>(lRef);
}

STDMETHODIMP CActiveXEnum::Next(ULONG /*celt*/, IUnknown** rgelt, ULONG* pceltFetched) {
  if (pceltFetched != nullptr) *pceltFetched = 0;
  if (++m_iPos > 1) return S_FALSE;
  if (rgelt == nullptr) return E_POINTER;
  *rgelt = m_pUnk;
  if (m_pUnk != nullptr) m_pUnk->AddRef();
  if (pceltFetched != nullptr) *pceltFetched = 1;
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Skip(ULONG celt) {
  m_iPos += static_cast<LONG>(celt);
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Reset() {
  m_iPos = 0;
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Clone(IEnumUnknown** /*ppenum*/) { return E_NOTIMPL; }

}  // namespace SkinUI
