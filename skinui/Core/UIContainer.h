#pragma once
// CContainerUI: a control that owns an ordered list of children and paints, searches and lays
// them out inside its client area (its rectangle less the inset). Its own layout stacks every
// child over the whole client area; the layouts under Layout/ replace it.
//
// IContainerUI is the view through which the skin builder and application code add children.

#include <windows.h>

#include "Core/UIControl.h"
#include "Core/UILayoutAxis.h"
#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CScrollBarBaseUI;

class IContainerUI {
 public:
  virtual CControlUI* GetItemAt(int iIndex) const = 0;
  virtual int GetItemIndex(CControlUI* pControl) const = 0;
  virtual bool MoveItemTo(CControlUI* pControl, int iIndex) = 0;
  virtual int GetItemCount() const = 0;
  virtual bool AddItem(CControlUI* pControl) = 0;
  virtual bool InsertItemAt(CControlUI* pControl, int iIndex) = 0;
  virtual bool RemoveItem(CControlUI* pControl) = 0;
  virtual bool RemoveItemAt(int iIndex) = 0;
  virtual void RemoveAllItems() = 0;

 protected:
  ~IContainerUI() = default;
};

// Values of the child alignment settings.
enum ChildAlign { kChildAlignLeft = 0, kChildAlignCenter = 1, kChildAlignRight = 2 };
enum ChildVAlign { kChildVAlignTop = 0, kChildVAlignCenter = 4, kChildVAlignBottom = 8 };
// Where the child alignment puts a child on one axis of the room it has.
enum class Placement { kStart, kCenter, kEnd };

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  // ---- overrides of the control base ----
  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  void SetHost(CWindowHostUI* pHost, CControlUI* pParent, bool bInit = true) override;
  RECT GetClientPosition() const override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
  void SetMouseEnabled(bool bEnable = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetInheritedVisible(bool bVisible = true) override;
  CControlUI* FindControl(FindControlProc Proc, LPVOID pData, UINT uFlags) override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

  // ---- IContainerUI ----
  CControlUI* GetItemAt(int iIndex) const override;
  int GetItemIndex(CControlUI* pControl) const override;
  bool MoveItemTo(CControlUI* pControl, int iIndex) override;
  int GetItemCount() const override;
  bool AddItem(CControlUI* pControl) override;
  bool InsertItemAt(CControlUI* pControl, int iIndex) override;
  bool RemoveItem(CControlUI* pControl) override;
  bool RemoveItemAt(int iIndex) override;
  void RemoveAllItems() override;

  // ---- operations added by containers, in slot order ----
  virtual RECT GetInset() const;
  virtual void SetInset(RECT rcInset);
  virtual int GetChildPadding() const;
  virtual void SetChildPadding(int iPadding);
  virtual int GetChildAlign() const;
  virtual void SetChildAlign(int iAlign);
  virtual int GetChildVAlign() const;
  virtual void SetChildVAlign(int iVAlign);
  virtual bool IsOwningChildren() const;
  virtual void SetOwningChildren(bool bOwning);
  virtual bool IsDeferredDelete() const;
  virtual void SetDeferredDelete(bool bDeferred);
  virtual bool IsMouseChildEnabled() const;
  virtual void SetMouseChildEnabled(bool bEnable = true);
  // For lists and combos: the nearest visible, enabled child answering "ListItem", or -1.
  virtual int FindSelectableItem(int iIndex, bool bForward = true) const;
  // (horizontal, vertical); 0 for a missing or hidden bar.
  virtual SIZE GetScrollPosition() const;
  virtual SIZE GetScrollRange() const;
  virtual void SetScrollPosition(SIZE szPos);
  virtual void ScrollLineUp();
  virtual void ScrollLineDown();
  virtual void ScrollPageUp();
  virtual void ScrollPageDown();
  virtual void ScrollToTop();
  virtual void ScrollToBottom();
  virtual void ScrollLineLeft();
  virtual void ScrollLineRight();
  virtual void ScrollPageLeft();
  virtual void ScrollPageRight();
  virtual void ScrollToLeft();
  virtual void ScrollToRight();
  // Creates or deletes the bars; new ones take the host's defaults for "VScrollBar" and
  // "HScrollBar".
  virtual void EnableScrollBars(bool bEnableVertical = true, bool bEnableHorizontal = false);
  virtual CScrollBarBaseUI* GetVerticalScrollBar() const;
  virtual CScrollBarBaseUI* GetHorizontalScrollBar() const;
  // Window coordinates of a floating child from its fixed origin, size and float ratios.
  virtual void PlaceFloatingChild(int iIndex);
  // Layouts report the area they used and the size their children need; the bars appear,
  // disappear and take their ranges from that, relaying the container out when they change.
  virtual void UpdateScrollBars(RECT rc, int cxNeeded, int cyNeeded);

 protected:
  // The rectangle less the inset and the visible bars: where the children live.
  RECT GetContentRect() const;
  // The start of a layout's SetPosition: the control takes rcPos and rcContent its content
  // rectangle. False, with the bars told that nothing needs room, when there are no children.
  bool BeginLayout(RECT rcPos, bool bNeedInvalidate, RECT& rcContent);
  // Lays the container out again in the same place, after a bar appeared or changed.
  void RelayoutForScrollBars(bool bNeedInvalidate);
  bool IsBarShown(const CScrollBarBaseUI* pBar) const;
  static CScrollBarBaseUI* MakeScrollBar();
  bool PaintChildren(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl);
  // Key and wheel events that scroll; false when the event is not for the bars.
  bool HandleScrollEvent(const InputEvent& event);
  // The scroll steps along an axis, and scrolling along it with the other position kept.
  int LineStep(const LayoutAxis& axis) const;
  int PageStep(const LayoutAxis& axis) const;
  void ScrollBy(const LayoutAxis& axis, int nDelta);
  void ScrollTo(const LayoutAxis& axis, int nPos);
  // True for a child that layouts pass over: a hidden one, or a floating one, which is placed
  // here by its ratios instead.
  bool SkipsFlow(int iIndex);
  // The child alignment on an axis: "childalign" across x, "childvalign" across y.
  Placement PlacementOn(const LayoutAxis& axis) const;
  // x raised to the minimum, then lowered to the maximum: the maximum wins.
  static int ClampToLimits(int x, int nMin, int nMax);
  // Destroys a child that has left the list, when the container owns its children.
  void ReleaseChild(CControlUI* pControl);
  // The container's own child at a valid index. The item operations of IContainerUI may be
  // routed elsewhere by a derived container (a list hands them to its body), so the base and the
  // layouts walk their own children through this.
  CControlUI* ChildAt(int iIndex) const { return m_items[iIndex]; }

  CTypedPtrArrayUI<CControlUI> m_items;
  CUIRect m_rcInset;
  int m_iChildPadding;
  int m_iChildAlign;
  int m_iChildVAlign;
  bool m_bOwningChildren;
  bool m_bDeferredDelete;
  bool m_bMouseChildEnabled;
  bool m_bScrollProcess;
  CScrollBarBaseUI* m_pVerticalScrollBar;
  CScrollBarBaseUI* m_pHorizontalScrollBar;
};

}  // namespace SkinUI
