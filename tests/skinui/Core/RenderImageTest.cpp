// Image attributes drawn through a window host: where images are found (skin folder, skin archive
// in memory, module resources, plain paths), where they land, and what failures draw.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "RenderHostFixture.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

using SkinUI::CSkinRenderer;
using SkinUI::CWindowHostUI;
using SkinUI::ImageDrawInfo;
using SkinUI::LoadedImage;
using testing_support::DibCanvas;
using testing_support::EncodePng;
using testing_support::TestImage;

namespace {

const uint32_t kBackground = 0xFF102030;

class RenderImageTest : public render_testing::RenderHostTest {
 protected:
  // Draws the attribute over the item (the paint area is the whole canvas) into a fresh record.
  bool Draw(DibCanvas& canvas, const wchar_t* attribute, const RECT& item) {
    m_info.Reset();
    m_info.sAttribute = attribute;
    const RECT paint = {0, 0, canvas.width(), canvas.height()};
    return CSkinRenderer::RenderImage(canvas.dc(), &m_host, item, paint, m_info);
  }
  ImageDrawInfo m_info;
};

// A single-colour image drawn over an item lands exactly on `lands`; the rest stays background.
struct Placement {
  const char* name;
  int imageWidth, imageHeight;
  const wchar_t* attribute;
  RECT item;
  RECT lands;
};

class ImagePlacementTest : public RenderImageTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(ImagePlacementTest, LandsOnlyWhereExpected) {
  const Placement& c = GetParam();
  WriteImage(L"a.png", TestImage(c.imageWidth, c.imageHeight, 0xFF3498E3));
  DibCanvas canvas(200, 220, kBackground);
  EXPECT_TRUE(Draw(canvas, c.attribute, c.item));
  EXPECT_EQ(canvas.CountOtherThan(0x3498E3, c.lands.left, c.lands.top, c.lands.right, c.lands.bottom), 0);
  const RECT ink = canvas.InkBounds(kBackground);
  EXPECT_TRUE(EqualRect(&ink, &c.lands)) << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
  ASSERT_NE(m_info.pImage, nullptr);
  EXPECT_EQ(m_info.rcSource.right, c.imageWidth);
  EXPECT_EQ(m_info.rcSource.bottom, c.imageHeight);
}

INSTANTIATE_TEST_SUITE_P(
    SingleColour, ImagePlacementTest,
    ::testing::Values(
        Placement{"BareNameStretchesOverTheItem", 2, 2, L"a.png", {5, 6, 25, 16}, {5, 6, 25, 16}},
        Placement{"LargerThanTheItemIsShrunkIntoIt", 300, 200, L"a.png", {10, 10, 40, 30}, {10, 10, 40, 30}},
        // (110, 110, 130, 130) cut at the item's right edge.
        Placement{"DestinationIsLimitedByTheItem", 4, 4, L"file='a.png' dest='10,10,30,30'",
                  {100, 100, 120, 200}, {110, 110, 120, 130}}),
    [](const ::testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST_F(RenderImageTest, SourceAndCornersPickAndFrameThePart) {
  // Left half green, right half a 6 x 6 nine-part frame: blue border, white inside.
  TestImage image(12, 6, 0xFF00FF00);
  for (int y = 0; y < 6; ++y) {
    for (int x = 6; x < 12; ++x) {
      const bool border = x < 8 || x >= 10 || y < 2 || y >= 4;
      image.at(x, y) = border ? 0xFF0000FF : 0xFFFFFFFF;
    }
  }
  WriteImage(L"frame.png", image);
  DibCanvas canvas(40, 40, kBackground);
  const RECT item = {0, 0, 30, 20};
  EXPECT_TRUE(Draw(canvas, L"file='frame.png' source='6,0,12,6' corner='2,2,2,2'", item));
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 0, 0, 30, 2), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 0, 18, 30, 20), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 0, 0, 2, 20), 0);
  EXPECT_EQ(canvas.CountOtherThan(0x0000FF, 28, 0, 30, 20), 0);
  EXPECT_EQ(canvas.CountOtherThan(0xFFFFFF, 2, 2, 28, 18), 0);
}

TEST_F(RenderImageTest, SourceIsLimitedToTheImage) {
  WriteImage(L"small.png", TestImage(4, 4, 0xFF00FF00));
  DibCanvas canvas(20, 20, kBackground);
  const RECT item = {0, 0, 8, 8};
  EXPECT_TRUE(Draw(canvas, L"file='small.png' source='2,2,50,60'", item));
  EXPECT_EQ(m_info.rcSource.right, 4);
  EXPECT_EQ(m_info.rcSource.bottom, 4);
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 0, 8, 8), 0);
}

TEST_F(RenderImageTest, FadeAndMaskApply) {
  TestImage image(2, 1, 0xFFFFFFFF);
  image.at(1, 0) = 0xFFFF00FF;
  WriteImage(L"keyed.png", image);
  DibCanvas canvas(20, 10, 0xFF000000);
  const RECT item = {0, 0, 2, 1};
  EXPECT_TRUE(Draw(canvas, L"file='keyed.png' mask='#FFFF00FF' fade='128'", item));
  EXPECT_EQ(canvas.Rgb(0, 0), 0x808080u);  // white at 128 over black
  EXPECT_EQ(canvas.Rgb(1, 0), 0x000000u);  // keyed out
}

TEST_F(RenderImageTest, ItemOutsideThePaintAreaDrawsNothingButSucceeds) {
  WriteImage(L"a.png", TestImage(2, 2, 0xFFFF0000));
  DibCanvas canvas(40, 40, kBackground);
  m_info.sAttribute = L"a.png";
  const RECT item = {0, 0, 10, 10};
  const RECT paint = {20, 20, 40, 40};
  EXPECT_TRUE(CSkinRenderer::RenderImage(canvas.dc(), &m_host, item, paint, m_info));
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 40, 40), 0);
}

// Destinations two billion pixels long: only the tiles over the painted area are drawn, in the
// phase the far-away start gives them, and an offset past the item draws nothing.
TEST_F(RenderImageTest, TilesOfAHugeDestinationAreClippedToWhatIsPainted) {
  const uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
  TestImage checker(2, 2, kRed);
  checker.at(1, 0) = kBlue;
  checker.at(0, 1) = kBlue;
  WriteImage(L"checker.png", checker);
  const RECT item = {10, 10, 30, 30};
  const struct {
    const wchar_t* attribute;
    bool drawn;
    int dx, dy;  // from the item's top-left (blue) to the next pixel of the tiled axis (red)
  } cases[] = {
      {L"file='checker.png' dest='2147483647,5,600,230' xtiled='true' ytiled='true'", false, 0, 0},
      {L"file='checker.png' dest='-2147483647,0,20,20' xtiled='true' ytiled='true'", true, 1, 0},
      {L"file='checker.png' dest='-2147483647,0,20,20' xtiled='true'", true, 1, 0},
      {L"file='checker.png' dest='0,-2147483647,20,20' ytiled='true'", true, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::wstring(c.attribute));
    DibCanvas canvas(40, 40, kBackground);
    EXPECT_TRUE(Draw(canvas, c.attribute, item));
    if (!c.drawn) {
      EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 40, 40), 0);
      continue;
    }
    EXPECT_EQ(canvas.Rgb(10, 10), kBlue & 0xFFFFFF);
    EXPECT_EQ(canvas.Rgb(10 + c.dx, 10 + c.dy), kRed & 0xFFFFFF);
  }
}

// Sources and corners at the ends of what an int holds: the source is kept inside the image and
// nothing lands outside the item.
class ExtremeNinePartTest : public RenderImageTest,
                            public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(ExtremeNinePartTest, StaysInsideTheImageAndTheItem) {
  WriteImage(L"a.png", TestImage(8, 8, 0xFFFF0000));
  DibCanvas canvas(40, 40, kBackground);
  const RECT item = {10, 10, 30, 30};
  EXPECT_TRUE(Draw(canvas, GetParam(), item));
  const RECT& s = m_info.rcSource;
  EXPECT_TRUE(0 <= s.left && s.left <= s.right && s.right <= 8) << s.left << "," << s.right;
  EXPECT_TRUE(0 <= s.top && s.top <= s.bottom && s.bottom <= 8) << s.top << "," << s.bottom;
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 40, 10), 0);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 30, 40, 40), 0);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 10, 40), 0);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 30, 0, 40, 40), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Extremes, ExtremeNinePartTest,
    ::testing::Values(L"file='a.png' source='0,0,8,-2147483648' corner='1,1,1,1'",
                      L"file='a.png' source='0,0,-2147483648,8' corner='1,1,1,1'",
                      L"file='a.png' source='-2147483648,-2147483648,8,8' corner='1,1,1,1'",
                      L"file='a.png' corner='2147483647,1,2147483647,1'",
                      L"file='a.png' corner='-2147483648,-2147483648,1,1'"));

TEST_F(RenderImageTest, WithoutADeviceContextOnlyLoads) {
  WriteImage(L"size.png", TestImage(7, 5));
  m_info.sAttribute = L"size.png";
  const RECT item = {0, 0, 1, 1};
  EXPECT_TRUE(CSkinRenderer::RenderImage(nullptr, &m_host, item, item, m_info));
  ASSERT_NE(m_info.pImage, nullptr);
  EXPECT_EQ(m_info.pImage->nWidth, 7);
  EXPECT_EQ(m_info.pImage->nHeight, 5);
  EXPECT_EQ(m_host.LookupImage(L"size.png"), m_info.pImage);
}

TEST_F(RenderImageTest, WithoutAHostNothingHappens) {
  WriteImage(L"a.png", TestImage(2, 2, 0xFFFF0000));
  DibCanvas canvas(10, 10, kBackground);
  m_info.sAttribute = L"a.png";
  const RECT item = {0, 0, 10, 10};
  EXPECT_TRUE(CSkinRenderer::RenderImage(canvas.dc(), nullptr, item, item, m_info));
  EXPECT_FALSE(m_info.bAttempted);
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 10, 10), 0);
}

TEST_F(RenderImageTest, MissingImageFailsOnceAndIsNotLookedForAgain) {
  DibCanvas canvas(10, 10, kBackground);
  const RECT item = {0, 0, 10, 10};
  EXPECT_FALSE(Draw(canvas, L"late.png", item));
  EXPECT_TRUE(m_info.bAttempted);
  // The file appears afterwards: the record does not try again until it is reset.
  WriteImage(L"late.png", TestImage(1, 1, 0xFFFF0000));
  const RECT paint = {0, 0, 10, 10};
  EXPECT_FALSE(CSkinRenderer::RenderImage(canvas.dc(), &m_host, item, paint, m_info));
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 10, 10), 0);
  EXPECT_TRUE(Draw(canvas, L"late.png", item));
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 0, 0, 10, 10), 0);
}

TEST_F(RenderImageTest, RecordDrawsTheHostsCurrentImageAfterTheHostLetTheOldOneGo) {
  WriteImage(L"swap.png", TestImage(2, 2, 0xFF0000FF));
  DibCanvas canvas(12, 12, kBackground);
  const RECT item = {0, 0, 12, 12};
  const RECT paint = item;
  ASSERT_TRUE(Draw(canvas, L"swap.png", item));
  ASSERT_EQ(canvas.CountOtherThan(0x0000FF, 0, 0, 12, 12), 0);

  // The name is registered again with another picture: the first one is freed by the host.
  WriteImage(L"swap.png", TestImage(4, 4, 0xFFFF0000));
  ASSERT_NE(m_host.RegisterImage(L"swap.png"), nullptr);
  canvas.Fill(kBackground);
  EXPECT_TRUE(CSkinRenderer::RenderImage(canvas.dc(), &m_host, item, paint, m_info));
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 0, 0, 12, 12), 0);
  EXPECT_EQ(m_info.rcSource.right, 4);

  // All images gone (a new skin attached): the record loads the file again.
  m_host.RemoveAllImages();
  WriteImage(L"swap.png", TestImage(2, 2, 0xFF00FF00));
  canvas.Fill(kBackground);
  EXPECT_TRUE(CSkinRenderer::RenderImage(canvas.dc(), &m_host, item, paint, m_info));
  EXPECT_EQ(canvas.CountOtherThan(0x00FF00, 0, 0, 12, 12), 0);
  EXPECT_EQ(m_host.LookupImage(L"swap.png"), m_info.pImage);
}

TEST_F(RenderImageTest, UnusableAttributesDrawNothing) {
  WriteImage(L"a.png", TestImage(2, 2, 0xFFFF0000));
  ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / L"corrupt.png", "\x89PNG\r\n\x1a\nrubbish"));
  ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / L"empty.png", ""));
  DibCanvas canvas(10, 10, kBackground);
  const RECT item = {0, 0, 10, 10};
  EXPECT_FALSE(Draw(canvas, L"", item));
  EXPECT_FALSE(Draw(canvas, L"dest='1,1,5,5'", item));  // the whole text is taken as the name
  EXPECT_FALSE(Draw(canvas, L"corrupt.png", item));
  EXPECT_FALSE(Draw(canvas, L"empty.png", item));
  EXPECT_FALSE(Draw(canvas, L"file='a.png", item));
  EXPECT_FALSE(Draw(canvas, L"res='129'", item));  // a resource without a type is never found
  // Loaded, but the destination (1, 0, 0, 0) is inverted: nothing to draw.
  EXPECT_TRUE(Draw(canvas, L"file='a.png' dest='1,,' corner='x' source='9", item));
  EXPECT_EQ(canvas.CountOtherThan(kBackground, 0, 0, 10, 10), 0);
}

// ---- where images come from ----

struct ImageDeleter {
  void operator()(LoadedImage* image) const { CSkinRenderer::FreeSkinImage(image); }
};
using ImagePtr = std::unique_ptr<LoadedImage, ImageDeleter>;

TEST_F(RenderImageTest, ImagesLoadFromTheSkinArchiveInMemory) {
  TestImage image(3, 1, 0xFF00FF00);
  const std::wstring zipPath = m_folder / L"skin.zip";
  ASSERT_TRUE(testing_support::WriteZipArchive(
      zipPath, {{"common/button/btn.png", EncodePng(image)}, {"other.txt", "x"}}));
  const std::string zip = testing_support::ReadFileBytes(zipPath);
  CWindowHostUI::UseSkinArchive(zip.data(), static_cast<DWORD>(zip.size()));
  // Either separator and any letter case find the entry.
  const ImagePtr loaded(CSkinRenderer::LoadSkinImage(L"Common\\Button\\BTN.png", nullptr, 0));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->nWidth, 3);
  EXPECT_EQ(loaded->pPixels[2], 0xFF00FF00u);
  // With an archive set, the folder is not searched.
  WriteImage(L"loose.png", image);
  EXPECT_FALSE(ImagePtr(CSkinRenderer::LoadSkinImage(L"loose.png", nullptr, 0)));
  EXPECT_FALSE(ImagePtr(CSkinRenderer::LoadSkinImage(L"other.txt", nullptr, 0)));
}

TEST_F(RenderImageTest, ImagesLoadFromAnArchiveFileOpenedForTheLoad) {
  const std::wstring zipPath = m_folder / L"skin.zip";
  ASSERT_TRUE(testing_support::WriteZipArchive(
      zipPath, {{"img/a.png", EncodePng(TestImage(2, 2, 0xFF0000FF)), false}}));
  CWindowHostUI::UseSkinArchive(L"skin.zip", false);
  const ImagePtr loaded(CSkinRenderer::LoadSkinImage(L"img/a.png", nullptr, 0));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->pPixels[0], 0xFF0000FFu);
  // The archive was closed again: it can be replaced on disk.
  EXPECT_TRUE(DeleteFileW(zipPath.c_str()));
}

TEST_F(RenderImageTest, NamesNotFoundInTheSkinAreTriedAsPaths) {
  testing_support::ScratchFolder elsewhere(L"render-elsewhere");
  ASSERT_TRUE(testing_support::WriteFileBytes(elsewhere / L"abs.png",
                                              EncodePng(TestImage(1, 1, 0xFF123456))));
  const ImagePtr fromFolder(CSkinRenderer::LoadSkinImage((elsewhere / L"abs.png").c_str(), nullptr, 0));
  ASSERT_TRUE(fromFolder);
  EXPECT_EQ(fromFolder->pPixels[0], 0xFF123456u);
  const std::string zip = [&] {
    const std::wstring zipPath = m_folder / L"skin.zip";
    testing_support::WriteZipArchive(zipPath, {{"x.png", EncodePng(TestImage(1, 1))}});
    return testing_support::ReadFileBytes(zipPath);
  }();
  CWindowHostUI::UseSkinArchive(zip.data(), static_cast<DWORD>(zip.size()));
  const ImagePtr fromArchiveMiss(
      CSkinRenderer::LoadSkinImage((elsewhere / L"abs.png").c_str(), nullptr, 0));
  ASSERT_TRUE(fromArchiveMiss);
  EXPECT_FALSE(ImagePtr(CSkinRenderer::LoadSkinImage(L"nowhere.png", nullptr, 0)));
}

TEST_F(RenderImageTest, ResourceImagesLoadByIdAndType) {
  const ImagePtr loaded(CSkinRenderer::LoadSkinImage(MAKEINTRESOURCEW(129), L"PNG", 0));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->nWidth, 3);
  EXPECT_EQ(loaded->nHeight, 2);
  EXPECT_EQ(loaded->pPixels[0], 0xFFFF0000u);
  EXPECT_EQ(loaded->pPixels[3], 0x80808080u);  // white at 128, premultiplied
  EXPECT_EQ(loaded->pPixels[5], 0u);
  EXPECT_TRUE(loaded->bAlpha);
  EXPECT_FALSE(ImagePtr(CSkinRenderer::LoadSkinImage(MAKEINTRESOURCEW(130), L"PNG", 0)));
  EXPECT_FALSE(ImagePtr(CSkinRenderer::LoadSkinImage(MAKEINTRESOURCEW(129), L"GIF", 0)));
  EXPECT_FALSE(ImagePtr(CSkinRenderer::LoadSkinImage(MAKEINTRESOURCEW(129), nullptr, 0)));

  DibCanvas canvas(6, 4, 0xFF000000);
  const RECT item = {0, 0, 3, 2};
  EXPECT_TRUE(Draw(canvas, L"res='129' restype='PNG'", item));
  EXPECT_EQ(canvas.Rgb(1, 0), 0x00FF00u);
  EXPECT_EQ(canvas.Rgb(0, 1), 0x808080u);
}

}  // namespace
