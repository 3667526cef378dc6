// List label elements: events, measuring and the text.

#include "Control/UIListLabelElement.h"

#include "Control/UILabel.h"
#include "Core/UIManager.h"

namespace SkinUI {

LPCWSTR CListLabelElementUI::ClassName() const { return L"ListLabelElementUI"; }

LPVOID CListLabelElementUI::QueryNamedInterface(LPCWSTR pstrName) {
  if (::lstrcmpW(pstrName, L"ListLabelElement") == 0) return this;
  return CListElementUI::QueryNamedInterface(pstrName);
}

bool CListLabelElementUI::HandleItemEvent(InputEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.iKind)) return false;
  const bool bEnabled = IsEnabled();
  switch (event.iKind) {
    case kEventMouseMove:
    case kEventButtonUp:
      return true;
    case kEventMouseEnter:
    case kEventMouseLeave:
      if (bEnabled) m_item.SetHot(event.iKind == kEventMouseEnter);
      return true;
    case kEventButtonDown:
    case kEventRightButtonDown:
      if (bEnabled) {
        m_item.Notify(kNotifyItemClick);
        Select(true, true, true, false);
      }
      return true;
    case kEventDoubleClick:
      if (bEnabled) Activate();
      return true;
    case kEventKeyDown:
      if (event.chKey != VK_RETURN) return false;
      if (bEnabled) Activate();
      return true;
    default:
      return false;
  }
}

void CListLabelElementUI::HandleEvent(InputEvent& event) {
  if (!HandleItemEvent(event)) CListElementUI::HandleEvent(event);
}

RECT CListLabelElementUI::PaddedRect(RECT rc) const {
  const ListInfo* pInfo = m_item.Info();
  if (pInfo == nullptr) return rc;
  const RECT rcPadding = TextPaddingAt(*pInfo, m_pHost);
  rc.left += rcPadding.left;
  rc.top += rcPadding.top;
  rc.right -= rcPadding.right;
  rc.bottom -= rcPadding.bottom;
  return rc;
}

int CListLabelElementUI::ItemFontHeight() const {
  const ListInfo* pInfo = m_item.Info();
  if (m_pHost == nullptr || pInfo == nullptr) return 0;
  const FontInfo* pFont = m_pHost->GetFontInfo(pInfo->nFont);
  return pFont != nullptr ? pFont->tm.tmHeight : 0;
}

SIZE CListLabelElementUI::MeasureSize(SIZE /*szAvailable*/) {
  const ListInfo* pInfo = m_item.Info();
  if (pInfo == nullptr) return SIZE{0, 0};
  SIZE sz = {m_cxyFixed.cx, m_cxyFixed.cy};
  const RECT rcPadding = TextPaddingAt(*pInfo, m_pHost);
  if (sz.cy == 0) sz.cy = ItemFontHeight() + rcPadding.top + rcPadding.bottom + 8;
  if (sz.cx == 0 && m_pHost != nullptr && m_pHost->GetHostDC() != nullptr) {
    RECT rcText = {0, 0, 9999, sz.cy};
    const UINT uStyle =
        (pInfo->uTextStyle & ~(kTextCenter | kTextRight)) | kTextSingleLine | kTextCalcRect;
    if (pInfo->bShowHtml) {
      int nLinks = 0;
      CSkinRenderer::RenderMarkupText(m_pHost->GetHostDC(), m_pHost, rcText, m_sText, 0, nullptr,
                                      nullptr, nLinks, uStyle);
    } else {
      const HDC hDC = m_pHost->GetHostDC();
      const HGDIOBJ hOld = ::SelectObject(hDC, m_pHost->LookupFont(pInfo->nFont));
      ::DrawTextW(hDC, m_sText, m_sText.GetLength(), &rcText, uStyle);
      ::SelectObject(hDC, hOld);
    }
    sz.cx = rcText.right - rcText.left + rcPadding.left + rcPadding.right;
  }
  return sz;
}

void CListLabelElementUI::PaintTextLayer(HDC hDC) { PaintElementText(hDC, m_rcItem); }

void CListLabelElementUI::PaintElementText(HDC hDC, const RECT& rcText) {
  const ListInfo* pInfo = m_item.Info();
  if (pInfo == nullptr || m_sText.IsEmpty()) return;
  RECT rc = PaddedRect(rcText);
  const DWORD dwColor = AdjustColor(m_item.TextColor());
  const UINT uStyle = pInfo->uTextStyle | kTextSingleLine;
  if (pInfo->bShowHtml) {
    int nLinks = 0;
    CSkinRenderer::RenderMarkupText(hDC, m_pHost, rc, m_sText, dwColor, nullptr, nullptr, nLinks,
                                    uStyle);
  } else {
    CSkinRenderer::RenderText(hDC, m_pHost, rc, m_sText, dwColor, pInfo->nFont, uStyle);
  }
}

}  // namespace SkinUI
