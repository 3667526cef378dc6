#pragma once
// CWindowHostUI: the host of one window's control tree, and the framework-wide settings every
// host shares.
//
// The class is one; its members fall into groups that live in source files of their own, and
// groups with state of their own keep it in small helpers (UIHost*.h) that own and free it:
// UIManager.cpp holds what every group shares (construction, attachment to a window, the list
// of live hosts, the framework-wide instance, skin folder and skin archive, the window's shadow
// through IHostShadow);
// UIManagerPreTranslate.cpp the translation of messages before the modal loop dispatches them;
// UIManagerResources.cpp fonts, images, default attribute strings, option groups, default
// colours and multi-language texts (the tables: UIHostResources); UIManagerSettings.cpp the
// "Window" element's geometry settings and the notification-area icon (UIHostTrayIcon);
// UIManagerTree.cpp the control tree, its name index, post-paint controls and native child
// windows (UIHostNativeWindows); UIManagerPaint.cpp layout at paint time, double-buffered
// painting (the surfaces: UIHostSurfaces) and printing; UIManagerLayered.cpp the per-pixel-alpha
// layered window; UIManagerInput.cpp the window messages: mouse, keyboard, focus and tooltips
// (UIHostToolTip); UIManagerTimers.cpp control timers (UIHostTimers); UIManagerControlRequests.cpp
// what controls ask of their host, queued notifications and delayed deletion (UIHostNotifyQueue);
// UIManagerDisplay.cpp the window's DPI and the system's high-contrast mode.

#include <windows.h>
#include <memory>
#include <shellapi.h>
#include <commctrl.h>

#include "Core/UIConstants.h"
#include "Core/UIEvents.h"
#include "Core/UIHostInput.h"
#include "Core/UIHostNativeWindows.h"
#include "Core/UIHostNotifyQueue.h"
#include "Core/UIHostResources.h"
#include "Core/UIHostShadow.h"
#include "Core/UIHostSurfaces.h"
#include "Core/UIHostTimers.h"
#include "Core/UIHostToolTip.h"
#include "Core/UIHostTrayIcon.h"
#include "Core/UIRender.h"
#include "Utils/UIGeometry.h"
#include "Utils/UIString.h"
#include "Utils/UIStringPtrMap.h"
#include "Utils/UITypedPtrArray.h"

namespace SkinUI {

class CControlUI;
class CHostAccessibility;
class CSkinArchiveUI;
enum class AccessibleEvent : int;

// Hue 0 to 360 with 180 meaning no change; saturation and lightness in percent, 100 meaning no
// change. Colours and images follow the shift only while bUse is set.
struct HueShift {
  short sHue;
  short sSaturation;
  short sLightness;
  bool bUse;
};

// How images are made: the renderer's loader unless another is set (tests count and fake images
// this way). pstrNameOrId is a name, or MAKEINTRESOURCE(id) together with a resource
// type. The host's registry owns what it returns and releases it with
// CSkinRenderer::FreeSkinImage.
typedef LoadedImage* (*SkinImageLoadProc)(LPCWSTR pstrNameOrId, LPCWSTR pstrType, DWORD dwMask);

class CWindowHostUI {
 public:
  CWindowHostUI();
  ~CWindowHostUI();
  CWindowHostUI(const CWindowHostUI&) = delete;
  CWindowHostUI& operator=(const CWindowHostUI&) = delete;

  // ---- attachment ----

  // Binds the host to its window. Empties the window's own resources and option groups; the
  // first attachment to a window takes its paint device context and joins the live hosts.
  void AttachWindow(HWND hWnd, LPCWSTR pstrName = nullptr);
  HWND GetHostWindow() const;
  HDC GetHostDC() const;
  LPCWSTR GetName() const;
  // A host that shows controls of another window (a drop-down) finds that window's images
  // through it. The link ends when either host goes. False, and no change, when pParent has
  // this host among its own parents.
  bool SetParentHost(CWindowHostUI* pParent);
  CWindowHostUI* GetParentHost() const;

  // ---- the control tree ----

  // Installs the tree (owned from now on) and makes the next paint lay it out in full and send
  // "windowinit". A previous root is destroyed.
  bool AttachRoot(CControlUI* pControl);
  // Gives the subtree this host and enters its named controls in the name index.
  bool AttachSubtree(CControlUI* pControl, CControlUI* pParent);
  bool RenameControl(CControlUI* pControl, LPCWSTR pstrName);
  // A control of this host that took a new name on its own: the entry under its old name goes,
  // and a control of the attached tree is entered under the new name unless another holds it.
  void ReindexControl(CControlUI* pControl, LPCWSTR pstrOldName);
  CControlUI* GetRoot() const;
  CControlUI* FindControlByName(LPCWSTR pstrName) const;
  // The topmost visible, mouse-enabled control under the point (client coordinates).
  CControlUI* FindControlAt(POINT pt) const;
  // Controls painted once more, in registration order, after the whole tree.
  bool RegisterPostPaint(CControlUI* pControl);
  bool UnregisterPostPaint(CControlUI* pControl);
  // Native child windows that controls own; a layered window prints them into its image.
  bool TrackNativeWindow(CControlUI* pControl, HWND hChildWnd);
  bool UntrackNativeWindow(HWND hChildWnd);
  RECT GetNativeWindowRect(HWND hChildWnd) const;

  // ---- painting ----

  // The whole client area.
  void Invalidate();
  // WM_PAINT: lays the tree out when asked to, then paints the invalid area through the
  // off-screen bitmap. Always handled.
  bool HandlePaint();
  // WM_PRINTCLIENT: the tree, and with PRF_CHILDREN the native child windows, into hDC. Never
  // handled: default processing follows.
  bool HandlePrintClient(HDC hDC, LPARAM lParam);
  // The layered refresh timer's tick: sends WM_PAINT when a layered window has something to
  // repaint and is not minimised. True when the tick was the layered timer's.
  bool HandleLayeredTimer(UINT_PTR uTimerId);
  static const UINT_PTR kLayeredTimerId = 0x2000;

  // Per-pixel alpha: the window presents its off-screen image with UpdateLayeredWindow.
  void SetLayered(bool bLayered);
  bool IsLayered() const;
  // Constant alpha for the whole window through SetLayeredWindowAttributes; ends per-pixel mode.
  void SetOpacity(BYTE uOpacity);
  BYTE GetOpacity() const;
  // The constant alpha a layered window is presented with.
  void SetLayeredOpacity(BYTE uOpacity);
  // An image attribute string; with an alpha channel the image is the layered window's mask.
  void SetLayeredImage(LPCWSTR pstrImage);
  LPCWSTR GetLayeredImage() const;
  // The window's drop shadow, configured by the skin and attached with the control tree; made
  // on first use by the registered maker, null without one.
  IHostShadow* GetShadow();
  // The maker every host asks for its shadow from then on; null for none.
  static void SetShadowMaker(IHostShadow::MakeProc pfnMake);
  // Outlines every repainted area of a plain window in red.
  void SetShowUpdateRect(bool bShow);
  bool IsPainting() const;
  void SetPainting(bool bPainting);
  // The off-screen image kept between paints (null before the first paint or after a resize).
  // It is selected into no device context between paints.
  HDC GetPaintOffscreenDC() const;
  HBITMAP GetPaintOffscreenBitmap() const;

  // ---- message pre-translation ----

  // Offers a message the modal loop is about to dispatch to the host of its window (for a child
  // window, the innermost host among its ancestors). True: handled, do not dispatch.
  static bool TranslateForHosts(MSG* pMsg);
  bool TranslateAccelerator(MSG* pMsg);
  bool PreTranslate(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
  bool RegisterPreFilter(IMessageFilterUI* pFilter);
  bool UnregisterPreFilter(IMessageFilterUI* pFilter);
  bool RegisterAcceleratorTranslator(ITranslateAccelerator* pTranslateAccelerator);
  bool UnregisterAcceleratorTranslator(ITranslateAccelerator* pTranslateAccelerator);

  // ---- framework-wide settings ----

  // The module whose resources the framework loads (skins, images, icons, strings).
  static void SetModuleInstance(HINSTANCE hInstance);
  static HINSTANCE GetModuleInstance();
  static HINSTANCE GetResourceInstance();
  // The program's folder with its trailing backslash; empty without a module instance.
  static CUIString GetProgramFolder();
  static const CUIString& GetSkinFolder();
  // A folder that ends in neither "\" nor "/" gets a backslash appended.
  static void SetSkinFolder(LPCWSTR pstrPath);
  static const CUIString& GetSkinArchive();
  static bool IsSkinArchiveCached();
  // The archive kept open while the skin archive is cached, else null.
  static CSkinArchiveUI* GetResourceZipHandle();
  // The archive file pstrName in the skin folder; with bCached it stays open.
  static void UseSkinArchive(LPCWSTR pstrName, bool bCached = true);
  // An archive held in memory (named "membuffer"). The block must outlive the open archive.
  static void UseSkinArchive(const void* pData, DWORD dwSize);
  static HueShift GetHueShift();
  // Images registered from now on that follow hue adjustment are recoloured at once while
  // bUse is set.
  static void SetHueShift(const HueShift& shift);
  // Null turns image loading off.
  static void SetImageLoader(SkinImageLoadProc pfnLoad);

  // Multi-language texts, shared by all windows.
  static void AddMultiLanguageString(int id, LPCWSTR pstrText);
  static LPCWSTR GetMultiLanguageString(int id);
  // Replaces every token "%{n}" whose text n is registered, one occurrence at a time, scanning
  // on from the character after its "%". Texts that keep producing tokens stop after
  // kMaxLanguageTokenReplacements replacements.
  static void ApplyLanguageTokens(CUIString& sText);
  static const int kMaxLanguageTokenReplacements = 256;

  // ---- fonts ----
  // Lookups try the window's registry, then the shared one. Additions go to the shared one with
  // bShared or while resources are forced shared.

  HFONT RegisterFont(int id, LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline,
                     bool bItalic, bool bShared = false);
  HFONT LookupFont(int id);
  HFONT FindFont(LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
  FontInfo* GetFontInfo(int id);
  FontInfo* GetFontInfo(HFONT hFont);
  void SetDefaultFont(LPCWSTR pstrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                      bool bShared = false);
  FontInfo* GetDefaultFontInfo();
  void RemoveAllFonts(bool bShared = false);

  // ---- images ----

  // With a resource type the name must be a decimal resource id. Replaces an image of that name.
  LoadedImage* RegisterImage(LPCWSTR pstrName, LPCWSTR pstrType = nullptr, DWORD dwMask = 0,
                             bool bHueAdjust = false, bool bShared = false);
  LoadedImage* LookupImage(LPCWSTR pstrName);
  LoadedImage* LookupOrLoadImage(LPCWSTR pstrName, LPCWSTR pstrType = nullptr, DWORD dwMask = 0,
                                 bool bHueAdjust = false);
  // LookupOrLoadImage for a name that may well name nothing: a name that failed to load is not
  // tried again until the host's images are removed.
  LoadedImage* LookupOrTryImage(LPCWSTR pstrName, DWORD dwMask = 0, bool bHueAdjust = false);
  void RemoveAllImages(bool bShared = false);

  // ---- default attribute strings, by control element name ----

  void SetDefaultAttributes(LPCWSTR pstrControlName, LPCWSTR pstrAttributes, bool bShared = false);
  LPCWSTR DefaultAttributesFor(LPCWSTR pstrControlName);
  void RemoveAllDefaultAttributeLists(bool bShared = false);

  // From now on fonts, images and default attribute strings go to the shared registries.
  void SetForceSharedResources(bool bForce);
  bool IsForceSharedResources() const;

  // ---- custom window attributes (the first value of a name wins) ----

  void AddWindowCustomAttribute(LPCWSTR pstrName, LPCWSTR pstrValue);
  LPCWSTR GetWindowCustomAttribute(LPCWSTR pstrName);
  void RemoveAllWindowCustomAttributes();

  // ---- option groups (the controls are not owned) ----

  bool JoinOptionGroup(LPCWSTR pstrGroupName, CControlUI* pControl);
  CPtrArrayUI* OptionGroupMembers(LPCWSTR pstrGroupName);
  void LeaveOptionGroup(LPCWSTR pstrGroupName, CControlUI* pControl);
  void ClearOptionGroups();

  // ---- default colours ----

  DWORD GetDefaultColor(DefaultColor which) const;
  // A shared change also reaches the window's colour while it still equals the shared one.
  void SetDefaultColor(DefaultColor which, DWORD dwColor, bool bShared = false);

  // ---- window settings (the "Window" element) ----
  // Kept as the skin gives them, in its pixels; the getters answer in the window's pixels.

  CUISize GetInitialSize() const;
  void SetInitialSize(int cx, int cy);
  CUIRect GetSizingBorder() const;
  void SetSizingBorder(const RECT& rcSizeBox);
  // Left and right are insets from the sides, top and bottom client y coordinates.
  CUIRect GetCaptionArea() const;
  void SetCaptionArea(const RECT& rcCaption);
  CUISize GetCornerRounding() const;
  void SetCornerRounding(int cx, int cy);
  // 0 means no limit.
  CUISize GetMinimumSize() const;
  void SetMinimumSize(int cx, int cy);
  CUISize GetMaximumSize() const;
  void SetMaximumSize(int cx, int cy);

  // ---- window messages and input ----

  // Everything the window's procedure hands over: filters first, then mouse, keyboard, focus,
  // timers, reflection to native child windows and painting. False: default processing follows.
  bool HandleWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
  bool RegisterMessageFilter(IMessageFilterUI* pFilter);
  bool UnregisterMessageFilter(IMessageFilterUI* pFilter);
  // Client coordinates of the last mouse message; (-1, -1) before the first.
  POINT GetLastMousePoint() const;
  void CaptureMouse();
  void ReleaseMouse();
  bool IsMouseCaptured() const;
  // Moves the focus to the next (or previous) Tab stop, wrapping at either end. Before the first
  // layout, forward only marks that the paint should do it. bByKeyboard: the user moves it, and
  // the controls only Tab reaches count too. Always true.
  bool MoveFocus(bool bForward, bool bByKeyboard = false);
  // Makes the next layout pass land the focus on pControl.
  void RequestInitialFocus(CControlUI* pControl);
  // The control the focus goes to when the tree is first laid out, in place of the first Tab
  // stop: any visible, enabled control, a Tab stop or not (a progress bar, on which no key does
  // anything). Tab and Shift+Tab go on from it. After the first layout it takes the focus at
  // once.
  void SetFirstFocus(CControlUI* pControl);

  // ---- control timers (the key is the control's own identifier) ----

  bool StartTimer(CControlUI* pControl, UINT nTimerKey, UINT uElapse);
  bool StopTimer(CControlUI* pControl, UINT nTimerKey);
  void StopAllTimers(CControlUI* pControl);
  void StopEveryTimer();

  // Destroys the control after the current message, from the posted queue message. The host owns
  // it from now on.
  void DeferDelete(CControlUI* pControl);
  // Posts the queue message once; later requests wait for that one.
  void PostQueuedNotify();
  static const UINT kQueuedNotifyMessage = CHostNotifyQueue::kMessage;

  // ---- what controls ask of their host ----

  // Normalised (left and top at least 0, right and bottom not before left and top), then
  // invalidated without erasing.
  void Invalidate(RECT& rcItem);
  void RequestFullLayout();
  bool IsUpdateNeeded() const;
  CControlUI* GetFocusControl() const;
  // The old focus control gets kill focus and "killfocus"; a visible, enabled control of this
  // host then gets set focus and "setfocus". bFocusWnd also gives the window the keyboard focus.
  void SetFocusControl(CControlUI* pControl, bool bFocusWnd = true);
  bool RegisterNotifier(INotifyUI* pNotifier);
  bool UnregisterNotifier(INotifyUI* pNotifier);
  // The sender's OnNotify handlers, then every notifier in registration order; asynchronous
  // ones after the current message, where an unrepeatable one replaces a queued one of the same
  // sender and type.
  void RaiseNotification(NotifyEvent& event, bool bAsync = false, bool bAllowRepeat = true);
  void RaiseNotification(CControlUI* pControl, LPCWSTR pstrType, WPARAM wParam = 0,
                         LPARAM lParam = 0, bool bAsync = false, bool bAllowRepeat = true);
  void UseVirtualWindowNames(bool bUsed);
  // Drops every reference the host holds to a control being destroyed.
  void ForgetControl(CControlUI* pControl);

  // ---- DPI and high contrast ----
  // Skins are written for 96 DPI. The host takes their lengths at its window's DPI: the window
  // settings, the fonts it registers, and through the controls every length an attribute gives
  // in skin pixels; images come from the variant the renderer finds for that DPI.

  // The DPI of the window's screen, as the window was told last; 96 before a window is attached.
  UINT GetDpi() const;
  // Takes everything again at uDpi (fonts, the control tree, the hosts of drop-downs shown for
  // this one) and lays the tree out anew; the window keeps its size, which WM_DPICHANGED sets.
  // Sends "dpichanged" from the root.
  void SetDpi(UINT uDpi);
  // A length in skin pixels in the window's pixels.
  int ScalePixels(int nSkinPixels) const;
  // The DPI the platform draws hWnd for (GetDpiForWindow where it has it), else the system's.
  static UINT QueryWindowDpi(HWND hWnd);
  static UINT QuerySystemDpi();
  // The system's high-contrast mode, read when the window is attached and whenever the system
  // says its settings or colours changed. While it is on, controls draw with the system's
  // colours instead of the skin's.
  bool IsHighContrast() const;
  // GetSysColor(nIndex) as an opaque 0xAARRGGBB colour.
  static DWORD SystemColor(int nIndex);

  // ---- accessibility (UIManagerAccessible.cpp) ----

  // WM_GETOBJECT: the client area's object for assistive technology, the tree made ready on
  // the first request. False for other objects, which the platform describes itself.
  bool ServeAccessibleObject(WPARAM wParam, LPARAM lParam, LRESULT& lRes);
  // What controls report of themselves, told to listeners from the window's first paint on (or
  // from a client's first request, when one comes before); nothing before.
  void NotifyAccessibleEvent(CControlUI* pControl, AccessibleEvent event);
  // The control of this window whose text tells what the window is about (a message box's
  // message): it describes the client area, and the window raises an alert named by it when it
  // is first painted, so that a screen reader reads it out unasked. Null for none.
  void SetAccessibleMessage(CControlUI* pControl);
  // Null until the window's first paint or a client's first request.
  CHostAccessibility* GetAccessibility() const { return m_pAccessibility.get(); }

  // ---- focus cues (UIManagerFocusCues.cpp) ----

  // The focus control is outlined once the keyboard has moved the focus in this window, as
  // the platform's own dialogs do; a window used with the mouse alone shows no outline.
  bool AreFocusCuesShown() const { return m_bFocusCuesShown; }
  void ShowFocusCues();

  // ---- notification-area icon ----

  static const UINT kTrayCallbackMessage = CTrayIcon::kCallbackMessage;
  // Adds the icon resource nIconId of the program as this window's notification-area icon.
  bool AddTrayIcon(UINT nIconId);
  // At most 127 characters; an icon already shown is updated.
  void SetTrayTipText(LPCWSTR pstrText);
  bool IsTrayIconShown() const;

 private:
  // The hosts attached to a window, in the order they were attached.
  static CTypedPtrArrayUI<CWindowHostUI>& LiveHosts();
  static DWORD SharedDefaultColor(DefaultColor which);
  // The window's own tables, or the shared ones with bShared or while resources are forced
  // shared.
  CHostResources& Registries(bool bShared);
  void MeasureFont(FontInfo* pFontInfo);
  // The first font of the window's table, then of the shared one, that match accepts.
  template <class Match>
  FontInfo* FindFontInfo(Match match);
  // Painting.
  // False when the paint should end without drawing.
  bool RunLayoutPass();
  // Prints the visible windows below hParent into hDC, at their places in the client area.
  void PrintChildWindows(HDC hDC, HWND hParent, LPARAM lParam) const;
  // Prints the visible native child windows that meet rcPaint into hDC, opaque.
  void PaintNativeChildren(HDC hDC, const RECT& rcPaint);
  void ComposeLayered(const RECT& rcPaint);
  // A layered image with an alpha channel is the layered window's mask.
  bool LayeredImageMasks() const;
  // Pre-translation.
  bool FocusWantsTab() const;
  // WM_GETMINMAXINFO: the limits the window settings give.
  void ApplyTrackingLimits(MINMAXINFO* pInfo) const;
  // DPI and high contrast: WM_DPICHANGED, WM_SETTINGCHANGE and WM_SYSCOLORCHANGE.
  bool HandleDisplayMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
  void RemakeFonts();
  void ReadHighContrast();

  // Attachment.
  CUIString m_sName;
  HWND m_hWndPaint;
  HDC m_hDcPaint;
  CControlUI* m_pRoot;
  CWindowHostUI* m_pParentHost = nullptr;
  CTypedPtrArrayUI<CWindowHostUI> m_aChildHosts;  // the hosts whose parent this one is

  // Pre-translation.
  CTypedPtrArrayUI<IMessageFilterUI> m_aPreMessageFilters;
  CTypedPtrArrayUI<ITranslateAccelerator> m_aTranslateAccelerator;

  // Resources and window settings.
  CHostResources m_resources;
  bool m_bForceSharedResources = false;
  // The "Window" element's geometry, kept for the skinned window and the tracking limits.
  struct WindowSettings {
    CUISize szInitial;
    CUIRect rcSizeBox;
    CUIRect rcCaption;
    CUISize szRoundCorner;
    CUISize szMin;  // 0: no limit
    CUISize szMax;
  };
  WindowSettings m_settings;
  CTrayIcon m_trayIcon;
  UINT m_uDpi = 96;
  bool m_bHighContrast = false;
  // The stock font made for this window's DPI, while that is not the system's (which the shared
  // stock font is made for).
  FontInfo m_stockFont = {};

  // The control tree.
  CStringPtrMapUI m_mNameHash{83};
  CTypedPtrArrayUI<CControlUI> m_aPostPaintControls;
  CNativeWindowList m_nativeWindows;
  CTypedPtrArrayUI<CControlUI> m_aFoundControls;

  // Painting.
  CHostSurfaces m_surfaces;
  bool m_bFirstLayout = true;
  bool m_bFocusNeeded = false;
  bool m_bOffscreenPaint = true;
  bool m_bIsPainting = false;
  bool m_bShowUpdateRect = false;
  std::unique_ptr<IHostShadow> m_pShadow;
  bool m_bLayered = false;
  BYTE m_nOpacity = 255;
  bool m_bLayeredChanged = false;
  CUIRect m_rcLayeredUpdate;
  ImageDrawInfo m_diLayered;

  // Input.
  bool HandleMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  bool HandleKeyMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void HandleControlTimer(WPARAM wParam, LPARAM lParam);
  bool ShowToolTip(POINT pt);
  // The focus control gets kill focus and "killfocus" (pNext is the control the focus goes to)
  // and is cleared.
  void DropFocus(CControlUI* pNext);
  void HandleQueuedNotify();
  void DeliverNotification(NotifyEvent& event);
  void SendInput(CControlUI* pControl, int iKind, POINT pt, WPARAM wParam, LPARAM lParam,
                 WORD wKeyState, WCHAR chKey = 0);
  CHostInput m_input;
  CTypedPtrArrayUI<IMessageFilterUI> m_aMessageFilters;
  CHostTimers m_timers;
  CHostToolTip m_toolTip;

  // The focus a new tree takes once it has positions: the first focus set, else the first Tab
  // stop.
  void TakeFirstFocus();

  // Accessibility and focus cues.
  // The outlines of the old and the new focus control are repainted, and clients told.
  void NoteFocusMoved(CControlUI* pOldFocus, CControlUI* pNewFocus);
  CHostAccessibility& Accessibility();
  // The first paint: clients hear of the window from now on. True the first time.
  bool OpenToClients();
  std::unique_ptr<CHostAccessibility> m_pAccessibility;
  bool m_bFocusCuesShown = false;
  std::unique_ptr<CControlUI> m_pFocusCuePainter;

  // Control requests.
  bool m_bUpdateNeeded = false;
  bool m_bUsedVirtualWnd = false;
  CTypedPtrArrayUI<INotifyUI> m_aNotifiers;
  CHostNotifyQueue m_queue;
};

}  // namespace SkinUI
