#include <gtest/gtest.h>

#include <vector>

#include "CheckRecorder.h"
#include "Utils/UIPtrArray.h"

using SkinUI::CPtrArrayUI;
using skin_testing::CheckRecorder;

namespace {

int g_items[64];

LPVOID Item(int i) { return &g_items[i]; }

std::vector<LPVOID> Contents(const CPtrArrayUI& a) {
  std::vector<LPVOID> result;
  for (int i = 0; i < a.GetSize(); ++i) result.push_back(a.GetAt(i));
  return result;
}

}  // namespace

TEST(PtrArrayGrowth, CapacityGoesToElevenThenDoublesBeforeTheArrayIsFull) {
  CPtrArrayUI a;
  EXPECT_EQ(a.GetCapacity(), 0);
  std::vector<int> capacityAfterAdd;
  for (int i = 0; i < 23; ++i) {
    ASSERT_TRUE(a.Add(Item(i)));
    capacityAfterAdd.push_back(a.GetCapacity());
  }
  EXPECT_EQ(capacityAfterAdd[0], 11);
  EXPECT_EQ(capacityAfterAdd[9], 11);
  EXPECT_EQ(capacityAfterAdd[10], 22) << "the 11th element already grows the block";
  EXPECT_EQ(capacityAfterAdd[20], 22);
  EXPECT_EQ(capacityAfterAdd[21], 44) << "the 22nd element grows it again";
  for (int i = 0; i < 23; ++i) EXPECT_EQ(a[i], Item(i));
}

TEST(PtrArrayGrowth, PreallocationAndResize) {
  CPtrArrayUI pre(6);
  EXPECT_EQ(pre.GetCapacity(), 6);
  EXPECT_TRUE(pre.IsEmpty());
  for (int i = 0; i < 6; ++i) pre.Add(Item(i));
  EXPECT_EQ(pre.GetCapacity(), 12) << "the 6th element fills the preallocation and doubles it";

  pre.Resize(4);
  EXPECT_EQ(pre.GetSize(), 4);
  EXPECT_EQ(pre.GetCapacity(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(pre.GetAt(i), nullptr);
  pre.Add(Item(9));
  EXPECT_EQ(pre.GetAt(4), Item(9));

  pre.Empty();
  EXPECT_EQ(pre.GetSize(), 0);
  EXPECT_EQ(pre.GetCapacity(), 0);
}

TEST(PtrArrayEditing, InsertAtTheEndAppendsAndPastTheEndFails) {
  CPtrArrayUI a;
  a.Add(Item(0));
  a.Add(Item(2));
  EXPECT_TRUE(a.InsertAt(1, Item(1)));
  EXPECT_TRUE(a.InsertAt(3, Item(3)));
  EXPECT_TRUE(a.InsertAt(0, Item(9)));
  EXPECT_FALSE(a.InsertAt(6, Item(4)));
  EXPECT_FALSE(a.InsertAt(-1, Item(4)));
  EXPECT_EQ(Contents(a), (std::vector<LPVOID>{Item(9), Item(0), Item(1), Item(2), Item(3)}));
}

TEST(PtrArrayEditing, RemoveShiftsLaterElementsAndKeepsTheBlock) {
  CPtrArrayUI a;
  for (int i = 0; i < 5; ++i) a.Add(Item(i));
  EXPECT_TRUE(a.Remove(1));
  EXPECT_TRUE(a.Remove(3));
  EXPECT_FALSE(a.Remove(3));
  EXPECT_FALSE(a.Remove(-1));
  EXPECT_EQ(Contents(a), (std::vector<LPVOID>{Item(0), Item(2), Item(3)}));
  EXPECT_EQ(a.GetCapacity(), 11);
  EXPECT_EQ(a.Find(Item(3)), 2);
  EXPECT_EQ(a.Find(Item(1)), -1);
}

TEST(PtrArrayAccess, GetAtOutsideTheRangeIsNull) {
  CPtrArrayUI a;
  EXPECT_EQ(a.GetAt(0), nullptr);
  a.Add(Item(0));
  EXPECT_EQ(a.GetAt(-1), nullptr);
  EXPECT_EQ(a.GetAt(1), nullptr);
  EXPECT_EQ(a.GetAt(0), Item(0));
}

TEST(PtrArrayAccess, CopiesHoldTheSameElementsIndependently) {
  CPtrArrayUI a;
  for (int i = 0; i < 12; ++i) a.Add(Item(i));
  CPtrArrayUI b(a);
  CPtrArrayUI c;
  c.Add(Item(40));
  c = a;
  a.Remove(0);
  EXPECT_EQ(b.GetSize(), 12);
  EXPECT_EQ(c.GetSize(), 12);
  EXPECT_EQ(b.GetAt(0), Item(0));
  EXPECT_EQ(c.GetAt(11), Item(11));
}

TEST(PtrArrayChecks, MisuseIsReportedWithTheCondition) {
  SKIP_WITHOUT_DEBUG_CHECKS();
  CheckRecorder recorder;
  CPtrArrayUI negative(-3);
  EXPECT_EQ(negative.GetCapacity(), 0);
  CPtrArrayUI a;
  a.Add(Item(0));
  // The slot after the last element exists (the block is never full), so this read is safe.
  (void)a[1];
  ASSERT_EQ(recorder.checks().size(), 2u);
  EXPECT_EQ(recorder.checks()[0].condition, "iPreallocSize>=0");
  EXPECT_EQ(recorder.checks()[0].unit, "UIPtrArray.cpp");
  EXPECT_EQ(recorder.checks()[1].condition, "iIndex>=0 && iIndex<m_nCount");
}
