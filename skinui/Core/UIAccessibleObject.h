#pragma once
// CAccessibleObject: one control as the platform's accessibility interface (IAccessible) shows
// it: the control's description with what the control base knows (visibility, availability,
// focus, geometry), its place in the tree clients see (UIAccessibleTree.h).

#include <windows.h>
#include <oleacc.h>

#include "Core/UIAccessible.h"
#include "Core/UIControlHandle.h"

namespace SkinUI {

class CControlUI;

class CAccessibleObject final : public IAccessible {
 public:
  CAccessibleObject(CControlUI* pControl, HWND hWnd);
  CAccessibleObject(const CAccessibleObject&) = delete;
  CAccessibleObject& operator=(const CAccessibleObject&) = delete;

  static LONG LiveObjects();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: clients call the interface's own methods; there is no type information to give.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                          DISPID* rgDispId) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                   UINT* puArgErr) override;

  // IAccessible. A child id is CHILDID_SELF, the 1-based index of a child, or a negative id from
  // an event; a control that is gone answers CO_E_OBJNOTCONNECTED.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* pcountChildren) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
  HRESULT STDMETHODCALLTYPE accSelect(long flagsSelect, VARIANT varChild) override;
  HRESULT STDMETHODCALLTYPE accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                        VARIANT varChild) override;
  HRESULT STDMETHODCALLTYPE accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
  HRESULT STDMETHODCALLTYPE accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT varChild, BSTR szName) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild, BSTR szValue) override;

 private:
  ~CAccessibleObject();
  // The control a child id stands for: this one, a child, or a control named by an event.
  HRESULT Resolve(const VARIANT& varChild, CControlUI*& pTarget) const;
  // A control's object as an answer: VT_DISPATCH, or VT_I4 CHILDID_SELF for this one.
  HRESULT Answer(CControlUI* pControl, VARIANT* pvar) const;

  LONG m_cRef = 1;
  CControlHandle m_control;
  HWND m_hWnd;
};

}  // namespace SkinUI
