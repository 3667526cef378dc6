// Painting of the rich edit: the control's layers, the engine's text over them, children, the
// caret that layered windows cannot show natively, then the scroll bars.

#include <initializer_list>

#include <richedit.h>

#include "Control/UIRichEdit.h"
#include "Control/UIScrollBar.h"
#include "Control/UITextHost.h"
#include "Core/UIManager.h"
#include "Core/UIRenderBlend.h"
#include "Core/UIRenderSurface.h"

namespace SkinUI {

namespace {

const DWORD kCaretColor = 0xFF000000;

}  // namespace

bool CRichEditUI::PaintSelf(HDC hDC, const RECT& rcPaint, CControlUI* pStopControl) {
  RECT rcTemp;
  if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) return true;
  CSkinClip clip;
  CSkinClip::ClipToRect(hDC, rcTemp, clip);
  CControlUI::PaintSelf(hDC, rcPaint, pStopControl);

  if (m_pTwh != nullptr && m_pTwh->GetTextServices() != nullptr) {
    const bool bContrast = InHighContrast();
    if (bContrast != m_bContrastText) {
      m_bContrastText = bContrast;
      const DWORD dwColor = bContrast ? CWindowHostUI::SystemColor(COLOR_WINDOWTEXT) : m_dwTextColor;
      m_pTwh->SetTextColor(dwColor);
      // The engine gives a new default colour only to text typed from now on: the text it holds
      // is coloured over.
      CHARFORMAT2W cf = {};
      cf.cbSize = sizeof(cf);
      cf.dwMask = CFM_COLOR;
      cf.crTextColor = RGB((dwColor >> 16) & 0xFF, (dwColor >> 8) & 0xFF, dwColor & 0xFF);
      TxSend(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf), nullptr);
    }
    RECT rcClient = m_pTwh->GetClientRect();
    RECT rcUpdate = m_rcPaint;
    m_pTwh->GetTextServices()->TxDraw(DVASPECT_CONTENT, -1, nullptr, nullptr, hDC, nullptr,
                                      reinterpret_cast<LPCRECTL>(&rcClient), nullptr, &rcUpdate,
                                      nullptr, 0, TXTVIEW_ACTIVE);
    if (m_bVScrollBarFixing &&
        NaturalHeight(rcClient.right - rcClient.left) <= rcClient.bottom - rcClient.top) {
      RequestLayout();
    }
  }

  if (!m_items.IsEmpty() && !PaintChildren(hDC, rcPaint, pStopControl)) return false;
  PaintCaret(hDC);
  for (CScrollBarBaseUI* pBar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
    if (!IsBarShown(pBar) || !::IntersectRect(&rcTemp, &rcPaint, &pBar->GetPosition())) continue;
    if (!pBar->Paint(hDC, rcPaint, pStopControl)) return false;
  }
  return true;
}

void CRichEditUI::PaintCaret(HDC hDC) {
  if (m_pHost == nullptr || !m_pHost->IsLayered() || m_pTwh == nullptr) return;
  if (!m_pTwh->IsCaretShown() || !IsFocused() || !m_bDrawCaret) return;
  const POINT ptCaret = m_pTwh->GetCaretPosition();
  if (!::PtInRect(&m_rcItem, ptCaret)) return;
  // Blended, not filled: an opaque black fill would leave GDI's alpha of 0, which the layered
  // window reads as a hole.
  DibSurface pixel;
  if (!pixel.Create(hDC, 1, 1)) return;
  *pixel.Row(0) = kCaretColor;
  RenderBlend::BlendBitmapPart(hDC, ptCaret.x, ptCaret.y, m_pTwh->GetCaretWidth(),
                               m_pTwh->GetCaretHeight(), pixel.DC(), 0, 0, 1, 1, 255);
}

void CRichEditUI::InvalidateCaret() {
  if (m_pHost == nullptr || m_pTwh == nullptr) return;
  const POINT ptCaret = m_pTwh->GetCaretPosition();
  RECT rcCaret = {ptCaret.x, ptCaret.y, ptCaret.x + m_pTwh->GetCaretWidth(),
                  ptCaret.y + m_pTwh->GetCaretHeight()};
  if (!::IntersectRect(&rcCaret, &rcCaret, &m_rcItem)) return;
  if (ClipToAncestors(rcCaret, true)) m_pHost->Invalidate(rcCaret);
}

}  // namespace SkinUI
