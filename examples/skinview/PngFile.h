#pragma once
// A picture of a skin as a PNG file.

#include <string>

#include "Core/UIRenderSurface.h"

// 8-bit RGB, or RGBA with straight alpha when some pixel is not opaque (a layered window's
// picture). False when the file cannot be written.
bool WritePng(const SkinUI::DibSurface& picture, const std::wstring& path);
