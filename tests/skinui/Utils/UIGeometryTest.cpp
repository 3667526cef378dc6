#include <gtest/gtest.h>

#include "Utils/UIGeometry.h"

using SkinUI::CUIRect;
using SkinUI::CUISize;

TEST(UIRect, SizesAndJoin) {
  CUIRect rc(10, 20, 110, 70);
  EXPECT_EQ(rc.GetWidth(), 100);
  EXPECT_EQ(rc.GetHeight(), 50);
  rc.Join(CUIRect(-5, 30, 50, 90));
  EXPECT_EQ(rc.left, -5);
  EXPECT_EQ(rc.top, 20);
  EXPECT_EQ(rc.right, 110);
  EXPECT_EQ(rc.bottom, 90);
  // An empty rectangle is joined like any other.
  CUIRect empty;
  empty.Join(CUIRect(5, 5, 6, 6));
  EXPECT_EQ(empty.left, 0);
  EXPECT_EQ(empty.right, 6);
}

TEST(UIRect, ResetOffsetMovesTheCornerToTheOrigin) {
  CUIRect rc(30, 40, 50, 100);
  rc.ResetOffset();
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.top, 0);
  EXPECT_EQ(rc.right, 20);
  EXPECT_EQ(rc.bottom, 60);
  rc.Offset(-3, 7);
  EXPECT_EQ(rc.left, -3);
  EXPECT_EQ(rc.bottom, 67);
}

TEST(UIRect, PlatformCallsAcceptTheRecordsAsTheyAre) {
  CUIRect a(0, 0, 100, 100);
  CUIRect b(50, 60, 200, 200);
  CUIRect both;
  ASSERT_TRUE(IntersectRect(&both, &a, &b));
  EXPECT_EQ(both.left, 50);
  EXPECT_EQ(both.top, 60);
  EXPECT_EQ(both.right, 100);
  EXPECT_EQ(both.bottom, 100);
  CUIRect copy(both);
  EXPECT_TRUE(EqualRect(&copy, &both));
}
