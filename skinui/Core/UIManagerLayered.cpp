// The per-pixel-alpha layered window: turning it on and off, its opacity and its layered image,
// the refresh timer that repaints what was invalidated, and the composition of the off-screen
// image with the image's alpha mask before the window manager shows it.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Utils/UISystemLibrary.h"

namespace SkinUI {

namespace {

typedef BOOL(WINAPI* UpdateLayeredWindowProc)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                               BLENDFUNCTION*, DWORD);
typedef BOOL(WINAPI* SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);

const UINT kLayeredRefreshInterval = 10;  // ms

UpdateLayeredWindowProc LayeredWindowUpdater() {
  static const UpdateLayeredWindowProc pfn =
      User32Export<UpdateLayeredWindowProc>("UpdateLayeredWindow");
  return pfn;
}

void ChangeExStyle(HWND hWnd, LONG lAdd, LONG lRemove) {
  const LONG lExStyle = ::GetWindowLongW(hWnd, GWL_EXSTYLE);
  ::SetWindowLongW(hWnd, GWL_EXSTYLE, (lExStyle | lAdd) & ~lRemove);
}

}  // namespace

bool CWindowHostUI::IsLayered() const { return m_bLayered; }
BYTE CWindowHostUI::GetOpacity() const { return m_nOpacity; }
LPCWSTR CWindowHostUI::GetLayeredImage() const { return m_diLayered.sAttribute; }

void CWindowHostUI::SetLayered(bool bLayered) {
  if (m_hWndPaint == nullptr || bLayered == m_bLayered) return;
  if ((::GetWindowLongW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0) return;
  if (LayeredWindowUpdater() == nullptr) return;
  if (bLayered) {
    ::SetTimer(m_hWndPaint, kLayeredTimerId, kLayeredRefreshInterval, nullptr);
    ChangeExStyle(m_hWndPaint, WS_EX_LAYERED, 0);
  } else {
    ::KillTimer(m_hWndPaint, kLayeredTimerId);
    ChangeExStyle(m_hWndPaint, 0, WS_EX_LAYERED);
  }
  m_bLayered = bLayered;
  // A layered window needs an addressable surface, a plain one a screen-compatible bitmap.
  m_surfaces.Free();
  if (m_pRoot != nullptr) m_pRoot->RequestLayout();
  Invalidate();
}

void CWindowHostUI::SetOpacity(BYTE uOpacity) {
  m_nOpacity = uOpacity;
  if (m_hWndPaint == nullptr) return;
  static const SetLayeredWindowAttributesProc pfnSetAttributes =
      User32Export<SetLayeredWindowAttributesProc>("SetLayeredWindowAttributes");
  if (pfnSetAttributes == nullptr) return;
  ChangeExStyle(m_hWndPaint, WS_EX_LAYERED, 0);
  pfnSetAttributes(m_hWndPaint, 0, uOpacity, LWA_ALPHA);
  if (m_bLayered) {
    // Per-pixel mode ends: its refresh timer and its surface go with it.
    ::KillTimer(m_hWndPaint, kLayeredTimerId);
    m_bLayered = false;
    m_surfaces.Free();
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
  m_surfaces.FreeBackground();
  const RECT rcNone = {0, 0, 0, 0};
  CSkinRenderer::RenderImage(nullptr, this, rcNone, rcNone, m_diLayered);
}

bool CWindowHostUI::LayeredImageMasks() const {
  return m_diLayered.pImage != nullptr && m_diLayered.pImage->bAlpha;
}

bool CWindowHostUI::HandleLayeredTimer(UINT_PTR uTimerId) {
  if (uTimerId != kLayeredTimerId || !m_bLayered) return false;
  if (!::IsRectEmpty(&m_rcLayeredUpdate) && !::IsIconic(m_hWndPaint)) {
    ::SendMessageW(m_hWndPaint, WM_PAINT, 0, 0);
  }
  return true;
}

void CWindowHostUI::ComposeLayered(const RECT& rcPaint) {
  RECT rcWindow = {0, 0, 0, 0};
  ::GetWindowRect(m_hWndPaint, &rcWindow);
  RECT rcClient = {0, 0, 0, 0};
  ::GetClientRect(m_hWndPaint, &rcClient);
  const int cx = rcClient.right - rcClient.left;
  const int cy = rcClient.bottom - rcClient.top;

  if (m_diLayered.pImage != nullptr) {
    const bool bNew = m_surfaces.CreateBackground(m_hDcPaint, cx, cy);
    if ((bNew || m_bLayeredChanged) && m_surfaces.BackgroundDC() != nullptr) {
      ClearPixels(m_surfaces.BackgroundPixels(), rcClient);
      CSkinClip clip;
      CSkinClip::ClipToRect(m_surfaces.BackgroundDC(), rcClient, clip);
      CSkinRenderer::RenderImage(m_surfaces.BackgroundDC(), this, rcClient, rcClient,
                                 m_diLayered);
    }
  }
  // The image's alpha is the window's mask: what the controls painted shows only where it lets.
  if (LayeredImageMasks()) m_surfaces.ApplyBackgroundMask(m_surfaces.OffscreenPixels(), rcPaint);

  UpdateLayeredWindowProc pfnUpdate = LayeredWindowUpdater();
  if (pfnUpdate == nullptr) return;
  POINT ptWindow = {rcWindow.left, rcWindow.top};
  SIZE szWindow = {cx, cy};
  POINT ptSource = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_nOpacity, AC_SRC_ALPHA};
  pfnUpdate(m_hWndPaint, m_hDcPaint, &ptWindow, &szWindow, m_surfaces.OffscreenDC(), &ptSource, 0,
            &blend, ULW_ALPHA);
}

}  // namespace SkinUI
