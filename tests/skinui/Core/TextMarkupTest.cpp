// Tagged text: tags in both bracket styles, escapes, colours, fonts, line breaks, word breaks,
// paragraphs, inline images, links and their rectangles, selection, raw text, ellipsis and
// measuring. Glyph pixels are never compared with fixed values: positions, extents and equality
// between ways of writing the same text are.

#include <gtest/gtest.h>

#include <string>

#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "RenderHostFixture.h"
#include "support/DibCanvas.h"
#include "support/PngWriter.h"

using SkinUI::CSkinRenderer;
using SkinUI::CUIString;
using testing_support::DibCanvas;
using testing_support::TestImage;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;
const DWORD kBlack = 0xFF000000;

class TextMarkupTest : public render_testing::RenderHostTest {
 protected:
  void SetUp() override {
    RenderHostTest::SetUp();
    m_host.SetDefaultFont(L"Tahoma", 16, false, false, false);
    const TEXTMETRICW& tm = m_host.GetDefaultFontInfo()->tm;
    m_lineHeight = tm.tmHeight + tm.tmExternalLeading;
    m_ascent = tm.tmAscent;
    ASSERT_GT(m_lineHeight, 0);
  }

  int Width(const wchar_t* text, HFONT font = nullptr) {
    DibCanvas scratch(1, 1);
    SelectObject(scratch.dc(), font != nullptr ? font : m_host.GetDefaultFontInfo()->hFont);
    SIZE size = {0, 0};
    GetTextExtentPoint32W(scratch.dc(), text, lstrlenW(text), &size);
    return size.cx;
  }

  RECT Measure(const wchar_t* text, UINT style = 0, int width = 400) {
    DibCanvas scratch(1, 1);
    RECT rc = {0, 0, width, 1000};
    int links = 0;
    CSkinRenderer::RenderMarkupText(scratch.dc(), &m_host, rc, text, kBlack, nullptr, nullptr,
                                    links, style | DT_CALCRECT);
    return rc;
  }

  void Draw(DibCanvas& canvas, const wchar_t* text, RECT rc, UINT style = 0,
            DWORD colour = kBlack) {
    int links = 0;
    CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, text, colour, nullptr, nullptr,
                                    links, style);
  }

  bool SameDrawing(const wchar_t* a, const wchar_t* b, UINT style = 0) {
    DibCanvas first(300, 60, kWhite), second(300, 60, kWhite);
    const RECT rc = {0, 0, 300, 60};
    Draw(first, a, rc, style);
    Draw(second, b, rc, style);
    return first.SamePixels(second) && first.CountOtherThan(kWhite, 0, 0, 300, 60) > 0;
  }

  int m_lineHeight = 0;
  int m_ascent = 0;
};

// ---- tags and escapes ----

TEST_F(TextMarkupTest, BracesAndAngleBracketsOpenAndCloseTheSameTags) {
  EXPECT_TRUE(SameDrawing(L"<b>bold</b> text", L"{b}bold{/b} text"));
  EXPECT_TRUE(SameDrawing(L"<b>bold</b> text", L"<b}bold{/b> text"));
  EXPECT_GT(Measure(L"<b>bold</b>").right, Measure(L"bold").right);
  EXPECT_FALSE(SameDrawing(L"<b>bold</b> text", L"bold text"));
}

TEST_F(TextMarkupTest, EscapesDrawBracketsAsText) {
  DibCanvas markup(200, 40, kWhite), plain(200, 40, kWhite);
  const RECT rc = {0, 0, 200, 40};
  Draw(markup, L"<{>x<}> {<}y{>}", rc);
  CSkinRenderer::RenderText(plain.dc(), &m_host, rc, L"{x} <y>", kBlack, -1, DT_SINGLELINE);
  EXPECT_TRUE(markup.SamePixels(plain));
}

TEST_F(TextMarkupTest, UnknownTagsAreConsumedAndXWithoutANumberMovesNothing) {
  EXPECT_TRUE(SameDrawing(L"a<q>b", L"ab"));
  EXPECT_TRUE(SameDrawing(L"a{q with words}b", L"ab"));
  EXPECT_TRUE(SameDrawing(L"a<x>b", L"ab"));
  EXPECT_EQ(Measure(L"a<x 10>b").right, Measure(L"ab").right + 10);
  EXPECT_EQ(Measure(L"a<x -2>b").right, Measure(L"ab").right - 2);
  // Brackets that open no tag stay text.
  EXPECT_EQ(Measure(L"a<1 b").right, Width(L"a<1 b"));
  EXPECT_EQ(Measure(L"a</>b").right, Width(L"a</>b"));
}

TEST_F(TextMarkupTest, RawTextShowsTagsLiterally) {
  EXPECT_EQ(Measure(L"<r><b>x</b></r>").right, Width(L"<b>x</b>"));
  EXPECT_EQ(Measure(L"{r}<{>{/r}").right, Width(L"<{>"));
}

// ---- colours and fonts ----

int CountColour(const DibCanvas& canvas, uint32_t rgb) {
  return canvas.width() * canvas.height() -
         canvas.CountOtherThan(rgb, 0, 0, canvas.width(), canvas.height());
}

TEST_F(TextMarkupTest, ColourTagsTakeSixOrEightDigits) {
  const RECT rc = {0, 0, 120, 30};
  DibCanvas six(120, 30, kWhite), eight(120, 30, kWhite), green(120, 30, kWhite);
  Draw(six, L"<c #FF0000>MM</c>", rc);
  Draw(eight, L"<c #FFFF0000>MM</c>", rc);
  Draw(green, L"{c FF00FF00}MM{/c}", rc);
  EXPECT_GT(CountColour(six, 0xFF0000), 10);
  EXPECT_GT(CountColour(eight, 0xFF0000), 10);  // the alpha byte is not read as a sign
  EXPECT_TRUE(six.SamePixels(eight));
  EXPECT_GT(CountColour(green, 0x00FF00), 10);
}

TEST_F(TextMarkupTest, ClosingAColourReturnsToTheGivenOne) {
  DibCanvas canvas(120, 30, kWhite);
  const RECT rc = {0, 0, 120, 30};
  Draw(canvas, L"<c #FF0000>M</c>M", rc, 0, 0xFF0000FF);
  const int split = Width(L"M");
  EXPECT_GT(canvas.width() * 30 - canvas.CountOtherThan(0xFF0000, 0, 0, split, 30), 5);
  EXPECT_GT(canvas.width() * 30 - canvas.CountOtherThan(0x0000FF, split, 0, 120, 30) -
                split * 30,
            5);
}

TEST_F(TextMarkupTest, FontTagsByIdAndByDescription) {
  m_host.RegisterFont(3, L"Tahoma", 30, false, false, false);
  EXPECT_GT(Measure(L"<f 3>A</f>").bottom, Measure(L"A").bottom + 8);
  EXPECT_EQ(Measure(L"<f 99>A</f>").bottom, Measure(L"A").bottom);  // unknown id: default font
  const RECT described = Measure(L"<f Tahoma 24 Bold Italic>A</f>");
  const HFONT created = m_host.FindFont(L"Tahoma", 24, true, false, true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(described.bottom, Measure(L"<f Tahoma 24 italic bold>A</f>").bottom);
  EXPECT_EQ(m_host.FindFont(L"Tahoma", 24, true, false, true), created);  // found, not remade
  EXPECT_FALSE(SameDrawing(L"<i>Abc</i>", L"Abc"));
  EXPECT_FALSE(SameDrawing(L"<u>Abc</u>", L"Abc"));
}

TEST_F(TextMarkupTest, UnderlineReachesBelowTheGlyphs) {
  DibCanvas plain(120, 40, kWhite), underlined(120, 40, kWhite);
  const RECT rc = {0, 0, 120, 40};
  Draw(plain, L"ace", rc);
  Draw(underlined, L"<u>ace</u>", rc);
  EXPECT_GT(underlined.InkBounds(kWhite).bottom, plain.InkBounds(kWhite).bottom);
}

// ---- lines ----

TEST_F(TextMarkupTest, LineFeedsAndNTagsBreakLines) {
  EXPECT_EQ(Measure(L"a\nb").bottom, 2 * m_lineHeight);
  EXPECT_EQ(Measure(L"a<n>b").bottom, 2 * m_lineHeight);
  const RECT single = Measure(L"a<n>b", DT_SINGLELINE);
  EXPECT_EQ(single.bottom, m_lineHeight);
  EXPECT_EQ(single.right, Width(L"ab"));
  EXPECT_EQ(Measure(L"a\nb", DT_SINGLELINE).bottom, m_lineHeight);
}

TEST_F(TextMarkupTest, MeasuringShrinksTheRightEdgeToTheWidestLine) {
  const RECT rc = Measure(L"abc\nabcdef\nab");
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.right, Width(L"abcdef"));
  EXPECT_EQ(rc.bottom, 3 * m_lineHeight);
}

TEST_F(TextMarkupTest, MeasuringDrawsNothingAndLeavesTheClipAlone) {
  DibCanvas canvas(200, 60, kWhite);
  RECT rc = {10, 10, 190, 50};
  int links = 0;
  CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, L"<b>text</b> <s>more</s>", kBlack,
                                  nullptr, nullptr, links, DT_CALCRECT);
  EXPECT_EQ(canvas.CountOtherThan(kWhite, 0, 0, 200, 60), 0);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(canvas.dc(), region), 0);  // still no clip region
  DeleteObject(region);
  EXPECT_LT(rc.right, 190);
}

TEST_F(TextMarkupTest, EmptyTextMeasuresOneEmptyLine) {
  DibCanvas scratch(1, 1);
  RECT rc = {10, 20, 100, 100};
  int links = 0;
  CSkinRenderer::RenderMarkupText(scratch.dc(), &m_host, rc, L"", kBlack, nullptr, nullptr, links,
                                  DT_CALCRECT);
  EXPECT_EQ(rc.right, 10);
  EXPECT_EQ(rc.bottom, 20 + m_lineHeight);
}

TEST_F(TextMarkupTest, WordBreakMovesWholeWordsToTheNextLine) {
  const int width = Width(L"aaaa bb");
  const RECT rc = Measure(L"aaaa bbbb", DT_WORDBREAK, width);
  EXPECT_EQ(rc.bottom, 2 * m_lineHeight);
  EXPECT_EQ(rc.right, std::max(Width(L"aaaa "), Width(L"bbbb")));
  // Without word breaks the line is simply cut where it overflows.
  EXPECT_EQ(Measure(L"aaaa bbbb", 0, width).bottom, 2 * m_lineHeight);
}

TEST_F(TextMarkupTest, LongWordAtTheLeftEdgeIsCutAtTheRightEdge) {
  const wchar_t* word = L"abcdefghijklmnopqrstuvwxyz";
  const int width = Width(L"abcdefg");
  // Each line keeps the character that overflows it, so that every line takes something.
  int lines = 0;
  for (std::wstring rest = word; !rest.empty(); ++lines) {
    size_t taken = 1;
    while (taken < rest.size() && Width(rest.substr(0, taken).c_str()) <= width) ++taken;
    rest.erase(0, taken);
  }
  EXPECT_EQ(Measure(word, DT_WORDBREAK, width).bottom, lines * m_lineHeight);
  DibCanvas canvas(200, 200, kWhite);
  const RECT rc = {0, 0, width, 200};
  Draw(canvas, word, rc, DT_WORDBREAK);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_LE(ink.right, width);
  EXPECT_GE(ink.right, width - 2);  // the first line is drawn right up to the edge
}

TEST_F(TextMarkupTest, ParagraphSpacingRaisesTheLines) {
  // In mid-line the paragraph starts a new line; both lines carry the spacing.
  EXPECT_EQ(Measure(L"ab<p 10>cd").bottom, 2 * m_lineHeight + 20);
  // At the left edge it starts none; its end breaks the line and drops the spacing.
  EXPECT_EQ(Measure(L"<p 10>ab</p>cd").bottom, 2 * m_lineHeight + 10);
  EXPECT_EQ(Measure(L"<p>ab</p>").bottom, m_lineHeight);
}

TEST_F(TextMarkupTest, LineHeightTagSetsTheLine) {
  EXPECT_EQ(Measure(L"a<y 40>").bottom, 40);
  EXPECT_EQ(Measure(L"a<y 40>\nb").bottom, 40 + m_lineHeight);
}

TEST_F(TextMarkupTest, EllipsisEndsTheLineWithDots) {
  const wchar_t* text = L"abcdefghijklmnopqrstuvwxyz";
  DibCanvas dotted(200, 40, kWhite), cut(200, 40, kWhite);
  const RECT rc = {0, 0, 100, 40};
  Draw(dotted, text, rc, DT_SINGLELINE | DT_END_ELLIPSIS);
  Draw(cut, text, rc, DT_SINGLELINE);
  const RECT ink = dotted.InkBounds(kWhite);
  EXPECT_LE(ink.right, 100);
  EXPECT_FALSE(dotted.SamePixels(cut));
  // The last inked column belongs to a dot: ink only around the baseline.
  for (int y = 0; y < 40; ++y) {
    if (dotted.Rgb(ink.right - 1, y) != 0xFFFFFF) {
      EXPECT_GE(y, m_ascent - 4) << y;
    }
  }
}

TEST_F(TextMarkupTest, NarrowEllipsisTextStillMakesProgress) {
  // Each line keeps its one character instead of giving it up for the dots.
  EXPECT_EQ(Measure(L"abc", DT_END_ELLIPSIS, 3).bottom, 3 * m_lineHeight);
  DibCanvas canvas(20, 200, kWhite);
  const RECT rc = {0, 0, 3, 200};
  Draw(canvas, L"abc", rc, DT_END_ELLIPSIS);
  EXPECT_GT(canvas.CountOtherThan(kWhite, 0, 0, 3, 200), 0);
}

// ---- alignment ----

TEST_F(TextMarkupTest, SingleLineTextIsCentredBothWays) {
  DibCanvas canvas(200, 80, kWhite);
  const RECT rc = {0, 0, 200, 80};
  Draw(canvas, L"<b>Mid</b>dle", rc, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_NEAR((ink.left + ink.right) / 2, 100, 3);
  EXPECT_NEAR((ink.top + ink.bottom) / 2, 40, 5);
}

TEST_F(TextMarkupTest, RightAlignedLinesEndAtTheRightEdge) {
  DibCanvas canvas(200, 80, kWhite);
  const RECT rc = {0, 0, 200, 80};
  Draw(canvas, L"ab\nabcdef", rc, DT_RIGHT | DT_BOTTOM);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_GE(ink.right, 197);
  EXPECT_GE(ink.bottom, 80 - m_lineHeight / 2);
  // Each line on its own: the short first line starts further right than the second.
  int firstLineLeft = 200;
  for (int x = 0; x < 200 && firstLineLeft == 200; ++x) {
    for (int y = 80 - 2 * m_lineHeight; y < 80 - m_lineHeight; ++y) {
      if (canvas.Rgb(x, y) != 0xFFFFFF) {
        firstLineLeft = x;
        break;
      }
    }
  }
  EXPECT_NEAR(firstLineLeft, 200 - Width(L"ab"), 3);
}

// ---- inline images ----

class TextImageTest : public TextMarkupTest {
 protected:
  void SetUp() override {
    TextMarkupTest::SetUp();
    WriteImage(L"box.png", TestImage(20, 30, 0xFFFF0000));
    TestImage strip(30, 10, 0xFFFF0000);
    for (int y = 0; y < 10; ++y) {
      for (int x = 10; x < 20; ++x) strip.at(x, y) = 0xFF00FF00;
      for (int x = 20; x < 30; ++x) strip.at(x, y) = 0xFF0000FF;
    }
    WriteImage(L"strip.png", strip);
  }
};

TEST_F(TextImageTest, ImageSitsOnTheLineAndRaisesIt) {
  DibCanvas canvas(200, 60, kWhite);
  const RECT rc = {0, 0, 200, 60};
  Draw(canvas, L"ab<i box.png>cd", rc);
  const int x = Width(L"ab");
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, x, 0, x + 20, 30), 0);
  EXPECT_EQ(Measure(L"ab<i box.png>cd").bottom, std::max(30, m_lineHeight));
  EXPECT_EQ(Measure(L"ab<i box.png>cd").right, Width(L"ab") + 20 + Width(L"cd"));
}

TEST_F(TextImageTest, ImageThatDoesNotFitMovesWithTheFollowingText) {
  const int width = Width(L"abc") + 10;
  const RECT measured = Measure(L"abc<i box.png>d", 0, width);
  EXPECT_EQ(measured.bottom, m_lineHeight + std::max(30, m_lineHeight));
  DibCanvas canvas(200, 120, kWhite);
  const RECT rc = {0, 0, width, 120};
  Draw(canvas, L"abc<i box.png>d", rc);
  const int top = m_lineHeight + std::max(30, m_lineHeight) - 30;
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 0, top, 20, top + 30), 0);
}

TEST_F(TextImageTest, FramesSplitTheImageHorizontally) {
  DibCanvas second(100, 40, kWhite), outside(100, 40, kWhite), whole(100, 40, kWhite);
  const RECT rc = {0, 0, 100, 40};
  Draw(second, L"<i strip.png 3 1>", rc);
  Draw(outside, L"<i strip.png 3 7>", rc);
  Draw(whole, L"<i strip.png>", rc);
  const int top = std::max(10, m_lineHeight) - 10;
  EXPECT_EQ(second.CountOtherThan(0x00FF00, 0, top, 10, top + 10), 0);
  EXPECT_EQ(second.CountOtherThan(kWhite, 10, 0, 100, 40), 0);
  EXPECT_EQ(outside.CountOtherThan(0xFF0000, 0, top, 10, top + 10), 0);  // back to frame 0
  EXPECT_EQ(whole.CountOtherThan(0x0000FF, 20, top, 30, top + 10), 0);
}

TEST_F(TextImageTest, ImagesCanBeNamedWithKeysAndMissingOnesAreSkipped) {
  EXPECT_EQ(Measure(L"<i file='box.png'>").right, 20);
  EXPECT_EQ(Measure(L"<i res='129'>").right, 0);  // a resource needs its type
  EXPECT_EQ(Measure(L"<i res='129' restype='PNG'>").right, 3);
  EXPECT_TRUE(SameDrawing(L"a<i nothing.png>b", L"ab"));
  // A later tag written with keys does not change how a bare name is read.
  EXPECT_EQ(Measure(L"<i box.png> <i file='strip.png'>").right, 20 + Width(L" ") + 30);
}

TEST_F(TextImageTest, CentreAlignmentLiftsTheImageIntoTheMiddle) {
  DibCanvas canvas(100, 80, kWhite);
  const RECT rc = {0, 0, 100, 80};
  Draw(canvas, L"<y 40><v center><i strip.png 3 0></v>", rc);
  EXPECT_EQ(canvas.CountOtherThan(0xFF0000, 0, 15, 10, 25), 0);
}

// ---- links ----

TEST_F(TextMarkupTest, LinksReportWhereTheyLanded) {
  DibCanvas canvas(300, 60, kWhite);
  RECT rc = {10, 20, 290, 60};
  RECT links[4] = {};
  CUIString targets[4];
  int count = 4;
  CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, L"x<a go.html>link</a>y", kBlack,
                                  links, targets, count, 0);
  ASSERT_EQ(count, 1);
  EXPECT_STREQ(targets[0], L"go.html");
  EXPECT_EQ(links[0].left, 10 + Width(L"x"));
  EXPECT_EQ(links[0].top, 20);
  EXPECT_EQ(links[0].right, 10 + Width(L"x") + Width(L"link"));
  EXPECT_EQ(links[0].bottom, 20 + m_lineHeight);
  // Drawn in the host's link colour.
  EXPECT_GT(CountColour(canvas, 0x0000FF), 5);
}

TEST_F(TextMarkupTest, TheLinkUnderTheMouseTakesTheHoveredLinkColour) {
  const uint32_t kLink = 0x0000FF, kHovered = 0xD3215F;
  RECT links[2] = {};
  CUIString targets[2];
  auto draw = [&](DibCanvas& canvas) {
    RECT rc = {0, 0, 300, 60};
    int count = 2;
    CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, L"<a one>MMM</a> <a two>MMM</a>",
                                    kBlack, links, targets, count, 0);
    ASSERT_EQ(count, 2);
  };
  DibCanvas before(300, 60, kWhite);
  draw(before);  // lays the links out; the mouse is over neither
  EXPECT_EQ(CountColour(before, kHovered), 0);

  LRESULT lRes = 0;
  m_host.HandleWindowMessage(WM_MOUSEMOVE, 0, MAKELPARAM(links[1].left + 2, links[1].top + 2),
                             lRes);
  DibCanvas hovered(300, 60, kWhite);
  draw(hovered);
  const int split = links[1].left;
  auto countIn = [](const DibCanvas& c, uint32_t rgb, int left, int right) {
    return (right - left) * c.height() - c.CountOtherThan(rgb, left, 0, right, c.height());
  };
  EXPECT_GT(countIn(hovered, kHovered, split, 300), 5);
  EXPECT_EQ(countIn(hovered, kHovered, 0, split), 0) << "the other link keeps its colour";
  EXPECT_GT(countIn(hovered, kLink, 0, split), 5);
  EXPECT_EQ(countIn(hovered, kLink, split, 300), 0);
}

TEST_F(TextMarkupTest, LinkThatWrapsBecomesTwoEntries) {
  const int width = Width(L"aaa b");
  RECT rc = {0, 0, width, 200};
  RECT links[3] = {};
  CUIString targets[3];
  int count = 3;
  DibCanvas canvas(200, 200, kWhite);
  CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, L"<a t>aaa bbb</a>", kBlack, links,
                                  targets, count, DT_WORDBREAK);
  ASSERT_EQ(count, 2);
  EXPECT_STREQ(targets[0], L"t");
  EXPECT_STREQ(targets[1], L"t");
  EXPECT_EQ(links[0].top, 0);
  EXPECT_EQ(links[0].bottom, m_lineHeight);
  EXPECT_EQ(links[0].right, Width(L"aaa "));
  EXPECT_EQ(links[1].left, 0);
  EXPECT_EQ(links[1].top, m_lineHeight);
  EXPECT_EQ(links[1].right, Width(L"bbb"));

  RECT one[1] = {};
  CUIString oneTarget[1];
  int capacity = 1;
  rc = RECT{0, 0, width, 200};
  CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, L"<a t>aaa bbb</a> <a u>c</a>",
                                  kBlack, one, oneTarget, capacity, DT_WORDBREAK);
  EXPECT_EQ(capacity, 1);
  EXPECT_EQ(one[0].right, Width(L"aaa "));
}

TEST_F(TextMarkupTest, LinkRectanglesFollowCentredLines) {
  DibCanvas canvas(200, 60, kWhite);
  RECT rc = {0, 0, 200, 60};
  RECT links[1] = {};
  CUIString targets[1];
  int count = 1;
  CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, L"<a t>ab</a>", kBlack, links,
                                  targets, count, DT_CENTER);
  ASSERT_EQ(count, 1);
  const int expectedLeft = (200 - Width(L"ab")) / 2;
  EXPECT_EQ(links[0].left, expectedLeft);
  EXPECT_EQ(links[0].right, expectedLeft + Width(L"ab"));
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_NEAR(ink.left, expectedLeft, 2);
}

TEST_F(TextMarkupTest, SelectionPaintsTheSelectedBackground) {
  DibCanvas canvas(200, 40, kWhite);
  const RECT rc = {0, 0, 200, 40};
  Draw(canvas, L"ab<s>cd</s>ef", rc);
  const int from = Width(L"ab");
  const int to = from + Width(L"cd");
  EXPECT_GT(CountColour(canvas, 0xBAE4FF), (to - from) * m_lineHeight / 2);
  EXPECT_EQ(canvas.width() * 40 - canvas.CountOtherThan(0xBAE4FF, 0, 0, from, 40) -
                (200 - from) * 40,
            0);
}

TEST_F(TextMarkupTest, NothingHappensWithoutTextHostOrRoom) {
  DibCanvas canvas(100, 40, kWhite);
  RECT rc = {0, 0, 100, 40};
  RECT empty = {10, 10, 10, 30};
  RECT links[1] = {};
  CUIString targets[1];
  int count = 1;
  CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, rc, nullptr, kBlack, links, targets,
                                  count, 0);
  CSkinRenderer::RenderMarkupText(canvas.dc(), nullptr, rc, L"text", kBlack, links, targets,
                                  count, 0);
  CSkinRenderer::RenderMarkupText(canvas.dc(), &m_host, empty, L"text", kBlack, links, targets,
                                  count, 0);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(canvas.CountOtherThan(kWhite, 0, 0, 100, 40), 0);
}

}  // namespace
