// Long-form names: what every file-system call of the engine is given.

#include <gtest/gtest.h>

#include "Common/LongPath.h"
#include "support/TestFiles.h"

using namespace setup;

namespace {

struct Naming {
  const wchar_t* path;
  const wchar_t* longForm;  // "." stands for the current folder's long form
};

class LongPathNameTest : public testing::TestWithParam<Naming> {};

}  // namespace

TEST_P(LongPathNameTest, IsBuiltFromTheFullPath) {
  std::wstring expected = GetParam().longForm;
  if (expected.front() == L'.') expected = L"\\\\?\\" + testing_support::CurrentFolder() + expected.substr(1);
  EXPECT_EQ(LongPathName(GetParam().path), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, LongPathNameTest,
    testing::Values(Naming{L"C:\\a\\..\\b/c.txt", L"\\\\?\\C:\\b\\c.txt"}, Naming{L"sub\\x.txt", L".\\sub\\x.txt"},
                    Naming{L"\\\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
                    Naming{L"\\\\?\\C:\\as\\it\\stands", L"\\\\?\\C:\\as\\it\\stands"},
                    Naming{L"\\\\.\\pipe\\name", L"\\\\.\\pipe\\name"}));

TEST(LongPath, OnlyDriveAndServerPathsAreFull) {
  for (const wchar_t* full : {L"C:\\x", L"z:/x", L"\\\\server\\share", L"\\\\?\\C:\\x"}) EXPECT_TRUE(IsFullPathName(full));
  for (const wchar_t* partial : {L"x", L"\\x", L"C:x", L"1:\\x", L""}) EXPECT_FALSE(IsFullPathName(partial));
  EXPECT_EQ(FullPathName(L"\\\\?\\UNC\\server\\share\\x"), L"\\\\server\\share\\x");
}
