#pragma once
// CActiveXEnum: the enumerator over a hosted object's container, which holds that one object.

#include <windows.h>
#include <ole2.h>

namespace SkinUI {

class CActiveXEnum final : public IEnumUnknown {
 public:
  explicit CActiveXEnum(IUnknown* pUnk);
  CActiveXEnum(const CActiveXEnum&) = delete;
  CActiveXEnum& operator=(const CActiveXEnum&) = delete;

  STDMETHOD(QueryInterface)(REFIID riid, LPVOID* ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;

  // One object at most per call, whatever was asked for.
  STDMETHOD(Next)(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) override;
  STDMETHOD(Skip)(ULONG celt) override;
  STDMETHOD(Reset)() override;
  STDMETHOD(Clone)(IEnumUnknown** ppenum) override;

 private:
  ~CActiveXEnum();

  LONG m_dwRef;
  LONG m_iPos;
  IUnknown* m_pUnk;
};

}  // namespace SkinUI
