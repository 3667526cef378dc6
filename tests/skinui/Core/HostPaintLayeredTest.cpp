// Layered windows: the host presents its off-screen image with per-pixel alpha, collects invalid
// areas itself and repaints them from its 10 ms timer; and painting of either kind holds on to no
// GDI objects.

#include "HostPaintFixture.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"
#include "support/TestFiles.h"

namespace host_paint_testing {
namespace {

class LayeredPaintTest : public HostPaintTest {
 protected:
  LayeredPaintTest() : m_folder(L"layered-skin") {}
  void SetUp() override {
    HostPaintTest::SetUp();
    SkinUI::CWindowHostUI::SetImageLoader(&SkinUI::CSkinRenderer::LoadSkinImage);
    SkinUI::CWindowHostUI::UseSkinArchive(L"", true);
    SkinUI::CWindowHostUI::SetSkinFolder(m_folder.path().c_str());
  }
  void TearDown() override {
    SkinUI::CWindowHostUI::SetSkinFolder(L"");
    m_host.RemoveAllImages(true);
    HostPaintTest::TearDown();
  }
  // A window-sized mask: transparent left half, opaque right half.
  void WriteHalfMask() {
    testing_support::TestImage mask(kWidth, kHeight, 0xFFFFFFFF);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth / 2; ++x) mask.at(x, y) = 0x00FFFFFF;
    }
    ASSERT_TRUE(testing_support::WriteFileBytes(m_folder / L"mask.png",
                                                testing_support::EncodePng(mask)));
  }
  // A layered window masked by the half mask over a root filled with 0xFF2060A0, shown; its
  // off-screen image.
  std::vector<uint32_t> ShowHalfMaskedWindow() {
    WriteHalfMask();
    m_host.SetLayered(true);
    m_host.SetLayeredImage(L"mask.png");
    AttachRecordingRoot(0xFF2060A0);
    PumpFor(150);
    return ReadOffscreen();
  }

  testing_support::ScratchFolder m_folder;
};

TEST_F(LayeredPaintTest, LayeredWindowShowsTheTreeWithOpaqueAlpha) {
  m_host.SetLayered(true);
  ASSERT_TRUE(m_host.IsLayered());
  EXPECT_NE(::GetWindowLongW(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  RecordingRoot* pRoot = AttachRecordingRoot(0xFF2060A0);
  PumpFor(150);

  ASSERT_FALSE(m_journal.paints.empty()) << "the layered timer paints without an update region";
  std::vector<uint32_t> pixels = ReadOffscreen();
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(OffscreenAt(pixels, 3, 3), 0xFF2060A0u);
  EXPECT_EQ(OffscreenAt(pixels, kWidth - 1, kHeight - 1), 0xFF2060A0u);

  // Where the tree draws nothing this time, the window is see-through, not the old picture.
  pRoot->SetFillQuietly(0);
  RECT rcDirty = {0, 0, 20, 10};
  m_host.Invalidate(rcDirty);
  PumpFor(100);
  pixels = ReadOffscreen();
  EXPECT_EQ(OffscreenAt(pixels, 5, 5), 0x00000000u);
  EXPECT_EQ(OffscreenAt(pixels, 25, 5), 0xFF2060A0u);
}

TEST_F(LayeredPaintTest, MaskAlphaOfZeroMakesThePixelTransparent) {
  const std::vector<uint32_t> pixels = ShowHalfMaskedWindow();
  ASSERT_FALSE(pixels.empty());
  EXPECT_EQ(OffscreenAt(pixels, 0, 0), 0x00000000u);
  EXPECT_EQ(OffscreenAt(pixels, kWidth / 2 - 1, kHeight - 1), 0x00000000u);
  EXPECT_EQ(OffscreenAt(pixels, kWidth / 2, 0), 0xFF2060A0u);
  EXPECT_EQ(OffscreenAt(pixels, kWidth - 1, kHeight - 1), 0xFF2060A0u);
}

// A printed picture of a layered window carries the alpha the window is presented with.
TEST_F(LayeredPaintTest, APrintedLayeredWindowMatchesTheImageItPresents) {
  const std::vector<uint32_t> pixels = ShowHalfMaskedWindow();
  ASSERT_FALSE(pixels.empty());
  testing_support::DibCanvas picture(kWidth, kHeight);
  ASSERT_TRUE(::PrintWindow(m_hWnd, picture.dc(), 0));
  for (const POINT& pt : {POINT{0, 0}, POINT{kWidth / 2 - 1, kHeight - 1}, POINT{kWidth / 2, 0},
                          POINT{kWidth - 1, kHeight - 1}}) {
    EXPECT_EQ(picture.At(pt.x, pt.y), OffscreenAt(pixels, pt.x, pt.y)) << pt.x << "," << pt.y;
  }
}

TEST_F(LayeredPaintTest, InvalidationWaitsForTheTimerAndRepaintsOnlyTheDirtyArea) {
  AttachRecordingRoot();
  m_host.SetLayered(true);
  PumpFor(100);
  const size_t nPaints = m_journal.paints.size();
  ASSERT_GT(nPaints, 0u);
  PumpFor(60);
  EXPECT_EQ(m_journal.paints.size(), nPaints) << "nothing dirty, nothing painted";

  RECT rcDirty = {-10, -4, 30, 20};
  m_host.Invalidate(rcDirty);
  RECT rcUpdate;
  EXPECT_FALSE(::GetUpdateRect(m_hWnd, &rcUpdate, FALSE)) << "the window manager is not involved";
  PumpFor(100);
  ASSERT_EQ(m_journal.paints.size(), nPaints + 1);
  EXPECT_TRUE(SameRect(m_journal.paints.back(), RECT{0, 0, 30, 20}));
}

TEST_F(LayeredPaintTest, NativeChildWindowsAreDrawnOpaquelyIntoTheLayeredImage) {
  m_host.SetLayered(true);
  RecordingRoot* pRoot = AttachRecordingRoot(0xFF2060A0);
  HWND hChild = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_WHITERECT, 30, 20,
                                  20, 10, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(hChild, nullptr);
  EXPECT_TRUE(m_host.TrackNativeWindow(pRoot, hChild));
  EXPECT_FALSE(m_host.TrackNativeWindow(pRoot, hChild)) << "listed once";
  PumpFor(150);

  std::vector<uint32_t> pixels = ReadOffscreen();
  ASSERT_FALSE(pixels.empty());
  const uint32_t dwInside = OffscreenAt(pixels, 40, 25);
  EXPECT_EQ(dwInside >> 24, 0xFFu);
  EXPECT_NE(dwInside, 0xFF2060A0u) << "the child's own drawing shows";
  EXPECT_EQ(OffscreenAt(pixels, 29, 25), 0xFF2060A0u);
  EXPECT_EQ(OffscreenAt(pixels, 50, 25), 0xFF2060A0u);

  // A child destroyed behind the host's back is dropped at the next paint.
  ::DestroyWindow(hChild);
  m_host.Invalidate();
  PumpFor(100);
  EXPECT_FALSE(m_host.UntrackNativeWindow(hChild));
  pixels = ReadOffscreen();
  EXPECT_EQ(OffscreenAt(pixels, 40, 25), 0xFF2060A0u);
}

TEST_F(LayeredPaintTest, ChildWindowCannotBecomeLayered) {
  SkinUI::CWindowHostUI childHost;
  HWND hChild = CreateHostWindow(m_hWnd, WS_CHILD, 10, 10, 40, 30, &childHost);
  ASSERT_NE(hChild, nullptr);
  childHost.AttachWindow(hChild);
  childHost.SetLayered(true);
  EXPECT_FALSE(childHost.IsLayered());
  EXPECT_EQ(::GetWindowLongW(hChild, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  ::DestroyWindow(hChild);
}

TEST_F(LayeredPaintTest, ConstantOpacityEndsPerPixelMode) {
  m_host.SetLayered(true);
  m_host.SetOpacity(200);
  EXPECT_FALSE(m_host.IsLayered());
  EXPECT_EQ(m_host.GetOpacity(), 200);
  BYTE uAlpha = 0;
  DWORD dwFlags = 0;
  ASSERT_TRUE(::GetLayeredWindowAttributes(m_hWnd, nullptr, &uAlpha, &dwFlags));
  EXPECT_EQ(uAlpha, 200);
  EXPECT_NE(dwFlags & LWA_ALPHA, 0u);
}

// Repeated paints, size changes and mode switches leave the process with the GDI objects it had.
TEST_F(LayeredPaintTest, PaintingHoldsOnToNoGdiObjects) {
  WriteHalfMask();
  RecordingRoot* pRoot = AttachRecordingRoot();
  m_host.SetShowUpdateRect(true);
  PaintPending();
  m_host.SetLayered(true);
  m_host.SetLayeredImage(L"mask.png");
  PumpFor(50);
  m_host.SetLayered(false);
  PaintPending();
  const int nBefore = LiveGdiObjects();
  ASSERT_GT(nBefore, 0);

  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 100; ++i) {
      RECT rc = {i % 50, i % 30, i % 50 + 20, i % 30 + 20};
      m_host.Invalidate(rc);
      PaintPending();
    }
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth + 10 * round, kHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pRoot->RequestLayout();
    PaintPending();
    m_host.SetLayered(true);
    for (int i = 0; i < 50; ++i) {
      RECT rc = {i, i, i + 10, i + 10};
      m_host.Invalidate(rc);
      ::SendMessageW(m_hWnd, WM_PAINT, 0, 0);
    }
    m_host.SetLayered(false);
    PaintPending();
  }
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth, kHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  pRoot->RequestLayout();
  PaintPending();
  EXPECT_EQ(LiveGdiObjects(), nBefore);
}

}  // namespace
}  // namespace host_paint_testing
