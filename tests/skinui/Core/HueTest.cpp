// Hue, saturation and lightness conversions and shifts, for colours and for images that follow
// the hue setting.

#include <gtest/gtest.h>

#include "Core/UIRender.h"
#include "support/DibCanvas.h"

using SkinUI::CSkinRenderer;
using SkinUI::HslToRgb;
using SkinUI::LoadedImage;
using SkinUI::RgbToHsl;
using SkinUI::ShiftColorHsl;

namespace {

struct Hsl {
  float h, s, l;
};

Hsl ToHsl(uint32_t colour) {
  Hsl hsl;
  RgbToHsl(colour, &hsl.h, &hsl.s, &hsl.l);
  return hsl;
}

TEST(HueTest, PrimaryColoursSitAtTheirHues) {
  const Hsl red = ToHsl(0xFFFF0000), green = ToHsl(0xFF00FF00), blue = ToHsl(0xFF0000FF);
  EXPECT_FLOAT_EQ(red.h, 0.0f);
  EXPECT_FLOAT_EQ(green.h, 120.0f);
  EXPECT_FLOAT_EQ(blue.h, 240.0f);
  for (const Hsl& hsl : {red, green, blue}) {
    EXPECT_FLOAT_EQ(hsl.s, 1.0f);
    EXPECT_FLOAT_EQ(hsl.l, 0.5f);
  }
}

TEST(HueTest, GreysHaveNoHueOrSaturation) {
  const Hsl grey = ToHsl(0xFF808080), white = ToHsl(0xFFFFFFFF), black = ToHsl(0xFF000000);
  EXPECT_FLOAT_EQ(grey.h, 0.0f);
  EXPECT_FLOAT_EQ(grey.s, 0.0f);
  EXPECT_FLOAT_EQ(grey.l, 128.0f / 255.0f);
  EXPECT_FLOAT_EQ(white.l, 1.0f);
  EXPECT_FLOAT_EQ(black.l, 0.0f);
}

TEST(HueTest, SaturationUsesTheLightnessHalf) {
  // Dark orange: max 0.6, min 0.2, l 0.4 <= 0.5: s = 0.4 / 0.8.
  const Hsl dark = ToHsl(0xFF993333);
  EXPECT_NEAR(dark.s, 0.5f, 1e-5f);
  EXPECT_NEAR(dark.h, 0.0f, 1e-4f);
  // Light: max 1, min 0.6, l 0.8: s = 0.4 / (2 - 1.6).
  const Hsl light = ToHsl(0xFFFF9999);
  EXPECT_NEAR(light.s, 1.0f, 1e-5f);
  const Hsl teal = ToHsl(0xFF008080);
  EXPECT_NEAR(teal.h, 180.0f, 1e-3f);
}

TEST(HueTest, ConvertingBackGivesTheSameColourAndKeepsAlpha) {
  const uint32_t colours[] = {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFF3498E3, 0x7F1A87D9,
                              0xFFFFFFFF, 0xFF000000, 0xC0808080, 0xFF993333, 0x12ABCDEF};
  for (uint32_t colour : colours) {
    const Hsl hsl = ToHsl(colour);
    DWORD back = colour & 0xFF000000;
    HslToRgb(hsl.h, hsl.s, hsl.l, &back);
    // Single precision may lose one step on the way back; never more.
    for (int shift = 0; shift < 24; shift += 8) {
      EXPECT_LE(std::abs(int((back >> shift) & 0xFF) - int((colour >> shift) & 0xFF)), 1)
          << std::hex << colour << " -> " << back;
    }
    EXPECT_EQ(back >> 24, colour >> 24);
  }
  DWORD red = 0x11000000;
  HslToRgb(0.0f, 1.0f, 0.5f, &red);
  EXPECT_EQ(red, 0x11FF0000u);
  DWORD blue = 0xFF000000;
  HslToRgb(240.0f, 1.0f, 0.5f, &blue);
  EXPECT_EQ(blue, 0xFF0000FFu);
}

TEST(HueTest, NeutralShiftReturnsTheColourBitForBit) {
  for (uint32_t colour : {0x12345678u, 0x80FF0000u, 0xFF3498E3u, 0x00000001u}) {
    EXPECT_EQ(ShiftColorHsl(colour, 180, 100, 100), colour);
  }
}

TEST(HueTest, HueShiftRotatesAroundTheColourWheel) {
  EXPECT_EQ(ShiftColorHsl(0xFFFF0000, 300, 100, 100), 0xFF00FF00u);  // +120
  EXPECT_EQ(ShiftColorHsl(0x80FF0000, 60, 100, 100), 0x800000FFu);   // -120 wraps to 240
  // -180 wraps to 180, cyan; single precision may leave a channel one step short of 255.
  const DWORD cyan = ShiftColorHsl(0xFFFF0000, 0, 100, 100);
  EXPECT_EQ(cyan & 0xFFFF0000u, 0xFF000000u);
  EXPECT_GE(cyan & 0xFF, 0xFEu);
  EXPECT_GE((cyan >> 8) & 0xFF, 0xFEu);
  EXPECT_EQ(ShiftColorHsl(0xFFFF0000, 180, 0, 100), 0xFF7F7F7Fu);    // no saturation left
}

TEST(HueTest, LightnessScalesWithoutClamping) {
  EXPECT_EQ(ShiftColorHsl(0xFFFFFFFF, 180, 100, 50), 0xFF7F7F7Fu);
  EXPECT_EQ(ShiftColorHsl(0xFF808080, 180, 100, 0), 0xFF000000u);
  // Lightness above 1 ends up white: the channels are limited, not the lightness.
  EXPECT_EQ(ShiftColorHsl(0xFF808080, 180, 100, 200), 0xFFFFFFFFu);
}

// ---- images ----

class HueImage {
 public:
  explicit HueImage(bool follows) {
    void* bits = nullptr;
    image.hBitmap = testing_support::CreateTopDownDib(2, 1, &bits);
    image.pPixels = static_cast<DWORD*>(bits);
    image.nWidth = 2;
    image.nHeight = 1;
    image.pPixels[0] = 0xFFFF0000;
    image.pPixels[1] = 0x80800000;
    image.bFollowsHue = follows;
    image.pUnadjustedPixels = new DWORD[2]{0xFFFF0000, 0x80800000};
  }
  ~HueImage() { CSkinRenderer::FreeSkinImage(&image, false); }
  LoadedImage image;
};

TEST(HueImageTest, ShiftAlwaysStartsFromTheUnadjustedPixels) {
  HueImage hue(true);
  CSkinRenderer::ShiftImageHsl(true, &hue.image, 300, 100, 100);
  EXPECT_EQ(hue.image.pPixels[0], 0xFF00FF00u);
  EXPECT_EQ(hue.image.pPixels[1], 0x80008000u);  // premultiplied values shift as they are
  CSkinRenderer::ShiftImageHsl(true, &hue.image, 300, 100, 100);
  EXPECT_EQ(hue.image.pPixels[0], 0xFF00FF00u);  // not shifted twice
}

TEST(HueImageTest, DisablingOrANeutralShiftRestoresTheOriginal) {
  HueImage hue(true);
  CSkinRenderer::ShiftImageHsl(true, &hue.image, 60, 100, 100);
  EXPECT_NE(hue.image.pPixels[0], 0xFFFF0000u);
  CSkinRenderer::ShiftImageHsl(false, &hue.image, 60, 100, 100);
  EXPECT_EQ(hue.image.pPixels[0], 0xFFFF0000u);
  CSkinRenderer::ShiftImageHsl(true, &hue.image, 60, 100, 100);
  CSkinRenderer::ShiftImageHsl(true, &hue.image, 180, 100, 100);
  EXPECT_EQ(hue.image.pPixels[1], 0x80800000u);
}

TEST(HueImageTest, ImagesThatDoNotFollowTheHueStayAsTheyAre) {
  HueImage hue(false);
  CSkinRenderer::ShiftImageHsl(true, &hue.image, 300, 100, 100);
  EXPECT_EQ(hue.image.pPixels[0], 0xFFFF0000u);
  CSkinRenderer::ShiftImageHsl(true, nullptr, 300, 100, 100);
}

}  // namespace
