#pragma once
// A 32-bit top-down DIB section selected into a memory device context, for tests that draw and
// then compare pixels (0xAARRGGBB, rows top to bottom).

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testing_support {

class DibCanvas {
 public:
  DibCanvas(int width, int height, uint32_t fill = 0);
  ~DibCanvas();
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC dc() const { return m_hDC; }
  HBITMAP bitmap() const { return m_hBitmap; }
  int width() const { return m_width; }
  int height() const { return m_height; }

  // Reads after GDI has finished drawing.
  uint32_t At(int x, int y) const;
  uint32_t Rgb(int x, int y) const { return At(x, y) & 0x00FFFFFF; }
  void Set(int x, int y, uint32_t pixel);
  void Fill(uint32_t pixel);
  // Number of pixels in [left, right) x [top, bottom) whose colour (alpha ignored) is not `rgb`.
  int CountOtherThan(uint32_t rgb, int left, int top, int right, int bottom) const;
  // The smallest rectangle holding every pixel whose colour is not `rgb`; empty when none.
  RECT InkBounds(uint32_t rgb) const;
  // Same size and every pixel equal.
  bool SamePixels(const DibCanvas& other) const;

 private:
  HDC m_hDC = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOld = nullptr;
  uint32_t* m_pixels = nullptr;
  int m_width;
  int m_height;
};

// A 32-bit top-down DIB section (not selected anywhere); `bits` receives its pixels, 0xAARRGGBB
// rows top to bottom. The caller deletes it.
HBITMAP CreateTopDownDib(int width, int height, void** bits);

// Every pixel of a bitmap of that size, 0xAARRGGBB rows top to bottom; empty when it cannot be
// read whole.
std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, int width, int height);

// A 32-bit top-down DIB section (not selected anywhere) holding `pixels` as given, for use as a
// drawing source. The caller deletes it.
HBITMAP CreatePixelBitmap(int width, int height, const uint32_t* pixels);

}  // namespace testing_support
