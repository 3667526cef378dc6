// Window shadow regeneration timings on a resize:
//   - the generated shadow of a 620 x 240 window with rounded corners (size 4, sharpness 5,
//     darkness 150);
//   - the image shadow drawn from a 246 x 173 nine-part image with corners 23,13,23,33.
// For each: the pixel work alone, a whole regeneration (bitmap, drawing, placing the shadow
// window and the layered-window update), and a resize by one pixel (a shrink regenerates at
// once, the following growth at the window's next paint).
//   bench_shadow.exe [rounds, default 200] [folder for PNG pictures]
// The pictures: each shadow's bitmap (straight alpha, and composed over white) and what the
// screen shows of each over a white window.
// Figures are milliseconds per call, the best of three runs of `rounds` calls.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Control/UIControlCatalog.h"
#include "support/BenchTiming.h"
#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UIRenderSurface.h"
#include "ShadowTestImage.h"
#include "Utils/UIShadow.h"
#include "Utils/UIShadowBitmap.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"

using SkinUI::CShadowUI;
using SkinUI::CWindowHostUI;
using shadow_testing::ShadowImageShape;

namespace {

const int kWindowWidth = 620, kWindowHeight = 240;

// Per call, the best of three runs of `rounds` calls.
double BestMsPerCall(int rounds, const std::function<void()>& work) {
  return bench_timing::BestMs(3, rounds, work) / rounds;
}

// The last image a shadow presented, kept for the pictures.
struct Presented {
  int cx = 0, cy = 0;
  std::vector<DWORD> pixels;
  int count = 0;
};
Presented g_presented;
void Record(HWND, const DWORD* pPixels, int cx, int cy) {
  g_presented.cx = cx;
  g_presented.cy = cy;
  g_presented.pixels.assign(pPixels, pPixels + static_cast<size_t>(cx) * cy);
  ++g_presented.count;
}

// Premultiplied pixels back to straight alpha, and the same composed over white (what the shadow
// looks like on a white desktop).
void WritePictures(const std::wstring& folder, const wchar_t* name) {
  testing_support::TestImage straight(g_presented.cx, g_presented.cy, 0);
  testing_support::TestImage onWhite(g_presented.cx, g_presented.cy, 0xFFFFFFFF);
  for (int y = 0; y < g_presented.cy; ++y) {
    for (int x = 0; x < g_presented.cx; ++x) {
      const DWORD p = g_presented.pixels[static_cast<size_t>(y) * g_presented.cx + x];
      const DWORD a = p >> 24;
      DWORD straightPixel = a << 24, whitePixel = 0xFF000000;
      for (int shift = 0; shift < 24; shift += 8) {
        const DWORD c = (p >> shift) & 0xFF;
        if (a != 0) straightPixel |= std::min<DWORD>(255, c * 255 / a) << shift;
        whitePixel |= (c + 255 * (255 - a) / 255) << shift;
      }
      straight.at(x, y) = straightPixel;
      onWhite.at(x, y) = whitePixel;
    }
  }
  testing_support::WriteFileBytes(folder + L"\\" + name + L".png",
                                  testing_support::EncodePng(straight));
  testing_support::WriteFileBytes(folder + L"\\" + name + L"_on_white.png",
                                  testing_support::EncodePng(onWhite, false));
}

class Bench {
 public:
  Bench() : m_folder(L"shadow-bench-skin") {
    CWindowHostUI::SetModuleInstance(GetModuleHandleW(nullptr));
    CWindowHostUI::SetImageLoader(&SkinUI::CSkinRenderer::LoadSkinImage);
    CWindowHostUI::SetSkinFolder(m_folder.path().c_str());
    testing_support::WriteFileBytes(m_folder / L"shadow.png",
                                    testing_support::EncodePng(ShadowImageShape::Image()));
    CShadowUI::SetPresentObserver(&Record);
  }

  void Run(int rounds, const std::wstring& pictures) {
    std::printf("figure                                              ms per call\n");
    RunGenerated(rounds);
    if (!pictures.empty()) WritePictures(pictures, L"shadow_generated");
    RunImage(rounds);
    if (!pictures.empty()) WritePictures(pictures, L"shadow_image");
  }

  // What the screen shows of either shadow over a white window (read back from the screen).
  void CaptureScreens(const std::wstring& folder) {
    HWND hBackdrop = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | SS_WHITERECT, 40, 40,
                                     kWindowWidth + 120, kWindowHeight + 120, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hBackdrop, SW_SHOWNOACTIVATE);
    {
      ShadowedWindow window([](CShadowUI& shadow) { UseGeneratedSettings(shadow); }, true);
      CaptureScreen(folder + L"\\screen_generated.png");
    }
    {
      ShadowedWindow window([](CShadowUI& shadow) { UseImageSettings(shadow); }, false);
      CaptureScreen(folder + L"\\screen_image.png");
    }
    DestroyWindow(hBackdrop);
  }

 private:
  // A shown window of the installer's size with its own host, whose shadow is set up by `setup`.
  struct ShadowedWindow {
    HWND hWnd = nullptr;
    CWindowHostUI host;
    explicit ShadowedWindow(const std::function<void(CShadowUI&)>& setup, bool bRounded) {
      hWnd = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 100, 100, kWindowWidth,
                             kWindowHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
      if (bRounded) {
        SetWindowRgn(hWnd, CreateRoundRectRgn(0, 0, kWindowWidth + 1, kWindowHeight + 1, 10, 10),
                     TRUE);
      }
      ShowWindow(hWnd, SW_SHOWNOACTIVATE);
      host.AttachWindow(hWnd);
      setup(*SkinUI::CShadowUI::OfHost(host));
      SkinUI::CShadowUI::OfHost(host)->EnableShadow(true);
      host.AttachRoot(new SkinUI::CControlUI);
    }
    ~ShadowedWindow() { DestroyWindow(hWnd); }
    // Shrinks by one pixel (regenerated at once), grows back and paints (regenerated then).
    void ResizeTwice() {
      const int nBefore = g_presented.count;
      SetWindowPos(hWnd, nullptr, 0, 0, kWindowWidth - 1, kWindowHeight - 1,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      SetWindowPos(hWnd, nullptr, 0, 0, kWindowWidth, kWindowHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(hWnd, nullptr, FALSE);
      UpdateWindow(hWnd);
      // As a message loop would: the display's events for the two resizes are taken in.
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      if (g_presented.count - nBefore != 2) std::printf("  (a resize pair regenerated %d times)\n",
                                                         g_presented.count - nBefore);
    }
  };

  static void UseGeneratedSettings(CShadowUI& shadow) {
    shadow.SetShadowSize(kGeneratedSize);
    shadow.SetShadowSharpness(5);
    shadow.SetShadowDarkness(150);
  }
  static void UseImageSettings(CShadowUI& shadow) {
    typedef ShadowImageShape Png;
    shadow.SetShadowImage(L"shadow.png");
    shadow.SetShadowCorner(
        RECT{Png::kCornerLeft, Png::kCornerTop, Png::kCornerRight, Png::kCornerBottom});
  }

  // The screen around the window after a moment of message handling.
  static void CaptureScreen(const std::wstring& path) {
    const DWORD dwStart = GetTickCount();
    MSG msg;
    while (GetTickCount() - dwStart < 500) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(10);
    }
    const int cx = kWindowWidth + 120, cy = kWindowHeight + 120;
    SkinUI::DibSurface surface;
    surface.Create(nullptr, cx, cy);
    HDC hScreen = GetDC(nullptr);
    BitBlt(surface.DC(), 0, 0, cx, cy, hScreen, 40, 40, SRCCOPY);
    ReleaseDC(nullptr, hScreen);
    GdiFlush();
    testing_support::TestImage image(cx, cy);
    for (int y = 0; y < cy; ++y) {
      for (int x = 0; x < cx; ++x) image.at(x, y) = surface.Row(y)[x] | 0xFF000000;
    }
    testing_support::WriteFileBytes(path, testing_support::EncodePng(image, false));
  }

  void RunGenerated(int rounds) {
    const int S = kGeneratedSize;
    const SkinUI::GeneratedShadowStyle style = {S, 5, 150, 0, 0, 0};
    HRGN hRgn = CreateRoundRectRgn(0, 0, kWindowWidth + 1, kWindowHeight + 1, 10, 10);
    SkinUI::DibSurface surface;
    surface.Create(nullptr, kWindowWidth + 2 * S, kWindowHeight + 2 * S);
    const size_t cbPixels = static_cast<size_t>(surface.Width()) * surface.Height() * 4;
    const double pixels = BestMsPerCall(rounds, [&] {
      std::memset(surface.Row(0), 0, cbPixels);
      SkinUI::MakeShadow(surface.Row(0), kWindowWidth, kWindowHeight, hRgn, style);
    });
    DeleteObject(hRgn);

    ShadowedWindow window(&UseGeneratedSettings, true);
    const double whole =
        BestMsPerCall(rounds, [&] { SkinUI::CShadowUI::OfHost(window.host)->Regenerate(window.hWnd); });
    const double resize = BestMsPerCall(rounds, [&] { window.ResizeTwice(); }) / 2;
    std::printf("generated, 620x240 window with a region (628x248):\n");
    std::printf("  pixels only (spans, erosion, kernel, core)        %8.3f\n", pixels);
    std::printf("  whole regeneration                                %8.3f\n", whole);
    std::printf("  one resize of the window (per regeneration)       %8.3f\n", resize);
  }

  void RunImage(int rounds) {
    typedef ShadowImageShape Png;
    const RECT rcCorner = {Png::kCornerLeft, Png::kCornerTop, Png::kCornerRight,
                           Png::kCornerBottom};
    ShadowedWindow window(&UseImageSettings, false);
    const SkinUI::LoadedImage* pImage = window.host.LookupImage(L"shadow.png");
    if (pImage == nullptr) {
      std::printf("image shadow: shadow.png did not load\n");
      return;
    }
    const int cx = kWindowWidth + rcCorner.left + rcCorner.right;
    const int cy = kWindowHeight + rcCorner.top + rcCorner.bottom;
    SkinUI::DibSurface surface;
    surface.Create(nullptr, cx, cy);
    const RECT rcDest = {0, 0, cx, cy};
    const RECT rcSource = {0, 0, pImage->nWidth, pImage->nHeight};
    const double pixels = BestMsPerCall(rounds, [&] {
      std::memset(surface.Row(0), 0, static_cast<size_t>(cx) * cy * 4);
      SkinUI::CSkinRenderer::RenderBitmap(surface.DC(), pImage->hBitmap, rcDest, rcDest, rcSource,
                                          rcCorner, pImage->bAlpha, 255, true);
    });
    const double whole =
        BestMsPerCall(rounds, [&] { SkinUI::CShadowUI::OfHost(window.host)->Regenerate(window.hWnd); });
    const double resize = BestMsPerCall(rounds, [&] { window.ResizeTwice(); }) / 2;
    std::printf("image, 246x173 nine-part image around 620x240 (666x286):\n");
    std::printf("  nine-part drawing only                            %8.3f\n", pixels);
    std::printf("  whole regeneration                                %8.3f\n", whole);
    std::printf("  one resize of the window (per regeneration)       %8.3f\n", resize);
  }

  static const int kGeneratedSize = 4;
  testing_support::ScratchFolder m_folder;
};

}  // namespace

int main(int argc, char** argv) {
  SkinUI::RegisterAllControls();
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  std::wstring pictures;
  if (argc > 2) {
    const std::string folder = argv[2];
    pictures.assign(folder.begin(), folder.end());
  }
  Bench bench;
  bench.Run(rounds, pictures);
  if (!pictures.empty()) bench.CaptureScreens(pictures);
  return 0;
}
