// The shadow's settings, its layered window, and how it follows the window it belongs to.

#include "Utils/UIShadow.h"

#include <cwchar>
#include <map>

#include "Core/UIAttributeTable.h"
#include "Core/UIAttributeValues.h"
#include "Core/UIDpiAttributes.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UIRenderSurface.h"
#include "Utils/UIDebug.h"
#include "Utils/UIShadowBitmap.h"

namespace SkinUI {

namespace {

const int kMaxSize = 20;
const int kMaxSharpness = 20;
const int kMaxOffset = 20;

// The hook on one followed window. The previous procedure lives here rather than in the shadow
// so that a hook whose shadow is gone can still pass messages on until the window ends.
struct ParentHook {
  CShadowUI* pShadow;  // null once the shadow has let go
  WNDPROC pfnPrevious;
};

// Only the UI thread touches it; it lives until the process ends, as windows may still be
// torn down while static objects go.
std::map<HWND, ParentHook>& Hooks() {
  static std::map<HWND, ParentHook>* pHooks = new std::map<HWND, ParentHook>;
  return *pHooks;
}

CShadowUI::PresentObserverProc g_pfnPresentObserver = nullptr;

bool InRange(int nValue, int nLow, int nHigh) { return nValue >= nLow && nValue <= nHigh; }

namespace av = attribute_values;

struct ShadowAttribute {
  SkinAttributeInfo info;  // the name is compared exactly
  void (*pfnApply)(CShadowUI& shadow, LPCWSTR pstrValue);
};

const ShadowAttribute kShadowAttributes[] = {
    {{L"shadowsize", kIntValue}, [](CShadowUI& s, LPCWSTR v) { s.SetShadowSize(av::ReadInt(v)); }},
    {{L"shadowsharpness", kIntValue}, [](CShadowUI& s, LPCWSTR v) { s.SetShadowSharpness(av::ReadInt(v)); }},
    {{L"shadowdarkness", kIntValue}, [](CShadowUI& s, LPCWSTR v) { s.SetShadowDarkness(av::ReadInt(v)); }},
    {{L"shadowposition", kSizeValue},
     [](CShadowUI& s, LPCWSTR v) {
       const SIZE offset = av::ReadSize(v);
       s.SetShadowOffset(offset.cx, offset.cy);
     }},
    {{L"shadowcolor", kColorValue}, [](CShadowUI& s, LPCWSTR v) { s.SetShadowColor(av::ReadColor(v)); }},
    {{L"shadowcorner", kRectValue}, [](CShadowUI& s, LPCWSTR v) { s.SetShadowCorner(av::ReadRect(v)); }},
    {{L"shadowpadding", kRectValue}, [](CShadowUI& s, LPCWSTR v) { s.SetShadowPadding(av::ReadRect(v)); }},
    {{L"shadowimage", kImageValue}, [](CShadowUI& s, LPCWSTR v) { s.SetShadowImage(v); }},
    {{L"showshadow", kBoolValue}, [](CShadowUI& s, LPCWSTR v) { s.EnableShadow(av::IsTrue(v)); }},
};

}  // namespace

void CShadowUI::RegisterAsHostShadow() {
  CWindowHostUI::SetShadowMaker([]() -> IHostShadow* { return new CShadowUI; });
}

CShadowUI* CShadowUI::OfHost(CWindowHostUI& host) {
  return dynamic_cast<CShadowUI*>(host.GetShadow());
}

bool CShadowUI::ApplyWindowAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) {
  for (const ShadowAttribute& attribute : kShadowAttributes) {
    if (std::wcscmp(attribute.info.pstrName, pstrName) == 0) {
      attribute.pfnApply(*this, pstrValue);
      return true;
    }
  }
  return false;
}

const SkinAttributeInfo* CShadowUI::WindowAttributeAt(int iIndex) const {
  const int nCount = static_cast<int>(sizeof(kShadowAttributes) / sizeof(kShadowAttributes[0]));
  return iIndex >= 0 && iIndex < nCount ? &kShadowAttributes[iIndex].info : nullptr;
}

const WCHAR CShadowUI::kWindowClassName[] = L"VelmoShadowWnd";

void CShadowUI::RegisterWindowClass(HINSTANCE hInstance) {
  static HINSTANCE s_hRegisteredFor = nullptr;
  if (hInstance == nullptr || hInstance == s_hRegisteredFor) return;
  WNDCLASSW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = hInstance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = kWindowClassName;
  if (::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
    s_hRegisteredFor = hInstance;
  }
}

CShadowUI::PresentObserverProc CShadowUI::SetPresentObserver(PresentObserverProc pfnObserver) {
  PresentObserverProc pfnPrevious = g_pfnPresentObserver;
  g_pfnPresentObserver = pfnObserver;
  return pfnPrevious;
}

CShadowUI* CShadowUI::FromWindow(HWND hWnd) {
  const std::map<HWND, ParentHook>& hooks = Hooks();
  const auto it = hooks.find(hWnd);
  return it != hooks.end() ? it->second.pShadow : nullptr;
}

CShadowUI::CShadowUI()
    : m_pHost(nullptr), m_hWnd(nullptr), m_hWndParent(nullptr), m_uState(0),
      m_bShowShadow(false), m_nDarkness(150), m_nSharpness(5), m_nSize(0), m_nOffsetX(0),
      m_nOffsetY(0), m_cxLast(0), m_cyLast(0), m_bUpdatePending(false), m_dwColor(0),
      m_bUseImage(false), m_rcCorner(), m_rcPadding() {}

CShadowUI::~CShadowUI() { Detach(); }

// ---- settings ----

bool CShadowUI::SetShadowSize(int nSize) {
  if (!InRange(nSize, -kMaxSize, kMaxSize)) return false;
  m_nSize = static_cast<signed char>(nSize);
  Refresh();
  return true;
}

bool CShadowUI::SetShadowSharpness(int nSharpness) {
  if (!InRange(nSharpness, 0, kMaxSharpness)) return false;
  m_nSharpness = static_cast<BYTE>(nSharpness);
  Refresh();
  return true;
}

bool CShadowUI::SetShadowDarkness(int nDarkness) {
  if (!InRange(nDarkness, 0, 255)) return false;
  m_nDarkness = static_cast<BYTE>(nDarkness);
  Refresh();
  return true;
}

bool CShadowUI::SetShadowOffset(int x, int y) {
  if (!InRange(x, -kMaxOffset, kMaxOffset) || !InRange(y, -kMaxOffset, kMaxOffset)) return false;
  m_nOffsetX = static_cast<signed char>(x);
  m_nOffsetY = static_cast<signed char>(y);
  Refresh();
  return true;
}

bool CShadowUI::SetShadowColor(DWORD dwColor) {
  m_dwColor = dwColor & 0x00FFFFFF;
  Refresh();
  return true;
}

bool CShadowUI::SetShadowImage(LPCWSTR pstrImage) {
  if (pstrImage == nullptr) return false;
  m_sImage = pstrImage;
  m_diImage.Reset();
  m_diImage.sAttribute = pstrImage;
  m_bUseImage = true;
  Refresh();
  return true;
}

bool CShadowUI::SetShadowCorner(const RECT& rcCorner) {
  if (rcCorner.left < 0 || rcCorner.top < 0 || rcCorner.right < 0 || rcCorner.bottom < 0) {
    return false;
  }
  m_rcCorner = rcCorner;
  Refresh();
  return true;
}

bool CShadowUI::SetShadowPadding(const RECT& rcPadding) {
  m_rcPadding = rcPadding;
  Refresh();
  return true;
}

void CShadowUI::EnableShadow(bool bShow) { m_bShowShadow = bShow; }

POINT CShadowUI::GetShadowOffset() const { return POINT{m_nOffsetX, m_nOffsetY}; }

void CShadowUI::Refresh() {
  if (m_hWnd != nullptr && Is(kStateShown)) Regenerate(m_hWndParent);
}

// ---- following the window ----

void CShadowUI::AttachToHost(CWindowHostUI* pHost) {
  if (!m_bShowShadow) return;
  UI_CHECK(CWindowHostUI::GetModuleInstance());
  UI_CHECK(pHost);
  if (pHost == nullptr) return;
  const HWND hWndParent = pHost->GetHostWindow();
  if (!::IsWindow(hWndParent)) return;
  RegisterWindowClass(CWindowHostUI::GetModuleInstance());
  // A new control tree on the same window: hooking the window a second time would make our
  // procedure call itself for ever.
  if (hWndParent == m_hWndParent && m_hWnd != nullptr) return;
  Detach();
  // One shadow per window; a hook left without its shadow is taken over instead.
  const bool bFreeHook = FromWindow(hWndParent) == nullptr;
  UI_CHECK(bFreeHook);
  if (!bFreeHook) return;

  const LONG_PTR lParentStyle = ::GetWindowLongPtrW(hWndParent, GWL_STYLE);
  const DWORD dwStyle = WS_POPUP | WS_BORDER | WS_SYSMENU |
                        (static_cast<DWORD>(lParentStyle) & WS_DLGFRAME);
  m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kWindowClassName, nullptr,
                             dwStyle, CW_USEDEFAULT, 0, 0, 0, hWndParent, nullptr,
                             CWindowHostUI::GetModuleInstance(), nullptr);
  if (m_hWnd == nullptr) return;
  m_pHost = pHost;
  m_hWndParent = hWndParent;
  m_uState = kStateCreated;
  // A window that already has its size sends no size message until it changes: measured from
  // zero, its first shrink would count as growth and leave the larger shadow around it.
  RECT rcClient = {};
  ::GetClientRect(hWndParent, &rcClient);
  m_cxLast = static_cast<WORD>(rcClient.right);
  m_cyLast = static_cast<WORD>(rcClient.bottom);
  if (::IsWindowVisible(hWndParent)) {
    m_uState |= kStateParentVisible;
    if (!::IsIconic(hWndParent) && !::IsZoomed(hWndParent)) {
      m_uState |= kStateShown;
      ShowNoActivate();
      Regenerate(hWndParent);
    }
  }
  std::map<HWND, ParentHook>& hooks = Hooks();
  const auto it = hooks.find(hWndParent);
  if (it != hooks.end()) {
    it->second.pShadow = this;  // our procedure is still in the window's chain
    return;
  }
  ParentHook& hook = hooks[hWndParent];
  hook.pShadow = this;
  // Pointer-sized access: the 32-bit window-long calls would cut a 64-bit procedure address.
  hook.pfnPrevious = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentProc)));
}

void CShadowUI::Detach() {
  if (m_hWndParent != nullptr) {
    std::map<HWND, ParentHook>& hooks = Hooks();
    auto it = hooks.find(m_hWndParent);
    if (it != hooks.end() && it->second.pShadow == this) {
      const LONG_PTR lCurrent = ::GetWindowLongPtrW(m_hWndParent, GWLP_WNDPROC);
      if (lCurrent == reinterpret_cast<LONG_PTR>(&ParentProc)) {
        ::SetWindowLongPtrW(m_hWndParent, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(it->second.pfnPrevious));
        hooks.erase(it);
      } else {
        // Someone hooked the window after us and calls our procedure: it must keep passing
        // messages on, without a shadow, until the window's final message removes it.
        it->second.pShadow = nullptr;
      }
    }
  }
  ForgetParent();
}

void CShadowUI::ForgetParent() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  m_hWndParent = nullptr;
  m_pHost = nullptr;
  m_uState = 0;
  m_bUpdatePending = false;
}

LRESULT CALLBACK CShadowUI::ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  std::map<HWND, ParentHook>& hooks = Hooks();
  auto it = hooks.find(hWnd);
  UI_CHECK(it != hooks.end());
  if (it == hooks.end()) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  // Copied out: the previous procedure may end the window, this shadow and the hook.
  const WNDPROC pfnPrevious = it->second.pfnPrevious;
  CShadowUI* pShadow = it->second.pShadow;
  if (uMsg == WM_NCDESTROY) {
    // The window's own procedure comes back before its last message, so nothing can reach
    // ours (or a shadow that may be gone) afterwards.
    if (::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ParentProc)) {
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnPrevious));
    }
    hooks.erase(it);
    if (pShadow != nullptr) pShadow->ForgetParent();
  } else if (pShadow != nullptr) {
    pShadow->OnParentMessage(hWnd, uMsg, wParam, lParam);
  }
  return ::CallWindowProcW(pfnPrevious, hWnd, uMsg, wParam, lParam);
}

void CShadowUI::OnParentMessage(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_DESTROY:
      if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
      m_hWnd = nullptr;
      break;
    case WM_MOVE:
      if (Is(kStateShown)) {
        RECT rcParent;
        ::GetWindowRect(hWndParent, &rcParent);
        const RECT rc = ShadowRect(rcParent);
        ::SetWindowPos(m_hWnd, HWND_TOP, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
      }
      break;
    case WM_SIZE:
      OnParentSize(hWndParent, wParam, lParam);
      break;
    case WM_PAINT:
      if (m_bUpdatePending) {
        Regenerate(hWndParent);
        m_bUpdatePending = false;
      }
      break;
    case WM_SHOWWINDOW:
      OnParentShow(hWndParent, wParam != FALSE);
      break;
    case WM_EXITSIZEMOVE:
      if (Is(kStateShown)) Regenerate(hWndParent);
      break;
    default:
      break;
  }
}

void CShadowUI::OnParentSize(HWND hWndParent, WPARAM wParam, LPARAM lParam) {
  if (!Is(kStateCreated)) return;
  if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
    Hide();
    m_uState &= ~kStateShown;
    m_bUpdatePending = true;
  } else if (Is(kStateParentVisible)) {
    const WORD cx = LOWORD(lParam), cy = HIWORD(lParam);
    // A shrinking window would leave the old, larger shadow showing around it until the next
    // paint; a growing one is drawn when it paints at its new size.
    if (cx <= m_cxLast && cy <= m_cyLast) {
      Regenerate(hWndParent);
    } else {
      m_bUpdatePending = true;
    }
    if (!Is(kStateShown)) {
      ShowNoActivate();
      m_uState |= kStateShown;
    }
  }
  m_cxLast = LOWORD(lParam);
  m_cyLast = HIWORD(lParam);
}

void CShadowUI::OnParentShow(HWND /*hWndParent*/, bool bShow) {
  if (!Is(kStateCreated)) return;
  if (bShow) {
    if (Is(kStateParentVisible)) return;
    m_bUpdatePending = true;
    ShowNoActivate();
    m_uState |= kStateParentVisible | kStateShown;
  } else {
    Hide();
    m_uState &= ~(kStateParentVisible | kStateShown);
  }
}

void CShadowUI::ShowNoActivate() {
  if (m_hWnd != nullptr) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

void CShadowUI::Hide() {
  if (m_hWnd != nullptr) ::ShowWindow(m_hWnd, SW_HIDE);
}

// ---- drawing ----

UINT CShadowUI::Dpi() const { return m_pHost != nullptr ? m_pHost->GetDpi() : kSkinDpi; }

RECT CShadowUI::ShadowRect(const RECT& rcParent) const {
  const UINT uDpi = Dpi();
  RECT rc;
  if (m_bUseImage) {
    const RECT rcMargin = ScaleSkinRect(m_rcCorner, uDpi);
    rc.left = rcParent.left - rcMargin.left;
    rc.top = rcParent.top - rcMargin.top;
    rc.right = rcParent.right + rcMargin.right;
    rc.bottom = rcParent.bottom + rcMargin.bottom;
  } else {
    const int nSize = ScaleSkinPixels(m_nSize, uDpi);
    const int nOffsetX = ScaleSkinPixels(m_nOffsetX, uDpi);
    const int nOffsetY = ScaleSkinPixels(m_nOffsetY, uDpi);
    rc.left = rcParent.left + nOffsetX - nSize;
    rc.top = rcParent.top + nOffsetY - nSize;
    rc.right = rcParent.right + nOffsetX + nSize;
    rc.bottom = rcParent.bottom + nOffsetY + nSize;
  }
  return rc;
}

void CShadowUI::Regenerate(HWND hWndParent) {
  if (m_hWnd == nullptr || !::IsWindow(hWndParent)) return;
  RECT rcParent;
  ::GetWindowRect(hWndParent, &rcParent);
  if (m_bUseImage && m_sImage.IsEmpty()) return;
  const RECT rc = ShadowRect(rcParent);
  const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  DibSurface surface;
  // A shadow smaller than nothing (a negative size larger than half the window) has no image.
  if (!surface.Create(nullptr, cx, cy)) return;

  const UINT uDpi = Dpi();
  if (m_bUseImage) {
    // Loading through a draw record finds the image's variant for the host's DPI.
    const RECT rcNone = {0, 0, 0, 0};
    if (m_pHost == nullptr ||
        !CSkinRenderer::RenderImage(nullptr, m_pHost, rcNone, rcNone, m_diImage)) {
      return;
    }
    const LoadedImage* pImage = m_diImage.pImage;
    const RECT rcPadding = ScaleSkinRect(m_rcPadding, uDpi);
    const RECT rcDest = {rcPadding.left, rcPadding.top, cx + rcPadding.right,
                         cy + rcPadding.bottom};
    const RECT rcSource = {0, 0, pImage->nWidth, pImage->nHeight};
    const BitmapScale scale = {uDpi, m_diImage.uImageDpi};
    CSkinRenderer::RenderBitmap(surface.DC(), pImage->hBitmap, rcDest, rcDest, rcSource,
                                ScaleSkinRect(m_rcCorner, m_diImage.uImageDpi), pImage->bAlpha, 255,
                                true, false, false, uDpi == scale.uSourceDpi ? nullptr : &scale);
  } else {
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    // A window without a region leaves hRgn empty: nothing to cast a shadow.
    if (hRgn != nullptr) ::GetWindowRgn(hWndParent, hRgn);
    const GeneratedShadowStyle style = {
        ScaleSkinPixels(m_nSize, uDpi),    ScaleSkinPixels(m_nSharpness, uDpi), m_nDarkness,
        ScaleSkinPixels(m_nOffsetX, uDpi), ScaleSkinPixels(m_nOffsetY, uDpi),   m_dwColor};
    MakeShadow(surface.Row(0), rcParent.right - rcParent.left, rcParent.bottom - rcParent.top,
               hRgn, style);
    if (hRgn != nullptr) ::DeleteObject(hRgn);
  }
  ::GdiFlush();

  ::MoveWindow(m_hWnd, rc.left, rc.top, cx, cy, FALSE);
  POINT ptDest = {rc.left, rc.top};
  SIZE szDest = {cx, cy};
  POINT ptSource = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const BOOL bUpdated = ::UpdateLayeredWindow(m_hWnd, nullptr, &ptDest, &szDest, surface.DC(),
                                              &ptSource, 0, &blend, ULW_ALPHA);
  UI_CHECK(bUpdated);
  if (bUpdated && g_pfnPresentObserver != nullptr) {
    g_pfnPresentObserver(m_hWnd, surface.Row(0), cx, cy);
  }
}

}  // namespace SkinUI
