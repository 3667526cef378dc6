#pragma once
// CEditUI: a single-line text field. Idle, it paints its text (or password characters) like a
// label with state images; focused, a native edit window (CEditWnd) lies over its text area and
// does the typing, reporting every change ("textchanged") and the Return key ("return"). The
// native window closes itself when it loses the focus; the text stays with the control.

#include <windows.h>

#include "Control/UILabel.h"
#include "Control/UIStateImage.h"

namespace SkinUI {

class CEditWnd;

class CEditUI : public CLabelUI {
 public:
  // The native edit styles and alignment bits the control hands to its window.
  static constexpr UINT kNumberOnlyStyle = ES_NUMBER;
  // The native background colour that means "the platform's own colours".
  static constexpr DWORD kNoNativeBkColor = 0xFFFFFFFF;

  CEditUI();
  ~CEditUI() override;

  LPCWSTR ClassName() const override;
  LPVOID QueryNamedInterface(LPCWSTR pstrName) override;
  void DescribeAccessible(AccessibleDescription& desc) const override;
  bool IsTabReachable() const override;
  // A field takes the focus from a click: no label's passivity.
  UINT GetBehaviourFlags() const override;
  HWND GetNativeHandle() const override;
  void SetText(LPCWSTR pstrText) override;
  void SetPosition(RECT rc, bool bNeedInvalidate = true) override;
  void MoveBy(int dx, int dy, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetInheritedVisible(bool bVisible = true) override;
  void SetEnabled(bool bEnable = true) override;
  void HandleEvent(InputEvent& event) override;
  UI_DECLARE_ATTRIBUTES()
  SIZE MeasureSize(SIZE szAvailable) override;
  void PaintStateImages(HDC hDC) override;
  void PaintTextLayer(HDC hDC) override;

  UINT GetMaxChar() const { return m_uMaxChar; }
  void SetMaxChar(UINT uMax);
  bool IsReadOnly() const { return m_bReadOnly; }
  void SetReadOnly(bool bReadOnly);
  bool IsNumberOnly() const { return (m_uNativeStyles & kNumberOnlyStyle) != 0; }
  void SetNumberOnly(bool bNumberOnly);
  bool IsPassword() const { return m_bPassword; }
  void SetPassword(bool bPassword);
  WCHAR GetPasswordChar() const { return m_chPassword; }
  void SetPasswordChar(WCHAR ch);
  bool IsAutoSelectAll() const { return m_bAutoSelectAll; }
  void SetAutoSelectAll(bool bAutoSelectAll) { m_bAutoSelectAll = bAutoSelectAll; }
  UINT GetNativeAlignment() const { return m_uNativeAlign; }
  void SetNativeAlignment(UINT uAlign) { m_uNativeAlign = uAlign; }
  UINT GetNativeStyles() const { return m_uNativeStyles; }
  DWORD GetNativeBkColor() const { return m_dwNativeBkColor; }
  void SetNativeBkColor(DWORD dwColor) { m_dwNativeBkColor = dwColor; }
  UINT GetEditState() const { return m_uState; }
  void SetNormalImage(LPCWSTR pstrImage);
  void SetHotImage(LPCWSTR pstrImage);
  void SetFocusedImage(LPCWSTR pstrImage);
  void SetDisabledImage(LPCWSTR pstrImage);

  // The text as painted while idle: one password character per character (a surrogate pair
  // counts once) when password is on.
  CUIString GetDisplayText() const;

 private:
  friend class CEditWnd;

  void OpenNativeWindow();
  // Called by the native window: every change lands in the control at once.
  void TakeTextFromWindow(LPCWSTR pstrText);
  void NativeWindowGone() { m_pWindow = nullptr; }
  void ReplaceImage(ImageDrawInfo& image, LPCWSTR pstrImage);

  CEditWnd* m_pWindow;
  UINT m_uMaxChar;
  bool m_bReadOnly;
  bool m_bPassword;
  bool m_bAutoSelectAll;
  WCHAR m_chPassword;
  UINT m_uState;
  UINT m_uNativeStyles;
  UINT m_uNativeAlign;
  DWORD m_dwNativeBkColor;
  StateImageSet m_images;
};

}  // namespace SkinUI
