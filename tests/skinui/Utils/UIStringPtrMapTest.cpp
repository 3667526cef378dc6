#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Utils/UIStringPtrMap.h"

using SkinUI::CStringPtrMapUI;

namespace {

int g_values[16];

LPVOID Value(int i) { return &g_values[i]; }

std::vector<std::wstring> Enumerate(const CStringPtrMapUI& map) {
  std::vector<std::wstring> keys;
  for (int i = 0; LPCWSTR key = map.GetAt(i); ++i) keys.push_back(key);
  return keys;
}

// Keys of the form "k<n>" that land in one bucket of a map with nBuckets buckets.
std::vector<std::wstring> KeysSharingABucket(int nBuckets, size_t count) {
  std::map<UINT, std::vector<std::wstring>> byBucket;
  for (int i = 0;; ++i) {
    std::wstring key = L"k" + std::to_wstring(i);
    auto& keys = byBucket[CStringPtrMapUI::HashKey(key.c_str()) % nBuckets];
    keys.push_back(key);
    if (keys.size() == count) return keys;
  }
}

}  // namespace

TEST(StringMapHash, TheLastCharacterIsTakenFirst) {
  EXPECT_EQ(CStringPtrMapUI::HashKey(L"ab"), 98u * 33u + 97u);
  EXPECT_EQ(CStringPtrMapUI::HashKey(L"ba"), 97u * 33u + 98u);
  EXPECT_EQ(CStringPtrMapUI::HashKey(L""), 0u);
  // Unsigned 32-bit arithmetic wraps around.
  UINT h = 0;
  const std::wstring long_key(40, L'z');
  for (size_t i = long_key.size(); i > 0; --i) h = h * 33u + long_key[i - 1];
  EXPECT_EQ(CStringPtrMapUI::HashKey(long_key.c_str()), h);
}

TEST(StringMapBuckets, SmallBucketCountsAreRaisedToSixteen) {
  EXPECT_EQ(CStringPtrMapUI(5).GetBucketCount(), 16);
  EXPECT_EQ(CStringPtrMapUI().GetBucketCount(), 83);
  EXPECT_EQ(CStringPtrMapUI(100).GetBucketCount(), 100);
}

TEST(StringMapEntries, InsertKeepsTheFirstValueAndSetReplacesIt) {
  CStringPtrMapUI map;
  EXPECT_TRUE(map.Insert(L"Button", Value(1)));
  EXPECT_FALSE(map.Insert(L"Button", Value(2)));
  EXPECT_EQ(map.Find(L"Button"), Value(1));
  EXPECT_EQ(map.Set(L"Button", Value(3)), Value(1));
  EXPECT_EQ(map.Find(L"Button"), Value(3));
  EXPECT_EQ(map.Set(L"Label", Value(4)), nullptr);
  EXPECT_EQ(map.Find(L"Label"), Value(4));
  EXPECT_EQ(map.Find(L"button"), nullptr) << "keys compare case-sensitively";
  EXPECT_EQ(map.GetSize(), 2);
}

TEST(StringMapEntries, AKeyStoredWithANullValueIsNotDuplicated) {
  CStringPtrMapUI map;
  EXPECT_TRUE(map.Insert(L"empty", nullptr));
  EXPECT_FALSE(map.Insert(L"empty", Value(1)));
  EXPECT_EQ(map.GetSize(), 1);
  EXPECT_EQ(map.Set(L"empty", Value(2)), nullptr);
  EXPECT_EQ(map.GetSize(), 1);
  EXPECT_EQ(map.Find(L"empty"), Value(2));
}

TEST(StringMapEntries, RemoveTakesOutOnlyThatKey) {
  CStringPtrMapUI map(16);
  const auto keys = KeysSharingABucket(16, 3);
  for (int i = 0; i < 3; ++i) map.Insert(keys[i].c_str(), Value(i));
  EXPECT_TRUE(map.Remove(keys[1].c_str()));  // middle of the bucket
  EXPECT_FALSE(map.Remove(keys[1].c_str()));
  EXPECT_TRUE(map.Remove(keys[2].c_str()));  // head of the bucket
  EXPECT_EQ(map.GetSize(), 1);
  EXPECT_EQ(map.Find(keys[0].c_str()), Value(0));
  EXPECT_EQ(map.Find(keys[2].c_str()), nullptr);
  EXPECT_TRUE(map.Remove(keys[0].c_str()));
  EXPECT_EQ(map.GetAt(0), nullptr);
}

TEST(StringMapEntries, RemoveAllAndResizeDropEverything) {
  CStringPtrMapUI map;
  map.Insert(L"a", Value(0));
  map.Insert(L"b", Value(1));
  map.RemoveAll();
  EXPECT_EQ(map.GetSize(), 0);
  EXPECT_EQ(map.GetBucketCount(), 83);
  EXPECT_EQ(map.Find(L"a"), nullptr);
  EXPECT_TRUE(map.Insert(L"a", Value(2)));
  map.Resize(30);
  EXPECT_EQ(map.GetBucketCount(), 30);
  EXPECT_EQ(map.GetSize(), 0);
}

TEST(StringMapEntries, AMapWithoutBucketsStoresNothing) {
  CStringPtrMapUI map;
  map.Resize(0);
  EXPECT_FALSE(map.Insert(L"a", Value(0)));
  EXPECT_EQ(map.Set(L"a", Value(1)), Value(1)) << "the value comes back unstored";
  EXPECT_EQ(map.Find(L"a"), nullptr);
  EXPECT_FALSE(map.Remove(L"a"));
  EXPECT_EQ(map.GetSize(), 0);
  EXPECT_EQ(map.GetAt(0), nullptr);
}

TEST(StringMapEnumeration, LastBucketFirstAndNewestFirstWithinABucket) {
  CStringPtrMapUI map(16);
  // Keys whose hash modulo 16 is the bucket: "a"=97 -> 1, "b"=98 -> 2, "q"=113 -> 1.
  map.Insert(L"a", Value(0));
  map.Insert(L"b", Value(1));
  map.Insert(L"q", Value(2));
  EXPECT_EQ(Enumerate(map), (std::vector<std::wstring>{L"b", L"q", L"a"}));
  EXPECT_EQ(map.GetAt(-1), nullptr);
  EXPECT_EQ(map.GetAt(3), nullptr);
}

TEST(StringMapEnumeration, AnOptimisingLookupMovesTheKeyToTheFrontOfItsBucket) {
  CStringPtrMapUI map(16);
  const auto keys = KeysSharingABucket(16, 3);
  for (int i = 0; i < 3; ++i) map.Insert(keys[i].c_str(), Value(i));
  EXPECT_EQ(Enumerate(map), (std::vector<std::wstring>{keys[2], keys[1], keys[0]}));

  EXPECT_EQ(map.Find(keys[0].c_str(), false), Value(0));
  EXPECT_EQ(Enumerate(map), (std::vector<std::wstring>{keys[2], keys[1], keys[0]}));

  EXPECT_EQ(map.Find(keys[0].c_str(), true), Value(0));
  EXPECT_EQ(Enumerate(map), (std::vector<std::wstring>{keys[0], keys[2], keys[1]}));
  EXPECT_EQ(map.Find(keys[1].c_str()), Value(1));
  EXPECT_EQ(Enumerate(map), (std::vector<std::wstring>{keys[1], keys[0], keys[2]}));
  // Every key is still found after the moves.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(map.Find(keys[i].c_str()), Value(i));
}

TEST(StringMapEnumeration, InsertingAnExistingKeyAlsoMovesItToTheFront) {
  CStringPtrMapUI map(16);
  const auto keys = KeysSharingABucket(16, 2);
  map.Insert(keys[0].c_str(), Value(0));
  map.Insert(keys[1].c_str(), Value(1));
  EXPECT_FALSE(map.Insert(keys[0].c_str(), Value(5)));
  EXPECT_EQ(Enumerate(map), (std::vector<std::wstring>{keys[0], keys[1]}));
}

TEST(StringMapEntries, ManyKeysAreAllFoundWithTheirValues) {
  CStringPtrMapUI map;
  std::vector<std::wstring> keys;
  static int values[500];
  for (int i = 0; i < 500; ++i) keys.push_back(L"control_" + std::to_wstring(i));
  for (int i = 0; i < 500; ++i) ASSERT_TRUE(map.Insert(keys[i].c_str(), &values[i]));
  EXPECT_EQ(map.GetSize(), 500);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(map.Find(keys[i].c_str()), &values[i]) << i;
  EXPECT_EQ(Enumerate(map).size(), 500u);
}
