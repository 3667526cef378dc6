// Plain text: one font, one colour, laid out by the platform.

#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UIRenderSurface.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

void CSkinRenderer::RenderText(HDC hDC, CWindowHostUI* pHost, const RECT& rc, LPCWSTR pstrText,
                               DWORD dwTextColor, int iFont, UINT uStyle) {
  UI_CHECK(IsDrawableDC(hDC));
  if (pstrText == nullptr || pHost == nullptr) return;
  CUIString sText(pstrText);
  CWindowHostUI::ApplyLanguageTokens(sText);
  ::SetBkMode(hDC, TRANSPARENT);
  ::SetTextColor(hDC, RGB((dwTextColor >> 16) & 0xFF, (dwTextColor >> 8) & 0xFF,
                          dwTextColor & 0xFF));
  HGDIOBJ hOldFont = ::SelectObject(hDC, pHost->LookupFont(iFont));
  RECT rcText = rc;
  ::DrawTextW(hDC, sText, -1, &rcText, uStyle | DT_NOPREFIX);
  ::SelectObject(hDC, hOldFont);
}

}  // namespace SkinUI
