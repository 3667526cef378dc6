#include "ContrastScheme.h"

COLORREF HighContrastBlackColor(int nIndex) {
  switch (nIndex) {
    case COLOR_WINDOW:
    case COLOR_BTNFACE:
    case COLOR_HIGHLIGHTTEXT:
      return RGB(0, 0, 0);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
      return RGB(255, 255, 255);
    case COLOR_HIGHLIGHT:
      return RGB(0x1A, 0xEB, 0xFF);
    case COLOR_GRAYTEXT:
      return RGB(0x3F, 0xF2, 0x3F);
    case COLOR_HOTLIGHT:
      return RGB(0xFF, 0xFF, 0x00);
    default:
      return ::GetSysColor(nIndex);
  }
}
