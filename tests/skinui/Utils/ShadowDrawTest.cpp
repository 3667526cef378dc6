// What the shadow draws: the soft edge generated from a window's region, the nine-part image
// with its centre left out, the settings' ranges, and no GDI objects left behind per drawing.

#include <functional>
#include <string>

#include "ShadowFixture.h"
#include "ShadowTestImage.h"
#include "support/TestFiles.h"

namespace shadow_testing {
namespace {

using SkinUI::CShadowUI;

// ---- generated shadow ----

class GeneratedShadowTest : public ShadowTest {
 protected:
  // A typical skin's shadow: soft, 4 pixels out with a 5-pixel edge at darkness 150, in blue
  // so that the premultiplied colour can be told from the alpha.
  void AttachSoftBlueShadow() {
    Shadow().SetShadowSize(kSize);
    Shadow().SetShadowSharpness(kSharpness);
    Shadow().SetShadowDarkness(kDarkness);
    Shadow().SetShadowColor(0xFF0000FF);
    AttachWithShadow();
  }
  // Alpha at distance d from where the soft edge is stamped (no solid core at these settings).
  static int ExpectedEdgeAlpha(int d) {
    return static_cast<int>((1.0 - d / (kSharpness + 1.0)) * kDarkness);
  }

  static const int kSize = 4;
  static const int kSharpness = 5;
  static const int kDarkness = 150;
};

TEST_F(GeneratedShadowTest, RoundedWindowCastsASoftEdgeThatFadesOutwardAndLeavesItsOwnAreaClear) {
  RoundWindow();
  AttachSoftBlueShadow();
  const PresentedImage& image = Presented();
  ASSERT_GE(image.count, 1);
  EXPECT_EQ(image.hWnd, ShadowWindow());
  ASSERT_EQ(image.cx, kWidth + 2 * kSize);
  ASSERT_EQ(image.cy, kHeight + 2 * kSize);

  // The outline is eroded by one pixel and the edge is stamped there, one pixel inside the
  // window: the four pixels outside the window fade from 100 at the border to 25 at the rim.
  const int yMiddle = image.cy / 2, xMiddle = image.cx / 2;
  for (int x = 0; x < kSize; ++x) {
    SCOPED_TRACE("column " + std::to_string(x));
    EXPECT_EQ(image.AlphaAt(x, yMiddle), ExpectedEdgeAlpha(kSize + 1 - x));
    EXPECT_EQ(image.AlphaAt(image.cx - 1 - x, yMiddle), ExpectedEdgeAlpha(kSize + 1 - x));
  }
  for (int y = 0; y < kSize; ++y) {
    EXPECT_EQ(image.AlphaAt(xMiddle, y), ExpectedEdgeAlpha(kSize + 1 - y)) << "row " << y;
  }
  // The window covers the rest: nothing is drawn where it lies on screen.
  EXPECT_EQ(image.At(kSize, yMiddle), 0u);
  EXPECT_EQ(image.CountVisible(kSize + 5, kSize + 5, image.cx - kSize - 5, image.cy - kSize - 5),
            0);
  // Premultiplied blue: the blue channel carries the alpha, red and green stay empty.
  for (uint32_t pixel : image.pixels) {
    ASSERT_EQ(pixel & 0x00FFFF00u, 0u);
    ASSERT_EQ(pixel & 0xFFu, pixel >> 24);
  }
  EXPECT_GT(image.CountVisible(0, 0, image.cx, image.cy), 0);
}

TEST_F(GeneratedShadowTest, WindowWithoutRegionCastsAFullyTransparentShadow) {
  AttachSoftBlueShadow();
  const PresentedImage& image = Presented();
  ASSERT_GE(image.count, 1);
  ASSERT_EQ(image.cx, kWidth + 2 * kSize);
  ASSERT_EQ(image.cy, kHeight + 2 * kSize);
  EXPECT_EQ(image.CountVisible(0, 0, image.cx, image.cy), 0);
}

// ---- image shadow ----

// The installer's kind of shadow image, written to the skin folder.
class ImageShadowTest : public ShadowTest {
 protected:
  typedef ShadowImageShape Png;

  void SetUp() override {
    ShadowTest::SetUp();
    SkinUI::CWindowHostUI::SetImageLoader(&SkinUI::CSkinRenderer::LoadSkinImage);
    SkinUI::CWindowHostUI::UseSkinArchive(L"", true);
    SkinUI::CWindowHostUI::SetSkinFolder(m_folder.path().c_str());
    ::CreateDirectoryW((m_folder / L"common").c_str(), nullptr);
    ::CreateDirectoryW((m_folder / L"common\\window").c_str(), nullptr);
    ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / L"common\\window\\shadow.png",
                                                testing_support::EncodePng(Png::Image())));
  }
  void TearDown() override {
    SkinUI::CWindowHostUI::SetSkinFolder(L"");
    ShadowTest::TearDown();
  }
  void UseImageCorners() {
    ASSERT_TRUE(Shadow().SetShadowCorner(
        RECT{Png::kCornerLeft, Png::kCornerTop, Png::kCornerRight, Png::kCornerBottom}));
  }

  testing_support::ScratchFolder m_folder{L"shadow-skin"};
};

TEST_F(ImageShadowTest, NinePartImageFramesTheWindowWithItsEdgesAndNeverItsCentre) {
  // Generated-shadow settings no longer matter once an image is set.
  Shadow().SetShadowSize(10);
  Shadow().SetShadowOffset(5, 5);
  ASSERT_TRUE(Shadow().SetShadowImage(L"common\\window\\shadow.png"));
  UseImageCorners();
  AttachWithShadow();

  const int l = Png::kCornerLeft, t = Png::kCornerTop, r = Png::kCornerRight,
            b = Png::kCornerBottom;
  EXPECT_TRUE(SameRect(ShadowRect(), Inflated(WindowRect(), l, t, r, b)));
  const PresentedImage& image = Presented();
  ASSERT_GE(image.count, 1);
  ASSERT_EQ(image.cx, kWidth + l + r);
  ASSERT_EQ(image.cy, kHeight + t + b);

  // Edges are stretched along their length only, so across them the image's alpha profile
  // arrives unchanged; corners are copied as they are.
  const int yMiddle = t + kHeight / 2, xMiddle = l + kWidth / 2;
  const int ySource = Png::kHeight / 2, xSource = Png::kWidth / 2;
  for (int x = 0; x < l; ++x) {
    EXPECT_EQ(image.AlphaAt(x, yMiddle), Png::Alpha(x, ySource)) << "left " << x;
    EXPECT_EQ(image.AlphaAt(image.cx - 1 - x, yMiddle), Png::Alpha(Png::kWidth - 1 - x, ySource))
        << "right " << x;
  }
  for (int y = 0; y < t; ++y) {
    EXPECT_EQ(image.AlphaAt(xMiddle, y), Png::Alpha(xSource, y)) << "top " << y;
  }
  for (int y = 0; y < b; ++y) {
    EXPECT_EQ(image.AlphaAt(xMiddle, image.cy - 1 - y), Png::Alpha(xSource, Png::kHeight - 1 - y))
        << "bottom " << y;
  }
  EXPECT_EQ(image.AlphaAt(image.cx - 3, image.cy - 3),
            Png::Alpha(Png::kWidth - 3, Png::kHeight - 3));
  // The opaque red centre never shows.
  EXPECT_EQ(image.CountVisible(l, t, image.cx - r, image.cy - b), 0);
}

TEST_F(ImageShadowTest, RedrawingHoldsOnToNoGdiObjects) {
  RoundWindow();
  AttachWithShadow();
  ASSERT_GE(Presented().count, 1);
  const int nGeneratedBefore = host_paint_testing::LiveGdiObjects();
  for (int i = 0; i < 20; ++i) Shadow().SetShadowDarkness(100 + i);
  EXPECT_EQ(host_paint_testing::LiveGdiObjects(), nGeneratedBefore);

  UseImageCorners();
  Shadow().SetShadowImage(L"common\\window\\shadow.png");  // loads and caches the image
  const int nImageBefore = host_paint_testing::LiveGdiObjects();
  const int nPresented = Presented().count;
  for (int i = 0; i < 20; ++i) Shadow().SetShadowPadding(RECT{i % 2, 0, 0, 0});
  EXPECT_EQ(Presented().count, nPresented + 20);
  EXPECT_EQ(host_paint_testing::LiveGdiObjects(), nImageBefore);
}

// ---- settings ----

struct RangeCase {
  const char* name;
  int valid;
  int refused;
  std::function<bool(CShadowUI&, int)> set;
  std::function<int(const CShadowUI&)> get;
};

class ShadowRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ShadowRangeTest, ValueOutOfRangeIsRefusedAndTheOldValueStays) {
  const RangeCase& c = GetParam();
  CShadowUI shadow;
  ASSERT_TRUE(c.set(shadow, c.valid));
  EXPECT_FALSE(c.set(shadow, c.refused));
  EXPECT_EQ(c.get(shadow), c.valid);
}

int Size(const CShadowUI& s) { return s.GetShadowSize(); }
int Sharpness(const CShadowUI& s) { return s.GetShadowSharpness(); }
int Darkness(const CShadowUI& s) { return s.GetShadowDarkness(); }
int OffsetX(const CShadowUI& s) { return s.GetShadowOffset().x; }
int OffsetY(const CShadowUI& s) { return s.GetShadowOffset().y; }
int CornerBottom(const CShadowUI& s) { return s.GetShadowCorner().bottom; }

INSTANTIATE_TEST_SUITE_P(
    Setters, ShadowRangeTest,
    ::testing::Values(
        RangeCase{"size_21", 20, 21, [](CShadowUI& s, int v) { return s.SetShadowSize(v); }, Size},
        RangeCase{"size_minus_21", -20, -21,
                  [](CShadowUI& s, int v) { return s.SetShadowSize(v); }, Size},
        RangeCase{"sharpness_21", 20, 21,
                  [](CShadowUI& s, int v) { return s.SetShadowSharpness(v); }, Sharpness},
        RangeCase{"sharpness_minus_1", 0, -1,
                  [](CShadowUI& s, int v) { return s.SetShadowSharpness(v); }, Sharpness},
        RangeCase{"darkness_256", 255, 256,
                  [](CShadowUI& s, int v) { return s.SetShadowDarkness(v); }, Darkness},
        RangeCase{"darkness_minus_1", 0, -1,
                  [](CShadowUI& s, int v) { return s.SetShadowDarkness(v); }, Darkness},
        RangeCase{"offset_x_21", -20, 21,
                  [](CShadowUI& s, int v) { return s.SetShadowOffset(v, 0); }, OffsetX},
        RangeCase{"offset_y_minus_21", 20, -21,
                  [](CShadowUI& s, int v) { return s.SetShadowOffset(0, v); }, OffsetY},
        RangeCase{"corner_negative", 33, -1,
                  [](CShadowUI& s, int v) { return s.SetShadowCorner(RECT{23, 13, 23, v}); },
                  CornerBottom}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace shadow_testing
