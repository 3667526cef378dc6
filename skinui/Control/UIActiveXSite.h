#pragma once
// CActiveXCtrl: the site through which a hosted object calls back into its CActiveXUI: client
// site, windowless in-place site, control site, object-with-site and container. It deletes
// itself with its last reference; its owner lets go of it in ReleaseObject.

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

namespace SkinUI {

class CActiveXUI;
class CActiveXWnd;

class CActiveXCtrl : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IObjectWithSite,
                     public IOleContainer {
  friend class CActiveXUI;
  friend class CActiveXWnd;

 public:
  CActiveXCtrl();
  CActiveXCtrl(const CActiveXCtrl&) = delete;
  CActiveXCtrl& operator=(const CActiveXCtrl&) = delete;

  // IUnknown
  STDMETHOD(QueryInterface)(REFIID riid, LPVOID* ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;

  // IObjectWithSite
  STDMETHOD(SetSite)(IUnknown* pUnkSite) override;
  STDMETHOD(GetSite)(REFIID riid, LPVOID* ppvSite) override;

  // IOleClientSite
  STDMETHOD(SaveObject)() override;
  STDMETHOD(GetMoniker)(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
  STDMETHOD(GetContainer)(IOleContainer** ppContainer) override;
  STDMETHOD(ShowObject)() override;
  STDMETHOD(OnShowWindow)(BOOL fShow) override;
  STDMETHOD(RequestNewObjectLayout)() override;

  // IOleInPlaceSiteWindowless
  STDMETHOD(CanWindowlessActivate)() override;
  STDMETHOD(GetCapture)() override;
  STDMETHOD(SetCapture)(BOOL fCapture) override;
  STDMETHOD(GetFocus)() override;
  STDMETHOD(SetFocus)(BOOL fFocus) override;
  STDMETHOD(GetDC)(LPCRECT pRect, DWORD grfFlags, HDC* phDC) override;
  STDMETHOD(ReleaseDC)(HDC hDC) override;
  STDMETHOD(InvalidateRect)(LPCRECT pRect, BOOL fErase) override;
  STDMETHOD(InvalidateRgn)(HRGN hRGN, BOOL fErase) override;
  STDMETHOD(ScrollRect)(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) override;
  STDMETHOD(AdjustRect)(LPRECT prc) override;
  STDMETHOD(OnDefWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;

  // IOleInPlaceSiteEx
  STDMETHOD(OnInPlaceActivateEx)(BOOL* pfNoRedraw, DWORD dwFlags) override;
  STDMETHOD(OnInPlaceDeactivateEx)(BOOL fNoRedraw) override;
  STDMETHOD(RequestUIActivate)() override;

  // IOleInPlaceSite
  STDMETHOD(CanInPlaceActivate)() override;
  STDMETHOD(OnInPlaceActivate)() override;
  STDMETHOD(OnUIActivate)() override;
  STDMETHOD(GetWindowContext)(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                              LPRECT lprcPosRect, LPRECT lprcClipRect,
                              LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
  STDMETHOD(Scroll)(SIZE scrollExtant) override;
  STDMETHOD(OnUIDeactivate)(BOOL fUndoable) override;
  STDMETHOD(OnInPlaceDeactivate)() override;
  STDMETHOD(DiscardUndoState)() override;
  STDMETHOD(DeactivateAndUndo)() override;
  STDMETHOD(OnPosRectChange)(LPCRECT lprcPosRect) override;

  // IOleWindow
  STDMETHOD(GetWindow)(HWND* phwnd) override;
  STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) override;

  // IOleControlSite
  STDMETHOD(OnControlInfoChanged)() override;
  STDMETHOD(LockInPlaceActive)(BOOL fLock) override;
  STDMETHOD(GetExtendedControl)(IDispatch** ppDisp) override;
  STDMETHOD(TransformCoords)(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) override;
  STDMETHOD(TranslateAccelerator)(MSG* pMsg, DWORD grfModifiers) override;
  STDMETHOD(OnFocus)(BOOL fGotFocus) override;
  STDMETHOD(ShowPropertyFrame)() override;

  // IOleContainer
  STDMETHOD(EnumObjects)(DWORD grfFlags, IEnumUnknown** ppenum) override;
  STDMETHOD(LockContainer)(BOOL fLock) override;

  // IParseDisplayName
  STDMETHOD(ParseDisplayName)(IBindCtx* pbc, LPOLESTR pszDisplayName, ULONG* pchEaten,
                              IMoniker** ppmkOut) override;

 protected:
  virtual ~CActiveXCtrl();

  // Creates the child window a windowed object lives in, once.
  HRESULT EnsureObjectWindow();
  // The view object draws the content into hDC over rc.
  void DrawContent(HDC hDC, const RECT& rc);
  HWND OwnerHostWindow() const;
  // The paint window of the owner's host; null without owner or host.
  HWND OwnerPaintWindow() const;
  void DestroyObjectWindow();

  LONG m_dwRef;
  CActiveXUI* m_pOwner;
  CActiveXWnd* m_pWindow;
  IUnknown* m_pUnkSite;
  IViewObject* m_pViewObject;
  // IOleInPlaceObjectWindowless while m_bWindowless, else IOleInPlaceObject.
  IOleInPlaceObject* m_pInPlaceObject;
  bool m_bLocked;
  bool m_bFocused;
  bool m_bCaptured;
  bool m_bUIActivated;
  bool m_bInPlaceActive;
  bool m_bWindowless;
};

}  // namespace SkinUI
