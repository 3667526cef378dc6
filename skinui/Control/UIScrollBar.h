#pragma once
// CScrollBarUI: two arrow buttons, a track and a thumb whose length follows the visible share of
// the content. Pressed parts repeat while held. With an owner container the bar scrolls the
// owner (which sets the bar's value back); without one it keeps its own value and posts
// "scroll".

#include <windows.h>

#include "Control/UIStateImage.h"
#include "Core/UIScrollBarBase.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CScrollBarBaseUI {
 public:
  static const UINT_PTR kRepeatTimerId = 10;
  static const UINT kRepeatInterval = 50;  // ms
  // Ticks a held part waits before it starts repeating.
  static const int kRepeatDelayTicks = 6;

  CScrollBarUI();

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void SetFocus() override;
  // A bar on its own takes the focus and the keys; a container's bar leaves both to it.
  bool IsTabReachable() const override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  bool PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) override;

  CContainerUI* GetOwner() const { return m_pOwner; }
  void SetOwner(CContainerUI* pOwner) override { m_pOwner = pOwner; }
  bool IsHorizontal() const { return m_bHorizontal; }
  void SetHorizontal(bool bHorizontal = true) override;
  int GetScrollRange() const override { return m_nRange; }
  void SetScrollRange(int nRange) override;
  int GetScrollValue() const override { return m_nScrollPos; }
  void SetScrollValue(int nPos, bool bNotify = true) override;
  int GetLineSize() const { return m_nLineSize; }
  void SetLineSize(int nSize) { m_nLineSize = nSize; }
  bool IsShowButton1() const { return m_bShowButton1; }
  void SetShowButton1(bool bShow);
  bool IsShowButton2() const { return m_bShowButton2; }
  void SetShowButton2(bool bShow);

  // The bar's thickness: fixed height when horizontal, fixed width when vertical.
  int GetThickness() const;
  RECT GetButton1Rect() const { return m_rcButton1; }
  RECT GetButton2Rect() const { return m_rcButton2; }
  RECT GetThumbRect() const { return m_rcThumb; }
  UINT GetButton1State() const { return m_uButton1State; }
  UINT GetButton2State() const { return m_uButton2State; }
  UINT GetThumbState() const { return m_uThumbState; }

  void SetButton1Color(DWORD dwColor);
  void SetButton2Color(DWORD dwColor);
  void SetThumbColor(DWORD dwColor);
  void SetButton1NormalImage(LPCWSTR pstrImage);
  void SetButton1HotImage(LPCWSTR pstrImage);
  void SetButton1PushedImage(LPCWSTR pstrImage);
  void SetButton1DisabledImage(LPCWSTR pstrImage);
  void SetButton2NormalImage(LPCWSTR pstrImage);
  void SetButton2HotImage(LPCWSTR pstrImage);
  void SetButton2PushedImage(LPCWSTR pstrImage);
  void SetButton2DisabledImage(LPCWSTR pstrImage);
  void SetThumbNormalImage(LPCWSTR pstrImage);
  void SetThumbHotImage(LPCWSTR pstrImage);
  void SetThumbPushedImage(LPCWSTR pstrImage);
  void SetThumbDisabledImage(LPCWSTR pstrImage);
  void SetRailNormalImage(LPCWSTR pstrImage);
  void SetRailHotImage(LPCWSTR pstrImage);
  void SetRailPushedImage(LPCWSTR pstrImage);
  void SetRailDisabledImage(LPCWSTR pstrImage);
  void SetBkNormalImage(LPCWSTR pstrImage);
  void SetBkHotImage(LPCWSTR pstrImage);
  void SetBkPushedImage(LPCWSTR pstrImage);
  void SetBkDisabledImage(LPCWSTR pstrImage);

 protected:
  // The arrows move by a line, Page Up and Page Down by a tenth of the range, Home and End to
  // either end; false for any other key.
  bool ScrollByKey(WCHAR chKey);
  // One of the bar's parts: its images by state (normal, hot, pushed, disabled).
  struct Part {
    DWORD dwColor = 0;
    StateImageSet images;  // no focused image: a part never has the focus
  };

  // Without an owner these change the bar's own value; with one, the owner scrolls.
  void ScrollBy(int iDelta, void (CContainerUI::*pfnHorizontal)(), void (CContainerUI::*pfnVertical)());
  // A line is never less than one: a skin's line size of nothing or less still moves the bar.
  int LineStep() const;
  void ScrollLineBack();
  void ScrollLineForward();
  void ScrollPageBack();
  void ScrollPageForward();
  void ScrollToDragPosition();
  // A page back when pt lies before the thumb, forward when after it; nothing over it.
  void ScrollPageToward(POINT pt);
  int BarLength() const;
  void SetPartImage(ImageDrawInfo& image, LPCWSTR pstrImage);
  void OnButtonDown(const InputEvent& event);
  void OnMouseMove(const InputEvent& event);
  void OnRepeatTick();
  void OnButtonUp();
  void PassToOwner(InputEvent& event);

  // The part's image for a state: disabled first, then pushed, then hot; null for none of them.
  static ImageDrawInfo* ImageForState(Part& part, bool bDisabled, UINT uState);
  // The state image at rcPart, or the normal image when there is none or it draws nothing.
  void PaintPartAt(HDC hDC, Part& part, ImageDrawInfo* pState, const RECT& rcPart);
  void PaintBackgroundState(HDC hDC);
  // Refreshes the part's disabled bit, then fills and draws it.
  void PaintPart(HDC hDC, const RECT& rcPart, UINT& uState, Part& part);
  void PaintRail(HDC hDC);
  bool DrawImageAt(HDC hDC, ImageDrawInfo& image, const RECT& rcDest);

  bool m_bHorizontal;
  int m_nRange;
  int m_nScrollPos;
  int m_nLineSize;
  CContainerUI* m_pOwner;
  POINT m_ptLastMouse;
  int m_nLastScrollPos;
  int m_nLastScrollOffset;
  int m_nScrollRepeatDelay;

  bool m_bShowButton1;
  bool m_bShowButton2;
  CUIRect m_rcButton1;
  CUIRect m_rcButton2;
  CUIRect m_rcThumb;
  UINT m_uButton1State;
  UINT m_uButton2State;
  UINT m_uThumbState;
  Part m_Button1;
  Part m_Button2;
  Part m_Thumb;
  Part m_Rail;  // its colour is unused
  Part m_Bk;    // its colour is unused
};

}  // namespace SkinUI
