#pragma once
// The default character and paragraph formats a text host gives its engine, made from the
// control's font, colour and edit style bits.

#include <windows.h>
#include <richedit.h>

namespace SkinUI {

// 0xAARRGGBB to the platform's 0x00BBGGRR; the alpha byte is dropped.
COLORREF ToColorRef(DWORD dwArgb);

// Face, size (twips at the device's vertical pixels per inch), weight, slant, underline,
// character set and pitch of hFont. False, leaving cf as it was, when the font cannot be read.
bool FillCharFormatFont(CHARFORMAT2W& cf, HFONT hFont, int nPixelsPerInchY);

// Left aligned unless the style centres or right-aligns; one tab stop every half inch.
void FillParaFormat(PARAFORMAT2& pf, DWORD dwStyle);

}  // namespace SkinUI
