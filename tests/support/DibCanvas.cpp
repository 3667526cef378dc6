#include "support/DibCanvas.h"

namespace testing_support {

namespace {

BITMAPINFO TopDownBitmapInfo(int width, int height) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return bmi;
}

}  // namespace

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
  BITMAPINFO bmi = TopDownBitmapInfo(width, height);
  return CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
}

std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO bmi = TopDownBitmapInfo(width, height);
  HDC hdc = GetDC(nullptr);
  const int rows = bitmap != nullptr ? GetDIBits(hdc, bitmap, 0, height, pixels.data(), &bmi, DIB_RGB_COLORS) : 0;
  ReleaseDC(nullptr, hdc);
  if (rows != height) pixels.clear();
  return pixels;
}

HBITMAP CreatePixelBitmap(int width, int height, const uint32_t* pixels) {
  void* bits = nullptr;
  HBITMAP bitmap = CreateTopDownDib(width, height, &bits);
  if (bitmap != nullptr) {
    uint32_t* out = static_cast<uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) out[i] = pixels[i];
  }
  return bitmap;
}

DibCanvas::DibCanvas(int width, int height, uint32_t fill) : m_width(width), m_height(height) {
  void* bits = nullptr;
  m_hBitmap = CreateTopDownDib(width, height, &bits);
  m_pixels = static_cast<uint32_t*>(bits);
  m_hDC = CreateCompatibleDC(nullptr);
  m_hOld = SelectObject(m_hDC, m_hBitmap);
  Fill(fill);
}

DibCanvas::~DibCanvas() {
  SelectObject(m_hDC, m_hOld);
  DeleteDC(m_hDC);
  DeleteObject(m_hBitmap);
}

uint32_t DibCanvas::At(int x, int y) const {
  GdiFlush();
  return m_pixels[y * m_width + x];
}

void DibCanvas::Set(int x, int y, uint32_t pixel) {
  GdiFlush();
  m_pixels[y * m_width + x] = pixel;
}

void DibCanvas::Fill(uint32_t pixel) {
  GdiFlush();
  for (int i = 0; i < m_width * m_height; ++i) m_pixels[i] = pixel;
}

int DibCanvas::CountOtherThan(uint32_t rgb, int left, int top, int right, int bottom) const {
  GdiFlush();
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if ((m_pixels[y * m_width + x] & 0x00FFFFFF) != (rgb & 0x00FFFFFF)) ++count;
    }
  }
  return count;
}

RECT DibCanvas::InkBounds(uint32_t rgb) const {
  GdiFlush();
  RECT bounds = {m_width, m_height, 0, 0};
  for (int y = 0; y < m_height; ++y) {
    for (int x = 0; x < m_width; ++x) {
      if ((m_pixels[y * m_width + x] & 0x00FFFFFF) == (rgb & 0x00FFFFFF)) continue;
      if (x < bounds.left) bounds.left = x;
      if (y < bounds.top) bounds.top = y;
      if (x + 1 > bounds.right) bounds.right = x + 1;
      if (y + 1 > bounds.bottom) bounds.bottom = y + 1;
    }
  }
  if (bounds.right == 0) bounds = RECT{0, 0, 0, 0};
  return bounds;
}

bool DibCanvas::SamePixels(const DibCanvas& other) const {
  if (other.m_width != m_width || other.m_height != m_height) return false;
  GdiFlush();
  for (int i = 0; i < m_width * m_height; ++i) {
    if (m_pixels[i] != other.m_pixels[i]) return false;
  }
  return true;
}

}  // namespace testing_support
