#pragma once
// Writes animated GIF files of solid-colour frames, so that a test can tell by a pixel's colour
// which frame was drawn.

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct GifFrame {
  uint32_t rgb;             // 0xRRGGBB
  uint16_t delayHundredths;  // frame delay in hundredths of a second
};

// A width x height image with one frame per entry; false when the file cannot be written.
bool WriteSolidGif(const std::wstring& path, int width, int height,
                   const std::vector<GifFrame>& frames);

}  // namespace testing_support
