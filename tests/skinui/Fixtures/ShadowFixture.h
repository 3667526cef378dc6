#pragma once
// A shown host window with a shadow, and a record of every image the shadow hands to its layered
// window (the layered window itself cannot be read back).

#include <cstdint>
#include <vector>

#include "HostPaintFixture.h"
#include "Utils/UIShadow.h"

namespace shadow_testing {

// The last image presented by any shadow, and how many have been presented.
struct PresentedImage {
  HWND hWnd = nullptr;
  int cx = 0;
  int cy = 0;
  std::vector<uint32_t> pixels;  // top-down 0xAARRGGBB, premultiplied
  int count = 0;

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * cx + x]; }
  int AlphaAt(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
  // Pixels in [left, right) x [top, bottom) that are not fully transparent.
  int CountVisible(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) n += At(x, y) != 0 ? 1 : 0;
    }
    return n;
  }
};

class ShadowTest : public host_paint_testing::HostPaintTest {
 protected:
  static PresentedImage& Presented() {
    static PresentedImage image;
    return image;
  }
  static void Record(HWND hWnd, const DWORD* pPixels, int cx, int cy) {
    PresentedImage& image = Presented();
    image.hWnd = hWnd;
    image.cx = cx;
    image.cy = cy;
    image.pixels.assign(pPixels, pPixels + static_cast<size_t>(cx) * cy);
    ++image.count;
  }

  void SetUp() override {
    HostPaintTest::SetUp();
    Presented() = PresentedImage();
    SkinUI::CShadowUI::SetPresentObserver(&Record);
    ::SetWindowPos(m_hWnd, nullptr, kLeft, kTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void TearDown() override {
    SkinUI::CShadowUI::SetPresentObserver(nullptr);
    HostPaintTest::TearDown();
  }

  SkinUI::CShadowUI& Shadow() { return *SkinUI::CShadowUI::OfHost(m_host); }
  HWND ShadowWindow() { return Shadow().GetShadowWindow(); }
  // Enables the shadow and attaches a tree, which starts the shadow.
  void AttachWithShadow() {
    Shadow().EnableShadow(true);
    AttachRecordingRoot();
  }
  RECT ShadowRect() {
    RECT rc = {};
    ::GetWindowRect(ShadowWindow(), &rc);
    return rc;
  }
  RECT WindowRect() const {
    RECT rc = {};
    ::GetWindowRect(m_hWnd, &rc);
    return rc;
  }
  // Rounded corners: the window gets a region.
  void RoundWindow() {
    ::SetWindowRgn(m_hWnd, ::CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 10, 10), TRUE);
  }

  static const int kLeft = 200;
  static const int kTop = 150;
};

using host_paint_testing::SameRect;

inline RECT Inflated(RECT rc, int l, int t, int r, int b) {
  return RECT{rc.left - l, rc.top - t, rc.right + r, rc.bottom + b};
}

}  // namespace shadow_testing
