// Nine-part drawing of bitmaps: corners, stretched edges, tiling, holes, fades and blending, on the
// platform's blend and on the software one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "Core/UIRender.h"
#include "RenderPathFixture.h"
#include "support/DibCanvas.h"

using SkinUI::CSkinRenderer;
using testing_support::CreatePixelBitmap;
using testing_support::DibCanvas;

namespace {

const uint32_t kBackground = 0xFF102030;

// A source bitmap whose pixels are produced by a function of (x, y).
class SourceBitmap {
 public:
  template <typename F>
  SourceBitmap(int width, int height, F pixelAt) : m_width(width), m_height(height) {
    std::vector<uint32_t> pixels(width * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) pixels[y * width + x] = pixelAt(x, y);
    }
    m_hBitmap = CreatePixelBitmap(width, height, pixels.data());
  }
  ~SourceBitmap() { DeleteObject(m_hBitmap); }
  HBITMAP get() const { return m_hBitmap; }
  RECT whole() const { return RECT{0, 0, m_width, m_height}; }

 private:
  HBITMAP m_hBitmap;
  int m_width;
  int m_height;
};

// A 6 x 6 source with 2-pixel corners: each of the nine parts has its own opaque colour.
uint32_t NinePartColour(int x, int y) {
  static const uint32_t colours[3][3] = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
                                         {0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF},
                                         {0xFF800000, 0xFF008000, 0xFF000080}};
  const int col = x < 2 ? 0 : (x < 4 ? 1 : 2);
  const int row = y < 2 ? 0 : (y < 4 ? 1 : 2);
  return colours[row][col];
}

const RECT kNoCorners = {0, 0, 0, 0};
const RECT kCorners2 = {2, 2, 2, 2};

// Runs every test of the suite once with the platform's blend and once with the software one.
class BlendPathTest : public render_testing::PlatformOrSoftwareTest {};
INSTANTIATE_TEST_SUITE_P(PlatformAndSoftware, BlendPathTest, ::testing::Values(true, false),
                         render_testing::PathName);

// ---- nine parts ----

void ExpectNineParts(const DibCanvas& canvas, const RECT& d) {
  // Corners keep their 2 x 2 size; edges and centre fill what lies between.
  for (int y = d.top; y < d.bottom; ++y) {
    for (int x = d.left; x < d.right; ++x) {
      const int sx = x < d.left + 2 ? 0 : (x >= d.right - 2 ? 5 : 2);
      const int sy = y < d.top + 2 ? 0 : (y >= d.bottom - 2 ? 5 : 2);
      ASSERT_EQ(canvas.Rgb(x, y), NinePartColour(sx, sy) & 0xFFFFFF) << "at " << x << "," << y;
    }
  }
}

TEST(RenderBitmapTest, CornersKeepTheirSizeWhileEdgesAndCentreStretch) {
  SourceBitmap source(6, 6, NinePartColour);
  DibCanvas canvas(40, 30, kBackground);
  const RECT d = {5, 4, 25, 20};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), kCorners2, false);
  ExpectNineParts(canvas, d);
  const RECT ink = canvas.InkBounds(kBackground);
  EXPECT_TRUE(EqualRect(&ink, &d));
}

TEST_P(BlendPathTest, BlendedNinePartsMatchTheCopiedOnes) {
  SourceBitmap source(6, 6, NinePartColour);
  DibCanvas canvas(40, 30, kBackground);
  const RECT d = {5, 4, 25, 20};
  // Opaque pixels drawn blended land exactly as copied ones.
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), kCorners2, true);
  ExpectNineParts(canvas, d);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 25, 0, 40, 30), 0);
}

TEST(RenderBitmapTest, HoleLeavesTheCentreUntouched) {
  SourceBitmap source(6, 6, NinePartColour);
  DibCanvas canvas(30, 30, kBackground);
  const RECT d = {0, 0, 20, 20};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), kCorners2, false,
                              255, true);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 2, 2, 18, 18), 0);
  EXPECT_EQ(canvas.Rgb(0, 0), 0xFF0000u);
  EXPECT_EQ(canvas.Rgb(10, 0), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(19, 19), 0x000080u);
}

TEST(RenderBitmapTest, PartsOutsideThePaintAreaAreNotDrawn) {
  SourceBitmap source(6, 6, NinePartColour);
  DibCanvas canvas(30, 30, kBackground);
  const RECT d = {0, 0, 20, 20};
  const RECT paint = {0, 0, 20, 1};  // meets only the top row of parts
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, paint, source.whole(), kCorners2,
                              false);
  EXPECT_EQ(canvas.Rgb(10, 1), 0x00FF00u);  // the top edge is drawn whole
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 2, 30, 30), 0);
}

TEST(RenderBitmapTest, EqualSizeCopyTouchesOnlyThePaintArea) {
  SourceBitmap source(8, 8, [](int x, int y) { return 0xFF000000u | (x << 16) | (y << 8) | 7; });
  DibCanvas canvas(20, 20, kBackground);
  const RECT d = {4, 4, 12, 12};
  const RECT paint = {6, 5, 9, 20};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, paint, source.whole(), kNoCorners,
                              false, 255, true, true, true);  // hole and tiling do not matter here
  for (int y = 4; y < 12; ++y) {
    for (int x = 4; x < 12; ++x) {
      const bool painted = x >= 6 && x < 9 && y >= 5;
      const uint32_t expected = painted ? 0xFF000000u | ((x - 4) << 16) | ((y - 4) << 8) | 7
                                        : kBackground;
      ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y;
    }
  }
}

TEST(RenderBitmapTest, SourcePartIsStretchedByRepeatingWholePixels) {
  SourceBitmap source(4, 2, [](int x, int y) { return x < 2 ? 0xFFFF0000u : (y == 0 ? 0xFF00FF00u : 0xFF0000FFu); });
  DibCanvas canvas(20, 20, kBackground);
  const RECT d = {0, 0, 8, 8};
  const RECT part = {2, 0, 4, 2};  // the right half: green over blue
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, part, kNoCorners, false);
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 0, 8, 4), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 0, 4, 8, 8), 0);
}

// ---- tiling ----

// 32 x 4 source with 1-pixel side corners: inner width 30, each column its own colour.
uint32_t ColumnColour(int x, int) { return 0xFF000000u | (x * 8) << 16 | 0x40; }

TEST_P(BlendPathTest, HorizontalTilingRepeatsTheInnerSourceAndCutsTheLastTile) {
  SourceBitmap source(32, 4, ColumnColour);
  for (bool blended : {false, true}) {
    DibCanvas canvas(110, 20, kBackground);
    const RECT d = {0, 0, 102, 12};  // centre 100 wide: tiles of 30, 30, 30 and 10
    const RECT corners = {1, 0, 1, 0};
    CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), corners, blended,
                                255, false, true, false);
    for (int x = 1; x < 101; ++x) {
      const int column = 1 + (x - 1) % 30;
      for (int y = 0; y < 12; ++y) {
        ASSERT_EQ(canvas.Rgb(x, y), ColumnColour(column, 0) & 0xFFFFFF)
            << x << "," << y << (blended ? " blended" : " copied");
      }
    }
    EXPECT_EQ(canvas.Rgb(101, 5), ColumnColour(31, 0) & 0xFFFFFF);
    EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 12, 110, 20), 0);
  }
}

uint32_t RowColour(int, int y) { return 0xFF000000u | (y * 8) << 8 | 0x30; }

TEST(RenderBitmapTest, VerticalTilingRepeatsRowsOverTheFullWidth) {
  SourceBitmap source(3, 10, RowColour);
  DibCanvas canvas(20, 30, kBackground);
  const RECT d = {2, 0, 14, 25};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), kNoCorners, false,
                              255, false, false, true);
  for (int y = 0; y < 25; ++y) {
    for (int x = 2; x < 14; ++x) {
      ASSERT_EQ(canvas.Rgb(x, y), RowColour(0, y % 10) & 0xFFFFFF) << x << "," << y;
    }
  }
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 25, 20, 30), 0);
}

TEST_P(BlendPathTest, TilingBothWaysCopiesUnscaledTilesFromTheTopLeft) {
  SourceBitmap source(4, 3, [](int x, int y) { return 0xFF000000u | (x << 20) | (y << 12) | 1; });
  for (bool blended : {false, true}) {
    DibCanvas canvas(20, 20, kBackground);
    const RECT d = {0, 0, 10, 7};
    CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), kNoCorners,
                                blended, 255, false, true, true);
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 10; ++x) {
        const uint32_t expected = ((x % 4) << 20) | ((y % 3) << 12) | 1;
        ASSERT_EQ(canvas.Rgb(x, y), expected) << x << "," << y;
      }
    }
    const RECT ink = canvas.InkBounds(kBackground);
    EXPECT_TRUE(EqualRect(&ink, &d));
  }
}

TEST_P(BlendPathTest, TilingAnEmptyInnerSourceDrawsNoCentre) {
  SourceBitmap source(4, 4, NinePartColour);
  DibCanvas canvas(20, 20, kBackground);
  const RECT d = {0, 0, 16, 16};
  const RECT corners = {2, 2, 2, 2};  // 4 - 2 - 2 leaves nothing inside
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), corners, true, 255,
                              false, true, true);
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), corners, true, 255,
                              false, true, false);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 2, 2, 14, 14), 0);
  EXPECT_EQ(canvas.Rgb(0, 0), 0xFF0000u);
}

// ---- alpha and fade ----

TEST_P(BlendPathTest, PremultipliedPixelsBlendOverTheBackground) {
  // Transparent, half-covered red and opaque blue pixels, premultiplied.
  const uint32_t pixels[3] = {0x00000000, 0x80800000, 0xFF0000FF};
  HBITMAP bitmap = CreatePixelBitmap(3, 1, pixels);
  DibCanvas canvas(3, 2, 0xFFFFFFFF);
  for (int x = 0; x < 3; ++x) canvas.Set(x, 1, 0xFF000000);
  const RECT source = {0, 0, 3, 1};
  for (int row = 0; row < 2; ++row) {
    const RECT d = {0, row, 3, row + 1};
    CSkinRenderer::RenderBitmap(canvas.dc(), bitmap, d, d, source, kNoCorners, true);
  }
  EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFFFu);  // alpha 0 leaves white
  EXPECT_EQ(canvas.Rgb(1, 0), 0xFF7F7Fu);   // 0x80 + 255 * 127 / 255
  EXPECT_EQ(canvas.At(2, 0), 0xFF0000FFu);
  EXPECT_EQ(canvas.At(0, 1), 0xFF000000u);
  EXPECT_EQ(canvas.Rgb(1, 1), 0x800000u);   // over black the premultiplied colour shows as is
  EXPECT_EQ(canvas.At(2, 1), 0xFF0000FFu);
  DeleteObject(bitmap);
}

TEST_P(BlendPathTest, FadeScalesTheWholeImage) {
  SourceBitmap source(2, 2, [](int, int) { return 0xFFFFFFFFu; });
  DibCanvas canvas(4, 2, 0xFF000000);
  for (int y = 0; y < 2; ++y) {
    canvas.Set(2, y, 0xFFFFFFFF);
    canvas.Set(3, y, 0xFFFFFFFF);
  }
  const RECT onBlack = {0, 0, 2, 2};
  const RECT onWhite = {2, 0, 4, 2};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), onBlack, onBlack, source.whole(),
                              kNoCorners, false, 128);
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), onWhite, onWhite, source.whole(),
                              kNoCorners, false, 128);
  EXPECT_EQ(canvas.Rgb(0, 0), 0x808080u);  // 255 * 128 / 255
  EXPECT_EQ(canvas.Rgb(1, 1), 0x808080u);
  EXPECT_EQ(canvas.Rgb(3, 1), 0xFFFFFFu);  // 128 + 255 * 127 / 255
}

TEST(RenderBitmapTest, FadeBelow255BlendsEvenAnOpaqueImage) {
  SourceBitmap source(1, 1, [](int, int) { return 0xFFFFFFFFu; });
  DibCanvas canvas(2, 1, 0x00000000);
  const RECT left = {0, 0, 1, 1};
  const RECT right = {1, 0, 2, 1};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), left, left, source.whole(), kNoCorners,
                              false, 255);
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), right, right, source.whole(),
                              kNoCorners, false, 254);
  EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFFFu);  // copied
  EXPECT_EQ(canvas.At(1, 0), 0xFEFEFEFEu);  // blended at 254 over transparent black
}

TEST(RenderBitmapTest, SoftwareBlendAgreesWithThePlatformPixelForPixel) {
  // Every alpha level over a varied background, through nine parts with a fade, enlarged and
  // shrunk.
  SourceBitmap source(16, 16, [](int x, int y) {
    const uint32_t a = (x * 16 + y) & 0xFF;
    const uint32_t c = a * ((x * 37 + y * 11) & 0xFF) / 255;
    return (a << 24) | (c << 16) | ((a * y / 15) << 8) | (a / 2);
  });
  struct Case {
    RECT dest;
    RECT corners;
    BYTE fade;
  };
  const Case cases[] = {{{3, 2, 35, 30}, {3, 4, 5, 2}, 200}, {{1, 1, 17, 17}, {0, 0, 0, 0}, 255},
                        {{0, 0, 40, 33}, {2, 2, 2, 2}, 77},  {{1, 1, 8, 6}, {0, 0, 0, 0}, 255},
                        {{0, 0, 40, 9}, {2, 2, 2, 2}, 77},   {{5, 5, 12, 34}, {1, 3, 1, 3}, 128}};
  for (const Case& c : cases) {
    auto draw = [&](bool platform, DibCanvas& canvas) {
      render_testing::ScopedPlatformServices services(platform, true);
      for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
          canvas.Set(x, y, 0xFF000000u | (((x * 7) & 0xFF) << 16) | (((y * 5) & 0xFF) << 8) |
                               ((x + y) & 0xFF));
        }
      }
      CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), c.dest, c.dest, source.whole(),
                                  c.corners, true, c.fade);
    };
    DibCanvas platform(40, 34), software(40, 34);
    draw(true, platform);
    draw(false, software);
    int differing = 0;
    for (int y = 0; y < 34; ++y) {
      for (int x = 0; x < 40; ++x) {
        for (int shift = 0; shift < 32; shift += 8) {
          const int a = (platform.At(x, y) >> shift) & 0xFF;
          const int b = (software.At(x, y) >> shift) & 0xFF;
          if (std::abs(a - b) > 1) ++differing;
        }
      }
    }
    EXPECT_EQ(differing, 0) << "destination " << c.dest.left << "," << c.dest.top << ","
                            << c.dest.right << "," << c.dest.bottom;
  }
}

TEST(RenderBitmapTest, SoftwareBlendOfAClippedStretchMatchesTheUnclippedOne) {
  // The visible slice of a stretched, clipped blend picks the same source pixels as the whole.
  SourceBitmap source(5, 7, [](int x, int y) { return 0x80000000u | (x * 20) << 16 | (y * 15); });
  render_testing::ScopedPlatformServices software(false, true);
  DibCanvas whole(40, 40, 0xFF000000), clipped(40, 40, 0xFF000000);
  const RECT d = {2, 3, 37, 38};
  CSkinRenderer::RenderBitmap(whole.dc(), source.get(), d, d, source.whole(), kNoCorners, true);
  HRGN region = CreateRectRgn(11, 7, 23, 30);
  SelectClipRgn(clipped.dc(), region);
  DeleteObject(region);
  CSkinRenderer::RenderBitmap(clipped.dc(), source.get(), d, d, source.whole(), kNoCorners, true);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 11 && x < 23 && y >= 7 && y < 30;
      ASSERT_EQ(clipped.At(x, y), inside ? whole.At(x, y) : 0xFF000000u) << x << "," << y;
    }
  }
}

// ---- unusual geometry never crashes and stays inside the destination ----

TEST_P(BlendPathTest, ImageLargerThanTheDestinationIsShrunkIntoIt) {
  SourceBitmap source(200, 150, [](int, int) { return 0xFF00AA00u; });
  DibCanvas canvas(60, 60, kBackground);
  const RECT d = {10, 10, 40, 30};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), kNoCorners, true);
  EXPECT_EQ(canvas.CountOtherThan(0x00AA00, 10, 10, 40, 30), 0);
  const RECT ink = canvas.InkBounds(kBackground);
  EXPECT_TRUE(EqualRect(&ink, &d));
}

TEST_P(BlendPathTest, CornersWiderThanTheDestinationStayInsideIt) {
  SourceBitmap source(6, 6, NinePartColour);
  DibCanvas canvas(30, 30, kBackground);
  const RECT d = {10, 10, 14, 14};
  const RECT corners = {5, 5, 5, 5};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), corners, true);
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, source.whole(), corners, false,
                              255, false, true, true);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 30, 5), 0);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 20, 30, 30), 0);
}

TEST_P(BlendPathTest, SourcePartOutsideTheBitmapDrawsNothingBlended) {
  SourceBitmap source(4, 4, [](int, int) { return 0x80800000u; });
  DibCanvas canvas(20, 20, kBackground);
  const RECT d = {0, 0, 10, 10};
  const RECT outside = {2, 2, 9, 9};
  CSkinRenderer::RenderBitmap(canvas.dc(), source.get(), d, d, outside, kNoCorners, true);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 20, 20), 0);
}

TEST(RenderBitmapTest, NoBitmapDrawsNothing) {
  DibCanvas canvas(10, 10, kBackground);
  const RECT d = {0, 0, 10, 10};
  CSkinRenderer::RenderBitmap(canvas.dc(), nullptr, d, d, d, kNoCorners, true);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 10, 10), 0);
}

}  // namespace
