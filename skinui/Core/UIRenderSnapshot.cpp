// Snapshots of a host window's picture, for native child windows that show what lies under them.

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UIRenderSurface.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

// A memory context with one bitmap selected, both released together.
class PaintSurface {
 public:
  PaintSurface(HDC hCompatibleDC, int cx, int cy)
      : m_hDC(::CreateCompatibleDC(hCompatibleDC)),
        m_hBitmap(::CreateCompatibleBitmap(hCompatibleDC, cx, cy)) {
    if (m_hDC != nullptr && m_hBitmap != nullptr) m_hOld = ::SelectObject(m_hDC, m_hBitmap);
  }
  // Borrows a bitmap that someone else deletes.
  PaintSurface(HDC hCompatibleDC, HBITMAP hBorrowed)
      : m_hDC(::CreateCompatibleDC(hCompatibleDC)), m_hBitmap(nullptr) {
    if (m_hDC != nullptr) m_hOld = ::SelectObject(m_hDC, hBorrowed);
  }
  ~PaintSurface() {
    if (m_hOld != nullptr) ::SelectObject(m_hDC, m_hOld);
    if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
    if (m_hDC != nullptr) ::DeleteDC(m_hDC);
  }
  PaintSurface(const PaintSurface&) = delete;
  PaintSurface& operator=(const PaintSurface&) = delete;

  // Null unless a bitmap is selected.
  HDC DC() const { return m_hOld != nullptr ? m_hDC : nullptr; }

 private:
  HDC m_hDC;
  HBITMAP m_hBitmap;
  HGDIOBJ m_hOld = nullptr;
};

}  // namespace

HBITMAP CSkinRenderer::RenderSnapshot(CWindowHostUI* pHost, const RECT& rc,
                                      CControlUI* pStopControl, DWORD dwBkColor) {
  if (pHost == nullptr) return nullptr;
  const int cx = rc.right - rc.left;
  const int cy = rc.bottom - rc.top;
  if (cx <= 0 || cy <= 0 || rc.right <= 0 || rc.bottom <= 0) return nullptr;
  const HDC hPaintDC = pHost->GetHostDC();

  DibSurface copy;
  if (!copy.Create(hPaintDC, cx, cy)) {
    UI_CHECK(!"hBitmap");
    return nullptr;
  }
  const HBITMAP hOffscreen = pHost->GetPaintOffscreenBitmap();
  if (pStopControl == nullptr && !pHost->IsLayered() && hOffscreen != nullptr) {
    if (pHost->IsPainting()) {
      // Mid-paint the image is selected into the host's own context.
      ::BitBlt(copy.DC(), 0, 0, cx, cy, pHost->GetPaintOffscreenDC(), rc.left, rc.top, SRCCOPY);
    } else {
      PaintSurface source(hPaintDC, hOffscreen);
      UI_CHECK(source.DC());
      if (source.DC() == nullptr) return nullptr;
      ::BitBlt(copy.DC(), 0, 0, cx, cy, source.DC(), rc.left, rc.top, SRCCOPY);
    }
  } else {
    PaintSurface source(hPaintDC, rc.right, rc.bottom);
    UI_CHECK(source.DC());
    if (source.DC() == nullptr) return nullptr;
    CControlUI* pRoot = pHost->GetRoot();
    if (pRoot != nullptr) pRoot->Paint(source.DC(), rc, pStopControl);
    ::BitBlt(copy.DC(), 0, 0, cx, cy, source.DC(), rc.left, rc.top, SRCCOPY);
  }
  if ((dwBkColor >> 24) != 0) FillColor(copy.DC(), RECT{0, 0, cx, cy}, dwBkColor);
  ::GdiFlush();
  return copy.Detach();
}

}  // namespace SkinUI
