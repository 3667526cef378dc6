// What an observed skin build tells: elements and attribute names nothing reads (with the nearest
// name that is read), values not of their kind, images and skins that cannot be read, each at
// its line and column; and the value kinds and name distances behind those verdicts.

#include <memory>
#include <string>
#include <vector>

#include "Core/UIAttributeTable.h"
#include "Core/UIAttributeValueCheck.h"
#include "Core/UISkinIssues.h"
#include "SkinBuilderSupport.h"
#include "Utils/UIEditDistance.h"

namespace skin_testing {
namespace {

using SkinUI::CSkinBuildScope;
using SkinUI::CSkinIssueList;

// "LINE:COLUMN TEXT" of each issue, in the order the build met them.
std::vector<std::wstring> Listed(const CSkinIssueList& issues) {
  std::vector<std::wstring> lines;
  for (int i = 0; i < issues.GetCount(); ++i) {
    const SkinUI::SkinIssue& issue = issues.GetAt(i);
    lines.push_back(std::to_wstring(issue.nLine) + L":" + std::to_wstring(issue.nColumn) + L" " +
                    issue.Describe().GetData());
  }
  return lines;
}

class SkinIssuesTest : public SkinBuilderTest {
 protected:
  // Builds the skin file into the host while an issue list observes the build.
  std::vector<std::wstring> IssuesOf(const std::wstring& file) {
    CSkinIssueList issues(&m_host);
    std::unique_ptr<SkinUI::CControlUI> root;
    {
      CSkinBuildScope scope(&issues);
      root.reset(SkinUI::CSkinBuilder().Build(file.c_str(), nullptr, nullptr, &m_host));
    }
    EXPECT_NE(root, nullptr);
    return Listed(issues);
  }
};

TEST_F(SkinIssuesTest, EveryKindOfProblemIsListedOnceAtItsPlace) {
  WriteSkin(L"planted.xml",
            "<Window size=\"200,100\" sizee=\"1,2\" showshadow=\"yes\">\n"
            "  <Font id=\"0\" name=\"Tahoma\" size=\"12\" bold=\"ture\" />\n"
            "  <Image name=\"missing.png\" />\n"
            "  <Default name=\"Button\" value=\"textcolor=&quot;red&quot;\" />\n"
            "  <VerticalLayout bkcolor=\"#FFFFFFFF\">\n"
            "    <Buton text=\"x\" />\n"
            "    <Label bordersise=\"1\" textcolor=\"#FF0000\" bkimage=\"missing.png\" />\n"
            "    <Button text=\"a\" /><Button text=\"b\" />\n"
            "    <Include source=\"absent.xml\" />\n"
            "  </VerticalLayout>\n"
            "</Window>\n");
  const std::vector<std::wstring> expected = {
      L"2:40 bold=\"ture\" on Font: expected true/false, any case",
      L"3:4 image \"missing.png\" (Image) cannot be read",
      L"1:24 unknown attribute \"sizee\" on Window; did you mean \"size\"?",
      L"1:36 showshadow=\"yes\" on Window: expected true/false",
      L"6:6 unknown element \"Buton\"; it is skipped with all it holds",
      L"7:12 unknown attribute \"bordersise\" on Label; did you mean \"bordersize\"?",
      L"7:27 textcolor=\"#FF0000\" on Label: expected colour #AARRGGBB",
      L"7:47 image \"missing.png\" (bkimage on Label) cannot be read",
      // Told at the "Default" element, once for all the buttons that take it.
      L"4:4 textcolor=\"red\" on Default: expected colour #AARRGGBB",
      L"9:6 skin \"absent.xml\" named by Include cannot be read: Error opening file",
  };
  EXPECT_EQ(IssuesOf(L"planted.xml"), expected);
}

TEST_F(SkinIssuesTest, AnIncludedSkinThatDoesNotParseIsToldWithItsOwnPlace) {
  WriteSkin(L"broken.xml", "<Window>\n  <Label text='x' />\n</Window>\n");
  WriteSkin(L"includer.xml", "<Window><VerticalLayout>\n<Include source=\"broken.xml\" />\n</VerticalLayout></Window>");
  EXPECT_EQ(IssuesOf(L"includer.xml"),
            std::vector<std::wstring>{L"2:2 skin \"broken.xml\" named by Include cannot be read: "
                                      L"2:15: Expected attribute value"});
}

TEST_F(SkinIssuesTest, ACleanSkinHasNoIssuesAndAnUnobservedBuildTellsNobody) {
  WriteSkin(L"clean.xml",
            "<Window size=\"100,50\" caption=\"0,0,0,20\" showshadow=\"false\">\n"
            "  <Font id=\"1\" name=\"Tahoma\" size=\"12\" bold=\"TRUE\" />\n"
            "  <VerticalLayout bkcolor=\"#FF102030\" inset=\"1,1,1,1\" float=\"0.5,0,1,1\">\n"
            "    <Label text=\"ok\" font=\"1\" bordersize=\"2\" bkimage=\"file='a.png' corner='1,1,1,1'\" />\n"
            "  </VerticalLayout>\n"
            "</Window>\n");
  EXPECT_EQ(IssuesOf(L"clean.xml"), std::vector<std::wstring>{});
  EXPECT_EQ(CSkinBuildScope::Observer(), nullptr);
}

struct ValueCase {
  const wchar_t* pstrKind;
  const wchar_t* pstrValue;
  bool bGood;
};

class AttributeValueKinds : public testing::TestWithParam<ValueCase> {};

TEST_P(AttributeValueKinds, AreReadAsTheControlsReadThem) {
  const ValueCase& value = GetParam();
  EXPECT_EQ(SkinUI::IsValueOfKind(value.pstrKind, value.pstrValue), value.bGood)
      << testing::PrintToString(std::wstring(value.pstrKind)) << " "
      << testing::PrintToString(std::wstring(value.pstrValue));
}

INSTANTIATE_TEST_SUITE_P(
    Values, AttributeValueKinds,
    testing::Values(ValueCase{SkinUI::kIntValue, L"-12", true}, ValueCase{SkinUI::kIntValue, L"12px", false},
                    ValueCase{SkinUI::kIntValue, L"", false}, ValueCase{SkinUI::kBoolValue, L"false", true},
                    // Only "true" is true: "True" reads as false.
                    ValueCase{SkinUI::kBoolValue, L"True", false},
                    ValueCase{SkinUI::kBoolAnyCaseValue, L"True", true},
                    ValueCase{SkinUI::kColorValue, L"#FF00AAee", true},
                    ValueCase{SkinUI::kColorValue, L"FF00AA00", true},
                    // Six digits read as alpha 0, which draws nothing.
                    ValueCase{SkinUI::kColorValue, L"#FF0000", false},
                    ValueCase{SkinUI::kColorValue, L"#GG0000FF", false},
                    ValueCase{SkinUI::kPixelRectValue, L"1, 2,3,-4", true},
                    ValueCase{SkinUI::kPixelRectValue, L"1,2,3", false},
                    ValueCase{SkinUI::kPixelRectValue, L"1,2,3,4,5", false},
                    ValueCase{SkinUI::kBorderValue, L"2", true}, ValueCase{SkinUI::kBorderValue, L"2,2", false},
                    ValueCase{SkinUI::kPixelSizeValue, L"620,240", true},
                    ValueCase{SkinUI::kPixelSizeValue, L"620x", false},
                    ValueCase{SkinUI::kFloatValue, L"0.5,0,1,1", true},
                    ValueCase{SkinUI::kFloatValue, L"yes", false},
                    ValueCase{SkinUI::kImageValue, L"common\\btn.png", true},
                    ValueCase{SkinUI::kImageValue, L"file='a.png' source='0,0,4,4'", true},
                    ValueCase{SkinUI::kImageValue, L"file='a.png' sorce='0,0,4,4'", false},
                    ValueCase{SkinUI::kImageValue, L"file='a.png", false},
                    ValueCase{SkinUI::kAttributeListValue, L"width=\"5\" text=\"a b\"", true},
                    ValueCase{SkinUI::kAttributeListValue, L"width=5", false},
                    ValueCase{SkinUI::kTextValue, L"anything at all", true}));

TEST(NameDistance, CountsEditsAndSwapsButNotLetterCase) {
  EXPECT_EQ(SkinUI::NameDistance(L"bordersise", L"bordersize"), 1);
  EXPECT_EQ(SkinUI::NameDistance(L"pso", L"pos"), 1);
  EXPECT_EQ(SkinUI::NameDistance(L"BorderSize", L"bordersize"), 0);
  EXPECT_EQ(SkinUI::NameDistance(L"", L"abc"), 3);
  // Short names may be one edit off; a word for another word is no suggestion.
  EXPECT_TRUE(SkinUI::IsNearName(L"txet", L"text", nullptr));
  EXPECT_FALSE(SkinUI::IsNearName(L"name", L"size", nullptr));
}

}  // namespace
}  // namespace skin_testing
