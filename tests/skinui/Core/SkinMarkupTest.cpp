#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Core/UIMarkup.h"
#include "support/TestFiles.h"

using SkinUI::CSkinMarkup;
using SkinUI::CSkinMarkupNode;

namespace {

struct Outcome {
  bool ok;
  std::wstring message;
  std::wstring location;
};

Outcome Parse(const std::wstring& text) {
  CSkinMarkup markup;
  const bool ok = markup.ParseText(text.c_str());
  return Outcome{ok, markup.GetLastErrorMessage(), markup.GetLastErrorLocation()};
}

void ExpectFailure(const std::wstring& text, const std::wstring& message, const std::wstring& location) {
  const Outcome outcome = Parse(text);
  EXPECT_FALSE(outcome.ok) << "parsed: " << testing::PrintToString(text);
  EXPECT_EQ(outcome.message, message) << testing::PrintToString(text);
  EXPECT_EQ(outcome.location, location) << testing::PrintToString(text);
}

// The element names of a tree, depth first, with "(" and ")" around children.
std::wstring Shape(const CSkinMarkupNode& node) {
  std::wstring shape;
  for (CSkinMarkupNode n = node; n.IsValid(); n = n.NextSibling()) {
    if (!shape.empty()) shape += L" ";
    shape += n.GetTagName();
    if (n.HasChildren()) shape += L"(" + Shape(n.FirstChild()) + L")";
  }
  return shape;
}

std::wstring ShapeOf(const std::wstring& text) {
  CSkinMarkup markup;
  if (!markup.ParseText(text.c_str())) return L"failed: " + std::wstring(markup.GetLastErrorMessage());
  return Shape(markup.GetRootNode());
}

}  // namespace

TEST(SkinMarkupStructure, NestedElementsBecomeATreeOfChildrenAndSiblings) {
  EXPECT_EQ(ShapeOf(L"<Window><VerticalLayout><Button/><Label></Label></VerticalLayout><Font/></Window>"),
            L"Window(VerticalLayout(Button Label) Font)");
}

TEST(SkinMarkupStructure, EmptyElementsInEveryWrittenForm) {
  for (const wchar_t* text : {L"<Control/>", L"<Control />", L"<Control></Control>", L"<Control\t/>"}) {
    CSkinMarkup markup;
    ASSERT_TRUE(markup.ParseText(text)) << text;
    CSkinMarkupNode root = markup.GetRootNode();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ(root.GetTagName(), L"Control");
    EXPECT_FALSE(root.HasChildren());
    EXPECT_FALSE(root.HasAttributes());
    EXPECT_EQ(root.GetAttributeCount(), 0);
    EXPECT_FALSE(root.NextSibling().IsValid());
  }
}

TEST(SkinMarkupStructure, DeclarationsCommentsAndWhitespaceAreSkipped) {
  EXPECT_EQ(ShapeOf(L"\xFEFF"  // not whitespace: a mark inside the text is an error
                    L"<a/>"),
            L"failed: Expected start tag");
  EXPECT_EQ(ShapeOf(L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- top -->\r\n"
                    L"<Window>\r\n\t<!-- inside -->\r\n\t<Button/>\r\n\t<?pi?>\r\n</Window>\r\n"),
            L"Window(Button)");
}

TEST(SkinMarkupStructure, ADocumentOfOnlyWhitespaceAndCommentsHasNoRoot) {
  CSkinMarkup markup;
  EXPECT_TRUE(markup.ParseText(L"  \r\n<!-- nothing -->\t<?xml version=\"1.0\"?>  "));
  EXPECT_FALSE(markup.GetRootNode().IsValid());
  EXPECT_FALSE(markup.IsValid());
  EXPECT_TRUE(markup.ParseText(L""));
  EXPECT_FALSE(markup.GetRootNode().IsValid());
}

TEST(SkinMarkupStructure, ElementsAfterTheRootBecomeItsSiblings) {
  EXPECT_EQ(ShapeOf(L"<Window/><Extra><Child/></Extra>"), L"Window Extra(Child)");
}

TEST(SkinMarkupStructure, ACommentEndsAtTheFirstDashAngle) {
  // The comment ends at "->" inside it; what follows up to "-->" is not markup.
  ExpectFailure(L"<a><!-- x -> y --><b/></a>", L"Expected start tag", L"y --><b/></a>");
  // "<!" that never meets "->" swallows the rest of the document.
  EXPECT_EQ(ShapeOf(L"<a><b/><!DOCTYPE whatever <c/></a>"), L"a(b)");
}

TEST(SkinMarkupText, TextBeforeTheFirstChildIsAllowedButNotAfterIt) {
  EXPECT_EQ(ShapeOf(L"<Label>some text<Child/></Label>"), L"Label(Child)");
  ExpectFailure(L"<Label>text<Child/>more text</Label>", L"Expected start tag", L"more text</Label>");
  ExpectFailure(L"stray<Window/>", L"Expected start tag", L"stray<Window/>");
}

TEST(SkinMarkupText, AnOpenRootOrRootChildMayRunToTheEndButDeeperElementsMayNot) {
  EXPECT_EQ(ShapeOf(L"<Window><Button/>"), L"Window(Button)");
  EXPECT_EQ(ShapeOf(L"<Window>text to the end"), L"Window");
  EXPECT_EQ(ShapeOf(L"<Window><Layout>text to the end"), L"Window(Layout)");
  ExpectFailure(L"<Window><Layout><Button>text", L"Expected end-tag start", L"");
  ExpectFailure(L"<Window><Layout><Button/>", L"Expected start tag", L"");
}

TEST(SkinMarkupEndTags, MustRepeatTheNameExactly) {
  ExpectFailure(L"<Window><Button></button></Window>", L"Unmatched closing tag", L"button></Window>");
  ExpectFailure(L"<Window></Windows>", L"Unmatched closing tag", L"Windows>");
  ExpectFailure(L"<Window></Win>", L"Unmatched closing tag", L"Win>");
  ExpectFailure(L"<Window></Window x>", L"Unmatched closing tag", L"x>");
  ExpectFailure(L"<Window></Window", L"Unmatched closing tag", L"");
  EXPECT_EQ(ShapeOf(L"<Window><Button></  Button  ></Window>"), L"Window(Button)");
}

TEST(SkinMarkupEndTags, AnEndTagAtTheDocumentLevelEndsTheDocument) {
  EXPECT_EQ(ShapeOf(L"<a/></b> anything"), L"a");
}

TEST(SkinMarkupErrors, MessagesAndLocationsForEachKindOfDamage) {
  ExpectFailure(L"<Window", L"Error parsing element name", L"");
  ExpectFailure(L"<Window size=\"1\" text-color=\"2\"/>", L"Error while parsing attributes", L"-color=\"2\"/>");
  ExpectFailure(L"<Window size='620,240'/>", L"Expected attribute value", L"620,240'/>");
  ExpectFailure(L"<Window size=\"620,240/>", L"Error while parsing attribute string", L"");
  ExpectFailure(L"<Window size=\"1\" / >", L"Expected start-tag closing", L"/ >");
  ExpectFailure(L"<Window size=\"1\"", L"Expected start-tag closing", L"");
  ExpectFailure(L"<Window size", L"Error while parsing attributes", L"");
}

TEST(SkinMarkupErrors, AValueMissingAtTheEndOfTheTextReportsAnEmptyLocation) {
  // The location normally starts after the offending character; here that is the terminator.
  ExpectFailure(L"<Window size=", L"Expected attribute value", L"");
  ExpectFailure(L"<Window size=  ", L"Expected attribute value", L"");
}

TEST(SkinMarkupErrors, TheLocationIsCutTo49Characters) {
  const std::wstring tail(200, L'z');
  const Outcome outcome = Parse(L"<a>text<b/>" + tail);
  EXPECT_EQ(outcome.message, L"Expected start tag");
  EXPECT_EQ(outcome.location, tail.substr(0, 49));
}

TEST(SkinMarkupErrors, AFailedParseLeavesNoDocumentAndTheNextParseClearsTheError) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(L"<ok/>"));
  EXPECT_FALSE(markup.ParseText(L"<broken"));
  EXPECT_FALSE(markup.GetRootNode().IsValid());
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Error parsing element name");
  EXPECT_TRUE(markup.ParseText(L"<ok/>"));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"");
  EXPECT_STREQ(markup.GetLastErrorLocation(), L"");
}

TEST(SkinMarkupDepth, DeeplyNestedDocumentsParseWithoutExhaustingTheStack) {
  const int depth = 200000;
  std::wstring text;
  for (int i = 0; i < depth; ++i) text += L"<a>";
  for (int i = 0; i < depth; ++i) text += L"</a>";
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(text.c_str()));
  int levels = 0;
  for (CSkinMarkupNode n = markup.GetRootNode(); n.IsValid(); n = n.FirstChild()) ++levels;
  EXPECT_EQ(levels, depth);
  // Left open deep inside, the same document fails cleanly.
  text.resize(text.size() / 2);
  EXPECT_FALSE(markup.ParseText(text.c_str()));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Expected start tag");
}

TEST(SkinMarkupText, ManyElementsGrowTheTableWithoutLosingLinks) {
  std::wstring text = L"<List>";
  for (int i = 0; i < 5000; ++i) text += L"<Item n=\"" + std::to_wstring(i) + L"\"/>";
  text += L"</List>";
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(text.c_str()));
  int i = 0;
  for (CSkinMarkupNode n = markup.GetRootNode().FirstChild(); n.IsValid(); n = n.NextSibling(), ++i) {
    ASSERT_EQ(std::wstring(n.GetAttributeValueAt(0)), std::to_wstring(i));
  }
  EXPECT_EQ(i, 5000);
}

// Where a parse fails, as an editor counts lines and columns of the text as it was written:
// the parse itself overwrites line breaks after element names and moves decoded values.
struct ErrorPlace {
  const char* label;
  const wchar_t* text;
  const wchar_t* message;
  int nLine;
  int nColumn;
};

class SkinMarkupErrorPlaces : public testing::TestWithParam<ErrorPlace> {};

TEST_P(SkinMarkupErrorPlaces, AreTheLineAndColumnOfTheOffendingCharacter) {
  const ErrorPlace& place = GetParam();
  CSkinMarkup markup;
  EXPECT_FALSE(markup.ParseText(place.text));
  EXPECT_STREQ(markup.GetLastErrorMessage(), place.message);
  EXPECT_EQ(markup.GetLastErrorLine(), place.nLine);
  EXPECT_EQ(markup.GetLastErrorColumn(), place.nColumn);

  // The same document as UTF-8 bytes with a byte-order mark: the mark is no column.
  const std::string bytes = "\xEF\xBB\xBF" + testing_support::Narrow(place.text);
  EXPECT_FALSE(markup.ParseBytes(bytes.data(), static_cast<DWORD>(bytes.size()),
                                 SkinUI::SkinTextEncoding::Utf8));
  EXPECT_EQ(markup.GetLastErrorLine(), place.nLine);
  EXPECT_EQ(markup.GetLastErrorColumn(), place.nColumn);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, SkinMarkupErrorPlaces,
    testing::Values(
        // The column of the single quote itself, not of the character after it.
        ErrorPlace{"SingleQuote", L"<Window>\n  <Button text=\"a\" size='1'/>\n</Window>",
                   L"Expected attribute value", 2, 25},
        // The line break after "Window" is overwritten by the parse, and still counts.
        ErrorPlace{"BreakAfterTheName", L"<Window\n  size=\"1\"\n  bad\n/>", L"Error while parsing attributes", 4, 1},
        ErrorPlace{"WindowsLineBreaks", L"<a>\r\n<b>\r\n<c x=\"1\">text", L"Expected end-tag start", 3, 14},
        ErrorPlace{"OldMacLineBreaks", L"<a>\r<b>\r<c x=\"1\">text", L"Expected end-tag start", 3, 14},
        // Decoding moves the value's line break to the left; the next line starts where it did.
        ErrorPlace{"AfterDecodedEntities", L"<a v=\"&amp;&amp;\nx\"><b y='1'/></a>", L"Expected attribute value", 2, 9},
        // A character outside the basic plane is one column, though two units.
        ErrorPlace{"AfterAnEmoji", L"<a t=\"\U0001F600\"><b y='1'/></a>", L"Expected attribute value", 1, 15},
        ErrorPlace{"AtTheEnd", L"<Window>\n<Layout>\n<Button/>", L"Expected start tag", 3, 10},
        ErrorPlace{"WrongEndTag", L"<Window>\n\t<Button></button>\n</Window>", L"Unmatched closing tag", 2, 12}),
    [](const testing::TestParamInfo<ErrorPlace>& info) { return std::string(info.param.label); });

TEST(SkinMarkupErrors, FailuresOutsideATextHaveNoPlaceAndASuccessClearsIt) {
  CSkinMarkup markup;
  EXPECT_FALSE(markup.ParseText(L"<a b='1'/>"));
  EXPECT_EQ(markup.GetLastErrorLine(), 1);
  EXPECT_TRUE(markup.ParseText(L"<a/>"));
  EXPECT_EQ(markup.GetLastErrorLine(), 0);
  EXPECT_EQ(markup.GetLastErrorColumn(), 0);
  const SkinUI::SkinFileSource nowhere = {L"Z:\\no\\such\\folder\\", nullptr, false, nullptr};
  EXPECT_FALSE(markup.ParseSkinFile(L"absent.xml", SkinUI::SkinTextEncoding::Utf8, nowhere));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Error opening file");
  EXPECT_EQ(markup.GetLastErrorLine(), 0);
}

TEST(SkinMarkupPlaces, ElementsAndAttributesAreLocatedInTheKeptText) {
  const wchar_t kText[] = L"<Window>\n  <Button name=\"a&amp;b\"\n    bordersise=\"1\"/>\n</Window>";
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(kText));
  int nLine = 0;
  int nColumn = 0;
  // Without a kept copy there is nothing to count in.
  EXPECT_FALSE(markup.LocateOffset(markup.GetRootNode().GetSourceOffset(), &nLine, &nColumn));

  markup.KeepSourceText(true);
  ASSERT_TRUE(markup.ParseText(kText));
  const CSkinMarkupNode button = markup.GetRootNode().FirstChild();
  ASSERT_TRUE(markup.LocateOffset(button.GetSourceOffset(), &nLine, &nColumn));
  EXPECT_EQ(std::make_pair(nLine, nColumn), std::make_pair(2, 4));
  ASSERT_TRUE(markup.LocateOffset(button.GetAttributeSourceOffsetAt(1), &nLine, &nColumn));
  EXPECT_EQ(std::make_pair(nLine, nColumn), std::make_pair(3, 5));
  EXPECT_EQ(button.GetAttributeSourceOffsetAt(2), CSkinMarkup::kNoOffset);
}
