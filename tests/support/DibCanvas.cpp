#include "support/DibCanvas.h"

namespace testing_support {

namespace {

HBITMAP CreateTopDownDib(int width, int height, void** bits) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

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

}  // namespace testing_support
