#include <gtest/gtest.h>

#include "engine/FolderTree.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {
void MakeTree(const ScratchFolder& root) {
  ASSERT_TRUE(CreateDirectoryW((root / L"data").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((root / L"data\\setup").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((root / L"data\\setup\\bin").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(root / L"data\\setup.zip", "zip"));
  ASSERT_TRUE(WriteFileBytes(root / L"data\\setup\\bin\\a.dll", "dll"));
  ASSERT_TRUE(WriteFileBytes(root / L"data\\setup\\readonly.txt", "ro"));
  ASSERT_TRUE(SetFileAttributesW((root / L"data\\setup\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
}
}  // namespace

TEST(DeleteFolderTree, RemovesNestedFoldersAndReadOnlyFiles) {
  ScratchFolder root(L"delete-tree");
  MakeTree(root);
  DeleteFolderTree((root / L"data").c_str());
  EXPECT_FALSE(FolderExists(root / L"data"));
  EXPECT_TRUE(FolderExists(root.path())) << "only the named folder goes";
}

TEST(DeleteFolderTree, MissingFolderAndNullAreHarmless) {
  ScratchFolder root(L"delete-missing");
  DeleteFolderTree((root / L"nothing").c_str());
  DeleteFolderTree(nullptr);
  EXPECT_TRUE(FolderExists(root.path()));
}

TEST(DeleteFolderTree, FileThatCannotBeDeletedKeepsItsFolders) {
  ScratchFolder root(L"delete-locked");
  MakeTree(root);
  // An open handle without delete sharing keeps the file on disk.
  HANDLE locked = CreateFileW((root / L"data\\setup\\bin\\a.dll").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  DeleteFolderTree((root / L"data").c_str());
  EXPECT_TRUE(FileExists(root / L"data\\setup\\bin\\a.dll"));
  EXPECT_FALSE(FileExists(root / L"data\\setup.zip"));
  CloseHandle(locked);
}

// An extracted package may hold paths past MAX_PATH; both removals reach them.
TEST(FolderTreeRemoval, TakesFilesAndFoldersDeeperThanMaxPath) {
  ScratchFolder root(L"deep-tree");
  std::wstring deep = root / L"data";
  for (int level = 0; level < 5; ++level) deep += L"\\level-" + std::to_wstring(level) + std::wstring(60, L'x');
  ASSERT_GT(deep.size(), 300u);
  for (auto remove : {+[](const wchar_t* folder) { DeleteFolderTree(folder); },
                      +[](const wchar_t* folder) { EXPECT_EQ(PurgeFolderTree(folder), 0); }}) {
    ASSERT_TRUE(CreateFolderTree(deep));
    ASSERT_TRUE(WriteFileBytes(deep + L"\\deep.txt", "deep"));
    remove((root / L"data").c_str());
    EXPECT_FALSE(FolderExists(root / L"data"));
  }
}

TEST(PurgeFolderTree, RemovesTreeAndReportsSuccess) {
  ScratchFolder root(L"purge-tree");
  MakeTree(root);
  SetFileAttributesW((root / L"data\\setup\\readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(PurgeFolderTree((root / L"data").c_str()), 0);
  EXPECT_FALSE(FolderExists(root / L"data"));
}

TEST(PurgeFolderTree, EmptyFolderIsRemovedWithOrWithoutTrailingSeparator) {
  ScratchFolder root(L"purge-empty");
  ASSERT_TRUE(CreateDirectoryW((root / L"a").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((root / L"b").c_str(), nullptr));
  EXPECT_EQ(PurgeFolderTree((root / L"a").c_str()), 0);
  EXPECT_EQ(PurgeFolderTree((root / L"b\\").c_str()), 0);
  EXPECT_FALSE(FolderExists(root / L"a"));
  EXPECT_FALSE(FolderExists(root / L"b"));
}

TEST(PurgeFolderTree, MissingNullOrEmptyFolderReportsFailure) {
  ScratchFolder root(L"purge-missing");
  EXPECT_EQ(PurgeFolderTree((root / L"gone").c_str()), -1);
  EXPECT_EQ(PurgeFolderTree(nullptr), -1);
  EXPECT_EQ(PurgeFolderTree(L""), -1);
}

TEST(PurgeFolderTree, ReadOnlyFileMakesItReportFailure) {
  ScratchFolder root(L"purge-readonly");
  MakeTree(root);
  EXPECT_EQ(PurgeFolderTree((root / L"data").c_str()), -1);
  EXPECT_TRUE(FileExists(root / L"data\\setup\\readonly.txt"));
  EXPECT_FALSE(FileExists(root / L"data\\setup.zip"));
}

// The links are made natively by tests/fixtures/links before this program runs (a Windows
// program under Wine cannot make one); each removal below works on its own copy of the tree.
TEST(FolderTreeLinks, RemovalNeverReachesThroughAFolderLinkIntoWhatItPointsAt) {
  const std::wstring root = CurrentFolder() + L"\\links";
  ASSERT_TRUE(FileExists(root + L"\\outside\\keep.txt")) << "the folder-links fixture did not run";
  const DWORD link = GetFileAttributesW((root + L"\\data\\setup\\elsewhere").c_str());
  ASSERT_NE(link, INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(link & FILE_ATTRIBUTE_REPARSE_POINT) << "the platform does not show the link as one";

  // A link inside the tree: the tree goes, the link's target stays whole.
  DeleteFolderTree((root + L"\\data").c_str());
  EXPECT_FALSE(FileExists(root + L"\\data\\setup\\a.txt"));
  EXPECT_EQ(ReadFileBytes(root + L"\\outside\\keep.txt"), "keep");

  // (Whether the link itself can go is the platform's affair: Wine cannot remove one.)
  PurgeFolderTree((root + L"\\purge").c_str());
  EXPECT_FALSE(FileExists(root + L"\\purge\\setup\\a.txt"));
  EXPECT_EQ(ReadFileBytes(root + L"\\outside\\keep.txt"), "keep");

  // A link in place of the tree itself.
  DeleteFolderTree((root + L"\\datalink").c_str());
  EXPECT_EQ(ReadFileBytes(root + L"\\outside\\keep.txt"), "keep");
  PurgeFolderTree((root + L"\\datalink").c_str());
  EXPECT_EQ(ReadFileBytes(root + L"\\outside\\keep.txt"), "keep");
}
