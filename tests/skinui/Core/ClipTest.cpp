// CSkinClip: painting restricted to a rectangle or a rounded rectangle, and put back afterwards.

#include <gtest/gtest.h>

#include "Core/UIRender.h"
#include "support/DibCanvas.h"

using SkinUI::CSkinClip;
using SkinUI::CSkinRenderer;
using testing_support::DibCanvas;

namespace {

const uint32_t kBackground = 0xFF000000;
const uint32_t kPaint = 0xFFFFFFFF;

void PaintEverything(DibCanvas& canvas) {
  const RECT all = {0, 0, canvas.width(), canvas.height()};
  CSkinRenderer::FillColor(canvas.dc(), all, kPaint);
}

int PaintedCount(const DibCanvas& canvas) {
  return canvas.width() * canvas.height() -
         canvas.CountOtherThan(kPaint, 0, 0, canvas.width(), canvas.height());
}

// Clears the canvas, paints all of it under the clip in force and counts what took the paint.
int RepaintedCount(DibCanvas& canvas) {
  canvas.Fill(kBackground);
  PaintEverything(canvas);
  return PaintedCount(canvas);
}

TEST(ClipTest, PaintingInsideARectangleClipStaysInIt) {
  DibCanvas canvas(20, 20, kBackground);
  {
    CSkinClip clip;
    const RECT rc = {4, 5, 12, 9};
    CSkinClip::ClipToRect(canvas.dc(), rc, clip);
    PaintEverything(canvas);
  }
  EXPECT_EQ(canvas.CountOtherThan(kPaint, 4, 5, 12, 9), 0);
  EXPECT_EQ(PaintedCount(canvas), 8 * 4);
}

TEST(ClipTest, TheClipIsLiftedWhenTheObjectGoes) {
  DibCanvas canvas(20, 20, kBackground);
  {
    CSkinClip clip;
    const RECT rc = {4, 5, 12, 9};
    CSkinClip::ClipToRect(canvas.dc(), rc, clip);
  }
  EXPECT_EQ(RepaintedCount(canvas), 400);
}

TEST(ClipTest, NestedClipsIntersectAndRestoreTheOuterOne) {
  DibCanvas canvas(20, 20, kBackground);
  CSkinClip outer;
  const RECT rcOuter = {0, 0, 10, 10};
  CSkinClip::ClipToRect(canvas.dc(), rcOuter, outer);
  {
    CSkinClip inner;
    const RECT rcInner = {5, 5, 15, 15};
    CSkinClip::ClipToRect(canvas.dc(), rcInner, inner);
    EXPECT_EQ(RepaintedCount(canvas), 25);  // (5..10) x (5..10)
  }
  EXPECT_EQ(RepaintedCount(canvas), 100);  // the outer clip is in force again
  EXPECT_EQ(canvas.CountOtherThan(kPaint, 0, 0, 10, 10), 0);
}

TEST(ClipTest, AClipUsedTwicePutsBackWhatWasInForceBeforeItsFirstUse) {
  DibCanvas canvas(20, 20, kBackground);
  {
    CSkinClip clip;
    const RECT first = {0, 0, 10, 10};
    const RECT second = {5, 5, 20, 20};
    CSkinClip::ClipToRect(canvas.dc(), first, clip);
    CSkinClip::ClipToRect(canvas.dc(), second, clip);
    EXPECT_EQ(RepaintedCount(canvas), 25);  // the second use narrows the first
  }
  EXPECT_EQ(RepaintedCount(canvas), 400);
}

TEST(ClipTest, RoundClipWithoutRoundingCoversExactlyTheItem) {
  DibCanvas canvas(30, 30, kBackground);
  {
    CSkinClip clip;
    const RECT rc = {0, 0, 30, 30};
    const RECT item = {5, 6, 15, 16};
    CSkinClip::ClipToRoundRect(canvas.dc(), rc, item, 0, 0, clip);
    PaintEverything(canvas);
  }
  // The region is asked for one pixel wider and taller because rounded regions leave out their
  // right and bottom edges: what is painted is the item itself.
  EXPECT_EQ(canvas.CountOtherThan(kPaint, 5, 6, 15, 16), 0);
  EXPECT_EQ(PaintedCount(canvas), 10 * 10);
}

TEST(ClipTest, RoundClipCutsTheCornersOff) {
  DibCanvas canvas(40, 40, kBackground);
  {
    CSkinClip clip;
    const RECT rc = {0, 0, 40, 40};
    const RECT item = {0, 0, 39, 39};
    CSkinClip::ClipToRoundRect(canvas.dc(), rc, item, 16, 16, clip);
    PaintEverything(canvas);
  }
  EXPECT_EQ(canvas.Rgb(0, 0), 0u);
  EXPECT_EQ(canvas.Rgb(39, 39), 0u);
  EXPECT_EQ(canvas.Rgb(20, 0), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(20, 20), 0xFFFFFFu);
  EXPECT_EQ(canvas.Rgb(0, 20), 0xFFFFFFu);
}

TEST(ClipTest, SavedClipLetsASectionPaintOutsideForAWhile) {
  DibCanvas canvas(20, 20, kBackground);
  CSkinClip clip;
  const RECT rc = {0, 0, 5, 5};
  CSkinClip::ClipToRect(canvas.dc(), rc, clip);
  CSkinClip::UseSavedClip(canvas.dc(), clip);
  EXPECT_EQ(RepaintedCount(canvas), 400);
  CSkinClip::UseNewClip(canvas.dc(), clip);
  EXPECT_EQ(RepaintedCount(canvas), 25);
}

}  // namespace
