#include <gtest/gtest.h>

#include <windows.h>

#include "support/TestFiles.h"

// Run twice, one after the other, each time in an isolated prefix: the marks the first run
// leaves in the registry and in ProgramData must not be there for the second run.

namespace {
const wchar_t kMarkKey[] = L"SOFTWARE\\QuillmereHarnessMark";
const wchar_t kMarkFile[] = L"C:\\ProgramData\\quillmere-harness-mark.txt";
}  // namespace

TEST(IsolatedPrefix, StartsWithoutTheMarksOfAnEarlierTestAndLeavesItsOwn) {
  HKEY key;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMarkKey, 0, KEY_READ, &key), ERROR_SUCCESS)
      << "registry mark of an earlier test program is visible";
  EXPECT_FALSE(testing_support::FileExists(kMarkFile)) << "ProgramData mark of an earlier test program is visible";

  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMarkKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_TRUE(testing_support::WriteFileBytes(kMarkFile, "mark"));
}
