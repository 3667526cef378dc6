#pragma once
// CActiveXFrameWnd: the in-place frame handed to a hosted object. It offers no tool space and no
// menus; it keeps the object's active-object interface while the object is UI-active.

#include <windows.h>
#include <ole2.h>

namespace SkinUI {

class CActiveXUI;

class CActiveXFrameWnd final : public IOleInPlaceFrame {
 public:
  explicit CActiveXFrameWnd(CActiveXUI* pOwner);
  CActiveXFrameWnd(const CActiveXFrameWnd&) = delete;
  CActiveXFrameWnd& operator=(const CActiveXFrameWnd&) = delete;

  // IUnknown
  STDMETHOD(QueryInterface)(REFIID riid, LPVOID* ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;

  // IOleWindow
  STDMETHOD(GetWindow)(HWND* phwnd) override;
  STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) override;

  // IOleInPlaceUIWindow
  STDMETHOD(GetBorder)(LPRECT lprectBorder) override;
  STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS pborderwidths) override;
  STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS pborderwidths) override;
  STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) override;

  // IOleInPlaceFrame
  STDMETHOD(InsertMenus)(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
  STDMETHOD(SetMenu)(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) override;
  STDMETHOD(RemoveMenus)(HMENU hmenuShared) override;
  STDMETHOD(SetStatusText)(LPCOLESTR pszStatusText) override;
  STDMETHOD(EnableModeless)(BOOL fEnable) override;
  STDMETHOD(TranslateAccelerator)(LPMSG lpmsg, WORD wID) override;

 private:
  ~CActiveXFrameWnd();

  LONG m_dwRef;
  CActiveXUI* m_pOwner;
  IOleInPlaceActiveObject* m_pActiveObject;
};

}  // namespace SkinUI
