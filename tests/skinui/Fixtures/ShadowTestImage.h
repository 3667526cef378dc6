#pragma once
// A shadow image like the installer's: 246 x 173 near-black pixels whose alpha rises from the rim
// toward the corners "23,13,23,33" (up to 49 at the sides, 17 at the top, 82 at the bottom). Its
// centre is opaque red, so that drawing it anywhere would show.

#include <algorithm>
#include <cstdint>

#include "support/PngWriter.h"

namespace shadow_testing {

struct ShadowImageShape {
  static const int kWidth = 246, kHeight = 173;
  static const int kCornerLeft = 23, kCornerTop = 13, kCornerRight = 23, kCornerBottom = 33;

  // Straight (not premultiplied) 0xAARRGGBB.
  static uint32_t Pixel(int x, int y) {
    const int xRight = kWidth - kCornerRight, yBottom = kHeight - kCornerBottom;
    if (x >= kCornerLeft && x < xRight && y >= kCornerTop && y < yBottom) return 0xFFFF0000;
    int alpha = 255;
    if (x < kCornerLeft) alpha = std::min(alpha, 49 * x / (kCornerLeft - 1));
    if (x >= xRight) alpha = std::min(alpha, 49 * (kWidth - 1 - x) / (kCornerRight - 1));
    if (y < kCornerTop) alpha = std::min(alpha, 17 * y / (kCornerTop - 1));
    if (y >= yBottom) alpha = std::min(alpha, 82 * (kHeight - 1 - y) / (kCornerBottom - 1));
    return (static_cast<uint32_t>(alpha) << 24) | 0x101010;
  }
  static int Alpha(int x, int y) { return static_cast<int>(Pixel(x, y) >> 24); }

  static testing_support::TestImage Image() {
    testing_support::TestImage image(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) image.at(x, y) = Pixel(x, y);
    }
    return image;
  }
};

}  // namespace shadow_testing
