// Snapshots of a host window's picture: the off-screen image as painted, or the tree painted up
// to a stop control, with a colour laid over.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Core/UIContainer.h"
#include "Core/UIRender.h"
#include "HostPaintFixture.h"
#include "support/DibCanvas.h"

namespace {

using namespace SkinUI;

const RECT kChild = {40, 20, 80, 60};
const RECT kArea = {30, 10, 100, 70};

class RenderSnapshotTest : public host_paint_testing::HostPaintTest {
 protected:
  void SetUp() override {
    HostPaintTest::SetUp();
    CContainerUI* pRoot = new CContainerUI;
    pRoot->SetBkColor(0xFFFF0000);
    m_pChild = new CControlUI;
    m_pChild->SetBkColor(0xFF0000FF);
    m_pChild->SetFloat(true);
    m_pChild->SetFixedOrigin(kChild.left, kChild.top);
    m_pChild->SetFixedWidth(kChild.right - kChild.left);
    m_pChild->SetFixedHeight(kChild.bottom - kChild.top);
    pRoot->AddItem(m_pChild);
    m_host.AttachRoot(pRoot);
    PaintPending();
  }
  // The snapshot's pixels, rows top to bottom; the bitmap is deleted.
  static std::vector<uint32_t> Pixels(HBITMAP hBitmap, int cx, int cy) {
    std::vector<uint32_t> pixels = testing_support::ReadBitmapPixels(hBitmap, cx, cy);
    ::DeleteObject(hBitmap);
    return pixels;
  }
  uint32_t At(const std::vector<uint32_t>& snap, int x, int y) const {
    return snap[static_cast<size_t>(y - kArea.top) * (kArea.right - kArea.left) + (x - kArea.left)] &
           0x00FFFFFF;
  }

  CControlUI* m_pChild = nullptr;
};

TEST_F(RenderSnapshotTest, WithoutAStopControlTheSnapshotIsTheHostsImage) {
  const std::vector<uint32_t> screen = ReadOffscreen();
  ASSERT_FALSE(screen.empty());
  HBITMAP hSnapshot = CSkinRenderer::RenderSnapshot(&m_host, kArea, nullptr, 0x00FFFFFF);
  ASSERT_NE(hSnapshot, nullptr);
  const std::vector<uint32_t> snap = Pixels(hSnapshot, 70, 60);
  ASSERT_EQ(snap.size(), 70u * 60u);
  int nDifferent = 0;
  for (int y = kArea.top; y < kArea.bottom; ++y) {
    for (int x = kArea.left; x < kArea.right; ++x) {
      nDifferent += At(snap, x, y) != (OffscreenAt(screen, x, y) & 0x00FFFFFF) ? 1 : 0;
    }
  }
  EXPECT_EQ(nDifferent, 0);
  EXPECT_EQ(At(snap, 50, 30), 0x0000FFu);
}

TEST_F(RenderSnapshotTest, AStopControlEndsThePaintingAndAColourIsLaidOver) {
  const std::vector<uint32_t> stopped =
      Pixels(CSkinRenderer::RenderSnapshot(&m_host, kArea, m_pChild, 0), 70, 60);
  ASSERT_FALSE(stopped.empty());
  EXPECT_EQ(At(stopped, 50, 30), 0xFF0000u) << "what lies under the stop control";
  EXPECT_EQ(At(stopped, 35, 65), 0xFF0000u);

  const std::vector<uint32_t> tinted =
      Pixels(CSkinRenderer::RenderSnapshot(&m_host, kArea, nullptr, 0xFF00FF00), 70, 60);
  ASSERT_FALSE(tinted.empty());
  EXPECT_EQ(At(tinted, 50, 30), 0x00FF00u);
  EXPECT_EQ(CSkinRenderer::RenderSnapshot(nullptr, kArea, nullptr, 0), nullptr);
}

}  // namespace
