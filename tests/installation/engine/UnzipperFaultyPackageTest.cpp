// Faulty packages: each must fail extraction, touch nothing outside the target folder and
// leave no damaged file behind that could pass for a sound one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Common/UnZip/Unzipper.h"
#include "UnzipperTestPackage.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

using namespace setup;
using namespace testing_support;

namespace {

using Package = UnzipperTestPackage;

const std::vector<std::wstring> kOnlySoundEntry = {L"setup.zip", L"setup\\", L"setup\\first.txt"};

}  // namespace

class EscapingEntryName : public testing::TestWithParam<const char*> {};

TEST_P(EscapingEntryName, FailsAndWritesNothingOutsideTheTarget) {
  Package p(L"escape");
  const std::string evil = GetParam();
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"first.txt", "1"}, {evil, "evil"}, {"last.txt", "2"}}));
  EXPECT_FALSE(p.Extract());
  EXPECT_EQ(p.Everything(), kOnlySoundEntry) << evil;
  EXPECT_FALSE(FileExists(L"\\quill-escaped.txt"));
  EXPECT_FALSE(FileExists(L"C:\\quill-escaped.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    ZipSlip, EscapingEntryName,
    testing::Values("../quill-escaped.txt", "sub/../../quill-escaped.txt", "..\\quill-escaped.txt",
                    ".. /quill-escaped.txt", "../", "/quill-escaped.txt", "\\quill-escaped.txt",
                    "C:/quill-escaped.txt", "C:quill-escaped.txt", "//server/share/quill-escaped.txt",
                    "CON", "sub/NUL.txt", "com1", "LPT9.log", "aux /x.txt", "first.txt:stream",
                    "first.txt::$DATA", "a*b.txt", "sub//double.txt", "./../quill-escaped.txt",
                    "sub/./../../quill-escaped.txt"));

TEST(FaultyPackage, CorruptedStoredDataFailsTheCrcCheckAndLeavesNoFile) {
  Package p(L"crc");
  const std::string marker = "MARKER-" + std::string(4000, 'm');
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"first.txt", "1"}, {"damaged.bin", marker, false}}));
  std::string bytes = ReadFileBytes(p.archive);
  size_t at = bytes.find("MARKER-");
  ASSERT_NE(at, std::string::npos);
  bytes[at + 100] ^= 0x20;
  ASSERT_TRUE(WriteFileBytes(p.archive, bytes));
  EXPECT_FALSE(p.Extract());
  EXPECT_EQ(p.Everything(), kOnlySoundEntry);
}

TEST(FaultyPackage, EntryShorterThanItsRecordedSizeFails) {
  Package p(L"short");
  ZipEntry shortEntry{"short.bin", "only this", false};
  shortEntry.recordedSize = 4096;
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"first.txt", "1"}, shortEntry}));
  EXPECT_FALSE(p.Extract());
  EXPECT_EQ(p.Everything(), kOnlySoundEntry);
}

TEST(FaultyPackage, TruncatedArchiveFails) {
  Package p(L"truncated");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"a.bin", std::string(30000, 'a')}, {"b.bin", "b"}}));
  const std::string whole = ReadFileBytes(p.archive);
  // Cuts into the end record, the directory and the data. (A cut of the record's last few
  // bytes loses only zero bytes that minizip reads back as zero.)
  for (size_t keep : {whole.size() - 22, whole.size() - 60, whole.size() / 2, size_t(10)}) {
    RemoveTree(p.target);
    ASSERT_TRUE(WriteFileBytes(p.archive, whole.substr(0, keep)));
    EXPECT_FALSE(p.Extract()) << "kept " << keep << " of " << whole.size() << " bytes";
    EXPECT_FALSE(FileExists(p.target + L"\\b.bin"));
  }
}

TEST(FaultyPackage, FileThatIsNoArchiveOrIsMissingFails) {
  Package p(L"notzip");
  ASSERT_TRUE(WriteFileBytes(p.archive, "<html>404 Not Found</html>\r\n"));
  EXPECT_FALSE(p.Extract());
  const std::wstring missing = p.root / L"missing.zip";
  EXPECT_FALSE(ExtractPackage(missing.c_str(), p.target.c_str()));
  EXPECT_FALSE(ExtractPackage(nullptr, p.target.c_str()));
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"a.txt", "a"}}));
  EXPECT_FALSE(ExtractPackage(p.archive.c_str(), nullptr));
}

// No file system takes a name of more than 255 characters; the entry must not be cut to fit.
TEST(FaultyPackage, NameLongerThanAFileNameMayBeFailsInsteadOfBeingCut) {
  Package p(L"longname");
  const std::string name = std::string(257, 'n') + ".txt";
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"first.txt", "1"}, {name, "long"}}));
  EXPECT_FALSE(p.Extract());
  EXPECT_EQ(p.Everything(), kOnlySoundEntry);
}
