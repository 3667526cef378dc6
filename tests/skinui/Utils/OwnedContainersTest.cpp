// The typed faces of the pointer array and the string map that own their records: what they free
// and when, and what they hand back.

#include <gtest/gtest.h>

#include <vector>

#include "Utils/UIOwnedStringMap.h"
#include "Utils/UITypedPtrArray.h"

using SkinUI::COwnedPtrArrayUI;
using SkinUI::COwnedStringMapUI;
using SkinUI::CTypedPtrArrayUI;

namespace {

// A record that notes its number when it is destroyed.
struct Record {
  Record(int n, std::vector<int>* pGone) : nNumber(n), pGone(pGone) {}
  ~Record() { pGone->push_back(nNumber); }
  int nNumber;
  std::vector<int>* pGone;
};

TEST(OwnedPtrArray, RecordsGoWhenDeletedOrWithTheArrayButNotWhenTaken) {
  std::vector<int> gone;
  Record* pTaken = nullptr;
  {
    COwnedPtrArrayUI<Record> records;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(records.Add(new Record(i, &gone)));
    records.DeleteAt(1);
    EXPECT_EQ(gone, std::vector<int>{1});
    pTaken = records.Take(0);
    EXPECT_EQ(pTaken->nNumber, 0);
    EXPECT_EQ(records.GetSize(), 2);
    EXPECT_EQ(records[0]->nNumber, 2);
    EXPECT_EQ(records.GetAt(2), nullptr);
  }
  EXPECT_EQ(gone, (std::vector<int>{1, 2, 3}));
  delete pTaken;
}

TEST(TypedPtrArray, IsTheUntypedArrayWithTypedAccess) {
  std::vector<int> gone;
  Record a(1, &gone);
  Record b(2, &gone);
  CTypedPtrArrayUI<Record> records;
  records.Add(&a);
  records.Add(&b);
  const SkinUI::CPtrArrayUI& untyped = records;
  EXPECT_EQ(untyped.GetAt(1), &b);
  EXPECT_TRUE(records.RemoveFirst(&a));
  EXPECT_FALSE(records.RemoveFirst(&a));
  EXPECT_EQ(records[0]->nNumber, 2);
}

TEST(OwnedStringMap, ReplacedRemovedAndLeftRecordsAreFreedAndTheFirstInsertedStays) {
  std::vector<int> gone;
  {
    COwnedStringMapUI<Record> records;
    ASSERT_TRUE(records.Set(L"a", new Record(1, &gone)));
    ASSERT_TRUE(records.Set(L"a", new Record(2, &gone)));
    EXPECT_EQ(gone, std::vector<int>{1});
    EXPECT_FALSE(records.Insert(L"a", new Record(3, &gone)));
    EXPECT_EQ(gone, (std::vector<int>{1, 3}));
    EXPECT_EQ(records.Find(L"a")->nNumber, 2);
    records.Delete(L"a");
    EXPECT_EQ(gone, (std::vector<int>{1, 3, 2}));
    EXPECT_TRUE(records.Insert(L"b", new Record(4, &gone)));
    EXPECT_EQ(records.FindIf([](const Record* p) { return p->nNumber == 4; })->nNumber, 4);
  }
  EXPECT_EQ(gone, (std::vector<int>{1, 3, 2, 4}));
}

}  // namespace
