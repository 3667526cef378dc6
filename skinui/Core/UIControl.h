#pragma once
// CControlUI: the base of every element of a skinned window. It keeps the control's place in the
// tree, its geometry and sizing limits, colours, border, background image, text and flags; it
// reads skin attributes, paints itself in five fixed layers, answers tree searches and gives the
// default answers to input events.
//
// The virtual operations below are the framework's extension points and their order is fixed:
// every control class overrides some of these 80 slots and appends its own after them.
//
// Sources: UIControl.cpp (tree, geometry, visibility, invalidation, events, searching),
// UIControlAttributes.cpp (the attribute table and the visual setters), UIControlPaint.cpp (the
// paint layers and colour adjustment).

#include <windows.h>

#include <memory>

#include "Core/UIAttributeTable.h"
#include "Core/UIBase.h"
#include "Core/UIConstants.h"
#include "Core/UIDpiAttributes.h"
#include "Core/UIEvents.h"
#include "Core/UIRender.h"
#include "Utils/UIGeometry.h"
#include "Utils/UIString.h"
#include "Utils/UIOwnedStringMap.h"

namespace SkinUI {

class CWindowHostUI;
struct AccessibleDescription;
enum class AccessibleEvent : int;

// Flags of FindControl. A search yields the first control the procedure answers with.
enum FindControlFlags : UINT {
  kFindVisible = 0x00000001,     // skip invisible controls
  kFindEnabled = 0x00000002,     // skip disabled controls
  kFindHitTest = 0x00000004,     // data is a POINT; mouse-enabled controls holding it only
  kFindUpdateTest = 0x00000008,  // a control the procedure answers for is skipped
  kFindTopFirst = 0x00000010,    // containers look at their last child first
  kFindMeFirst = 0x80000000,     // containers ask themselves before their children
};

typedef CControlUI*(CALLBACK* FindControlProc)(CControlUI* pControl, LPVOID pData);

// Shares of the parent's width (left, right) and height (top, bottom) that move a floating
// control's edges as the parent grows.
struct FloatRatios {
  double left;
  double top;
  double right;
  double bottom;
};

class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // ---- the 80 virtual operations, in slot order ----

  virtual ~CControlUI();
  virtual CUIString GetName() const;
  virtual void SetName(LPCWSTR pstrName);
  virtual LPCWSTR ClassName() const;
  virtual LPVOID QueryNamedInterface(LPCWSTR pstrName);
  // BehaviourFlag bits.
  virtual UINT GetBehaviourFlags() const;
  virtual HWND GetNativeHandle() const;
  virtual bool Activate();
  virtual CWindowHostUI* GetHost() const;
  virtual void SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit = true);
  virtual CControlUI* GetParent() const;

  virtual CUIString GetText() const;
  virtual void SetText(LPCWSTR pstrText);

  // Window client coordinates.
  virtual const RECT& GetPosition() const;
  virtual RECT GetPositionInParent() const;
  virtual RECT GetClientPosition() const;
  virtual void SetPosition(RECT rc, bool bNeedInvalidate = true);
  virtual void MoveBy(int dx, int dy, bool bNeedInvalidate = true);
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual int GetX() const;
  virtual int GetY() const;
  virtual RECT GetPadding() const;
  virtual void SetPadding(RECT rcPadding);
  // For a floating control: the offset of its top-left corner from the parent's.
  virtual POINT GetFixedOrigin() const;
  virtual void SetFixedOrigin(int x, int y);
  virtual FloatRatios GetFloatRatios() const;
  virtual void SetFloatRatios(double left, double top, double right, double bottom);
  // 0 means that the layout decides.
  virtual int GetFixedWidth() const;
  virtual void SetFixedWidth(int cx);
  virtual int GetFixedHeight() const;
  virtual void SetFixedHeight(int cy);
  virtual int GetMinWidth() const;
  virtual void SetMinWidth(int cx);
  virtual int GetMaxWidth() const;
  virtual void SetMaxWidth(int cx);
  virtual int GetMinHeight() const;
  virtual void SetMinHeight(int cy);
  virtual int GetMaxHeight() const;
  virtual void SetMaxHeight(int cy);

  virtual CUIString GetToolTip() const;
  // "<n>" in the text becomes a line break.
  virtual void SetToolTip(LPCWSTR pstrText);
  virtual void SetToolTipWidth(int nWidth);
  virtual int GetToolTipWidth() const;
  virtual WCHAR GetShortcut() const;
  virtual void SetShortcut(WCHAR ch);
  virtual bool IsContextMenuEnabled() const;
  // True while Tab typed into the focused control is its input rather than a move of the focus.
  virtual bool WantsTabKey() const { return false; }
  // Reached by Tab and Shift+Tab like a Tab stop, but never given the focus by the window on its
  // own: a field that would start typing, a list whose selection the arrows would move.
  virtual bool IsTabReachable() const { return false; }
  // A control the keyboard works: a Tab stop, or one that Tab reaches.
  bool IsKeyboardFocusable() const {
    return (GetBehaviourFlags() & kBehaviourTabStop) != 0 || IsTabReachable();
  }
  virtual void SetContextMenuEnabled(bool bMenuUsed);
  virtual CUIString GetUserData() const;
  virtual void SetUserData(LPCWSTR pstrText);
  virtual UINT_PTR GetTag() const;
  virtual void SetTag(UINT_PTR pTag);

  // Visible only when neither the control nor an ancestor hides it.
  virtual bool IsVisible() const;
  virtual void SetVisible(bool bVisible = true);
  // What the ancestors impose; containers hand it down.
  virtual void SetInheritedVisible(bool bVisible = true);
  virtual bool IsEnabled() const;
  virtual void SetEnabled(bool bEnable = true);
  virtual bool IsMouseEnabled() const;
  virtual void SetMouseEnabled(bool bEnable = true);
  virtual bool IsKeyboardEnabled() const;
  virtual void SetKeyboardEnabled(bool bEnable = true);
  virtual bool IsFocused() const;
  virtual void SetFocus();
  virtual bool IsFloat() const;
  virtual void SetFloat(bool bFloat = true);

  virtual CControlUI* FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags);

  virtual void Init();
  virtual void InitSelf();
  virtual void DispatchEvent(InputEvent& event);
  virtual void HandleEvent(InputEvent& event);
  // Runs the entry the class's attribute table has for the name (the most derived class's
  // first); a name no table has goes to ApplyUnlistedAttribute.
  virtual void ApplyAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
  // The skin attributes of this control's class, chained to its base classes' tables.
  static const AttributeTable* GetThisAttributeTable();
  virtual const AttributeTable* GetAttributeTable() const;
  // A name no attribute table has: kept as a custom attribute, unless a class reads it its own way.
  virtual void ApplyUnlistedAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
  virtual SIZE MeasureSize(SIZE szAvailable);

  // False only when this control is pStopControl: the paint pass ends there.
  virtual bool Paint(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl);
  virtual bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl);
  virtual void PaintBackgroundColor(HDC hDC);
  virtual void PaintBackgroundImage(HDC hDC);
  virtual void PaintStateImages(HDC hDC);
  virtual void PaintTextLayer(HDC hDC);
  virtual void PaintBorderLayer(HDC hDC);
  virtual void PostPaint(HDC hDC, const RECT& rcPaint);

  // ---- accessibility (UIControlAccessible.cpp) ----

  // What the control is to assistive technology: its role, its own name, value and states, and
  // what Activate does. The base describes a plain control by its text.
  virtual void DescribeAccessible(AccessibleDescription& desc) const;

  // ---- plain operations ----

  void Invalidate();
  void RequestLayout();
  void RequestParentLayout();
  bool IsLayoutDirty() const;
  // The colour after the framework-wide hue shift when this control follows it.
  DWORD AdjustColor(DWORD dwColor) const;
  // The control is in a window while the system's high-contrast mode is on: it draws with the
  // system's colours instead of the skin's.
  bool InHighContrast() const;

  // name="value" pairs separated by one blank, as in skin default attribute lists.
  void ApplyAttributeString(LPCWSTR pstrList);
  // Takes the lengths given in skin pixels, and the fonts, again at the host's DPI. Joining a
  // host does this; so does the host when its window's DPI changes. Lengths given to the
  // setters are the window's pixels and stay as they are.
  void MatchHostDpi();
  // The first value given for a name wins.
  void AddCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
  LPCWSTR GetCustomAttribute(LPCWSTR pstrName) const;
  void RemoveAllCustomAttributes();
  void SetVirtualWindowName(LPCWSTR pstrValue);
  CUIString GetVirtualWindowName() const;

  // The skin's name for the control in its accessibility tree ("accname"): ahead of its text
  // and its tooltip.
  const CUIString& GetAccessibleName() const { return m_sAccessibleName; }
  void SetAccessibleName(LPCWSTR pstrName);
  // A role the skin gives in place of the control's own ("accrole"); 0 for the control's own.
  LONG GetAccessibleRole() const { return m_lAccessibleRole; }
  void SetAccessibleRole(LONG lRole) { m_lAccessibleRole = lRole; }
  // Tells the clients of the window's accessibility tree of a change; nothing while no client
  // has asked for the tree.
  void NotifyAccessible(AccessibleEvent event);

  DWORD GetBkColor() const { return m_dwBackColor; }
  void SetBkColor(DWORD dwBackColor);
  DWORD GetBkColor2() const { return m_dwBackColor2; }
  void SetBkColor2(DWORD dwBackColor);
  DWORD GetBkColor3() const { return m_dwBackColor3; }
  void SetBkColor3(DWORD dwBackColor);
  LPCWSTR GetBkImage() const { return m_diBk.sAttribute; }
  void SetBkImage(LPCWSTR pstrImage);
  DWORD GetBorderColor() const { return m_dwBorderColor; }
  void SetBorderColor(DWORD dwBorderColor);
  DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
  void SetFocusBorderColor(DWORD dwBorderColor);
  bool IsColorHSL() const { return m_bColorHSL; }
  void SetColorHSL(bool bColorHSL);
  RECT GetBorderSize() const { return m_rcBorderSize; }
  void SetBorderSize(int nSize);
  void SetBorderSize(RECT rc);
  int GetBorderStyle() const { return m_nBorderStyle; }
  void SetBorderStyle(int nStyle);
  SIZE GetBorderRound() const { return m_cxyBorderRound; }
  void SetBorderRound(SIZE cxyRound);

  // Handler lists. Each delegate gets the control (OnEvent: the InputEvent; OnNotify: the
  // NotifyEvent). OnEvent and OnPaint veto the default handling by answering false.
  CDelegateList OnInit;
  CDelegateList OnDestroy;
  CDelegateList OnSize;
  CDelegateList OnEvent;
  CDelegateList OnNotify;
  CDelegateList OnPaint;
  CDelegateList OnPostPaint;

 protected:
  // The area clipped by every ancestor's rectangle; false when an ancestor hides it all (or,
  // with bStopAtHidden, when an ancestor is invisible).
  bool ClipToAncestors(RECT& rc, bool bStopAtHidden) const;
  // Set focus and kill focus set or clear the focused flag, and nothing more: true for those.
  bool NoteFocusEvent(const InputEvent& event);

  CWindowHostUI* m_pHost;
  CControlUI* m_pParent;
  CUIString m_sVirtualWnd;
  CUIString m_sName;
  bool m_bUpdateNeeded;
  bool m_bMenuUsed;
  CUIRect m_rcItem;
  CUIRect m_rcPadding;
  POINT m_ptFixedOrigin;
  CUISize m_cxyFixed;
  CUISize m_cxyMin;
  CUISize m_cxyMax;
  bool m_bVisible;
  bool m_bInheritedVisible;
  bool m_bEnabled;
  bool m_bMouseEnabled;
  bool m_bKeyboardEnabled;
  bool m_bFocused;
  bool m_bFloat;
  FloatRatios m_FloatRatios;
  bool m_bInSizeCallback;

  CUIString m_sText;
  CUIString m_sToolTip;
  int m_nToolTipWidth;
  WCHAR m_chShortcut;
  CUIString m_sUserData;
  UINT_PTR m_pTag;

  DWORD m_dwBackColor;
  DWORD m_dwBackColor2;
  DWORD m_dwBackColor3;
  ImageDrawInfo m_diBk;
  ImageDrawInfo m_diFore;
  DWORD m_dwBorderColor;
  DWORD m_dwFocusBorderColor;
  bool m_bColorHSL;
  int m_nBorderStyle;
  CUISize m_cxyBorderRound;
  CUIRect m_rcBorderSize;
  // The part of the control being painted in the current paint pass.
  CUIRect m_rcPaint;

  COwnedStringMapUI<CUIString> m_mCustomAttributes;

  CUIString m_sAccessibleName;
  LONG m_lAccessibleRole = 0;

 private:
  CDpiAttributes m_dpiAttributes;
  friend class CControlHandle;
  // What every CControlHandle to this control reads; emptied when the control is destroyed.
  std::shared_ptr<CControlUI*> m_pHandleSlot;
};

// A control whose mouse is off leaves its mouse events to its parent, or at the root to the
// handling of Base, the class it derives from. True when the event was one of those and has gone
// there.
template <class Base>
bool PassMouseWhenOff(Base& control, InputEvent& event) {
  if (control.IsMouseEnabled() || !IsMouseEventKind(event.iKind)) return false;
  if (control.GetParent() != nullptr) {
    control.GetParent()->HandleEvent(event);
  } else {
    control.Base::HandleEvent(event);
  }
  return true;
}

}  // namespace SkinUI
