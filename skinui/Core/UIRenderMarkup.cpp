// Tagged text: bold, italic, underline, fonts, colours, links, inline images, paragraphs, raw text
// and selection, laid out line by line. In drawing mode every line is laid out twice from the same
// starting state: a measuring pass finds its width and height, a drawing pass then draws it with
// those figures (bottom alignment and centred or right-aligned lines need them before the first
// glyph is drawn).

#include <algorithm>
#include <cwchar>
#include <vector>

#include "Core/UIImageAttribute.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UIRenderSurface.h"
#include "Utils/UIDebug.h"

namespace SkinUI {

namespace {

// Fonts that tags create get identifiers from here; one per font, for the life of the process.
int g_iNextTagFontId = 30000;

enum class VerticalAlign { Bottom, Center, Top };

inline bool IsBlank(WCHAR ch) { return ch != L'\0' && ch <= L' '; }
inline bool IsTagLetter(WCHAR ch) { return ch >= L'a' && ch <= L'z'; }
inline bool IsOpenBracket(WCHAR ch) { return ch == L'<' || ch == L'{'; }
inline bool IsCloseBracket(WCHAR ch) { return ch == L'>' || ch == L'}'; }
inline bool IsAsciiLetter(WCHAR ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }

inline COLORREF OpaqueColor(DWORD dwColor) {
  return RGB((dwColor >> 16) & 0xFF, (dwColor >> 8) & 0xFF, dwColor & 0xFF);
}

void SkipBlanks(LPCWSTR& p) {
  while (IsBlank(*p)) ++p;
}

// One character: a surrogate pair counts as one.
int CharLength(LPCWSTR p) {
  return (p[0] >= 0xD800 && p[0] <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) ? 2 : 1;
}

long ReadDecimal(LPCWSTR& p) {
  LPWSTR pstrEnd = nullptr;
  const long n = std::wcstol(p, &pstrEnd, 10);
  p = pstrEnd;
  return n;
}

// "<{>", "<}>", "{<}" and "{>}": a bracket as text.
bool IsEscape(LPCWSTR p) {
  if (p[0] == L'<') return (p[1] == L'{' || p[1] == L'}') && p[2] == L'>';
  if (p[0] == L'{') return (p[1] == L'<' || p[1] == L'>') && p[2] == L'}';
  return false;
}

bool IsRawEnd(LPCWSTR p) {
  return IsOpenBracket(p[0]) && p[1] == L'/' && p[2] == L'r' && IsCloseBracket(p[3]);
}

// Everything that is restored when a line is laid out a second time.
struct LayoutState {
  std::vector<FontInfo*> aFonts;
  std::vector<DWORD> aColors;
  std::vector<int> aSpacings;
  std::vector<VerticalAlign> aAligns;
  LPCWSTR pstrText = nullptr;
  bool bInRaw = false;
  bool bInSelected = false;
  bool bInLink = false;
  int iLinkIndex = 0;
};

class MarkupLayout {
 public:
  MarkupLayout(HDC hDC, CWindowHostUI* pHost, const RECT& rc, DWORD dwTextColor, RECT* prcLinks,
               CUIString* psLinks, int nLinkRects, UINT uStyle)
      : m_hDC(hDC),
        m_pHost(pHost),
        m_rc(rc),
        m_dwTextColor(dwTextColor),
        m_prcLinks(prcLinks),
        m_psLinks(psLinks),
        m_nLinkRects(prcLinks != nullptr && psLinks != nullptr ? std::max(nLinkRects, 0) : 0),
        m_uStyle(uStyle),
        m_bDraw((uStyle & DT_CALCRECT) == 0) {
    m_state.aFonts.reserve(10);
    m_state.aColors.reserve(10);
    m_state.aSpacings.reserve(10);
    m_state.aAligns.reserve(10);
  }

  void SetHoveredLink(const CUIString& sTarget) {
    m_sHoverLink = sTarget;
    m_bHoverLink = true;
  }

  // Lays out (and in drawing mode draws) the text; returns the number of links laid out.
  int Run(LPCWSTR pstrText);
  // After a measuring run: the right edge of the widest line and the bottom of the text.
  int MeasuredRight() const { return std::min<int>(m_rc.right, m_cxMaxWidth); }
  int MeasuredBottom() const { return std::max(m_cyMinHeight, static_cast<int>(m_pt.y) + m_cyLine); }

 private:
  FontInfo* CurrentFont() const {
    return m_state.aFonts.empty() ? m_pHost->GetDefaultFontInfo() : m_state.aFonts.back();
  }
  const TEXTMETRICW& Metrics() const { return m_pFont->tm; }
  int FontLineHeight() const { return Metrics().tmHeight + Metrics().tmExternalLeading; }
  int TopSpacing() const { return m_state.aSpacings.empty() ? 0 : m_state.aSpacings.back(); }
  void ResetLineHeight() { m_cyLine = FontLineHeight() + TopSpacing(); }
  void RaiseLineHeight() { m_cyLine = std::max(m_cyLine, FontLineHeight() + TopSpacing()); }
  VerticalAlign CurrentAlign() const {
    return m_state.aAligns.empty() ? VerticalAlign::Bottom : m_state.aAligns.back();
  }
  bool Drawing() const { return m_bDraw && m_bLineDraw; }

  void SelectCurrentFont();
  void SelectCurrentColor();
  void SelectBackground();

  bool EndLine();
  void Tag();
  void EndTag();
  void Escape();
  void Blank();
  void TextRun();
  // False: the tag is done; true: it is taken up again on the next line.
  bool ItalicOrImage(LPCWSTR& p);
  void OpenLink(LPCWSTR& p);
  void CloseLink();
  void PushFont(FontInfo* pFontInfo);
  void PushFontVariant(bool bBold, bool bUnderline, bool bItalic);
  void PushNamedFont(LPCWSTR& p);
  void PopFont();
  void PushColor(DWORD dwColor);
  void PopColor();
  void DrawChars(LPCWSTR pstr, int cch, int cx);
  int TextTop() const;

  HDC m_hDC;
  CWindowHostUI* m_pHost;
  RECT m_rc;
  DWORD m_dwTextColor;
  RECT* m_prcLinks;
  CUIString* m_psLinks;
  int m_nLinkRects;
  UINT m_uStyle;
  bool m_bDraw;

  LayoutState m_state;
  LayoutState m_lineStart;
  FontInfo* m_pFont = nullptr;
  POINT m_pt = {0, 0};
  POINT m_ptLinkStart = {0, 0};
  int m_cyLine = 0;
  // Figures of the line's measuring pass, used by its drawing pass.
  int m_cyLineHeight = 0;
  int m_cxLineOffset = 0;
  int m_cyMinHeight = 0;
  int m_cxMaxWidth = 0;
  bool m_bLineEnd = false;
  bool m_bLineDraw = false;
  bool m_bHoverLink = false;
  CUIString m_sHoverLink;
};

void MarkupLayout::SelectCurrentFont() {
  m_pFont = CurrentFont();
  ::SelectObject(m_hDC, m_pFont->hFont);
}

void MarkupLayout::SelectCurrentColor() {
  ::SetTextColor(m_hDC,
                 OpaqueColor(m_state.aColors.empty() ? m_dwTextColor : m_state.aColors.back()));
}

void MarkupLayout::SelectBackground() {
  ::SetBkMode(m_hDC, m_state.bInSelected ? OPAQUE : TRANSPARENT);
}

int MarkupLayout::Run(LPCWSTR pstrText) {
  m_state.pstrText = pstrText;
  SelectCurrentFont();
  m_pt.x = m_rc.left;
  m_pt.y = m_rc.top;
  // Nothing measured yet is as wide as the left edge.
  m_cxMaxWidth = m_rc.left;
  ResetLineHeight();
  m_ptLinkStart = m_pt;
  m_lineStart = m_state;

  for (;;) {
    LPCWSTR p = m_state.pstrText;
    if (m_pt.x >= m_rc.right || *p == L'\n' || *p == L'\0' || m_bLineEnd) {
      if (!EndLine()) break;
      continue;
    }
    if (!m_state.bInRaw && IsOpenBracket(p[0]) && IsTagLetter(p[1]) &&
        (p[2] == L' ' || IsCloseBracket(p[2]))) {
      Tag();
    } else if (!m_state.bInRaw && IsOpenBracket(p[0]) && p[1] == L'/' && IsTagLetter(p[2])) {
      EndTag();
    } else if (!m_state.bInRaw && IsEscape(p)) {
      Escape();
    } else if (!m_state.bInRaw && *p == L' ') {
      Blank();
    } else {
      TextRun();
    }
  }
  UI_CHECK(m_state.iLinkIndex <= m_nLinkRects);
  return m_state.iLinkIndex;
}

bool MarkupLayout::EndLine() {
  const bool bEndOfText = *m_state.pstrText == L'\0';
  if (*m_state.pstrText == L'\n') ++m_state.pstrText;
  m_bLineEnd = false;
  // A line that used up no text would come back the same forever.
  const bool bStuck = !bEndOfText && m_state.pstrText == m_lineStart.pstrText;

  if (!m_bLineDraw) {
    LayoutState& s = m_state;
    if (s.bInLink && s.iLinkIndex < m_nLinkRects) {
      ::SetRect(&m_prcLinks[s.iLinkIndex], m_ptLinkStart.x, m_ptLinkStart.y,
                std::min(m_pt.x, m_rc.right), m_pt.y + m_cyLine);
      ++s.iLinkIndex;
      // The link goes on in the next line as an entry of its own.
      if (s.iLinkIndex < m_nLinkRects) m_psLinks[s.iLinkIndex] = m_psLinks[s.iLinkIndex - 1];
    }
    const int iLineLinkEnd = std::min(s.iLinkIndex, m_nLinkRects);
    for (int i = m_lineStart.iLinkIndex; i < iLineLinkEnd; ++i) {
      m_prcLinks[i].bottom = m_pt.y + m_cyLine;
    }
    if (m_bDraw) {
      // Draw the line just measured: same start, with its measured figures.
      m_cyLineHeight = m_cyLine;
      m_cxLineOffset = 0;
      if ((m_uStyle & DT_SINGLELINE) == 0) {
        const int cxSpare = (m_rc.right - m_rc.left) - (m_pt.x - m_rc.left);
        if ((m_uStyle & DT_CENTER) != 0) {
          m_cxLineOffset = cxSpare / 2;
        } else if ((m_uStyle & DT_RIGHT) != 0) {
          m_cxLineOffset = cxSpare;
        }
      }
      // Links are reported where they are drawn.
      for (int i = m_lineStart.iLinkIndex; i < iLineLinkEnd; ++i) {
        ::OffsetRect(&m_prcLinks[i], m_cxLineOffset, 0);
      }
      m_state = m_lineStart;
      SelectCurrentFont();
      SelectCurrentColor();
      SelectBackground();
      m_bLineDraw = true;
      m_pt.x = m_rc.left;
      ResetLineHeight();
      m_ptLinkStart = m_pt;
      return !bStuck;
    }
  } else {
    if (m_state.bInLink && m_state.iLinkIndex < m_nLinkRects) ++m_state.iLinkIndex;
    m_lineStart = m_state;
    m_bLineDraw = false;
  }

  if (bEndOfText || bStuck) return false;
  if ((m_uStyle & DT_SINGLELINE) != 0) return false;
  m_pt.x = m_rc.left;
  m_pt.y += m_cyLine;
  m_cxLineOffset = 0;
  if (m_bDraw && m_pt.y > m_rc.bottom) return false;
  m_lineStart = m_state;
  ResetLineHeight();
  m_ptLinkStart = m_pt;
  return true;
}

int MarkupLayout::TextTop() const {
  const int cyOffset = m_cyLineHeight - FontLineHeight();
  switch (CurrentAlign()) {
    case VerticalAlign::Top:
      return m_pt.y;
    case VerticalAlign::Center:
      return m_pt.y + cyOffset / 2;
    default:
      return m_pt.y + cyOffset;
  }
}

void MarkupLayout::DrawChars(LPCWSTR pstr, int cch, int cx) {
  if (Drawing()) ::TextOutW(m_hDC, m_pt.x + m_cxLineOffset, TextTop(), pstr, cch);
  m_pt.x += cx;
  m_cxMaxWidth = std::max<int>(m_cxMaxWidth, m_pt.x);
}

void MarkupLayout::Escape() {
  LPCWSTR p = m_state.pstrText;
  SIZE szChar = {0, 0};
  ::GetTextExtentPoint32W(m_hDC, p + 1, 1, &szChar);
  DrawChars(p + 1, 1, szChar.cx);
  m_state.pstrText += 3;
}

void MarkupLayout::Blank() {
  // Drawn, not only skipped: an underlined font underlines blanks too.
  SIZE szBlank = {0, 0};
  ::GetTextExtentPoint32W(m_hDC, L" ", 1, &szBlank);
  DrawChars(L" ", 1, szBlank.cx);
  ++m_state.pstrText;
}

// The length of the last character of the first cch units of pstr.
int LastCharLength(LPCWSTR pstr, int cch) {
  return (cch >= 2 && pstr[cch - 1] >= 0xDC00 && pstr[cch - 1] <= 0xDFFF &&
          pstr[cch - 2] >= 0xD800 && pstr[cch - 2] <= 0xDBFF)
             ? 2
             : 1;
}

void MarkupLayout::TextRun() {
  const LPCWSTR pstrRun = m_state.pstrText;
  const LONG xRun = m_pt.x;
  const bool bAtLeftEdge = xRun == m_rc.left;
  LPCWSTR p = pstrRun;
  int cchChars = 0;
  int cchSize = 0;
  int cchLastGoodWord = 0;
  int cchLastGoodSize = 0;
  bool bEllipsis = false;
  SIZE szText = {0, 0};
  // A bracket that opens no tag is text.
  if (!m_state.bInRaw && IsOpenBracket(*p)) {
    ++p;
    ++cchChars;
    ++cchSize;
  }
  while (*p != L'\0' && *p != L'\n') {
    if (m_state.bInRaw) {
      if (IsRawEnd(p)) {
        // The end tag itself is consumed as an ordinary end tag next.
        m_state.bInRaw = false;
        break;
      }
    } else if (IsOpenBracket(*p)) {
      break;
    }
    const int cchChar = CharLength(p);
    ++cchChars;
    cchSize += cchChar;
    // The exact width is asked for only when even the widest glyphs might not fit.
    szText.cx = cchChars * Metrics().tmMaxCharWidth;
    if (xRun + szText.cx >= m_rc.right) {
      ::GetTextExtentPoint32W(m_hDC, pstrRun, cchSize, &szText);
    }
    if (xRun + szText.cx > m_rc.right) {
      // The overflowing character stays only when the run began at the left edge, so that
      // every line takes something.
      if (!bAtLeftEdge) {
        --cchChars;
        cchSize -= cchChar;
      }
      if ((m_uStyle & DT_WORDBREAK) != 0 && cchLastGoodWord > 0) {
        cchChars = cchLastGoodWord;
        cchSize = cchLastGoodSize;
      }
      if ((m_uStyle & DT_END_ELLIPSIS) != 0 && cchChars > 0) {
        // Room for the dots; a run at the left edge keeps one character for the same reason.
        const int cchKeep = bAtLeftEdge ? 1 : 0;
        for (int i = 0; i < 2 && cchChars > cchKeep; ++i) {
          --cchChars;
          cchSize -= LastCharLength(pstrRun, cchSize);
        }
        bEllipsis = true;
      }
      m_bLineEnd = true;
      break;
    }
    // Anything but an ASCII letter ends a word and stays on the line.
    if (!IsAsciiLetter(*p)) {
      cchLastGoodWord = cchChars;
      cchLastGoodSize = cchSize;
    }
    p += cchChar;
  }
  ::GetTextExtentPoint32W(m_hDC, pstrRun, cchSize, &szText);
  if (Drawing()) {
    const int y = TextTop();
    ::TextOutW(m_hDC, xRun + m_cxLineOffset, y, pstrRun, cchSize);
    if (bEllipsis) ::TextOutW(m_hDC, xRun + m_cxLineOffset + szText.cx, y, L"...", 3);
  }
  // After the dots the line is full: the pen goes past the right edge.
  m_pt.x = (bEllipsis ? m_rc.right : xRun) + szText.cx;
  m_cxMaxWidth = std::max<int>(m_cxMaxWidth, m_pt.x);
  m_state.pstrText += cchSize;
}

void MarkupLayout::PushFont(FontInfo* pFontInfo) {
  if (pFontInfo == nullptr) pFontInfo = m_pHost->GetDefaultFontInfo();
  m_state.aFonts.push_back(pFontInfo);
  SelectCurrentFont();
  RaiseLineHeight();
}

void MarkupLayout::PushFontVariant(bool bBold, bool bUnderline, bool bItalic) {
  const FontInfo* pCurrent = CurrentFont();
  if ((bBold && pCurrent->bBold) || (bUnderline && pCurrent->bUnderline) ||
      (bItalic && pCurrent->bItalic)) {
    return;
  }
  bBold = bBold || pCurrent->bBold;
  bUnderline = bUnderline || pCurrent->bUnderline;
  bItalic = bItalic || pCurrent->bItalic;
  HFONT hFont =
      m_pHost->FindFont(pCurrent->sFontName, pCurrent->iSize, bBold, bUnderline, bItalic);
  if (hFont == nullptr) {
    hFont = m_pHost->RegisterFont(g_iNextTagFontId++, pCurrent->sFontName, pCurrent->iSize, bBold,
                                  bUnderline, bItalic);
  }
  PushFont(m_pHost->GetFontInfo(hFont));
}

// "f id", or "f name size styles".
void MarkupLayout::PushNamedFont(LPCWSTR& p) {
  SkipBlanks(p);
  LPCWSTR pstrNumber = p;
  const long iFont = ReadDecimal(p);
  if (p != pstrNumber) {
    PushFont(m_pHost->GetFontInfo(static_cast<int>(iFont)));
    return;
  }
  LPCWSTR pstrName = p;
  while (*p != L'\0' && !IsCloseBracket(*p) && *p != L' ') ++p;
  const CUIString sFontName(pstrName, static_cast<int>(p - pstrName));
  SkipBlanks(p);
  int iSize = 10;
  if (*p >= L'0' && *p <= L'9') iSize = static_cast<int>(ReadDecimal(p));
  SkipBlanks(p);
  LPCWSTR pstrStyles = p;
  while (*p != L'\0' && !IsCloseBracket(*p)) ++p;
  CUIString sStyles(pstrStyles, static_cast<int>(p - pstrStyles));
  sStyles.MakeLower();
  const bool bBold = sStyles.Find(L"bold") >= 0;
  const bool bUnderline = sStyles.Find(L"underline") >= 0;
  const bool bItalic = sStyles.Find(L"italic") >= 0;
  HFONT hFont = m_pHost->FindFont(sFontName, iSize, bBold, bUnderline, bItalic);
  if (hFont == nullptr) {
    hFont = m_pHost->RegisterFont(g_iNextTagFontId++, sFontName, iSize, bBold, bUnderline, bItalic);
  }
  PushFont(m_pHost->GetFontInfo(hFont));
}

void MarkupLayout::PopFont() {
  if (m_state.aFonts.empty()) return;
  const FontInfo* pLeaving = m_state.aFonts.back();
  m_state.aFonts.pop_back();
  if (pLeaving->bItalic && !CurrentFont()->bItalic) {
    // Make room for the slant of the last italic glyph; only outline fonts report it.
    ABC abc = {0, 0, 0};
    ::GetCharABCWidthsW(m_hDC, L' ', L' ', &abc);
    m_pt.x += abc.abcC / 2;
  }
  SelectCurrentFont();
  RaiseLineHeight();
}

void MarkupLayout::PushColor(DWORD dwColor) {
  m_state.aColors.push_back(dwColor);
  SelectCurrentColor();
}

void MarkupLayout::PopColor() {
  if (!m_state.aColors.empty()) m_state.aColors.pop_back();
  SelectCurrentColor();
}

void MarkupLayout::OpenLink(LPCWSTR& p) {
  SkipBlanks(p);
  LPCWSTR pstrTarget = p;
  while (*p != L'\0' && !IsCloseBracket(*p)) ++p;
  const CUIString sTarget(pstrTarget, static_cast<int>(p - pstrTarget));
  if (!m_bLineDraw && m_state.iLinkIndex < m_nLinkRects) m_psLinks[m_state.iLinkIndex] = sTarget;
  const bool bHovered = m_bHoverLink && sTarget == m_sHoverLink.GetData();
  PushColor(m_pHost->IsHighContrast()
                ? CWindowHostUI::SystemColor(COLOR_HOTLIGHT)
                : m_pHost->GetDefaultColor(bHovered ? kDefaultHoveredLinkTextColor
                                                    : kDefaultLinkTextColor));
  PushFontVariant(false, true, false);
  m_ptLinkStart = m_pt;
  m_state.bInLink = true;
}

void MarkupLayout::CloseLink() {
  if (!m_bLineDraw && m_state.iLinkIndex < m_nLinkRects) {
    ::SetRect(&m_prcLinks[m_state.iLinkIndex], m_ptLinkStart.x, m_ptLinkStart.y, m_pt.x,
              m_pt.y + FontLineHeight());
  }
  PopColor();
  PopFont();
  m_state.bInLink = false;
  if (m_state.iLinkIndex < m_nLinkRects) ++m_state.iLinkIndex;
}

bool MarkupLayout::ItalicOrImage(LPCWSTR& p) {
  const LPCWSTR pstrTagText = p;
  SkipBlanks(p);
  LPCWSTR pstrName = p;
  while (*p != L'\0' && !IsCloseBracket(*p) && *p != L' ') ++p;
  CUIString sName(pstrName, static_cast<int>(p - pstrName));
  if (sName.IsEmpty()) {
    PushFontVariant(false, false, true);
    return false;
  }
  SkipBlanks(p);
  long nFrames = ReadDecimal(p);
  if (nFrames <= 0) nFrames = 1;
  SkipBlanks(p);
  long iFrame = ReadDecimal(p);
  if (iFrame < 0 || iFrame >= nFrames) iFrame = 0;

  // Written as key='value' pairs, the tag names its image the way image attributes do. Only the
  // tag's own text counts: a later tag has no say in how this one is read.
  LPCWSTR pstrTagEnd = pstrTagText;
  while (*pstrTagEnd != L'\0' && !IsCloseBracket(*pstrTagEnd)) ++pstrTagEnd;
  const CUIString sTagText(pstrTagText, static_cast<int>(pstrTagEnd - pstrTagText));
  CUIString sResType;
  bool bResource = false;
  if (sTagText.Find(L"file='") >= 0 || sTagText.Find(L"res='") >= 0) {
    ImageDrawInfo info;
    ImageSourceKeys keys;
    ParseImageAttribute(sTagText, info, keys);
    sName = info.sImageName;
    sResType = keys.sResType;
    bResource = keys.bResource;
  }
  const LoadedImage* pImage =
      m_pHost->LookupOrLoadImage(sName, bResource ? sResType.GetData() : nullptr, 0, false);
  if (pImage == nullptr) return false;

  const int cxFrame = pImage->nWidth / static_cast<int>(nFrames);
  const int cyImage = pImage->nHeight;
  if (m_pt.x + cxFrame > m_rc.right && m_pt.x > m_rc.left && (m_uStyle & DT_SINGLELINE) == 0) {
    m_bLineEnd = true;
    return true;
  }
  if (Drawing()) {
    RECT rcImage = {m_pt.x + m_cxLineOffset, m_pt.y + m_cyLineHeight - cyImage,
                    m_pt.x + m_cxLineOffset + cxFrame, m_pt.y + m_cyLineHeight};
    if (cyImage < m_cyLineHeight && CurrentAlign() != VerticalAlign::Bottom) {
      const int dy = CurrentAlign() == VerticalAlign::Center ? (m_cyLineHeight - cyImage) / 2
                                                             : m_cyLineHeight - cyImage;
      ::OffsetRect(&rcImage, 0, -dy);
    }
    const RECT rcSource = {cxFrame * iFrame, 0, cxFrame * (iFrame + 1), cyImage};
    const RECT rcCorner = {0, 0, 0, 0};
    CSkinRenderer::RenderBitmap(m_hDC, pImage->hBitmap, rcImage, rcImage, rcSource, rcCorner,
                                pImage->bAlpha, 255);
  }
  m_cyLine = std::max(cyImage, m_cyLine);
  m_pt.x += cxFrame;
  m_cyMinHeight = m_pt.y + cyImage;
  m_cxMaxWidth = std::max<int>(m_cxMaxWidth, m_pt.x);
  return false;
}

void MarkupLayout::Tag() {
  LPCWSTR& p = m_state.pstrText;
  const LPCWSTR pstrTagStart = p;
  const WCHAR chTag = p[1];
  p += 2;
  switch (chTag) {
    case L'a':
      OpenLink(p);
      break;
    case L'b':
      PushFontVariant(true, false, false);
      break;
    case L'c': {
      SkipBlanks(p);
      if (*p == L'#') ++p;
      // Colours are 0xAARRGGBB as everywhere in skins; only red, green and blue are used.
      LPWSTR pstrEnd = nullptr;
      const DWORD dwColor = std::wcstoul(p, &pstrEnd, 16);
      p = pstrEnd;
      // High contrast keeps the text in the system's colour.
      PushColor(m_pHost->IsHighContrast() ? m_dwTextColor : dwColor);
      break;
    }
    case L'f':
      PushNamedFont(p);
      break;
    case L'i':
      if (ItalicOrImage(p)) {
        p = pstrTagStart;
        return;
      }
      break;
    case L'n':
      if ((m_uStyle & DT_SINGLELINE) == 0) m_bLineEnd = true;
      break;
    case L'p': {
      if (m_pt.x > m_rc.left) m_bLineEnd = true;
      SkipBlanks(p);
      m_state.aSpacings.push_back(static_cast<int>(ReadDecimal(p)));
      RaiseLineHeight();
      break;
    }
    case L'r':
      m_state.bInRaw = true;
      break;
    case L's':
      m_state.bInSelected = !m_state.bInSelected;
      SelectBackground();
      break;
    case L'u':
      PushFontVariant(false, true, false);
      break;
    case L'v': {
      SkipBlanks(p);
      LPCWSTR pstrAlign = p;
      while (*p != L'\0' && !IsCloseBracket(*p)) ++p;
      const CUIString sAlign(pstrAlign, static_cast<int>(p - pstrAlign));
      VerticalAlign align = VerticalAlign::Bottom;
      if (sAlign.CompareNoCase(L"center") == 0) {
        align = VerticalAlign::Center;
      } else if (sAlign.CompareNoCase(L"top") == 0) {
        align = VerticalAlign::Top;
      }
      m_state.aAligns.push_back(align);
      break;
    }
    case L'x':
      SkipBlanks(p);
      m_pt.x += ReadDecimal(p);
      break;
    case L'y':
      SkipBlanks(p);
      m_cyLine = static_cast<int>(ReadDecimal(p));
      break;
    default:
      break;
  }
  while (*p != L'\0' && !IsCloseBracket(*p)) ++p;
  if (*p != L'\0') ++p;
}

void MarkupLayout::EndTag() {
  LPCWSTR& p = m_state.pstrText;
  const WCHAR chTag = p[2];
  p += 3;
  switch (chTag) {
    case L'a':
      CloseLink();
      break;
    case L'b':
    case L'f':
    case L'i':
    case L'u':
      PopFont();
      break;
    case L'c':
      PopColor();
      break;
    case L'p':
      if (m_pt.x > m_rc.left) m_bLineEnd = true;
      if (!m_state.aSpacings.empty()) m_state.aSpacings.pop_back();
      RaiseLineHeight();
      break;
    case L's':
      m_state.bInSelected = !m_state.bInSelected;
      SelectBackground();
      break;
    case L'v':
      if (!m_state.aAligns.empty()) m_state.aAligns.pop_back();
      break;
    default:
      break;
  }
  while (*p != L'\0' && !IsCloseBracket(*p)) ++p;
  if (*p != L'\0') ++p;
}

}  // namespace

void CSkinRenderer::RenderMarkupText(HDC hDC, CWindowHostUI* pHost, RECT& rc, LPCWSTR pstrText,
                                     DWORD dwTextColor, RECT* prcLinks, CUIString* psLinks,
                                     int& nLinkRects, UINT uStyle) {
  UI_CHECK(IsDrawableDC(hDC));
  if (pstrText == nullptr || pHost == nullptr || ::IsRectEmpty(&rc)) return;
  const bool bDraw = (uStyle & DT_CALCRECT) == 0;

  RECT rcClip = {};
  ::GetClipBox(hDC, &rcClip);
  HRGN hOldRgn = ::CreateRectRgnIndirect(&rcClip);
  HRGN hRgn = ::CreateRectRgnIndirect(&rc);
  if (bDraw) ::ExtSelectClipRgn(hDC, hRgn, RGN_AND);

  CUIString sText(pstrText);
  CWindowHostUI::ApplyLanguageTokens(sText);

  FontInfo* pDefaultFont = pHost->GetDefaultFontInfo();
  HGDIOBJ hOldFont = ::SelectObject(hDC, pDefaultFont->hFont);
  ::SetBkMode(hDC, TRANSPARENT);
  ::SetTextColor(hDC, OpaqueColor(dwTextColor));
  ::SetBkColor(hDC, OpaqueColor(pHost->GetDefaultColor(kDefaultSelectedBkColor)));

  // Aligned text is measured first to know where it goes.
  if (bDraw && (uStyle & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) != 0) {
    const bool bSingleLine = (uStyle & DT_SINGLELINE) != 0;
    RECT rcText = {0, 0, bSingleLine ? 9999 : rc.right - rc.left,
                   bSingleLine ? 100 : rc.bottom - rc.top};
    int nNoLinks = 0;
    RenderMarkupText(hDC, pHost, rcText, sText, dwTextColor, nullptr, nullptr, nNoLinks,
                     uStyle | DT_CALCRECT);
    const int cxText = rcText.right - rcText.left;
    const int cyText = rcText.bottom - rcText.top;
    if (bSingleLine) {
      if ((uStyle & DT_CENTER) != 0) {
        rc.left = rc.left + (rc.right - rc.left) / 2 - cxText / 2;
        rc.right = rc.left + cxText;
      }
      if ((uStyle & DT_RIGHT) != 0) rc.left = rc.right - cxText;
    }
    if ((uStyle & DT_VCENTER) != 0) {
      rc.top = rc.top + (rc.bottom - rc.top) / 2 - cyText / 2;
      rc.bottom = rc.top + cyText;
    }
    if ((uStyle & DT_BOTTOM) != 0) rc.top = rc.bottom - cyText;
  }

  MarkupLayout layout(hDC, pHost, rc, dwTextColor, prcLinks, psLinks, nLinkRects, uStyle);
  // The rectangles of the previous call tell which link the mouse is over now.
  if (prcLinks != nullptr && psLinks != nullptr) {
    const POINT ptMouse = pHost->GetLastMousePoint();
    for (int i = 0; i < nLinkRects; ++i) {
      if (::PtInRect(&prcLinks[i], ptMouse)) {
        layout.SetHoveredLink(psLinks[i]);
        break;
      }
    }
  }
  nLinkRects = layout.Run(sText);

  if (!bDraw) {
    rc.bottom = layout.MeasuredBottom();
    rc.right = layout.MeasuredRight();
  } else {
    ::SelectClipRgn(hDC, hOldRgn);
  }
  ::DeleteObject(hOldRgn);
  ::DeleteObject(hRgn);
  ::SelectObject(hDC, hOldFont);
}

}  // namespace SkinUI
