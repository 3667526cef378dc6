#include "Control/UITextFormat.h"

#include "Control/UIRichEdit.h"

namespace SkinUI {

namespace {

const LONG kTwipsPerInch = 1440;
const LONG kDefaultTabTwips = 720;

}  // namespace

COLORREF ToColorRef(DWORD dwArgb) {
  return RGB((dwArgb >> 16) & 0xFF, (dwArgb >> 8) & 0xFF, dwArgb & 0xFF);
}

bool FillCharFormatFont(CHARFORMAT2W& cf, HFONT hFont, int nPixelsPerInchY) {
  LOGFONTW lf = {};
  if (hFont == nullptr || ::GetObjectW(hFont, sizeof(lf), &lf) == 0) return false;
  cf.cbSize = sizeof(cf);
  cf.yHeight = ::MulDiv(lf.lfHeight, -kTwipsPerInch, nPixelsPerInchY);
  cf.yOffset = 0;
  cf.dwMask |= CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE | CFM_COLOR | CFM_FACE |
               CFM_OFFSET | CFM_CHARSET;
  cf.dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_AUTOCOLOR);
  if (lf.lfWeight >= FW_BOLD) cf.dwEffects |= CFE_BOLD;
  if (lf.lfItalic) cf.dwEffects |= CFE_ITALIC;
  if (lf.lfUnderline) cf.dwEffects |= CFE_UNDERLINE;
  cf.bCharSet = lf.lfCharSet;
  cf.bPitchAndFamily = lf.lfPitchAndFamily;
  ::lstrcpynW(cf.szFaceName, lf.lfFaceName, LF_FACESIZE);
  return true;
}

void FillParaFormat(PARAFORMAT2& pf, DWORD dwStyle) {
  pf.cbSize = sizeof(pf);
  pf.dwMask = PFM_ALL;
  pf.wAlignment = PFA_LEFT;
  if ((dwStyle & kRichEditCenter) != 0) pf.wAlignment = PFA_CENTER;
  if ((dwStyle & kRichEditRight) != 0) pf.wAlignment = PFA_RIGHT;
  pf.cTabCount = 1;
  pf.rgxTabs[0] = kDefaultTabTwips;
}

}  // namespace SkinUI
