// The ten images of the installer's skin archive decode at their sizes, with the colours,
// transparency and shadow profile their skins rely on. Pixels are premultiplied 0xAARRGGBB.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "Core/UIRender.h"
#include "InstallerWindowFixture.h"

namespace installer_window_testing {
namespace {

using SkinUI::CSkinRenderer;
using SkinUI::LoadedImage;

struct Probe {
  int x, y;
  uint32_t pixel;  // premultiplied; each channel may be off by 2
};

struct ArchiveImage {
  const char* label;
  const wchar_t* name;
  int width, height;
  std::vector<Probe> probes;
};

// Shadow pixels are 0x101010 at the given alpha, premultiplied.
uint32_t Shadow(uint32_t alpha) {
  const uint32_t c = (0x10 * alpha + 127) / 255;
  return alpha << 24 | c << 16 | c << 8 | c;
}

const ArchiveImage kImages[] = {
    {"BlueNormal", L"common/button/btn_blue_normal.png", 16, 31,
     {{0, 0, 0xFF90CAF6}, {15, 0, 0xFF90CAF6}, {0, 30, 0xFF1A87D8}, {15, 30, 0xFF1A87D8}}},
    {"BluePushed", L"common/button/btn_blue_pushed.png", 16, 31,
     {{0, 0, 0xFF73A2C5}, {15, 30, 0xFF156CAD}}},
    {"GrayNormal", L"common/button/btn_gray_normal.png", 16, 31,
     {{0, 0, 0xFFF8F8F8}, {15, 30, 0xFFDCDCDC}}},
    {"GrayPushed", L"common/button/btn_gray_pushed.png", 16, 31,
     {{0, 0, 0xFFC6C6C6}, {15, 30, 0xFFB0B0B0}}},
    {"SmallCloseNormal", L"common/close/btn_close_normal.png", 12, 12,
     {{0, 0, 0}, {11, 0, 0}, {0, 11, 0}, {11, 11, 0}, {5, 5, 0xFFFFFFFF}, {6, 5, 0xFFFFFFFF}}},
    {"SmallClosePushed", L"common/close/btn_close_pushed.png", 12, 12,
     {{0, 0, 0}, {11, 11, 0}, {5, 5, 0xFFCCCCCC}}},
    {"Shadow", L"common/window/shadow.png", 246, 173,
     {{0, 0, 0}, {245, 0, 0}, {0, 172, 0}, {245, 172, 0},
      {22, 86, Shadow(49)}, {223, 86, Shadow(49)}, {123, 12, Shadow(17)},
      {123, 140, Shadow(82)}, {0, 86, 0}, {123, 86, 0}, {23, 86, 0}}},
    {"TitleBar", L"installation/bkimage.png", 55, 80,
     {{0, 0, 0xFF3498E3}, {54, 0, 0xFF3498E3}, {0, 79, 0xFF1A87D9}, {54, 79, 0xFF1A87D9}}},
    {"CloseNormal", L"installation/btn_close_normal.png", 16, 16,
     {{0, 0, 0}, {15, 15, 0}, {7, 7, 0xFFFFFFFF}, {8, 7, 0xFFFFFFFF}}},
    {"ClosePushed", L"installation/btn_close_pushed.png", 16, 16,
     {{0, 0, 0}, {15, 15, 0}, {7, 7, 0xFFCCCCCC}}},
};

bool Near(uint32_t a, uint32_t b) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2) {
      return false;
    }
  }
  return true;
}

class SkinArchiveImages : public InstallerWindowTest,
                          public ::testing::WithParamInterface<ArchiveImage> {};

TEST_P(SkinArchiveImages, DecodeAtTheirSizeWithTheirPixels) {
  // Any installer window makes the archive in the resources the framework's skin archive.
  BareXMLWnd window(L"msgbox.xml");
  ASSERT_NE(window.CreateShown(), nullptr);
  const ArchiveImage& expected = GetParam();
  LoadedImage* pImage = CSkinRenderer::LoadSkinImage(expected.name, nullptr, 0);
  ASSERT_NE(pImage, nullptr);
  EXPECT_EQ(pImage->nWidth, expected.width);
  EXPECT_EQ(pImage->nHeight, expected.height);
  if (pImage->nWidth == expected.width && pImage->nHeight == expected.height) {
    for (const Probe& probe : expected.probes) {
      const uint32_t pixel = pImage->pPixels[probe.y * pImage->nWidth + probe.x];
      EXPECT_TRUE(Near(pixel, probe.pixel))
          << "(" << probe.x << "," << probe.y << "): " << std::hex << pixel << " instead of "
          << probe.pixel;
    }
  }
  CSkinRenderer::FreeSkinImage(pImage);
}

INSTANTIATE_TEST_SUITE_P(
    TheTen, SkinArchiveImages, ::testing::ValuesIn(kImages),
    [](const ::testing::TestParamInfo<ArchiveImage>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace installer_window_testing
