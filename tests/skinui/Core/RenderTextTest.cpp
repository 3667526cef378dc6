// Plain text through the platform's layout: colour, font, alignment, language tokens.

#include <gtest/gtest.h>

#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "RenderHostFixture.h"
#include "support/DibCanvas.h"

using SkinUI::CSkinRenderer;
using SkinUI::CWindowHostUI;
using testing_support::DibCanvas;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;

class RenderTextTest : public render_testing::RenderHostTest {
 protected:
  void SetUp() override {
    RenderHostTest::SetUp();
    m_host.SetDefaultFont(L"Tahoma", 16, false, false, false);
  }
  void Draw(DibCanvas& canvas, const wchar_t* text, const RECT& rc, int font = -1,
            UINT style = DT_SINGLELINE, DWORD colour = 0xFF000000) {
    CSkinRenderer::RenderText(canvas.dc(), &m_host, rc, text, colour, font, style);
  }
};

TEST_F(RenderTextTest, TextIsDrawnInItsColourInsideTheRectangle) {
  DibCanvas canvas(200, 60, kWhite);
  const RECT rc = {10, 10, 190, 40};
  Draw(canvas, L"Hello", rc, -1, DT_SINGLELINE, 0x80FF0000);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.right, 190);
  EXPECT_LE(ink.bottom, 40);
  EXPECT_GT(ink.right - ink.left, 20);
  // The alpha byte is not used: the glyphs are opaque red.
  const int red = (ink.right - ink.left) * (ink.bottom - ink.top) -
                  canvas.CountOtherThan(0xFF0000, ink.left, ink.top, ink.right, ink.bottom);
  EXPECT_GT(red, 10);
}

TEST_F(RenderTextTest, CentredTextSitsInTheMiddle) {
  DibCanvas canvas(200, 80, kWhite);
  const RECT rc = {0, 0, 200, 80};
  Draw(canvas, L"Middle", rc, -1, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_NEAR((ink.left + ink.right) / 2, 100, 3);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, 40, 4);
}

TEST_F(RenderTextTest, LanguageTokensAreReplacedBeforeDrawing) {
  CWindowHostUI::AddMultiLanguageString(7, L"Mm");
  DibCanvas tokens(120, 40, kWhite), direct(120, 40, kWhite);
  const RECT rc = {0, 0, 120, 40};
  Draw(tokens, L"%{7}x", rc);
  Draw(direct, L"Mmx", rc);
  EXPECT_TRUE(tokens.SamePixels(direct));
}

TEST_F(RenderTextTest, UnknownFontFallsBackToTheDefaultFont) {
  DibCanvas unknown(120, 40, kWhite), fallback(120, 40, kWhite), big(120, 40, kWhite);
  const RECT rc = {0, 0, 120, 40};
  Draw(unknown, L"Abc", rc, 42);
  Draw(fallback, L"Abc", rc, -1);
  EXPECT_TRUE(unknown.SamePixels(fallback));
  m_host.RegisterFont(3, L"Tahoma", 30, true, false, false);
  Draw(big, L"Abc", rc, 3);
  const RECT small = fallback.InkBounds(kWhite);
  const RECT large = big.InkBounds(kWhite);
  EXPECT_GT(large.bottom - large.top, small.bottom - small.top);
}

TEST_F(RenderTextTest, AmpersandsAreDrawnAsThemselves) {
  DibCanvas withAmpersand(120, 40, kWhite), plain(120, 40, kWhite);
  const RECT rc = {0, 0, 120, 40};
  Draw(withAmpersand, L"&A", rc);
  Draw(plain, L"A", rc);
  const RECT a = plain.InkBounds(kWhite);
  const RECT both = withAmpersand.InkBounds(kWhite);
  EXPECT_GT(both.right - both.left, a.right - a.left + 4);
}

TEST_F(RenderTextTest, NoTextOrNoHostDrawsNothing) {
  DibCanvas canvas(60, 30, kWhite);
  const RECT rc = {0, 0, 60, 30};
  CSkinRenderer::RenderText(canvas.dc(), &m_host, rc, nullptr, 0xFF000000, -1, 0);
  CSkinRenderer::RenderText(canvas.dc(), nullptr, rc, L"text", 0xFF000000, -1, 0);
  EXPECT_EQ(canvas.CountOtherThan(kWhite, 0, 0, 60, 30), 0);
}

}  // namespace
