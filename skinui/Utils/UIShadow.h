#pragma once
// CShadowUI: a window's drop shadow. A separate click-through layered window sits around the
// window and carries either a shadow generated from the window's region or a nine-part image;
// it follows the window by hooking the window's procedure.

#include <windows.h>

#include "Core/UIHostShadow.h"
#include "Core/UIRender.h"
#include "Utils/UIString.h"

namespace SkinUI {

class CWindowHostUI;

class CShadowUI : public IHostShadow {
 public:
  // The window class of every shadow window.
  static const WCHAR kWindowClassName[];
  // Registers the shadow window class for hInstance (once; later calls for the same instance do
  // nothing).
  static void RegisterWindowClass(HINSTANCE hInstance);

  // Sees every image handed to the layered window: the shadow window, its top-down 0xAARRGGBB
  // premultiplied pixels and their size. Null (the default) turns it off; returns the previous.
  typedef void (*PresentObserverProc)(HWND hWndShadow, const DWORD* pPixels, int cx, int cy);
  static PresentObserverProc SetPresentObserver(PresentObserverProc pfnObserver);

  // The shadow following hWnd, or null.
  static CShadowUI* FromWindow(HWND hWnd);
  // Every window host makes its shadow a CShadowUI from now on.
  static void RegisterAsHostShadow();
  // The host's shadow when it is one of these, else null.
  static CShadowUI* OfHost(CWindowHostUI& host);

  CShadowUI();
  // Lets go of the window it follows: a window that outlives its shadow keeps working.
  ~CShadowUI() override;
  CShadowUI(const CShadowUI&) = delete;
  CShadowUI& operator=(const CShadowUI&) = delete;

  // Setters refuse values out of range (false, nothing changes); a shadow on screen is drawn
  // again at once. Lengths are skin pixels, drawn at the host's DPI.
  bool SetShadowSize(int nSize);            // -20 to 20
  bool SetShadowSharpness(int nSharpness);  // 0 to 20
  bool SetShadowDarkness(int nDarkness);    // 0 to 255
  bool SetShadowOffset(int x, int y);       // -20 to 20 each
  bool SetShadowColor(DWORD dwColor);       // 0x00RRGGBB; the alpha byte is not used
  // An image name for the host's image cache; from now on the shadow is that image.
  bool SetShadowImage(LPCWSTR pstrImage);
  // Nine-part corners of the image and the image shadow's margin around the window; none
  // negative.
  bool SetShadowCorner(const RECT& rcCorner);
  // Where the image lies inside the shadow bitmap.
  bool SetShadowPadding(const RECT& rcPadding);
  // Read only by the next AttachToHost.
  void EnableShadow(bool bShow);

  int GetShadowSize() const { return m_nSize; }
  int GetShadowSharpness() const { return m_nSharpness; }
  int GetShadowDarkness() const { return m_nDarkness; }
  POINT GetShadowOffset() const;
  DWORD GetShadowColor() const { return m_dwColor; }
  bool IsImageShadow() const { return m_bUseImage; }
  LPCWSTR GetShadowImage() const { return m_sImage; }
  RECT GetShadowCorner() const { return m_rcCorner; }
  RECT GetShadowPadding() const { return m_rcPadding; }
  bool IsShadowEnabled() const { return m_bShowShadow; }
  // The layered shadow window, or null while there is none.
  HWND GetShadowWindow() const { return m_hWnd; }

  // "shadowsize", "shadowsharpness", "shadowdarkness", "shadowposition", "shadowcolor",
  // "shadowcorner", "shadowpadding", "shadowimage" and "showshadow", named exactly; a value the
  // shadow refuses leaves its setting as it was.
  bool ApplyWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
  const SkinAttributeInfo* WindowAttributeAt(int iIndex) const override;
  // Creates the shadow window for the host's window and starts following it; nothing unless the
  // shadow is enabled. A shadow already following that window stays as it is.
  void AttachToHost(CWindowHostUI* pHost) override;
  // Draws the shadow for hWndParent's current rectangle and places the shadow window.
  void Regenerate(HWND hWndParent);

 private:
  enum StateFlag : BYTE {
    kStateCreated = 0x01,
    kStateShown = 0x02,
    kStateParentVisible = 0x04,
  };

  static LRESULT CALLBACK ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  // Reacts to one message of the window it follows.
  void OnParentMessage(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void OnParentSize(HWND hWndParent, WPARAM wParam, LPARAM lParam);
  void OnParentShow(HWND hWndParent, bool bShow);
  // Stops following the window: unhooks its procedure (or leaves a pass-through hook when
  // another procedure has been put in front of ours) and destroys the shadow window.
  void Detach();
  // Destroys the shadow window and forgets the window and host.
  void ForgetParent();
  // The DPI the host's window is drawn for.
  UINT Dpi() const;
  // The shadow window's place on screen for a parent window rectangle.
  RECT ShadowRect(const RECT& rcParent) const;
  void ShowNoActivate();
  void Hide();
  // A shadow on screen is drawn again for the new settings.
  void Refresh();
  bool Is(StateFlag flag) const { return (m_uState & flag) != 0; }

  CWindowHostUI* m_pHost;
  HWND m_hWnd;
  HWND m_hWndParent;
  BYTE m_uState;
  bool m_bShowShadow;
  BYTE m_nDarkness;
  BYTE m_nSharpness;
  signed char m_nSize;
  signed char m_nOffsetX;
  signed char m_nOffsetY;
  WORD m_cxLast;
  WORD m_cyLast;
  bool m_bUpdatePending;
  DWORD m_dwColor;
  bool m_bUseImage;
  CUIString m_sImage;
  ImageDrawInfo m_diImage;  // m_sImage as the host's DPI wants it drawn
  RECT m_rcCorner;
  RECT m_rcPadding;
};

}  // namespace SkinUI
