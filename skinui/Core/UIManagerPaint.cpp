// Layout at paint time and double-buffered painting: the tree paints the invalid area into an
// off-screen bitmap that is copied to the window, or, for a layered window, presented whole as the
// window's per-pixel-alpha image.

#include <algorithm>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

typedef BOOL(WINAPI* UpdateLayeredWindowProc)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                               BLENDFUNCTION*, DWORD);
typedef BOOL(WINAPI* SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);

const DWORD kPrintWholeChild = PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED;

UpdateLayeredWindowProc LayeredWindowUpdater() {
  static UpdateLayeredWindowProc pfn =
      reinterpret_cast<UpdateLayeredWindowProc>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindow")));
  return pfn;
}

// Shared by every host and never freed.
HPEN DirtyRectanglePen() {
  static HPEN hPen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
  return hPen;
}

// A 32-bit surface with bottom-up rows that the caller can address directly.
HBITMAP CreatePixelSurface(HDC hDC, int cx, int cy, DWORD** ppBits) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  bmi.bmiHeader.biSizeImage = cx * cy * 4;
  void* pBits = nullptr;
  HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
  *ppBits = hBitmap != nullptr ? static_cast<DWORD*>(pBits) : nullptr;
  return hBitmap;
}

// The pixel at client (x, y) of a bottom-up surface cy rows high.
DWORD& PixelAt(DWORD* pBits, int cx, int cy, int x, int y) {
  return pBits[static_cast<size_t>(cy - 1 - y) * cx + x];
}

// rc clipped to a cx by cy surface; false when nothing is left.
bool ClipToSurface(RECT& rc, int cx, int cy) {
  const RECT rcSurface = {0, 0, cx, cy};
  return ::IntersectRect(&rc, &rc, &rcSurface) != FALSE;
}

// GDI draws with the alpha byte left at 0, which a premultiplied surface reads as "add this colour
// to what lies behind the window". A pixel with colour but no alpha can only have come from GDI,
// and GDI draws opaquely.
void MakeGdiPixelsOpaque(DWORD* pBits, int cx, int cy, RECT rc) {
  if (pBits == nullptr || !ClipToSurface(rc, cx, cy)) return;
  ::GdiFlush();
  for (int y = rc.top; y < rc.bottom; ++y) {
    DWORD* pRow = &PixelAt(pBits, cx, cy, rc.left, y);
    for (int x = 0; x < rc.right - rc.left; ++x) {
      if (pRow[x] != 0 && (pRow[x] & 0xFF000000) == 0) pRow[x] |= 0xFF000000;
    }
  }
}

void ClearPixels(DWORD* pBits, int cx, int cy, RECT rc) {
  if (pBits == nullptr || !ClipToSurface(rc, cx, cy)) return;
  ::GdiFlush();
  for (int y = rc.top; y < rc.bottom; ++y) {
    std::fill_n(&PixelAt(pBits, cx, cy, rc.left, y), rc.right - rc.left, 0u);
  }
}

CControlUI* CALLBACK CollectLayoutDirty(CControlUI* pControl, LPVOID pData) {
  if (!pControl->IsLayoutDirty()) return nullptr;
  static_cast<CPtrArrayUI*>(pData)->Add(pControl);
  // Answering makes the update-test search skip the control and carry on with the rest.
  return pControl;
}

}  // namespace

bool CWindowHostUI::IsLayered() const { return m_bLayered; }
BYTE CWindowHostUI::GetOpacity() const { return m_nOpacity; }
LPCWSTR CWindowHostUI::GetLayeredImage() const { return m_diLayered.sAttribute; }
void CWindowHostUI::SetShowUpdateRect(bool bShow) { m_bShowUpdateRect = bShow; }
bool CWindowHostUI::IsPainting() const { return m_bIsPainting; }
void CWindowHostUI::SetPainting(bool bPainting) { m_bIsPainting = bPainting; }
HDC CWindowHostUI::GetPaintOffscreenDC() const { return m_hDcOffscreen; }
HBITMAP CWindowHostUI::GetPaintOffscreenBitmap() const { return m_hbmpOffscreen; }

void CWindowHostUI::Invalidate() {
  if (m_hWndPaint == nullptr) return;
  if (m_bLayered) {
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(m_hWndPaint, &rcClient);
    ::UnionRect(&m_rcLayeredUpdate, &m_rcLayeredUpdate, &rcClient);
  } else {
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
  }
}

void CWindowHostUI::SetLayered(bool bLayered) {
  if (m_hWndPaint == nullptr || bLayered == m_bLayered) return;
  if ((::GetWindowLongW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0) return;
  if (LayeredWindowUpdater() == nullptr) return;
  const LONG lExStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
  if (bLayered) {
    ::SetTimer(m_hWndPaint, kLayeredTimerId, 10, nullptr);
    ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, lExStyle | WS_EX_LAYERED);
  } else {
    ::KillTimer(m_hWndPaint, kLayeredTimerId);
    ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, lExStyle & ~WS_EX_LAYERED);
  }
  m_bLayered = bLayered;
  // A layered window needs an addressable surface, a plain one a screen-compatible bitmap.
  FreePaintSurfaces();
  if (m_pRoot != nullptr) m_pRoot->RequestLayout();
  Invalidate();
}

void CWindowHostUI::SetOpacity(BYTE uOpacity) {
  m_nOpacity = uOpacity;
  if (m_hWndPaint == nullptr) return;
  static SetLayeredWindowAttributesProc pfnSetAttributes =
      reinterpret_cast<SetLayeredWindowAttributesProc>(reinterpret_cast<void*>(
          ::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "SetLayeredWindowAttributes")));
  if (pfnSetAttributes == nullptr) return;
  const LONG lExStyle = ::GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
  ::SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, lExStyle | WS_EX_LAYERED);
  pfnSetAttributes(m_hWndPaint, 0, uOpacity, LWA_ALPHA);
  if (m_bLayered) {
    // Per-pixel mode ends: its refresh timer and its surface go with it.
    ::KillTimer(m_hWndPaint, kLayeredTimerId);
    m_bLayered = false;
    FreePaintSurfaces();
  }
  Invalidate();
}

void CWindowHostUI::SetLayeredOpacity(BYTE uOpacity) {
  m_nOpacity = uOpacity;
  m_bLayeredChanged = true;
  Invalidate();
}

void CWindowHostUI::SetLayeredImage(LPCWSTR pstrImage) {
  m_diLayered.Reset();
  m_diLayered.sAttribute = pstrImage;
  // The mask is drawn once per surface: a new image needs a new one.
  if (m_hDcBackground != nullptr) {
    ::SelectObject(m_hDcBackground, m_hbmpBackgroundOld);
    ::DeleteObject(m_hbmpBackground);
    ::DeleteDC(m_hDcBackground);
    m_hDcBackground = nullptr;
    m_hbmpBackground = nullptr;
    m_pBackgroundBits = nullptr;
  }
  const RECT rcNone = {0, 0, 0, 0};
  CSkinRenderer::RenderImage(nullptr, this, rcNone, rcNone, m_diLayered);
}

bool CWindowHostUI::HandleLayeredTimer(UINT_PTR uTimerId) {
  if (uTimerId != kLayeredTimerId || !m_bLayered) return false;
  if (!::IsRectEmpty(&m_rcLayeredUpdate) && !::IsIconic(m_hWndPaint)) {
    ::SendMessageW(m_hWndPaint, WM_PAINT, 0, 0);
  }
  return true;
}

void CWindowHostUI::FreePaintSurfaces() {
  // Neither bitmap may be selected when it is deleted, or the delete fails and it leaks.
  if (m_hDcOffscreen != nullptr) ::DeleteDC(m_hDcOffscreen);
  if (m_hbmpOffscreen != nullptr) ::DeleteObject(m_hbmpOffscreen);
  if (m_hDcBackground != nullptr) {
    ::SelectObject(m_hDcBackground, m_hbmpBackgroundOld);
    ::DeleteDC(m_hDcBackground);
  }
  if (m_hbmpBackground != nullptr) ::DeleteObject(m_hbmpBackground);
  m_hDcOffscreen = nullptr;
  m_hbmpOffscreen = nullptr;
  m_pOffscreenBits = nullptr;
  m_szOffscreen = SIZE{0, 0};
  m_hDcBackground = nullptr;
  m_hbmpBackground = nullptr;
  m_hbmpBackgroundOld = nullptr;
  m_pBackgroundBits = nullptr;
}

bool CWindowHostUI::CreateOffscreenSurface(const RECT& rcClient) {
  const int cx = rcClient.right - rcClient.left;
  const int cy = rcClient.bottom - rcClient.top;
  if (cx <= 0 || cy <= 0) return false;
  m_hDcOffscreen = ::CreateCompatibleDC(m_hDcPaint);
  if (m_bLayered) {
    m_hbmpOffscreen = CreatePixelSurface(m_hDcPaint, cx, cy, &m_pOffscreenBits);
  } else {
    m_hbmpOffscreen = ::CreateCompatibleBitmap(m_hDcPaint, cx, cy);
  }
  UI_CHECK(m_hDcOffscreen);
  UI_CHECK(m_hbmpOffscreen);
  if (m_hDcOffscreen == nullptr || m_hbmpOffscreen == nullptr) {
    FreePaintSurfaces();
    return false;
  }
  m_szOffscreen = SIZE{cx, cy};
  return true;
}

bool CWindowHostUI::RunLayoutPass() {
  m_bUpdateNeeded = false;
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  if (::IsRectEmpty(&rcClient)) return true;
  if (m_pRoot->IsLayoutDirty()) {
    FreePaintSurfaces();
    m_pRoot->SetPosition(rcClient, true);
  } else {
    m_aFoundControls.Empty();
    m_pRoot->FindControl(CollectLayoutDirty, &m_aFoundControls,
                         kFindVisible | kFindUpdateTest | kFindMeFirst);
    for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
      CControlUI* pControl = static_cast<CControlUI*>(m_aFoundControls[i]);
      pControl->SetPosition(
          pControl->IsFloat() ? pControl->GetPositionInParent() : pControl->GetPosition(), true);
    }
  }
  if (m_bFirstLayout) {
    m_bFirstLayout = false;
    RaiseNotification(m_pRoot, L"windowinit", 0, 0, false);
    // New layered content is drawn by the next paint.
    if (m_bLayered && m_bLayeredChanged) {
      Invalidate();
      return false;
    }
  }
  return true;
}

bool CWindowHostUI::HandlePaint() {
  if (m_pRoot == nullptr) {
    PAINTSTRUCT ps = {};
    ::BeginPaint(m_hWndPaint, &ps);
    CSkinRenderer::FillColor(ps.hdc, ps.rcPaint, 0xFF000000);
    ::EndPaint(m_hWndPaint, &ps);
    return true;
  }

  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  RECT rcPaint = {0, 0, 0, 0};
  if (m_bLayered) {
    m_bOffscreenPaint = true;
    rcPaint = m_rcLayeredUpdate;
    if (::IsRectEmpty(&m_rcLayeredUpdate)) {
      PAINTSTRUCT ps = {};
      ::BeginPaint(m_hWndPaint, &ps);
      ::EndPaint(m_hWndPaint, &ps);
      return true;
    }
    rcPaint.right = std::min(rcPaint.right, rcClient.right);
    rcPaint.bottom = std::min(rcPaint.bottom, rcClient.bottom);
    m_rcLayeredUpdate = CUIRect();
  } else if (!::GetUpdateRect(m_hWndPaint, &rcPaint, FALSE)) {
    return true;
  }

  m_bIsPainting = true;
  if (m_bUpdateNeeded) {
    if (!RunLayoutPass()) {
      // Validate, or the window manager keeps sending WM_PAINT for the area we skipped.
      PAINTSTRUCT ps = {};
      ::BeginPaint(m_hWndPaint, &ps);
      ::EndPaint(m_hWndPaint, &ps);
      m_bIsPainting = false;
      return true;
    }
  } else if (m_bLayered && m_bLayeredChanged) {
    ClearPixels(m_pOffscreenBits, m_szOffscreen.cx, m_szOffscreen.cy, rcClient);
    m_pRoot->SetPosition(rcClient, true);
  }
  // A new tree, or a requested initial focus, takes the focus once the tree has positions.
  if (m_bFocusNeeded) MoveFocus(true);

  const int cx = rcClient.right - rcClient.left;
  const int cy = rcClient.bottom - rcClient.top;
  if (m_hbmpOffscreen != nullptr && (m_szOffscreen.cx != cx || m_szOffscreen.cy != cy)) {
    // The window changed size without a full layout: a stale bitmap would cut the paint off.
    FreePaintSurfaces();
  }
  if (m_bOffscreenPaint && m_hbmpOffscreen == nullptr) CreateOffscreenSurface(rcClient);

  PAINTSTRUCT ps = {};
  ::BeginPaint(m_hWndPaint, &ps);
  if (m_bOffscreenPaint && m_hbmpOffscreen != nullptr) {
    HGDIOBJ hOldBitmap = ::SelectObject(m_hDcOffscreen, m_hbmpOffscreen);
    const int iSaved = ::SaveDC(m_hDcOffscreen);
    if (m_bLayered && m_diLayered.pImage == nullptr) {
      ClearPixels(m_pOffscreenBits, cx, cy, rcPaint);
    }
    m_pRoot->Paint(m_hDcOffscreen, rcPaint, nullptr);
    if (m_bLayered) PaintNativeChildrenLayered(rcPaint);
    for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
      static_cast<CControlUI*>(m_aPostPaintControls[i])->PostPaint(m_hDcOffscreen, rcPaint);
    }
    ::RestoreDC(m_hDcOffscreen, iSaved);
    if (m_bLayered) {
      MakeGdiPixelsOpaque(m_pOffscreenBits, cx, cy, rcPaint);
      ComposeLayered(rcPaint);
    } else {
      ::BitBlt(ps.hdc, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
               rcPaint.bottom - rcPaint.top, m_hDcOffscreen, rcPaint.left, rcPaint.top, SRCCOPY);
    }
    ::SelectObject(m_hDcOffscreen, hOldBitmap);
    if (m_bShowUpdateRect && !m_bLayered) {
      HGDIOBJ hOldPen = ::SelectObject(ps.hdc, DirtyRectanglePen());
      HGDIOBJ hOldBrush = ::SelectObject(ps.hdc, ::GetStockObject(HOLLOW_BRUSH));
      ::Rectangle(ps.hdc, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
      ::SelectObject(ps.hdc, hOldBrush);
      ::SelectObject(ps.hdc, hOldPen);
    }
  } else {
    const int iSaved = ::SaveDC(ps.hdc);
    m_pRoot->Paint(ps.hdc, rcPaint, nullptr);
    ::RestoreDC(ps.hdc, iSaved);
  }
  ::EndPaint(m_hWndPaint, &ps);

  m_bIsPainting = false;
  m_bLayeredChanged = false;
  if (m_bUpdateNeeded) Invalidate();
  return true;
}

void CWindowHostUI::PaintNativeChildrenLayered(const RECT& rcPaint) {
  for (int i = 0; i < m_aNativeWindows.GetSize(); ++i) {
    HWND hChild = static_cast<HWND>(m_aNativeWindows[i]);
    if (!::IsWindow(hChild)) {
      m_aNativeWindows.Remove(i);
      m_aNativeWindowControls.Remove(i);
      --i;
      continue;
    }
    if (!::IsWindowVisible(hChild)) continue;
    const RECT rcChild = GetNativeWindowRect(hChild);
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcChild, &rcPaint)) continue;
    const int cx = rcChild.right - rcChild.left;
    const int cy = rcChild.bottom - rcChild.top;
    DWORD* pBits = nullptr;
    HDC hChildDC = ::CreateCompatibleDC(m_hDcOffscreen);
    HBITMAP hChildBitmap = CreatePixelSurface(m_hDcOffscreen, cx, cy, &pBits);
    if (hChildDC != nullptr && hChildBitmap != nullptr) {
      HGDIOBJ hOld = ::SelectObject(hChildDC, hChildBitmap);
      std::fill_n(pBits, static_cast<size_t>(cx) * cy, 0u);
      ::SendMessageW(hChild, WM_PRINT, reinterpret_cast<WPARAM>(hChildDC), kPrintWholeChild);
      ::GdiFlush();
      // Whatever the child drew is opaque; GDI leaves the alpha byte at 0.
      for (size_t p = 0; p < static_cast<size_t>(cx) * cy; ++p) {
        if (pBits[p] != 0) pBits[p] |= 0xFF000000;
      }
      ::BitBlt(m_hDcOffscreen, rcChild.left, rcChild.top, cx, cy, hChildDC, 0, 0, SRCCOPY);
      ::SelectObject(hChildDC, hOld);
    }
    if (hChildDC != nullptr) ::DeleteDC(hChildDC);
    if (hChildBitmap != nullptr) ::DeleteObject(hChildBitmap);
  }
}

void CWindowHostUI::ComposeLayered(const RECT& rcPaint) {
  RECT rcWindow = {0, 0, 0, 0};
  ::GetWindowRect(m_hWndPaint, &rcWindow);
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  const int cx = rcClient.right - rcClient.left;
  const int cy = rcClient.bottom - rcClient.top;

  if (m_diLayered.pImage != nullptr) {
    bool bDraw = m_bLayeredChanged;
    if (m_hDcBackground == nullptr) {
      m_hDcBackground = ::CreateCompatibleDC(m_hDcPaint);
      m_hbmpBackground = CreatePixelSurface(m_hDcPaint, cx, cy, &m_pBackgroundBits);
      UI_CHECK(m_hDcBackground);
      UI_CHECK(m_hbmpBackground);
      if (m_hDcBackground != nullptr && m_hbmpBackground != nullptr) {
        m_hbmpBackgroundOld =
            static_cast<HBITMAP>(::SelectObject(m_hDcBackground, m_hbmpBackground));
        bDraw = true;
      } else {
        if (m_hDcBackground != nullptr) ::DeleteDC(m_hDcBackground);
        if (m_hbmpBackground != nullptr) ::DeleteObject(m_hbmpBackground);
        m_hDcBackground = nullptr;
        m_hbmpBackground = nullptr;
        m_pBackgroundBits = nullptr;
      }
    }
    if (bDraw && m_pBackgroundBits != nullptr) {
      ClearPixels(m_pBackgroundBits, cx, cy, rcClient);
      CSkinClip clip;
      CSkinClip::ClipToRect(m_hDcBackground, rcClient, clip);
      CSkinRenderer::RenderImage(m_hDcBackground, this, rcClient, rcClient, m_diLayered);
    }
  }

  // The image's alpha is the window's mask: what the controls painted shows only where it lets.
  RECT rcMask = rcPaint;
  if (m_diLayered.pImage != nullptr && m_diLayered.pImage->bAlpha && m_pBackgroundBits != nullptr &&
      m_pOffscreenBits != nullptr && ClipToSurface(rcMask, cx, cy)) {
    ::GdiFlush();
    for (int y = rcMask.top; y < rcMask.bottom; ++y) {
      for (int x = rcMask.left; x < rcMask.right; ++x) {
        const DWORD a = PixelAt(m_pBackgroundBits, cx, cy, x, y) >> 24;
        DWORD& dwPixel = PixelAt(m_pOffscreenBits, cx, cy, x, y);
        const DWORD b = (dwPixel & 0xFF) * a / 255;
        const DWORD g = ((dwPixel >> 8) & 0xFF) * a / 255;
        const DWORD r = ((dwPixel >> 16) & 0xFF) * a / 255;
        dwPixel = (a << 24) | (r << 16) | (g << 8) | b;
      }
    }
  }

  UpdateLayeredWindowProc pfnUpdate = LayeredWindowUpdater();
  if (pfnUpdate == nullptr) return;
  POINT ptWindow = {rcWindow.left, rcWindow.top};
  SIZE szWindow = {cx, cy};
  POINT ptSource = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
  pfnUpdate(m_hWndPaint, m_hDcPaint, &ptWindow, &szWindow, m_hDcOffscreen, &ptSource, 0, &blend,
            ULW_ALPHA);
}

bool CWindowHostUI::HandlePrintClient(HDC hDC, LPARAM lParam) {
  if (m_pRoot == nullptr) return false;
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  const int iSaved = ::SaveDC(hDC);
  m_pRoot->Paint(hDC, rcClient, nullptr);
  ::RestoreDC(hDC, iSaved);
  if ((lParam & PRF_CHILDREN) != 0) {
    POINT ptOrigin = {0, 0};
    ::GetWindowOrgEx(hDC, &ptOrigin);
    for (HWND hChild = ::GetWindow(m_hWndPaint, GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
      const RECT rcChild = GetNativeWindowRect(hChild);
      // Each child from the caller's origin, not from where the previous child left it.
      ::SetWindowOrgEx(hDC, ptOrigin.x - rcChild.left, ptOrigin.y - rcChild.top, nullptr);
      ::SendMessageW(hChild, WM_PRINT, reinterpret_cast<WPARAM>(hDC), lParam | PRF_NONCLIENT);
    }
    ::SetWindowOrgEx(hDC, ptOrigin.x, ptOrigin.y, nullptr);
  }
  return false;
}

}  // namespace SkinUI
