// Layout at paint time and double-buffered painting: the tree paints the invalid area into an
// off-screen image that is copied to the window, or, for a layered window, presented whole as the
// window's per-pixel-alpha image; and printing the window into a device context of the caller's.

#include <algorithm>

#include "Core/UIAccessible.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UIRenderSurface.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

const DWORD kPrintWholeChild = PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED;

// Shared by every host and never freed.
HPEN DirtyRectanglePen() {
  static HPEN hPen = ::CreatePen(PS_SOLID, 1, RGB(220, 0, 0));
  return hPen;
}

CControlUI* CALLBACK CollectLayoutDirty(CControlUI* pControl, LPVOID pData) {
  if (!pControl->IsLayoutDirty()) return nullptr;
  static_cast<CTypedPtrArrayUI<CControlUI>*>(pData)->Add(pControl);
  // Answering makes the update-test search skip the control and carry on with the rest.
  return pControl;
}

RECT ClientRect(HWND hWnd) {
  RECT rc = {0, 0, 0, 0};
  ::GetClientRect(hWnd, &rc);
  return rc;
}

// An empty BeginPaint and EndPaint validate the window: without them the window manager keeps
// sending WM_PAINT for an area nothing drew.
void ValidateWindow(HWND hWnd) {
  PAINTSTRUCT ps = {};
  ::BeginPaint(hWnd, &ps);
  ::EndPaint(hWnd, &ps);
}

}  // namespace

void CWindowHostUI::SetShowUpdateRect(bool bShow) { m_bShowUpdateRect = bShow; }
bool CWindowHostUI::IsPainting() const { return m_bIsPainting; }
void CWindowHostUI::SetPainting(bool bPainting) { m_bIsPainting = bPainting; }
HDC CWindowHostUI::GetPaintOffscreenDC() const { return m_surfaces.OffscreenDC(); }
HBITMAP CWindowHostUI::GetPaintOffscreenBitmap() const { return m_surfaces.OffscreenBitmap(); }

void CWindowHostUI::Invalidate() {
  if (m_hWndPaint == nullptr) return;
  if (m_bLayered) {
    const RECT rcClient = ClientRect(m_hWndPaint);
    ::UnionRect(&m_rcLayeredUpdate, &m_rcLayeredUpdate, &rcClient);
  } else {
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
  }
}

bool CWindowHostUI::RunLayoutPass() {
  m_bUpdateNeeded = false;
  const RECT rcClient = ClientRect(m_hWndPaint);
  if (::IsRectEmpty(&rcClient)) return true;
  if (m_pRoot->IsLayoutDirty()) {
    // The surfaces are made again at the new size.
    m_surfaces.Free();
    m_pRoot->SetPosition(rcClient, true);
  } else {
    m_aFoundControls.Empty();
    m_pRoot->FindControl(CollectLayoutDirty, &m_aFoundControls,
                         kFindVisible | kFindUpdateTest | kFindMeFirst);
    for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
      CControlUI* pControl = m_aFoundControls[i];
      pControl->SetPosition(
          pControl->IsFloat() ? pControl->GetPositionInParent() : pControl->GetPosition(), true);
    }
  }
  if (m_bFirstLayout) {
    m_bFirstLayout = false;
    RaiseNotification(m_pRoot, kNotifyWindowInit, 0, 0, false);
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

  const RECT rcClient = ClientRect(m_hWndPaint);
  RECT rcPaint = {0, 0, 0, 0};
  if (m_bLayered) {
    m_bOffscreenPaint = true;
    rcPaint = m_rcLayeredUpdate;
    if (::IsRectEmpty(&m_rcLayeredUpdate)) {
      ValidateWindow(m_hWndPaint);
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
      ValidateWindow(m_hWndPaint);
      m_bIsPainting = false;
      return true;
    }
  } else if (m_bLayered && m_bLayeredChanged) {
    ClearPixels(m_surfaces.OffscreenPixels(), rcClient);
    m_pRoot->SetPosition(rcClient, true);
  }
  // Clients hear of the window as it first comes on the screen, then of where its focus is: a
  // new tree, or a requested initial focus, takes the focus once the tree has positions.
  const bool bOpening = OpenToClients();
  const CControlUI* pFocusBefore = m_input.focus;
  if (m_bFocusNeeded) TakeFirstFocus();
  if (bOpening && m_input.focus == pFocusBefore && pFocusBefore != nullptr) {
    NotifyAccessibleEvent(m_input.focus, AccessibleEvent::kFocus);
  }

  const int cx = rcClient.right - rcClient.left;
  const int cy = rcClient.bottom - rcClient.top;
  // The window changed size without a full layout: a stale image would cut the paint off.
  if (m_surfaces.HasOffscreen() && !m_surfaces.FitsClient(cx, cy)) m_surfaces.Free();
  if (m_bOffscreenPaint && !m_surfaces.HasOffscreen()) {
    m_surfaces.CreateOffscreen(m_hDcPaint, cx, cy, m_bLayered);
  }

  PAINTSTRUCT ps = {};
  ::BeginPaint(m_hWndPaint, &ps);
  if (m_bOffscreenPaint && m_surfaces.HasOffscreen()) {
    const HDC hDcOffscreen = m_surfaces.OffscreenDC();
    const HGDIOBJ hOldBitmap = ::SelectObject(hDcOffscreen, m_surfaces.OffscreenBitmap());
    const int iSaved = ::SaveDC(hDcOffscreen);
    if (m_bLayered && m_diLayered.pImage == nullptr) {
      ClearPixels(m_surfaces.OffscreenPixels(), rcPaint);
    }
    m_pRoot->Paint(hDcOffscreen, rcPaint, nullptr);
    if (m_bLayered) PaintNativeChildren(hDcOffscreen, rcPaint);
    for (int i = 0; i < m_aPostPaintControls.GetSize(); ++i) {
      m_aPostPaintControls[i]->PostPaint(hDcOffscreen, rcPaint);
    }
    ::RestoreDC(hDcOffscreen, iSaved);
    if (m_bLayered) {
      MakeGdiPixelsOpaque(m_surfaces.OffscreenPixels(), rcPaint);
      ComposeLayered(rcPaint);
    } else {
      ::BitBlt(ps.hdc, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
               rcPaint.bottom - rcPaint.top, hDcOffscreen, rcPaint.left, rcPaint.top, SRCCOPY);
    }
    ::SelectObject(hDcOffscreen, hOldBitmap);
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

void CWindowHostUI::PaintNativeChildren(HDC hDC, const RECT& rcPaint) {
  m_nativeWindows.DropDestroyed();
  for (int i = 0; i < m_nativeWindows.GetSize(); ++i) {
    HWND hChild = m_nativeWindows.WindowAt(i);
    if (!::IsWindowVisible(hChild)) continue;
    const RECT rcChild = GetNativeWindowRect(hChild);
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcChild, &rcPaint)) continue;
    const int cx = rcChild.right - rcChild.left;
    const int cy = rcChild.bottom - rcChild.top;
    DibSurface child;
    if (!child.Create(hDC, cx, cy)) continue;
    ::SendMessageW(hChild, WM_PRINT, reinterpret_cast<WPARAM>(child.DC()), kPrintWholeChild);
    // Whatever the child drew is opaque; GDI leaves the alpha byte at 0.
    MakePixelsOpaque(child.Pixels(), RECT{0, 0, cx, cy}, false);
    ::BitBlt(hDC, rcChild.left, rcChild.top, cx, cy, child.DC(), 0, 0, SRCCOPY);
  }
}

void CWindowHostUI::PrintChildWindows(HDC hDC, HWND hParent, LPARAM lParam) const {
  // Bottom of the z-order first, so that windows above others cover them as on screen.
  const HWND hTop = ::GetWindow(hParent, GW_CHILD);
  for (HWND hChild = hTop != nullptr ? ::GetWindow(hTop, GW_HWNDLAST) : nullptr; hChild != nullptr;
       hChild = ::GetWindow(hChild, GW_HWNDPREV)) {
    // What the screen does not show stays out of the picture.
    if (!::IsWindowVisible(hChild)) continue;
    const RECT rcChild = GetNativeWindowRect(hChild);
    const int iSaved = ::SaveDC(hDC);
    ::SetWindowOrgEx(hDC, -rcChild.left, -rcChild.top, nullptr);
    // A window erases and paints whatever its context lets it, as on screen its own area (and
    // its parent's) only.
    ::IntersectClipRect(hDC, 0, 0, rcChild.right - rcChild.left, rcChild.bottom - rcChild.top);
    // Each window prints itself only: not every window's default handling prints its children
    // (it does not under Wine), so they are walked here, each once.
    ::SendMessageW(hChild, WM_PRINT, reinterpret_cast<WPARAM>(hDC),
                   (lParam | PRF_NONCLIENT) & ~PRF_CHILDREN);
    PrintChildWindows(hDC, hChild, lParam);
    ::RestoreDC(hDC, iSaved);
  }
}

bool CWindowHostUI::HandlePrintClient(HDC hDC, LPARAM lParam) {
  if (m_pRoot == nullptr) return false;
  const RECT rcClient = ClientRect(m_hWndPaint);
  const int cx = rcClient.right - rcClient.left;
  const int cy = rcClient.bottom - rcClient.top;
  // The picture is made in a surface of our own, as the screen's is: painted straight into a
  // 32-bit context of the caller's, everything GDI draws would keep alpha 0 there and read as
  // transparent, leaving only what GDI+ draws.
  DibSurface picture;
  if (!picture.Create(hDC, cx, cy)) {
    // Better a picture without alpha than none.
    const int iSaved = ::SaveDC(hDC);
    m_pRoot->Paint(hDC, rcClient, nullptr);
    ::RestoreDC(hDC, iSaved);
    return false;
  }
  const int iSaved = ::SaveDC(picture.DC());
  m_pRoot->Paint(picture.DC(), rcClient, nullptr);
  ::RestoreDC(picture.DC(), iSaved);
  if ((lParam & PRF_CHILDREN) != 0) PrintChildWindows(picture.DC(), m_hWndPaint, lParam);
  if (m_bLayered) {
    // As presented: what GDI drew is opaque, the rest keeps the alpha it was painted with.
    MakeGdiPixelsOpaque(picture.Pixels(), rcClient);
    if (LayeredImageMasks()) m_surfaces.ApplyBackgroundMask(picture.Pixels(), rcClient);
  } else {
    MakePixelsOpaque(picture.Pixels(), rcClient, true);
  }
  ::BitBlt(hDC, 0, 0, cx, cy, picture.DC(), 0, 0, SRCCOPY);
  return false;
}

}  // namespace SkinUI
