// The paint layers of the control base drawn into a 32-bit surface, and hue adjustment of the
// colours they use.

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "Core/UIControl.h"
#include "Core/UIManager.h"
#include "support/DibCanvas.h"

using SkinUI::CControlUI;
using SkinUI::CWindowHostUI;
using testing_support::DibCanvas;

namespace {

const uint32_t kBackground = 0xFF204060;
const uint32_t kRed = 0x00FF0000;
const RECT kWholeCanvas = {0, 0, 40, 30};

bool Near(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = (actual >> shift) & 0xFF;
    const int e = (expected >> shift) & 0xFF;
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

// A 40 x 30 canvas with one control at (5, 5)-(35, 25).
class ControlPaintTest : public ::testing::Test {
 protected:
  ControlPaintTest() : m_canvas(40, 30, kBackground) { m_control.SetPosition(RECT{5, 5, 35, 25}); }
  bool PaintAll() { return m_control.Paint(m_canvas.dc(), kWholeCanvas, nullptr); }

  DibCanvas m_canvas;
  CControlUI m_control;
};

// ---- background colour ----

TEST_F(ControlPaintTest, OpaqueBackgroundFillsOnlyTheDirtyPart) {
  m_control.ApplyAttribute(L"bkcolor", L"#FF00FF00");
  EXPECT_TRUE(m_control.Paint(m_canvas.dc(), RECT{10, 10, 20, 20}, nullptr));
  EXPECT_EQ(m_canvas.Rgb(12, 12), 0x0000FF00u);
  EXPECT_EQ(m_canvas.Rgb(6, 6), kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.CountOtherThan(kBackground & 0xFFFFFF, 0, 0, 40, 30), 100);
}

TEST_F(ControlPaintTest, TranslucentBackgroundBlendsOverTheWholeControl) {
  m_control.ApplyAttribute(L"bkcolor", L"8000FF00");
  m_control.Paint(m_canvas.dc(), RECT{10, 10, 20, 20}, nullptr);
  const uint32_t inside = m_canvas.Rgb(12, 12);
  EXPECT_NE(inside, kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(6, 6), inside);
  EXPECT_EQ(m_canvas.Rgb(34, 24), inside);
  EXPECT_EQ(m_canvas.CountOtherThan(inside, 5, 5, 35, 25), 0);
  EXPECT_EQ(m_canvas.Rgb(4, 4), kBackground & 0xFFFFFF);
}

TEST_F(ControlPaintTest, SecondColourAloneDrawsNothing) {
  m_control.ApplyAttribute(L"bkcolor2", L"FF00FF00");
  PaintAll();
  EXPECT_EQ(m_canvas.CountOtherThan(kBackground & 0xFFFFFF, 0, 0, 40, 30), 0);
}

TEST_F(ControlPaintTest, TwoColoursMakeAVerticalGradient) {
  m_control.ApplyAttribute(L"bkcolor", L"FF000000");
  m_control.ApplyAttribute(L"bkcolor2", L"FFFFFFFF");
  PaintAll();
  EXPECT_TRUE(Near(m_canvas.Rgb(20, 5), 0x000000, 24)) << std::hex << m_canvas.Rgb(20, 5);
  EXPECT_TRUE(Near(m_canvas.Rgb(20, 24), 0xFFFFFF, 24)) << std::hex << m_canvas.Rgb(20, 24);
  EXPECT_EQ(m_canvas.Rgb(5, 15), m_canvas.Rgb(34, 15));  // rows are uniform
}

TEST_F(ControlPaintTest, ThreeColoursMeetAtTheMiddleRow) {
  m_control.ApplyAttribute(L"bkcolor", L"FFFF0000");
  m_control.ApplyAttribute(L"bkcolor2", L"FF00FF00");
  m_control.ApplyAttribute(L"bkcolor3", L"FF0000FF");
  PaintAll();
  EXPECT_TRUE(Near(m_canvas.Rgb(20, 5), 0xFF0000, 40)) << std::hex << m_canvas.Rgb(20, 5);
  EXPECT_TRUE(Near(m_canvas.Rgb(20, 14), 0x00FF00, 40)) << std::hex << m_canvas.Rgb(20, 14);
  EXPECT_TRUE(Near(m_canvas.Rgb(20, 15), 0x00FF00, 40)) << std::hex << m_canvas.Rgb(20, 15);
  EXPECT_TRUE(Near(m_canvas.Rgb(20, 24), 0x0000FF, 40)) << std::hex << m_canvas.Rgb(20, 24);
}

// ---- border ----

TEST_F(ControlPaintTest, EqualBorderWidthsDrawOneRectangleInsideTheControl) {
  m_control.ApplyAttribute(L"bordersize", L"2");
  m_control.ApplyAttribute(L"bordercolor", L"FFFF0000");
  PaintAll();
  for (int x : {5, 6, 33, 34}) EXPECT_EQ(m_canvas.Rgb(x, 15), kRed) << "x " << x;
  for (int y : {5, 6, 23, 24}) EXPECT_EQ(m_canvas.Rgb(20, y), kRed) << "y " << y;
  EXPECT_EQ(m_canvas.Rgb(7, 15), kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(35, 15), kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(20, 15), kBackground & 0xFFFFFF);
  const RECT ink = m_canvas.InkBounds(kBackground & 0xFFFFFF);
  EXPECT_EQ(ink.left, 5);
  EXPECT_EQ(ink.top, 5);
  EXPECT_EQ(ink.right, 35);
  EXPECT_EQ(ink.bottom, 25);
}

TEST_F(ControlPaintTest, NoLeftWidthMeansNoBorderAtAll) {
  m_control.ApplyAttribute(L"bordersize", L"0,1,0,1");
  m_control.ApplyAttribute(L"bordercolor", L"FFFF0000");
  PaintAll();
  EXPECT_EQ(m_canvas.CountOtherThan(kBackground & 0xFFFFFF, 0, 0, 40, 30), 0);
}

TEST_F(ControlPaintTest, UnequalWidthsDrawEachSideAsALine) {
  m_control.ApplyAttribute(L"bordersize", L"1,2,1,2");
  m_control.ApplyAttribute(L"bordercolor", L"FFFF0000");
  PaintAll();
  EXPECT_EQ(m_canvas.Rgb(5, 15), kRed);
  EXPECT_EQ(m_canvas.Rgb(6, 15), kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(35, 15), kRed);  // the right side runs along x = right
  EXPECT_EQ(m_canvas.Rgb(34, 15), kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(20, 5), kRed);
  EXPECT_EQ(m_canvas.Rgb(20, 25), kRed);
  EXPECT_EQ(m_canvas.Rgb(20, 15), kBackground & 0xFFFFFF);
}

// Widths in the millions: the border covers the control, and the paint takes no time to speak of.
class HugeBorderTest : public ControlPaintTest,
                       public ::testing::WithParamInterface<std::pair<const wchar_t*, const wchar_t*>> {};

TEST_P(HugeBorderTest, IsNoWiderThanTheControl) {
  m_control.ApplyAttribute(L"bordersize", GetParam().first);
  m_control.ApplyAttribute(L"borderround", GetParam().second);
  m_control.ApplyAttribute(L"bordercolor", L"FFFF0000");
  const ULONGLONG start = ::GetTickCount64();
  PaintAll();
  EXPECT_LT(::GetTickCount64() - start, 2000u);
  EXPECT_EQ(m_canvas.Rgb(10, 15), kRed);
}

INSTANTIATE_TEST_SUITE_P(Widths, HugeBorderTest,
                         ::testing::Values(std::make_pair(L"6999999", L"0,0"),
                                           std::make_pair(L"6999999,1,6999999,1", L"0,0"),
                                           std::make_pair(L"6999999", L"4,4")));

TEST_F(ControlPaintTest, FocusedControlUsesTheFocusBorderColour) {
  m_control.ApplyAttribute(L"bordersize", L"1");
  m_control.ApplyAttribute(L"bordercolor", L"FFFF0000");
  m_control.ApplyAttribute(L"focusbordercolor", L"FF0000FF");
  SkinUI::InputEvent setFocus = {};
  setFocus.iKind = SkinUI::kEventSetFocus;
  m_control.DispatchEvent(setFocus);
  PaintAll();
  EXPECT_EQ(m_canvas.Rgb(5, 15), 0x000000FFu);

  // Without a border colour the focus colour still draws, but only while focused.
  DibCanvas unfocused(40, 30, kBackground);
  CControlUI control;
  control.SetPosition(RECT{5, 5, 35, 25});
  control.ApplyAttribute(L"bordersize", L"1");
  control.ApplyAttribute(L"focusbordercolor", L"FF0000FF");
  control.Paint(unfocused.dc(), kWholeCanvas, nullptr);
  EXPECT_EQ(unfocused.CountOtherThan(kBackground & 0xFFFFFF, 0, 0, 40, 30), 0);
}

TEST_F(ControlPaintTest, RoundedControlsLeaveTheirCornersUnpainted) {
  m_control.ApplyAttribute(L"bkcolor", L"FF00FF00");
  m_control.ApplyAttribute(L"borderround", L"12,12");
  PaintAll();
  EXPECT_EQ(m_canvas.Rgb(5, 5), kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(34, 24), kBackground & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(20, 15), 0x0000FF00u);
  EXPECT_EQ(m_canvas.Rgb(20, 5), 0x0000FF00u);
  // The clip is gone afterwards.
  SkinUI::CSkinRenderer::FillColor(m_canvas.dc(), kWholeCanvas, 0xFFFFFFFF);
  EXPECT_EQ(m_canvas.CountOtherThan(0xFFFFFF, 0, 0, 40, 30), 0);
}

// ---- the paint pass ----

TEST_F(ControlPaintTest, PaintStopsAtTheStopControlAndSkipsControlsOutsideTheArea) {
  m_control.ApplyAttribute(L"bkcolor", L"FF00FF00");
  EXPECT_FALSE(m_control.Paint(m_canvas.dc(), kWholeCanvas, &m_control));
  EXPECT_TRUE(m_control.Paint(m_canvas.dc(), RECT{36, 0, 40, 30}, nullptr));
  EXPECT_EQ(m_canvas.CountOtherThan(kBackground & 0xFFFFFF, 0, 0, 40, 30), 0);
}

TEST_F(ControlPaintTest, PaintHandlerAnsweringFalseKeepsTheLayersFromDrawing) {
  struct Veto {
    bool allow;
    int calls = 0;
    bool OnPaint(void*) {
      ++calls;
      return allow;
    }
  } veto{false};
  m_control.OnPaint += SkinUI::MakeDelegate(&veto, &Veto::OnPaint);
  m_control.ApplyAttribute(L"bkcolor", L"FF00FF00");
  PaintAll();
  EXPECT_EQ(veto.calls, 1);
  EXPECT_EQ(m_canvas.CountOtherThan(kBackground & 0xFFFFFF, 0, 0, 40, 30), 0);
  veto.allow = true;
  PaintAll();
  EXPECT_EQ(m_canvas.Rgb(20, 15), 0x0000FF00u);
}

// ---- hue adjustment ----

class ControlHueTest : public ControlPaintTest {
 protected:
  void TearDown() override { CWindowHostUI::SetHueShift(SkinUI::HueShift{180, 100, 100, false}); }
};

TEST_F(ControlHueTest, ColoursPassUnchangedUnlessTheControlFollowsTheHue) {
  CWindowHostUI::SetHueShift(SkinUI::HueShift{300, 100, 100, true});
  EXPECT_EQ(m_control.AdjustColor(0xFF3366CC), 0xFF3366CCu);
  m_control.ApplyAttribute(L"bkcolor", L"FF3366CC");
  PaintAll();
  EXPECT_EQ(m_canvas.Rgb(20, 15), 0x003366CCu);
}

TEST_F(ControlHueTest, FollowingTheHuePaintsTheShiftedColour) {
  CWindowHostUI::SetHueShift(SkinUI::HueShift{300, 100, 100, true});
  m_control.ApplyAttribute(L"colorhsl", L"true");
  const DWORD dwShifted = m_control.AdjustColor(0xFF3366CC);
  EXPECT_EQ(dwShifted, SkinUI::ShiftColorHsl(0xFF3366CC, 300, 100, 100));
  EXPECT_NE(dwShifted & 0xFFFFFF, 0x3366CCu);
  EXPECT_EQ(dwShifted >> 24, 0xFFu);

  m_control.ApplyAttribute(L"bkcolor", L"FF3366CC");
  m_control.ApplyAttribute(L"bordersize", L"1");
  m_control.ApplyAttribute(L"bordercolor", L"FF993311");
  PaintAll();
  EXPECT_EQ(m_canvas.Rgb(20, 15), dwShifted & 0xFFFFFF);
  EXPECT_EQ(m_canvas.Rgb(5, 15), m_control.AdjustColor(0xFF993311) & 0xFFFFFF);
  EXPECT_NE(m_canvas.Rgb(5, 15), 0x993311u);

  CWindowHostUI::SetHueShift(SkinUI::HueShift{180, 100, 100, false});
  EXPECT_EQ(m_control.AdjustColor(0xFF3366CC), 0xFF3366CCu);
}

}  // namespace
