// Colour fills, gradients, lines and outlines drawn into 32-bit surfaces.

#include <gtest/gtest.h>

#include <cstdlib>

#include "Core/UIRender.h"
#include "RenderPathFixture.h"
#include "support/DibCanvas.h"

using SkinUI::CSkinRenderer;
using testing_support::DibCanvas;

namespace {

const uint32_t kBackground = 0xFF204060;

int Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

void ExpectNear(uint32_t actual, uint32_t expected, int tolerance, const char* where) {
  for (int shift = 0; shift < 24; shift += 8) {
    EXPECT_LE(std::abs(Channel(actual, shift) - Channel(expected, shift)), tolerance)
        << where << ": " << std::hex << actual << " vs " << expected;
  }
}

class PlatformPathTest : public render_testing::PlatformOrSoftwareTest {};
INSTANTIATE_TEST_SUITE_P(PlatformAndSoftware, PlatformPathTest, ::testing::Values(true, false),
                         render_testing::PathName);

// ---- colour fills ----

TEST(FillColorTest, TransparentColourDrawsNothing) {
  DibCanvas canvas(10, 10, kBackground);
  const RECT rc = {0, 0, 10, 10};
  CSkinRenderer::FillColor(canvas.dc(), rc, 0x00FF0000);
  CSkinRenderer::FillColor(canvas.dc(), rc, 0x00FFFFFF);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 10, 10), 0);
}

TEST(FillColorTest, OpaqueColourFillsExactlyTheRectangle) {
  DibCanvas canvas(10, 10, kBackground);
  const RECT rc = {2, 3, 7, 9};
  CSkinRenderer::FillColor(canvas.dc(), rc, 0xFF123456);
  EXPECT_EQ(canvas.CountOtherThan(0x123456, 2, 3, 7, 9), 0);
  const RECT ink = canvas.InkBounds(kBackground);
  EXPECT_TRUE(EqualRect(&ink, &rc));
}

TEST(FillColorTest, TranslucentColourAddsItsFullColourToTheDimmedBackground) {
  DibCanvas canvas(10, 4, 0xFF000000);
  for (int x = 0; x < 10; ++x) canvas.Set(x, 2, 0xFF404040);
  const RECT rc = {1, 0, 9, 3};
  CSkinRenderer::FillColor(canvas.dc(), rc, 0x80FFFFFF);
  EXPECT_EQ(canvas.Rgb(1, 0), 0xFFFFFFu);  // white at 0x80 over black stays white
  EXPECT_EQ(canvas.Rgb(8, 1), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(0, 0), 0x000000u);
  EXPECT_EQ(canvas.Rgb(9, 0), 0x000000u);
  EXPECT_EQ(canvas.Rgb(4, 3), 0x000000u);
  // Over a background the sum is limited per channel instead of spilling into the next one.
  EXPECT_EQ(canvas.Rgb(4, 2), 0xFFFFFFu);
}

TEST_P(PlatformPathTest, TranslucentDarkColourDimsTheBackground) {
  DibCanvas canvas(4, 4, 0xFFC8C8C8);
  const RECT rc = {0, 0, 4, 4};
  CSkinRenderer::FillColor(canvas.dc(), rc, 0x80000010);
  // 200 * 127 / 255 for red and green, 0x10 more for blue.
  ExpectNear(canvas.At(2, 2), 0x646474, 1, "dimmed");
}

TEST(FillColorTest, HugeTranslucentFillTouchesOnlyWhatShows) {
  DibCanvas canvas(20, 20, 0xFF000000);
  const RECT huge = {-100000, -100000, 100000, 100000};
  CSkinRenderer::FillColor(canvas.dc(), huge, 0x80FF0000);
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 0, 0, 20, 20), 0);
}

TEST(FillColorTest, TranslucentFillKeepsToTheClipRegion) {
  DibCanvas canvas(20, 20, 0xFF000000);
  HRGN region = CreateRectRgn(5, 5, 10, 10);
  SelectClipRgn(canvas.dc(), region);
  DeleteObject(region);
  const RECT all = {0, 0, 20, 20};
  CSkinRenderer::FillColor(canvas.dc(), all, 0x80FFFFFF);
  EXPECT_EQ(canvas.CountOtherThan(0xFFFFFF, 5, 5, 10, 10), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x000000, 0, 0, 20, 20), 25);
}

// ---- gradients ----

TEST(FillGradientTest, OpaqueVerticalGradientStartsWithTheFirstColourAtTheTop) {
  DibCanvas canvas(8, 64, kBackground);
  const RECT rc = {0, 0, 8, 64};
  CSkinRenderer::FillGradient(canvas.dc(), rc, 0xFF3498E3, 0xFF1A87D9, true, 64);
  EXPECT_EQ(canvas.Rgb(0, 0), 0x3498E3u);
  EXPECT_EQ(canvas.Rgb(7, 0), 0x3498E3u);
  ExpectNear(canvas.At(3, 63), 0x1A87D9, 1, "bottom row");
  // Every row lies between the two colours and the rows change only downwards.
  for (int y = 1; y < 64; ++y) {
    EXPECT_LE(Channel(canvas.At(0, y), 16), Channel(canvas.At(0, y - 1), 16)) << y;
  }
}

TEST(FillGradientTest, OpaqueHorizontalGradientRunsFromLeftToRight) {
  DibCanvas canvas(64, 4, kBackground);
  const RECT rc = {0, 0, 64, 4};
  CSkinRenderer::FillGradient(canvas.dc(), rc, 0xFF000000, 0xFFFFFFFF, false, 64);
  EXPECT_EQ(canvas.Rgb(0, 2), 0x000000u);
  ExpectNear(canvas.At(63, 2), 0xFFFFFF, 4, "right column");
  ExpectNear(canvas.At(32, 2), 0x808080, 4, "middle");
}

TEST_P(PlatformPathTest, GradientWithAveragedAlphaBlendsAsOneTranslucentLayer) {
  // Opaque black to transparent white: alpha (255 + 0) / 2 = 127 for the whole gradient.
  DibCanvas canvas(4, 32, 0xFFFFFFFF);
  const RECT rc = {0, 0, 4, 32};
  CSkinRenderer::FillGradient(canvas.dc(), rc, 0xFF000000, 0x00FFFFFF, true, 64);
  ExpectNear(canvas.At(1, 0), 0x808080, 1, "top: black at 127 over white");
  ExpectNear(canvas.At(1, 31), 0xFFFFFF, 4, "bottom: white over white");
}

TEST(FillGradientTest, FullyTransparentEndsDrawNothing) {
  DibCanvas canvas(4, 4, kBackground);
  const RECT rc = {0, 0, 4, 4};
  CSkinRenderer::FillGradient(canvas.dc(), rc, 0x01FFFFFF, 0x00000000, true, 64);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 4, 4), 0);
}

TEST(FillGradientTest, WithoutThePlatformFillSolidBandsStandIn) {
  render_testing::ScopedPlatformServices withoutGradientFill(true, false);
  DibCanvas canvas(6, 40, kBackground);
  const RECT rc = {1, 0, 5, 40};
  // 4 steps: 4 bands of 10 rows; band i (from the bottom) is (first * i + second * (4 - i)) / 4.
  CSkinRenderer::FillGradient(canvas.dc(), rc, 0xFF000000, 0xFF808040, true, 4);
  const uint32_t bands[4] = {0x808040, 0x606030, 0x404020, 0x202010};
  for (int y = 0; y < 40; ++y) {
    const uint32_t expected = bands[(39 - y) / 10];
    EXPECT_EQ(canvas.CountOtherThan(expected, 1, y, 5, y + 1), 0) << "row " << y;
  }
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 1, 40), 0);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 5, 0, 6, 40), 0);
}

TEST(FillGradientTest, BandCountFollowsTheSteps) {
  render_testing::ScopedPlatformServices withoutGradientFill(true, false);
  DibCanvas canvas(128, 1, kBackground);
  const RECT rc = {0, 0, 128, 1};
  CSkinRenderer::FillGradient(canvas.dc(), rc, 0xFFFF0000, 0xFF000000, false, 100);
  int changes = 0;
  for (int x = 1; x < 128; ++x) {
    if (canvas.Rgb(x, 0) != canvas.Rgb(x - 1, 0)) ++changes;
  }
  EXPECT_EQ(changes, 63);  // 64 bands of 2 pixels
  EXPECT_EQ(canvas.Rgb(127, 0), 0x000000u);  // band 0 at the right edge is the second colour
}

// ---- lines and outlines ----

TEST(StrokeTest, LineRunsFromTheTopLeftToTheBottomRightPoint) {
  DibCanvas canvas(20, 10, kBackground);
  const RECT rc = {2, 5, 12, 5};
  CSkinRenderer::StrokeLine(canvas.dc(), rc, 1, 0xFF00FF00);
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 2, 5, 12, 6), 0);
  const RECT ink = canvas.InkBounds(kBackground), line = {2, 5, 12, 6};  // the end point is left out
  EXPECT_TRUE(EqualRect(&ink, &line));
}

TEST(StrokeTest, RectangleOutlineIsDrawnInsideAndLeavesTheInsideAlone) {
  DibCanvas canvas(20, 20, kBackground);
  const RECT rc = {3, 3, 15, 13};
  CSkinRenderer::StrokeRect(canvas.dc(), rc, 2, 0xFFFF0000);
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 3, 3, 15, 5), 0);    // top, 2 rows
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 3, 11, 15, 13), 0);  // bottom
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 3, 3, 5, 13), 0);    // left
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 13, 3, 15, 13), 0);  // right
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 5, 5, 13, 11), 0);
  const RECT ink = canvas.InkBounds(kBackground);
  EXPECT_TRUE(EqualRect(&ink, &rc));
}

TEST(StrokeTest, RoundedOutlineSparesTheCorners) {
  DibCanvas canvas(30, 30, kBackground);
  const RECT rc = {2, 2, 28, 28};
  CSkinRenderer::StrokeRoundRect(canvas.dc(), rc, 1, 10, 10, 0xFF0000FF);
  EXPECT_EQ(canvas.Rgb(2, 2), kBackground & 0xFFFFFF);
  EXPECT_EQ(canvas.Rgb(27, 27), kBackground & 0xFFFFFF);
  EXPECT_EQ(canvas.Rgb(15, 2), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(2, 15), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(27, 15), 0x0000FFu);
  EXPECT_EQ(canvas.Rgb(15, 27), 0x0000FFu);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 4, 4, 26, 26), 0);
}

}  // namespace
