#pragma once
// Encodes images as PNG files at test time, so that no image is kept in the tree.

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Straight (not premultiplied) 0xAARRGGBB pixels, rows top to bottom.
struct TestImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  TestImage() = default;
  TestImage(int w, int h, uint32_t fill = 0xFF000000) : width(w), height(h), pixels(w * h, fill) {}
  uint32_t& at(int x, int y) { return pixels[y * width + x]; }
  uint32_t at(int x, int y) const { return pixels[y * width + x]; }
};

// An 8-bit RGBA PNG (colour type 6), or RGB (colour type 2) when withAlpha is false.
std::string EncodePng(const TestImage& image, bool withAlpha = true);

}  // namespace testing_support
