#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Core/UIMarkup.h"

using SkinUI::CSkinMarkup;
using SkinUI::CSkinMarkupNode;

namespace {

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

Attributes AttributesOf(const CSkinMarkupNode& node) {
  Attributes result;
  for (int i = 0; i < node.GetAttributeCount(); ++i) {
    result.emplace_back(node.GetAttributeNameAt(i), node.GetAttributeValueAt(i));
  }
  return result;
}

Attributes RootAttributes(const std::wstring& text) {
  CSkinMarkup markup;
  EXPECT_TRUE(markup.ParseText(text.c_str())) << markup.GetLastErrorMessage();
  return AttributesOf(markup.GetRootNode());
}

}  // namespace

TEST(SkinMarkupAttributes, NamesAndValuesInDocumentOrder) {
  EXPECT_EQ(RootAttributes(L"<Button name=\"closebtn\" tooltip=\"关闭\" pos=\"584,16,0,0\" />"),
            (Attributes{{L"name", L"closebtn"}, {L"tooltip", L"关闭"}, {L"pos", L"584,16,0,0"}}));
}

TEST(SkinMarkupAttributes, BlanksAroundTheEqualsSignAndNoneBetweenAttributes) {
  EXPECT_EQ(RootAttributes(L"<Font id = \"0\"name\t=\r\n\"宋体\"size=\"12\"/>"),
            (Attributes{{L"id", L"0"}, {L"name", L"宋体"}, {L"size", L"12"}}));
}

TEST(SkinMarkupAttributes, ValuesKeepBlanksTabsAndLineBreaks) {
  EXPECT_EQ(RootAttributes(L"<Text text=\" two  spaces\tand\r\nbreak \"></Text>"),
            (Attributes{{L"text", L" two  spaces\tand\r\nbreak "}}));
}

TEST(SkinMarkupAttributes, TheFiveEntitiesAreDecodedAndOtherAmpersandsKept) {
  EXPECT_EQ(RootAttributes(L"<a v=\"&lt;b&gt; &amp; &copy; &amp &quot;q&quot; &apos;s&apos; &#60; &AMP;\" w=\"x\"/>"),
            (Attributes{{L"v", L"<b> & &copy; &amp \"q\" 's' &#60; &AMP;"}, {L"w", L"x"}}));
}

TEST(SkinMarkupAttributes, DecodedValuesEndWhereTheirTextEnds) {
  // Each decoded entity frees characters inside the value; the next attribute is unaffected.
  EXPECT_EQ(RootAttributes(L"<a first=\"&amp;&amp;&amp;\" second=\"&quot;\"third=\"plain\"/>"),
            (Attributes{{L"first", L"&&&"}, {L"second", L"\""}, {L"third", L"plain"}}));
}

TEST(SkinMarkupAttributes, EmptyNamesAndValues) {
  EXPECT_EQ(RootAttributes(L"<a =\"no name\" empty=\"\" =\"\"/>"),
            (Attributes{{L"", L"no name"}, {L"empty", L""}, {L"", L""}}));
}

TEST(SkinMarkupAttributes, AnyCharacterAfterTheNameSeparatesTheAttributes) {
  EXPECT_EQ(RootAttributes(L"<a\"x=\"1\"/>"), (Attributes{{L"x", L"1"}}));
  EXPECT_EQ(RootAttributes(L"<a/x=\"1\">"), (Attributes{{L"x", L"1"}}));
}

TEST(SkinMarkupAttributes, NamesTakeLettersOfAnyScriptDigitsUnderscoresAndColons) {
  EXPECT_EQ(RootAttributes(L"<Wnd_1 名称=\"a\" x:y_2=\"b\"/>"), (Attributes{{L"名称", L"a"}, {L"x:y_2", L"b"}}));
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(L"<Élément/>"));
  EXPECT_STREQ(markup.GetRootNode().GetTagName(), L"Élément");
}

TEST(SkinMarkupAttributes, OnlyTheFirst64AttributesAreVisible) {
  std::wstring text = L"<Window";
  for (int i = 0; i < 70; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
  text += L"><Child/></Window>";
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(text.c_str()));
  CSkinMarkupNode root = markup.GetRootNode();
  EXPECT_EQ(root.GetAttributeCount(), 64);
  EXPECT_STREQ(root.GetAttributeNameAt(63), L"a63");
  EXPECT_STREQ(root.GetAttributeValueAt(63), L"63");
  WCHAR value[8] = {};
  EXPECT_FALSE(root.FindAttribute(L"a64", value, 7));
  EXPECT_TRUE(root.FirstChild().IsValid());
}

TEST(SkinMarkupAttributes, IndexesOutsideTheAttributesGiveTheEmptyText) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(L"<a x=\"1\"/>"));
  CSkinMarkupNode root = markup.GetRootNode();
  EXPECT_STREQ(root.GetAttributeNameAt(-1), L"");
  EXPECT_STREQ(root.GetAttributeValueAt(1), L"");
}

TEST(SkinMarkupFindAttribute, CopiesTheFirstMatchTruncatedToTheCapacity) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(L"<Button name=\"first\" Name=\"case\" name=\"second\" text=\"a long caption\"/>"));
  CSkinMarkupNode root = markup.GetRootNode();
  WCHAR value[32] = {};
  ASSERT_TRUE(root.FindAttribute(L"name", value, 31));
  EXPECT_STREQ(value, L"first");
  WCHAR shortValue[7] = {};
  ASSERT_TRUE(root.FindAttribute(L"text", shortValue, 6));
  EXPECT_STREQ(shortValue, L"a long");
  EXPECT_FALSE(root.FindAttribute(L"NAME", value, 31));
  EXPECT_FALSE(root.FindAttribute(L"missing", value, 31));
}

TEST(SkinMarkupNavigation, InvalidNodesAnswerWithNothing) {
  CSkinMarkupNode none;
  EXPECT_FALSE(none.IsValid());
  EXPECT_FALSE(none.NextSibling().IsValid());
  EXPECT_FALSE(none.FirstChild().IsValid());
  EXPECT_FALSE(none.HasChildren());
  EXPECT_EQ(none.GetTagName(), nullptr);
  EXPECT_FALSE(none.HasAttributes());
  EXPECT_EQ(none.GetAttributeCount(), 0);
  EXPECT_EQ(none.GetAttributeNameAt(0), nullptr);
  WCHAR value[4] = {};
  EXPECT_FALSE(none.FindAttribute(L"x", value, 3));
}

TEST(SkinMarkupNavigation, NodesOfAnEarlierDocumentBecomeInvalid) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseText(L"<a x=\"1\"><b y=\"2\"/></a>"));
  CSkinMarkupNode child = markup.GetRootNode().FirstChild();
  ASSERT_EQ(child.GetAttributeCount(), 1);
  ASSERT_TRUE(markup.ParseText(L"<c/>"));
  EXPECT_FALSE(child.IsValid());
  EXPECT_EQ(child.GetAttributeValueAt(0), nullptr);
  markup.Clear();
  EXPECT_FALSE(markup.GetRootNode().IsValid());
}

TEST(SkinMarkupNavigation, ASkinReadsLikeItsSource) {
  CSkinMarkup markup(
      L"<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\" ?>\r\n"
      L"<Window size=\"370,150\" caption=\"0,0,0,48\">\r\n"
      L"\t<Font id=\"0\" name=\"微软雅黑\" size=\"16\" />\r\n"
      L"\t<VerticalLayout>\r\n"
      L"\t\t<Label name=\"main_txt\" text=\"有新版本 &amp; 更新\" />\r\n"
      L"\t</VerticalLayout>\r\n"
      L"</Window>\r\n");
  CSkinMarkupNode root = markup.GetRootNode();
  ASSERT_TRUE(root.IsValid());
  EXPECT_STREQ(root.GetTagName(), L"Window");
  EXPECT_EQ(AttributesOf(root), (Attributes{{L"size", L"370,150"}, {L"caption", L"0,0,0,48"}}));
  CSkinMarkupNode font = root.FirstChild();
  EXPECT_STREQ(font.GetTagName(), L"Font");
  CSkinMarkupNode layout = font.NextSibling();
  EXPECT_STREQ(layout.GetTagName(), L"VerticalLayout");
  EXPECT_FALSE(layout.HasAttributes());
  CSkinMarkupNode label = layout.FirstChild();
  EXPECT_EQ(AttributesOf(label), (Attributes{{L"name", L"main_txt"}, {L"text", L"有新版本 & 更新"}}));
  EXPECT_FALSE(label.NextSibling().IsValid());
  EXPECT_FALSE(layout.NextSibling().IsValid());
}
