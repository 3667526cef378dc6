#pragma once
// CActiveXUI: a control that embeds one COM object with the OLE embedding and in-place
// activation interfaces. A windowless object paints inside the framework's paint pass and hears
// the window's messages through a message filter of the host; a windowed one lives in a child
// window that follows the control's rectangle. The site objects around it live in
// UIActiveXSite, UIActiveXWnd, UIActiveXFrame and UIActiveXEnum.

#include <windows.h>
#include <ole2.h>

#include "Core/UIControl.h"

namespace SkinUI {

class CActiveXCtrl;

class CActiveXUI : public CControlUI, public IMessageFilterUI {
  friend class CActiveXCtrl;
  friend class CActiveXWnd;

 public:
  CActiveXUI();
  ~CActiveXUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  UINT GetBehaviourFlags() const override;
  // The framework window while the object is windowless, the object's child window otherwise.
  HWND GetNativeHandle() const override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetInheritedVisible(bool bVisible = true) override;
  UI_DECLARE_ATTRIBUTES()
  bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

  LRESULT FilterMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

  // The two operations ActiveX hosts add, in slot order.
  virtual void ReleaseObject();
  // True when the object was created and activated.
  virtual bool CreateObject();

  // False, and no change, for a zero class id.
  bool SetClassId(REFCLSID clsid);
  CLSID GetClassId() const { return m_clsid; }
  // An in-process server loaded directly instead of through the registry.
  void SetServerModule(LPCWSTR pstrModuleName);
  LPCWSTR GetServerModule() const { return m_sModuleName; }
  void SetDeferredCreation(bool bDelayCreate);
  bool IsDeferredCreation() const { return m_bDelayCreate; }
  bool IsCreated() const { return m_bCreated; }
  // E_PENDING before the object exists.
  HRESULT QueryObject(REFIID iid, LPVOID* ppRet);

 protected:
  // Gives the object its extent and rectangles for the control's current place.
  void PlaceObject();
  void MoveObjectWindow();
  // A server module stays loaded until its objects are gone and it agrees to go.
  void FreeServerModule();

  CLSID m_clsid;
  CUIString m_sModuleName;
  bool m_bCreated;
  bool m_bDelayCreate;
  IOleObject* m_pUnk;
  CActiveXCtrl* m_pControl;
  HWND m_hwndHost;
  HMODULE m_hServerModule;
  bool m_bComInitialized;
};

}  // namespace SkinUI
