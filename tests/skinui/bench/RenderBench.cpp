// Renderer timings, each run once on the platform's msimg32 services and once on the software
// replacements (forced), into a 32-bit surface:
//   - the installer main window's background (620 x 240: white fill, border, title bar image,
//     close glyph with alpha, progress image) and a nine-part button, 1,000 times each;
//   - a 620 x 240 window's worth of tagged text;
//   - loading a 1024 x 1024 PNG.
//   bench_render.exe [repetitions of the 1,000-draw figures, default 3]
// Figures are milliseconds (the best of the repetitions).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "support/BenchTiming.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UIRenderBlend.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"

using SkinUI::CSkinRenderer;
using SkinUI::CWindowHostUI;
using SkinUI::ImageDrawInfo;
using testing_support::DibCanvas;
using testing_support::TestImage;

namespace {

using bench_timing::BestMs;
using bench_timing::NowMs;

TestImage VerticalGradient(int width, int height, uint32_t top, uint32_t bottom) {
  TestImage image(width, height);
  for (int y = 0; y < height; ++y) {
    uint32_t pixel = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
      const int a = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
      pixel |= static_cast<uint32_t>(a + (b - a) * y / std::max(1, height - 1)) << shift;
    }
    for (int x = 0; x < width; ++x) image.at(x, y) = pixel;
  }
  return image;
}

TestImage CrossGlyph(int size) {
  TestImage image(size, size, 0x00000000);
  for (int i = 1; i < size - 1; ++i) {
    image.at(i, i) = 0xFFFFFFFF;
    image.at(size - 1 - i, i) = 0xC0FFFFFF;
  }
  return image;
}

// A 1024 x 1024 image with alpha and enough detail that it does not compress to nothing.
TestImage LargeImage() {
  TestImage image(1024, 1024);
  uint32_t seed = 12345;
  for (int y = 0; y < 1024; ++y) {
    for (int x = 0; x < 1024; ++x) {
      seed = seed * 1103515245 + 12345;
      const uint32_t noise = (seed >> 16) & 0x1F;
      image.at(x, y) = (static_cast<uint32_t>(128 + (x + y) % 128) << 24) |
                       ((x & 0xFF) << 16) | (((y + noise) & 0xFF) << 8) | ((x ^ y) & 0xFF);
    }
  }
  return image;
}

class Bench {
 public:
  Bench() : m_folder(L"render-bench-skin") {
    CWindowHostUI::SetModuleInstance(GetModuleHandleW(nullptr));
    m_hWnd = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 620, 240, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    m_host.AttachWindow(m_hWnd);
    m_host.SetDefaultFont(L"Tahoma", 14, false, false, false);
    m_host.RegisterFont(2, L"Tahoma", 16, true, false, false);
    CWindowHostUI::SetImageLoader(&CSkinRenderer::LoadSkinImage);
    CWindowHostUI::SetSkinFolder(m_folder.path().c_str());
    CreateDirectoryW((m_folder / L"installation").c_str(), nullptr);
    CreateDirectoryW((m_folder / L"common").c_str(), nullptr);
    Write(L"installation\\bkimage.png", VerticalGradient(55, 80, 0xFF3498E3, 0xFF1A87D9), false);
    Write(L"installation\\btn_close_normal.png", CrossGlyph(16), true);
    Write(L"common\\btn_gray_normal.png", VerticalGradient(16, 31, 0xFFF8F8F8, 0xFFDCDCDC), false);
    TestImage translucentButton = VerticalGradient(16, 31, 0xFF90CAF6, 0xFF1A87D8);
    for (uint32_t& pixel : translucentButton.pixels) pixel = (pixel & 0x00FFFFFF) | 0xE0000000;
    Write(L"common\\btn_blue_alpha.png", translucentButton, true);
    Write(L"smile.png", CrossGlyph(16), true);
  }
  ~Bench() { DestroyWindow(m_hWnd); }

  void Write(const wchar_t* name, const TestImage& image, bool alpha) {
    testing_support::WriteFileBytes(m_folder / name, testing_support::EncodePng(image, alpha));
  }

  // One paint of the main window's background layers.
  void PaintBackground(DibCanvas& canvas) {
    const RECT window = {0, 0, 620, 240};
    CSkinRenderer::FillColor(canvas.dc(), window, 0xFFFFFFFF);
    const RECT titleBar = {0, 0, 620, 48};
    CSkinRenderer::RenderImage(canvas.dc(), &m_host, titleBar, window, m_titleBar);
    const RECT close = {584, 16, 600, 32};
    CSkinRenderer::RenderImage(canvas.dc(), &m_host, close, window, m_close);
    const RECT progress = {172, 80, 353, 112};  // half of the 362-pixel bar
    CSkinRenderer::RenderImage(canvas.dc(), &m_host, progress, window, m_progress);
    const RECT progressBorder = {172, 80, 534, 112};
    CSkinRenderer::StrokeRoundRect(canvas.dc(), progressBorder, 1, 2, 2, 0xFF999999);
    CSkinRenderer::StrokeRect(canvas.dc(), window, 1, 0xFFF5F5F5);
  }

  void Run(int repetitions) {
    m_titleBar.sAttribute = L"installation/bkimage.png";
    m_close.sAttribute = L"installation\\btn_close_normal.png";
    m_progress.sAttribute = L"installation\\bkimage.png";
    m_button.sAttribute = L"file='common\\btn_gray_normal.png' corner='4,4,4,4'";
    m_blendedButton.sAttribute = L"file='common\\btn_blue_alpha.png' corner='4,4,4,4'";
    m_fadedButton.sAttribute = L"file='common\\btn_gray_normal.png' corner='4,4,4,4' fade='200'";

    DibCanvas canvas(620, 240, 0xFFFFFFFF);
    const RECT window = {0, 0, 620, 240};
    const RECT button = {509, 192, 579, 222};
    std::printf("figure                                         platform ms  software ms\n");
    for (int path = 0; path < 2; ++path) {
      const bool platform = path == 0;
      SkinUI::RenderBlend::UsePlatformServices(platform, platform);
      m_results[path][0] = BestMs(repetitions, 1000, [&] { PaintBackground(canvas); });
      m_results[path][1] = BestMs(repetitions, 1000, [&] {
        CSkinRenderer::RenderImage(canvas.dc(), &m_host, button, window, m_button);
      });
      m_results[path][2] = BestMs(repetitions, 1000, [&] {
        CSkinRenderer::RenderImage(canvas.dc(), &m_host, button, window, m_blendedButton);
      });
      m_results[path][3] = BestMs(repetitions, 1000, [&] {
        CSkinRenderer::RenderImage(canvas.dc(), &m_host, button, window, m_fadedButton);
      });
      m_results[path][4] = BestMs(repetitions, 1000, [&] {
        CSkinRenderer::RenderImage(canvas.dc(), &m_host, RECT{584, 16, 600, 32}, window, m_close);
      });
      m_results[path][5] = BestMs(repetitions, 100, [&] {
        CSkinRenderer::FillGradient(canvas.dc(), RECT{0, 0, 620, 48}, 0xFF3498E3, 0x801A87D9, true,
                                    64);
      });
      m_results[path][6] = BestMs(repetitions, 100, [&] {
        CSkinRenderer::FillGradient(canvas.dc(), RECT{0, 0, 620, 48}, 0xFF3498E3, 0xFF1A87D9, true,
                                    64);
      });
      m_results[path][7] = BestMs(repetitions, 100, [&] {
        CSkinRenderer::FillColor(canvas.dc(), window, 0x80202020);
      });
      m_results[path][8] = BestMs(repetitions, 100, [&] {
        CSkinRenderer::FillColor(canvas.dc(), window, 0x80FFFFFF);
      });
    }
    SkinUI::RenderBlend::UsePlatformServices(true, true);
    const char* names[] = {"main window background x1000",
                           "nine-part button (opaque, copied) x1000",
                           "nine-part button (per-pixel alpha) x1000",
                           "nine-part button (fade 200) x1000",
                           "close glyph 16x16 (alpha) x1000",
                           "translucent gradient 620x48 x100",
                           "opaque gradient 620x48 x100",
                           "translucent dark fill 620x240 x100",
                           "translucent bright fill 620x240 x100 (*)"};
    for (int i = 0; i < kFigures; ++i) {
      std::printf("%-46s %11.1f %12.1f\n", names[i], m_results[0][i], m_results[1][i]);
    }

    std::printf("(*) colour channels above the alpha always take the software blend\n");
    // The background's one blended layer is the close glyph.
    std::printf("blended share of the background: platform %.0f%%, software %.0f%%\n",
                100.0 * m_results[0][4] / m_results[0][0], 100.0 * m_results[1][4] / m_results[1][0]);

    RunText(repetitions, canvas);
    RunLoad(repetitions);
  }

  void RunText(int repetitions, DibCanvas& canvas) {
    std::wstring text;
    for (int i = 0; i < 14; ++i) {
      text += L"<b>Quillmere</b> keeps your files in step across every device; ";
      text += L"<c #FF1A87D9>downloaded</c> <f 2>12.5 MB</f> of <u>40 MB</u>, ";
      text += L"<a details>details</a> <i smile.png> and <x 4>more words to wrap the line. ";
    }
    RECT links[64];
    SkinUI::CUIString targets[64];
    const double draw = BestMs(repetitions, 20, [&] {
      RECT rc = {0, 0, 620, 240};
      int count = 64;
      CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, text.c_str(), 0xFF333333, links,
                                      targets, count, DT_WORDBREAK);
    });
    const double measure = BestMs(repetitions, 20, [&] {
      RECT rc = {0, 0, 620, 240};
      int count = 64;
      CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, text.c_str(), 0xFF333333, links,
                                      targets, count, DT_WORDBREAK | DT_CALCRECT);
    });
    RECT measured = {0, 0, 620, 240};
    int count = 64;
    CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, measured, text.c_str(), 0xFF333333,
                                    links, targets, count, DT_WORDBREAK | DT_CALCRECT);
    std::printf("tagged text filling 620x240 (%d characters, %ld px tall measured):\n",
                static_cast<int>(text.size()), measured.bottom);
    std::printf("  draw %.2f ms, measure only %.2f ms per call\n", draw / 20, measure / 20);
  }

  void RunLoad(int repetitions) {
    const std::string png = testing_support::EncodePng(LargeImage());
    testing_support::WriteFileBytes(m_folder / L"large.png", png);
    double best = 1e300, bestDecode = 1e300;
    for (int r = 0; r < std::max(repetitions, 3); ++r) {
      double start = NowMs();
      SkinUI::LoadedImage* image = CSkinRenderer::LoadSkinImage(L"large.png", nullptr, 0);
      best = std::min(best, NowMs() - start);
      CSkinRenderer::FreeSkinImage(image);
      start = NowMs();
      image = CSkinRenderer::DecodeSkinImage(png.data(), static_cast<DWORD>(png.size()), 0);
      bestDecode = std::min(bestDecode, NowMs() - start);
      CSkinRenderer::FreeSkinImage(image);
    }
    std::printf("load 1024x1024 PNG (%u bytes): from the skin folder %.1f ms, from memory %.1f ms\n",
                static_cast<unsigned>(png.size()), best, bestDecode);
  }

 private:
  testing_support::ScratchFolder m_folder;
  HWND m_hWnd = nullptr;
  CWindowHostUI m_host;
  ImageDrawInfo m_titleBar, m_close, m_progress, m_button, m_blendedButton, m_fadedButton;
  static const int kFigures = 9;
  double m_results[2][kFigures] = {};
};

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  Bench bench;
  bench.Run(repetitions);
  return 0;
}
