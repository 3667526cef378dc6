// The image attribute mini-language: bare names, key='value' pairs and malformed strings.

#include <gtest/gtest.h>

#include "Core/UIImageAttribute.h"
#include "Utils/UIDebug.h"

using SkinUI::ImageDrawInfo;
using SkinUI::ImageSourceKeys;
using SkinUI::ParseImageAttribute;

namespace {

struct Parsed {
  ImageDrawInfo info;
  ImageSourceKeys keys;
};

Parsed Parse(const wchar_t* attribute) {
  Parsed parsed;
  ParseImageAttribute(attribute, parsed.info, parsed.keys);
  return parsed;
}

void ExpectRect(const RECT& rc, LONG l, LONG t, LONG r, LONG b) {
  EXPECT_EQ(rc.left, l);
  EXPECT_EQ(rc.top, t);
  EXPECT_EQ(rc.right, r);
  EXPECT_EQ(rc.bottom, b);
}

TEST(ImageAttributeTest, BareNameIsTheImageName) {
  const Parsed p = Parse(L"installation\\bkimage.png");
  EXPECT_STREQ(p.info.sImageName, L"installation\\bkimage.png");
  EXPECT_EQ(p.info.uFade, 255);
  EXPECT_FALSE(p.keys.bResource);
  ExpectRect(p.info.rcSource, 0, 0, 0, 0);
}

TEST(ImageAttributeTest, EveryKeyIsRead) {
  const Parsed p = Parse(
      L"file='btn.png' dest='1,2,3,4' source='5,6,7,8' corner='9,10,11,12' mask='#FFFF00FF' "
      L"fade='128' hole='true' xtiled='true' ytiled='true' hsl='true'");
  EXPECT_STREQ(p.info.sImageName, L"btn.png");
  ExpectRect(p.info.rcDest, 1, 2, 3, 4);
  ExpectRect(p.info.rcSource, 5, 6, 7, 8);
  ExpectRect(p.info.rcCorner, 9, 10, 11, 12);
  EXPECT_EQ(p.keys.dwMask, 0xFFFF00FFu);
  EXPECT_EQ(p.info.uFade, 128);
  EXPECT_TRUE(p.info.bHole);
  EXPECT_TRUE(p.info.bTiledX);
  EXPECT_TRUE(p.info.bTiledY);
  EXPECT_TRUE(p.keys.bHsl);
  EXPECT_FALSE(p.keys.bResource);
}

TEST(ImageAttributeTest, Scale9IsCornerAndMaskNeedsNoHash) {
  const Parsed p = Parse(L"file='a.png' scale9='3,4,5,6' mask='ff00ff'");
  ExpectRect(p.info.rcCorner, 3, 4, 5, 6);
  EXPECT_EQ(p.keys.dwMask, 0x00FF00FFu);
}

TEST(ImageAttributeTest, ResourceNamesCarryTheirType) {
  const Parsed typed = Parse(L"res='129' restype='PNG'");
  EXPECT_STREQ(typed.info.sImageName, L"129");
  EXPECT_TRUE(typed.keys.bResource);
  EXPECT_STREQ(typed.keys.sResType, L"PNG");
  const Parsed untyped = Parse(L"res='129'");
  EXPECT_TRUE(untyped.keys.bResource);
  EXPECT_TRUE(untyped.keys.sResType.IsEmpty());
}

TEST(ImageAttributeTest, OnlyTrueSwitchesFlagsOn) {
  const Parsed p = Parse(L"file='a.png' hole='TRUE' xtiled='1' ytiled='yes' hsl='false'");
  EXPECT_FALSE(p.info.bHole);
  EXPECT_FALSE(p.info.bTiledX);
  EXPECT_FALSE(p.info.bTiledY);
  EXPECT_FALSE(p.keys.bHsl);
}

TEST(ImageAttributeTest, FadeKeepsOnlyItsLowEightBits) {
  EXPECT_EQ(Parse(L"file='a' fade='256'").info.uFade, 0);
  EXPECT_EQ(Parse(L"file='a' fade='300'").info.uFade, 44);
  EXPECT_EQ(Parse(L"file='a' fade='0'").info.uFade, 0);
}

TEST(ImageAttributeTest, PairsAreSeparatedByBlanksOnly) {
  const Parsed two = Parse(L"file='a.png'  fade='10'");
  EXPECT_STREQ(two.info.sImageName, L"a.png");
  EXPECT_EQ(two.info.uFade, 10);
  const Parsed comma = Parse(L"file='a.png', fade='10'");
  EXPECT_STREQ(comma.info.sImageName, L"a.png");
  EXPECT_EQ(comma.info.uFade, 255);
  const Parsed spaced = Parse(L"  file = 'a.png' fade=\t'20'");
  EXPECT_STREQ(spaced.info.sImageName, L"a.png");
  EXPECT_EQ(spaced.info.uFade, 20);
}

TEST(ImageAttributeTest, StringWithoutANameKeepsTheWholeTextAsName) {
  const Parsed p = Parse(L"dest='10,10,30,30'");
  EXPECT_STREQ(p.info.sImageName, L"dest='10,10,30,30'");
  ExpectRect(p.info.rcDest, 10, 10, 30, 30);
}

TEST(ImageAttributeTest, UnknownKeysAndEmptyValuesAreIgnored) {
  const Parsed p = Parse(L"file='a.png' colour='red' fade='' file=''");
  EXPECT_STREQ(p.info.sImageName, L"a.png");
  EXPECT_EQ(p.info.uFade, 255);
}

TEST(ImageAttributeTest, MalformedPairsStopParsingButKeepWhatWasRead) {
  EXPECT_EQ(Parse(L"file='a.png' fade='9").info.uFade, 255);  // unterminated value
  EXPECT_EQ(Parse(L"file='a.png' fade 9").info.uFade, 255);   // no "="
  EXPECT_EQ(Parse(L"file='a.png' fade=9").info.uFade, 255);   // no apostrophe
  EXPECT_STREQ(Parse(L"file='a.png' fade=9 ").info.sImageName, L"a.png");
  EXPECT_STREQ(Parse(L"file='a.png").info.sImageName, L"file='a.png");
  EXPECT_STREQ(Parse(L"").info.sImageName, L"");
  EXPECT_STREQ(Parse(L"=''").info.sImageName, L"=''");
  EXPECT_STREQ(Parse(nullptr).info.sImageName, L"");
}

std::vector<std::string>* g_checks = nullptr;
void RecordCheck(const char*, int, const char* condition) { g_checks->push_back(condition); }

TEST(ImageAttributeTest, ShortNumberListsReadZerosAndNeverRunPastTheValue) {
  std::vector<std::string> checks;
  g_checks = &checks;
  SkinUI::UICheckReportProc previous = SkinUI::SetCheckReportProc(RecordCheck);
  const Parsed shortList = Parse(L"file='a' corner='7' source='1,2'");
  const Parsed garbage = Parse(L"file='a' dest='x,y,z,w'");
  const Parsed good = Parse(L"file='a' dest='-1,2,3,4'");
  SkinUI::SetCheckReportProc(previous);
  g_checks = nullptr;
  ExpectRect(shortList.info.rcCorner, 7, 0, 0, 0);
  ExpectRect(shortList.info.rcSource, 1, 2, 0, 0);
  ExpectRect(garbage.info.rcDest, 0, 0, 0, 0);
  ExpectRect(good.info.rcDest, -1, 2, 3, 4);
#ifdef _DEBUG
  EXPECT_EQ(checks, (std::vector<std::string>{"pstr", "pstr", "pstr"}));
#else
  EXPECT_TRUE(checks.empty());
#endif
}

}  // namespace
