#pragma once
// The colours skinview previews high contrast with: the system's "High Contrast Black" scheme,
// whatever the session's own colours are (CWindowHostUI::SetSystemColorSource).

#include <windows.h>

COLORREF HighContrastBlackColor(int nIndex);
