#include "ErrorOverlay.h"

#include <algorithm>

#include "Core/UIManager.h"
#include "Core/UIRender.h"

namespace {

const DWORD kBoxColor = 0xEE26292F;     // dark, a little of the skin shows through
const DWORD kAccentColor = 0xFFE5484D;  // the error's red, down the box's left edge
const COLORREF kTitleColor = RGB(0xFF, 0x8A, 0x8D);
const COLORREF kTextColor = RGB(0xF2, 0xF4, 0xF7);
const COLORREF kHintColor = RGB(0xA8, 0xB0, 0xBC);
// Characters of the line shown on each side of the column, so a long line still shows it.
const int kContext = 48;

HFONT MakeFont(LPCWSTR pstrFace, int nPixels, bool bBold, bool bFixedPitch) {
  return ::CreateFontW(-nPixels, 0, 0, 0, bBold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       bFixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_SWISS, pstrFace);
}

int LineHeight(HDC hDC, HFONT hFont) {
  const HGDIOBJ hOld = ::SelectObject(hDC, hFont);
  TEXTMETRICW tm = {};
  ::GetTextMetricsW(hDC, &tm);
  ::SelectObject(hDC, hOld);
  return tm.tmHeight;
}

void DrawLine(HDC hDC, HFONT hFont, COLORREF color, const std::wstring& text, RECT& rcLine, int cy) {
  const HGDIOBJ hOld = ::SelectObject(hDC, hFont);
  ::SetTextColor(hDC, color);
  RECT rc = {rcLine.left, rcLine.top, rcLine.right, rcLine.top + cy};
  ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &rc,
              DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_EXPANDTABS);
  ::SelectObject(hDC, hOld);
  rcLine.top += cy;
}

}  // namespace

CErrorOverlayUI::CErrorOverlayUI(SkinUI::CWindowHostUI& host) : m_host(host) {}

CErrorOverlayUI::~CErrorOverlayUI() {
  for (HFONT hFont : {m_hTextFont, m_hBoldFont, m_hCodeFont}) {
    if (hFont != nullptr) ::DeleteObject(hFont);
  }
}

void CErrorOverlayUI::Show(const std::wstring& place, const std::wstring& message,
                           const std::wstring& sourceLine, int nColumn, bool bSkinBehind) {
  m_place = place;
  m_bSkinBehind = bSkinBehind;
  m_message = message;
  m_nColumn = nColumn;
  // One blank for a tab: the mark below counts a tab as one character, as the column does.
  m_sourceLine = sourceLine;
  std::replace(m_sourceLine.begin(), m_sourceLine.end(), L'\t', L' ');
  m_bShown = true;
  m_host.Invalidate();
}

void CErrorOverlayUI::Hide() {
  if (!m_bShown) return;
  m_bShown = false;
  m_host.Invalidate();
}

void CErrorOverlayUI::MakeFonts() {
  if (m_uFontDpi == m_host.GetDpi() && m_hTextFont != nullptr) return;
  for (HFONT* phFont : {&m_hTextFont, &m_hBoldFont, &m_hCodeFont}) {
    if (*phFont != nullptr) ::DeleteObject(*phFont);
  }
  m_uFontDpi = m_host.GetDpi();
  m_hTextFont = MakeFont(L"Tahoma", m_host.ScalePixels(13), false, false);
  m_hBoldFont = MakeFont(L"Tahoma", m_host.ScalePixels(14), true, false);
  m_hCodeFont = MakeFont(L"Courier New", m_host.ScalePixels(13), false, true);
}

RECT CErrorOverlayUI::GetBox() const {
  RECT rcClient = {};
  if (!m_bShown || !::GetClientRect(m_host.GetHostWindow(), &rcClient)) return RECT{0, 0, 0, 0};
  const int nMargin = m_host.ScalePixels(10);
  // Five lines of about 18 skin pixels, and room around them.
  const int cyBox = m_host.ScalePixels(5 * 18 + 20);
  RECT rc = {nMargin, rcClient.bottom - nMargin - cyBox, rcClient.right - nMargin,
             rcClient.bottom - nMargin};
  rc.top = std::max<LONG>(rc.top, nMargin);
  return rc;
}

void CErrorOverlayUI::PostPaint(HDC hDC, const RECT& /*rcPaint*/) {
  if (!m_bShown) return;
  MakeFonts();
  const RECT rcBox = GetBox();
  SkinUI::CSkinRenderer::FillColor(hDC, rcBox, kBoxColor);
  SkinUI::CSkinRenderer::FillColor(
      hDC, RECT{rcBox.left, rcBox.top, rcBox.left + m_host.ScalePixels(4), rcBox.bottom}, kAccentColor);

  const int nSaved = ::SaveDC(hDC);
  ::IntersectClipRect(hDC, rcBox.left, rcBox.top, rcBox.right, rcBox.bottom);
  ::SetBkMode(hDC, TRANSPARENT);
  const int nPad = m_host.ScalePixels(10);
  RECT rcLine = {rcBox.left + nPad + m_host.ScalePixels(4), rcBox.top + nPad, rcBox.right - nPad,
                 rcBox.bottom};
  const int cyText = LineHeight(hDC, m_hTextFont) + m_host.ScalePixels(3);
  DrawLine(hDC, m_hBoldFont, kTitleColor, L"The skin does not parse", rcLine, cyText);
  DrawLine(hDC, m_hTextFont, kTextColor, m_place + L": " + m_message, rcLine, cyText);

  // The line itself and a mark under the column, cut around the column when it is long.
  const int cyCode = LineHeight(hDC, m_hCodeFont);
  if (m_nColumn > 0) {
    const int iColumn = m_nColumn - 1;
    const int iFirst = std::max(0, iColumn - kContext);
    std::wstring shown = m_sourceLine.substr(std::min<size_t>(iFirst, m_sourceLine.size()),
                                             static_cast<size_t>(2 * kContext));
    std::wstring mark(static_cast<size_t>(iColumn - iFirst), L' ');
    if (iFirst > 0) {
      shown = L"..." + shown;
      mark = L"   " + mark;
    }
    DrawLine(hDC, m_hCodeFont, kTextColor, shown, rcLine, cyCode);
    DrawLine(hDC, m_hCodeFont, kTitleColor, mark + L"^", rcLine, cyCode);
  }
  rcLine.top += m_host.ScalePixels(3);
  DrawLine(hDC, m_hTextFont, kHintColor,
           m_bSkinBehind ? L"The last skin that parsed is shown behind. Save the file to try again."
                         : L"Save the file to try again.",
           rcLine, cyText);
  ::RestoreDC(hDC, nSaved);
}
