#include <gtest/gtest.h>
#include <malloc.h>

#include <string>

#include "CheckRecorder.h"
#include "Utils/UIString.h"

using SkinUI::CUIString;
using skin_testing::CheckRecorder;

namespace {

bool IsInline(const CUIString& s) {
  const char* data = reinterpret_cast<const char*>(s.GetData());
  const char* self = reinterpret_cast<const char*>(&s);
  return data >= self && data < self + sizeof(CUIString);
}

// Bytes of the heap block behind a heap string.
size_t HeapBytes(const CUIString& s) { return _msize(const_cast<wchar_t*>(s.GetData())); }

std::wstring Text(const CUIString& s) { return s.GetData(); }

std::wstring Repeat(wchar_t ch, int n) { return std::wstring(static_cast<size_t>(n), ch); }

}  // namespace

TEST(UIStringSizing, SixtyTwoCharactersStayInlineAndSixtyThreeMoveToAnExactHeapBlock) {
  CUIString s(Repeat(L'x', 62).c_str());
  EXPECT_TRUE(IsInline(s));
  EXPECT_EQ(s.GetLength(), 62);

  s = Repeat(L'y', 63).c_str();
  EXPECT_FALSE(IsInline(s));
  EXPECT_EQ(HeapBytes(s), 64 * sizeof(wchar_t));
  EXPECT_EQ(Text(s), Repeat(L'y', 63));

  s = L"ten chars!";
  EXPECT_TRUE(IsInline(s));
  EXPECT_EQ(Text(s), L"ten chars!");
}

TEST(UIStringSizing, ALongerTextGetsANewBlockAndAShorterLongTextReusesIt) {
  CUIString s(Repeat(L'a', 100).c_str());
  EXPECT_EQ(HeapBytes(s), 101 * sizeof(wchar_t));
  s = Repeat(L'b', 200).c_str();
  EXPECT_EQ(HeapBytes(s), 201 * sizeof(wchar_t));
  s = Repeat(L'c', 80).c_str();
  EXPECT_EQ(HeapBytes(s), 201 * sizeof(wchar_t)) << "a block that is large enough is kept";
  EXPECT_EQ(Text(s), Repeat(L'c', 80));
}

TEST(UIStringSizing, AppendingToAFullInlineTextMovesItToTheHeapIntact) {
  const std::wstring start = L"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  ASSERT_EQ(start.size(), 62u);
  CUIString s(start.c_str());
  s += L"c";
  EXPECT_FALSE(IsInline(s));
  EXPECT_EQ(s.GetLength(), 63);
  EXPECT_EQ(Text(s), start + L"c");
  EXPECT_EQ(HeapBytes(s), 64 * sizeof(wchar_t));

  s += L'!';
  s += CUIString(L"-tail");
  EXPECT_EQ(Text(s), start + L"c!-tail");
  EXPECT_EQ(HeapBytes(s), 70 * sizeof(wchar_t));
}

TEST(UIStringSizing, EmptyReturnsToTheInlineBuffer) {
  CUIString s(Repeat(L'z', 90).c_str());
  s.Empty();
  EXPECT_TRUE(IsInline(s));
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.GetLength(), 0);
}

TEST(UIStringAssign, NullSourcesAreTheEmptyText) {
  CUIString fromNull(nullptr);
  EXPECT_TRUE(fromNull.IsEmpty());
  CUIString s(L"something");
  s.Assign(nullptr);
  EXPECT_TRUE(s.IsEmpty());
  s = L"abc";
  s += static_cast<LPCWSTR>(nullptr);
  EXPECT_EQ(Text(s), L"abc");
  s = static_cast<LPCWSTR>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
}

TEST(UIStringAssign, AnExplicitLengthTakesThatManyCharactersButStopsAtTheTerminator) {
  CUIString s(L"abcdef", 3);
  EXPECT_EQ(Text(s), L"abc");
  // A length past the end of the text must not read beyond its terminator.
  s.Assign(L"xy", 500);
  EXPECT_EQ(Text(s), L"xy");
}

TEST(UIStringAssign, CopiesAreIndependent) {
  CUIString a(Repeat(L'q', 70).c_str());
  CUIString b(a);
  CUIString c;
  c = a;
  a = L"changed";
  EXPECT_EQ(Text(b), Repeat(L'q', 70));
  EXPECT_EQ(Text(c), Repeat(L'q', 70));
  EXPECT_NE(b.GetData(), c.GetData());
  c = c;
  EXPECT_EQ(Text(c), Repeat(L'q', 70));
}

TEST(UIStringAssign, AssigningAPartOfItselfKeepsTheTextCorrect) {
  const std::wstring long_text = Repeat(L'a', 40) + Repeat(L'b', 40);
  CUIString s(long_text.c_str());
  s.Assign(s.GetData() + 40);  // short: goes back inline, source in the block that is freed
  EXPECT_EQ(Text(s), Repeat(L'b', 40));

  CUIString t((Repeat(L'c', 10) + Repeat(L'd', 70)).c_str());
  t.Assign(t.GetData() + 10);  // still long: the block is reused with overlapping source
  EXPECT_EQ(Text(t), Repeat(L'd', 70));

  CUIString u(L"inline text");
  u.Assign(u.GetData() + 7);
  EXPECT_EQ(Text(u), L"text");
}

TEST(UIStringAssign, AppendingItselfDoublesTheText) {
  CUIString shortText(L"abc");
  shortText += shortText;
  EXPECT_EQ(Text(shortText), L"abcabc");

  CUIString crossing(Repeat(L'm', 40).c_str());
  crossing += crossing;
  EXPECT_EQ(Text(crossing), Repeat(L'm', 80));

  CUIString onHeap(Repeat(L'h', 100).c_str());
  onHeap.Append(onHeap.GetData() + 50);
  EXPECT_EQ(Text(onHeap), Repeat(L'h', 150));
}

TEST(UIStringSearch, FindsCharactersAndSubstringsFromAStart) {
  CUIString s(L"skin/common/btn.png");
  EXPECT_EQ(s.Find(L'/'), 4);
  EXPECT_EQ(s.Find(L'/', 5), 11);
  EXPECT_EQ(s.Find(L'#'), -1);
  EXPECT_EQ(s.ReverseFind(L'/'), 11);
  EXPECT_EQ(s.ReverseFind(L'#'), -1);
  EXPECT_EQ(s.Find(L"common"), 5);
  EXPECT_EQ(s.Find(L"n", 6), 10);
  EXPECT_EQ(s.Find(L"zip"), -1);
}

TEST(UIStringSearch, AStartAtTheEndIsAllowedButFindsNoCharacter) {
  CheckRecorder recorder;
  CUIString s(L"abc");
  EXPECT_EQ(s.Find(L'c', 3), -1);
  EXPECT_EQ(s.Find(L"", 3), 3) << "only an empty substring is found at the end";
  EXPECT_EQ(s.Find(L"c", 3), -1);
  EXPECT_TRUE(recorder.checks().empty());
}

TEST(UIStringSearch, AStartOutsideTheTextIsReportedAndFindsNothing) {
  SKIP_WITHOUT_DEBUG_CHECKS();
  CheckRecorder recorder;
  CUIString s(L"abc");
  EXPECT_EQ(s.Find(L'a', 4), -1);
  EXPECT_EQ(s.Find(L'a', -1), -1);
  EXPECT_EQ(s.Find(L"a", 9), -1);
  ASSERT_EQ(recorder.checks().size(), 3u);
  for (const auto& check : recorder.checks()) {
    EXPECT_EQ(check.condition, "iPos>=0 && iPos<=GetLength()");
    EXPECT_EQ(check.unit, "UIString.cpp");
  }
}

TEST(UIStringPieces, LeftAndMidClampToTheText) {
  CUIString s(L"HorizontalLayout");
  EXPECT_EQ(Text(s.Left(10)), L"Horizontal");
  EXPECT_EQ(Text(s.Left(99)), L"HorizontalLayout");
  EXPECT_EQ(Text(s.Left(-3)), L"");
  EXPECT_EQ(Text(s.Mid(10)), L"Layout");
  EXPECT_EQ(Text(s.Mid(10, 3)), L"Lay");
  EXPECT_EQ(Text(s.Mid(14, 50)), L"ut");
  EXPECT_EQ(Text(s.Mid(16)), L"");
  EXPECT_EQ(Text(s.Mid(3, 0)), L"");
  EXPECT_EQ(Text(s.Mid(40, 2)), L"");
  // A negative position would address memory before the text.
  EXPECT_EQ(Text(s.Mid(-5, 3)), L"Hor");
}

TEST(UIStringReplace, InsertedTextIsNotSearchedAgain) {
  CUIString s(L"aaa");
  EXPECT_EQ(s.Replace(L"a", L"aa"), 3);
  EXPECT_EQ(Text(s), L"aaaaaa");
}

TEST(UIStringReplace, ReplacesEveryOccurrenceAndCountsThem) {
  CUIString s(L"%{12} and %{12} but not %{1}");
  EXPECT_EQ(s.Replace(L"%{12}", L"x"), 2);
  EXPECT_EQ(Text(s), L"x and x but not %{1}");
  EXPECT_EQ(s.Replace(L"missing", L"y"), 0);
  EXPECT_EQ(s.Replace(L" ", nullptr), 5);
  EXPECT_EQ(Text(s), L"xandxbutnot%{1}");
}

TEST(UIStringReplace, AnEmptyPatternChangesNothingAndReturns) {
  CUIString s(L"abc");
  EXPECT_EQ(s.Replace(L"", L"x"), 0);
  EXPECT_EQ(s.Replace(nullptr, L"x"), 0);
  EXPECT_EQ(Text(s), L"abc");
}

TEST(UIStringReplace, TheReplacementMayBeThePatternsOwnString) {
  CUIString s(L"ab-ab");
  EXPECT_EQ(s.Replace(L"-", s.GetData()), 1);
  EXPECT_EQ(Text(s), L"abab-abab");
}

TEST(UIStringCompare, OrdinalAndCaseInsensitiveComparison) {
  CUIString s(L"Button");
  EXPECT_EQ(s.Compare(L"Button"), 0);
  EXPECT_LT(s.Compare(L"button"), 0);
  EXPECT_GT(s.Compare(L"Butto"), 0);
  EXPECT_EQ(s.CompareNoCase(L"BUTTON"), 0);
  EXPECT_LT(s.CompareNoCase(L"buttons"), 0);
  EXPECT_GT(s.CompareNoCase(L"BUTTOM"), 0);
  EXPECT_TRUE(s == L"Button");
  EXPECT_TRUE(s != L"button");
  EXPECT_EQ(CUIString(L"ÄÖÜ").CompareNoCase(L"äöü"), 0) << "letters beyond ASCII fold too";
}

TEST(UIStringCompare, MakeLowerUsesThePlatformsLowerCasing) {
  CUIString s(L"VerticalLayout ÄÉ");
  s.MakeLower();
  EXPECT_EQ(Text(s), L"verticallayout äé");
}

TEST(UIStringFormat, FormatsWithTheWindowsConventions) {
  CUIString s;
  EXPECT_EQ(s.Format(L"%d / %d KB", 120, 4096), 13);
  EXPECT_EQ(Text(s), L"120 / 4096 KB");
  s.Format(L"%s-%hs-%04X", L"wide", "narrow", 0xAB);
  EXPECT_EQ(Text(s), L"wide-narrow-00AB");
}

TEST(UIStringFormat, LongResultsAreCutTo63Characters) {
  CUIString s;
  const std::wstring long_arg = Repeat(L'w', 500);
  s.Format(L"<%s>", long_arg.c_str());
  EXPECT_EQ(s.GetLength(), 63);
  EXPECT_EQ(Text(s), L"<" + Repeat(L'w', 62));
  CUIString after(L"next");
  EXPECT_EQ(Text(after), L"next");
}
