// Decoding skin image files into premultiplied 32-bit bitmaps, the mask colour, and damaged data.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Core/UIRender.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"

using SkinUI::CSkinRenderer;
using SkinUI::LoadedImage;
using testing_support::EncodePng;
using testing_support::TestImage;

namespace {

struct ImageDeleter {
  void operator()(LoadedImage* image) const { CSkinRenderer::FreeSkinImage(image); }
};
using ImagePtr = std::unique_ptr<LoadedImage, ImageDeleter>;

ImagePtr Decode(const std::string& bytes, DWORD mask = 0) {
  return ImagePtr(CSkinRenderer::DecodeSkinImage(bytes.data(), static_cast<DWORD>(bytes.size()),
                                                 mask));
}

// The pixel as drawing sees it: the bitmap copied unscaled into a surface of known layout. The
// record's own pixel pointer must agree, as hue shifts write through it.
uint32_t PixelOfBitmap(const LoadedImage& image, int x, int y) {
  testing_support::DibCanvas canvas(image.nWidth, image.nHeight);
  HDC source = CreateCompatibleDC(canvas.dc());
  HGDIOBJ old = SelectObject(source, image.hBitmap);
  BitBlt(canvas.dc(), 0, 0, image.nWidth, image.nHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  EXPECT_EQ(image.pPixels[y * image.nWidth + x], canvas.At(x, y)) << "rows must run top to bottom";
  return canvas.At(x, y);
}

TEST(ImageDecodeTest, TranslucentPixelsArePremultiplied) {
  TestImage png(2, 1);
  png.at(0, 0) = 0x80C86432;  // alpha 128, colour (200, 100, 50)
  png.at(1, 0) = 0x01FFFFFF;
  const ImagePtr image = Decode(EncodePng(png));
  ASSERT_TRUE(image);
  EXPECT_EQ(PixelOfBitmap(*image, 0, 0), 0x80643219u);  // (100, 50, 25): x * 128 / 255
  EXPECT_EQ(PixelOfBitmap(*image, 1, 0), 0x01010101u);
  EXPECT_TRUE(image->bAlpha);
}

TEST(ImageDecodeTest, OpaqueImageKeepsItsColoursAndHasNoAlpha) {
  TestImage png(3, 2, 0xFF3498E3);
  png.at(2, 1) = 0xFF1A87D9;
  const ImagePtr image = Decode(EncodePng(png, false));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->nWidth, 3);
  EXPECT_EQ(image->nHeight, 2);
  EXPECT_EQ(PixelOfBitmap(*image, 0, 0), 0xFF3498E3u);
  EXPECT_EQ(PixelOfBitmap(*image, 2, 1), 0xFF1A87D9u);
  EXPECT_FALSE(image->bAlpha);
  EXPECT_EQ(image->pUnadjustedPixels, nullptr);
  EXPECT_FALSE(image->bFollowsHue);
  EXPECT_TRUE(image->sResType.IsEmpty());
}

TEST(ImageDecodeTest, RowsStayInFileOrder) {
  TestImage png(1, 3);
  png.at(0, 0) = 0xFFFF0000;
  png.at(0, 1) = 0xFF00FF00;
  png.at(0, 2) = 0xFF0000FF;
  const ImagePtr image = Decode(EncodePng(png));
  ASSERT_TRUE(image);
  EXPECT_EQ(PixelOfBitmap(*image, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(PixelOfBitmap(*image, 0, 2), 0xFF0000FFu);
}

TEST(ImageDecodeTest, MaskColourWithItsAlphaByteKeysPixelsOut) {
  TestImage png(2, 1, 0xFFFF00FF);
  png.at(1, 0) = 0xFF00FF00;
  const ImagePtr keyed = Decode(EncodePng(png), 0xFFFF00FF);
  ASSERT_TRUE(keyed);
  EXPECT_EQ(PixelOfBitmap(*keyed, 0, 0), 0u);
  EXPECT_EQ(PixelOfBitmap(*keyed, 1, 0), 0xFF00FF00u);
  EXPECT_TRUE(keyed->bAlpha);
  // Without the alpha byte the mask never equals an opaque pixel.
  const ImagePtr unkeyed = Decode(EncodePng(png), 0x00FF00FF);
  ASSERT_TRUE(unkeyed);
  EXPECT_EQ(PixelOfBitmap(*unkeyed, 0, 0), 0xFFFF00FFu);
  EXPECT_FALSE(unkeyed->bAlpha);
}

TEST(ImageDecodeTest, MaskComparesThePremultipliedValue) {
  TestImage png(1, 1, 0x80C86432);
  const ImagePtr image = Decode(EncodePng(png), 0x80643219);
  ASSERT_TRUE(image);
  EXPECT_EQ(PixelOfBitmap(*image, 0, 0), 0u);
}

TEST(ImageDecodeTest, BitmapFilesDecodeToo) {
  // A 2 x 1 24-bit bottom-up BMP: blue, then white.
  std::string bmp("BM", 2);
  auto put32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) bmp += char(v >> (8 * i)); };
  auto put16 = [&](uint16_t v) { bmp += char(v); bmp += char(v >> 8); };
  put32(14 + 40 + 8); put16(0); put16(0); put32(14 + 40);
  put32(40); put32(2); put32(1); put16(1); put16(24); put32(0); put32(8); put32(2835);
  put32(2835); put32(0); put32(0);
  bmp += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);
  const ImagePtr image = Decode(bmp);
  ASSERT_TRUE(image);
  EXPECT_EQ(PixelOfBitmap(*image, 0, 0), 0xFF0000FFu);
  EXPECT_EQ(PixelOfBitmap(*image, 1, 0), 0xFFFFFFFFu);
  EXPECT_FALSE(image->bAlpha);
}

TEST(ImageDecodeTest, DamagedOrForeignDataGivesNoImage) {
  TestImage png(16, 16, 0xFF808080);
  const std::string good = EncodePng(png);
  EXPECT_FALSE(Decode(std::string()));
  EXPECT_FALSE(Decode(good.substr(0, 40)));  // cut inside the pixel data
  EXPECT_FALSE(Decode(good.substr(0, 8)));   // the signature only
  EXPECT_FALSE(Decode("<Window size=\"10,10\"/>"));
  std::string scrambled = good;
  for (size_t i = 33; i < scrambled.size(); i += 3) scrambled[i] = char(scrambled[i] ^ 0x5A);
  EXPECT_FALSE(Decode(scrambled));
  EXPECT_EQ(CSkinRenderer::DecodeSkinImage(nullptr, 100, 0), nullptr);
}

TEST(ImageDecodeTest, HeaderClaimingAHugeImageIsRefused) {
  TestImage png(4, 4, 0xFF000000);
  std::string bytes = EncodePng(png);
  // IHDR width at offset 16: claim 60000 x 60000 pixels over the same tiny pixel data.
  const char huge[8] = {0, 0, char(0xEA), 0x60, 0, 0, char(0xEA), 0x60};
  bytes.replace(16, 8, huge, 8);
  EXPECT_FALSE(Decode(bytes));
}

TEST(ImageDecodeTest, FreeingKeepsTheRecordWhenAsked) {
  const std::string bytes = EncodePng(TestImage(1, 1));
  LoadedImage* image =
      CSkinRenderer::DecodeSkinImage(bytes.data(), static_cast<DWORD>(bytes.size()), 0);
  ASSERT_NE(image, nullptr);
  image->pUnadjustedPixels = new DWORD[1];
  CSkinRenderer::FreeSkinImage(image, false);
  EXPECT_EQ(image->hBitmap, nullptr);
  EXPECT_EQ(image->pUnadjustedPixels, nullptr);
  CSkinRenderer::FreeSkinImage(image, true);
}

}  // namespace
