// Extraction of sound packages: what lands on disk, with which names, contents and times.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <zlib.h>

#include "Common/DiskSpace.h"
#include "Common/Sha256.h"
#include "Common/UnZip/Unzipper.h"
#include "UnzipperTestPackage.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

using namespace setup;
using namespace testing_support;

namespace {

using Package = UnzipperTestPackage;

uint64_t Ticks(const FILETIME& time) {
  return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

TEST(ExtractPackage, WritesNestedFilesAndCreatesTheirFolders) {
  Package p(L"nested");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"bin/", ""},
                                          {"bin/a.dll", std::string(70000, 'a')},
                                          {"docs/guide/readme.txt", "read me", false},
                                          {"vcredist_x86.exe", "MZ runtime"}}));
  ASSERT_TRUE(p.Extract());
  EXPECT_EQ(ListTree(p.target), (std::vector<std::wstring>{
                                    L"bin\\", L"bin\\a.dll", L"docs\\", L"docs\\guide\\",
                                    L"docs\\guide\\readme.txt", L"vcredist_x86.exe"}));
  EXPECT_EQ(ReadFileBytes(p.target + L"\\bin\\a.dll"), std::string(70000, 'a'));
  EXPECT_EQ(ReadFileBytes(p.target + L"\\docs\\guide\\readme.txt"), "read me");
  EXPECT_EQ(ReadFileBytes(p.target + L"\\vcredist_x86.exe"), "MZ runtime");
}

TEST(ExtractPackage, LaterEntryOfTheSameNameReplacesTheEarlier) {
  Package p(L"duplicate");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"dup.txt", "the first, longer text"},
                                          {"dup.txt", "second"}}));
  ASSERT_TRUE(p.Extract());
  EXPECT_EQ(ReadFileBytes(p.target + L"\\dup.txt"), "second");
}

// The links are made natively by tests/fixtures/links before this program runs.
TEST(ExtractPackage, NeverWritesThroughAFolderLinkLeftInTheTarget) {
  const std::wstring links = CurrentFolder() + L"\\links";
  ASSERT_TRUE(FileExists(links + L"\\outside\\keep.txt")) << "the folder-links fixture did not run";
  Package p(L"through-link");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"keep.txt", "replaced"}, {"bin/a.dll", "dll"}}));

  EXPECT_FALSE(ExtractPackage(p.archive.c_str(), (links + L"\\setuplink").c_str()));
  EXPECT_FALSE(ExtractPackage(p.archive.c_str(), (links + L"\\setup").c_str()));
  EXPECT_EQ(ReadFileBytes(links + L"\\outside\\keep.txt"), "keep");
  EXPECT_FALSE(FileExists(links + L"\\outside\\a.dll"));
}

TEST(ExtractPackage, NeitherReadsNorWritesThroughASecondNameOfAFileElsewhere) {
  Package p(L"file-link");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"vcredist_x86.exe", "extracted"}}));
  const std::wstring elsewhere = p.root / L"elsewhere.exe";
  ASSERT_TRUE(WriteFileBytes(elsewhere, "keep"));
  ASSERT_TRUE(CreateDirectoryW(p.target.c_str(), nullptr));
  ASSERT_TRUE(CreateHardLinkW((p.target + L"\\vcredist_x86.exe").c_str(), elsewhere.c_str(), nullptr));
  EXPECT_FALSE(p.Extract());
  EXPECT_EQ(ReadFileBytes(elsewhere), "keep");

  const std::wstring linkedArchive = p.root / L"linked.zip";
  ASSERT_TRUE(CreateHardLinkW(linkedArchive.c_str(), p.archive.c_str(), nullptr));
  EXPECT_FALSE(ExtractPackage(linkedArchive.c_str(), (p.root / L"other").c_str()));
}

TEST(ExtractPackage, ArchiveWithoutEntriesFails) {
  Package p(L"empty");
  ASSERT_TRUE(WriteZipArchive(p.archive, {}));
  EXPECT_FALSE(p.Extract());
  EXPECT_TRUE(ListTree(p.target).empty());
}

TEST(ExtractPackage, ReadOnlyFileInTheTargetStopsExtraction) {
  Package p(L"readonly");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"a.txt", "a"}, {"locked.txt", "new"}, {"z.txt", "z"}}));
  ASSERT_TRUE(CreateDirectoryW(p.target.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(p.target + L"\\locked.txt", "old"));
  ASSERT_TRUE(SetFileAttributesW((p.target + L"\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(p.Extract());
  EXPECT_EQ(ReadFileBytes(p.target + L"\\a.txt"), "a");
  EXPECT_EQ(ReadFileBytes(p.target + L"\\locked.txt"), "old");
  EXPECT_FALSE(FileExists(p.target + L"\\z.txt")) << "nothing after the failing entry";
}

TEST(ExtractPackage, TargetFolderEndingInASeparatorWorksWhetherOrNotItExists) {
  Package p(L"trailing");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"sub/file.txt", "x"}}));
  const std::wstring missing = p.root / L"missing\\deeper\\";
  ASSERT_TRUE(ExtractPackage(p.archive.c_str(), missing.c_str()));
  EXPECT_EQ(ReadFileBytes(missing + L"sub\\file.txt"), "x");
  ASSERT_TRUE(ExtractPackage(p.archive.c_str(), missing.c_str())) << "now it exists";
  EXPECT_EQ(ListTree(missing), (std::vector<std::wstring>{L"sub\\", L"sub\\file.txt"}));
}

// The test program runs with TZ=Asia/Shanghai (UTC+8 all year since 1991), so the local
// time of the archive is eight hours ahead of universal time.
TEST(ExtractPackage, FileTimesAreTheArchiveLocalTimeInUniversalTime) {
  TIME_ZONE_INFORMATION zone{};
  GetTimeZoneInformation(&zone);
  ASSERT_EQ(zone.Bias, -480) << "the test expects to run eight hours east of Greenwich";
  SYSTEMTIME utc{2013, 5, 0, 4, 2, 20, 30, 0};
  FILETIME expected{};
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &expected));
  auto expectStamped = [&](const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
    FILETIME created{}, accessed{}, written{};
    ASSERT_TRUE(GetFileTime(file, &created, &accessed, &written));
    CloseHandle(file);
    EXPECT_EQ(Ticks(written), Ticks(expected)) << Narrow(path);
    EXPECT_EQ(Ticks(created), Ticks(expected)) << Narrow(path);
  };

  Package p(L"times");
  const uint32_t dosTime = DosDateTime(2013, 5, 4, 10, 20, 30);
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"timed.txt", "t", true, dosTime}}));
  ASSERT_TRUE(p.Extract());
  expectStamped(p.target + L"\\timed.txt");

  const std::wstring loose = p.root / L"loose.txt";
  ASSERT_TRUE(WriteFileBytes(loose, "x"));
  CUnzipper::ApplyEntryTime(loose.c_str(), dosTime);
  expectStamped(loose);
}

TEST(ExtractPackage, ThousandsOfEntriesAllArrive) {
  Package p(L"thousands");
  std::vector<ZipEntry> entries;
  for (int i = 0; i < 3000; ++i) {
    entries.push_back({"part" + std::to_string(i % 40) + "/file" + std::to_string(i) + ".dat",
                       "content " + std::to_string(i * 7919), i % 2 == 0});
  }
  ASSERT_TRUE(WriteZipArchive(p.archive, entries));
  ASSERT_TRUE(p.Extract());
  EXPECT_EQ(ListTree(p.target).size(), 3040u);
  for (int i = 0; i < 3000; ++i) {
    std::wstring path = p.target + L"\\part" + std::to_wstring(i % 40) + L"\\file" +
                        std::to_wstring(i) + L".dat";
    ASSERT_EQ(ReadFileBytes(path), "content " + std::to_string(i * 7919)) << i;
  }
}

TEST(CUnzipper, ReportsEachEntryRecord) {
  Package p(L"records");
  const std::string longName = std::string(256, 'n') + ".txt";  // 260 characters
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"bin/", ""},
                                          {"bin/a.dll", "abc", false, DosDateTime(2013, 5, 4, 10, 20, 30), "short"},
                                          {longName, std::string(5000, 'z'), true, kDefaultDosDateTime,
                                           std::string(1000, 'c')}}));
  CUnzipper unzipper;
  ZipEntryInfo info;
  EXPECT_FALSE(unzipper.MoveToFirstEntry()) << "no archive open yet";
  EXPECT_FALSE(unzipper.ReadEntryInfo(info));
  ASSERT_TRUE(unzipper.OpenArchive(p.archive.c_str()));

  ASSERT_TRUE(unzipper.MoveToFirstEntry());
  ASSERT_TRUE(unzipper.ReadEntryInfo(info));
  EXPECT_EQ(info.strName, L"bin\\");
  EXPECT_TRUE(info.bIsFolder);

  ASSERT_TRUE(unzipper.MoveToNextEntry());
  ASSERT_TRUE(unzipper.ReadEntryInfo(info));
  EXPECT_EQ(info.strName, L"bin\\a.dll");
  EXPECT_EQ(info.strComment, L"short");
  EXPECT_FALSE(info.bIsFolder);
  EXPECT_EQ(info.nCompressionMethod, 0u);
  EXPECT_EQ(info.nCrc32, 0x352441C2u);  // CRC-32 of "abc"
  EXPECT_EQ(info.nUncompressedSize, 3u);
  EXPECT_EQ(info.nDosDateTime, DosDateTime(2013, 5, 4, 10, 20, 30));

  // Long names and comments come whole; the fields after them stay intact.
  ASSERT_TRUE(unzipper.MoveToNextEntry());
  ASSERT_TRUE(unzipper.ReadEntryInfo(info));
  EXPECT_EQ(info.strName, std::wstring(longName.begin(), longName.end()));
  EXPECT_EQ(info.strComment, std::wstring(1000, L'c'));
  EXPECT_EQ(info.nCompressionMethod, 8u);
  EXPECT_EQ(info.nUncompressedSize, 5000u);
  EXPECT_EQ(info.nDosDateTime, kDefaultDosDateTime);
  EXPECT_FALSE(unzipper.MoveToNextEntry()) << "three entries only";
}

TEST(CUnzipper, EntryWithoutFolderGoesBesideTheArchiveUnderItsName) {
  Package p(L"default-folder");
  ASSERT_TRUE(WriteZipArchive(p.archive, {{"sub/a.txt", "a"}}));
  CUnzipper unzipper;
  ASSERT_TRUE(unzipper.OpenArchive(p.archive.c_str()));
  ASSERT_TRUE(unzipper.MoveToFirstEntry());
  ASSERT_TRUE(unzipper.ExtractCurrentEntry(nullptr));
  EXPECT_EQ(ReadFileBytes(p.root / L"setup\\sub\\a.txt"), "a");
}

namespace {

// An Info-ZIP Unicode field of `tag` for `stored`, holding `utf8`; `crcOf` is what its
// CRC-32 was taken of (the stored bytes, unless the name changed behind the field's back).
std::string UnicodeField(uint16_t tag, const std::string& crcOf, const std::string& utf8) {
  const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(crcOf.data()),
                          static_cast<uInt>(crcOf.size()));
  std::string field(1, '\x01');
  for (int i = 0; i < 4; ++i) field += static_cast<char>((crc >> (8 * i)) & 0xFF);
  field += utf8;
  std::string head;
  head += static_cast<char>(tag & 0xFF);
  head += static_cast<char>(tag >> 8);
  head += static_cast<char>(field.size() & 0xFF);
  head += static_cast<char>(field.size() >> 8);
  return head + field;
}

const std::string kShuomingUtf8 = "\xE8\xAF\xB4\xE6\x98\x8E.txt";  // 说明.txt
const std::string kShuomingGbk = "\xCB\xB5\xC3\xF7.txt";
const std::wstring kShuoming = L"\u8BF4\u660E.txt";

struct EntryTextCase {
  const char* label;
  std::string stored;
  uint32_t flags;
  std::string extra;
  uint16_t field;
  std::wstring expected;
  uint32_t madeBy = 0;  // "version made by": the host system in its high byte, MS-DOS unless set
};

constexpr uint32_t MadeOn(uint32_t host) { return host << 8 | 30; }

class EntryText : public testing::TestWithParam<EntryTextCase> {};

}  // namespace

// The test program runs with the Chinese desktop's code page (936).
TEST_P(EntryText, DecodesByFlagThenMatchingUnicodeFieldThenCodePage) {
  ASSERT_EQ(GetACP(), 936u);
  const EntryTextCase& c = GetParam();
  EXPECT_EQ(DecodeEntryText(c.stored, c.flags, c.madeBy, c.extra, c.field), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EntryText,
    testing::Values(
        EntryTextCase{"Utf8Flag", kShuomingUtf8, kUtf8NamesFlag, "", kUnicodePathField, kShuoming},
        EntryTextCase{"CodePageWithoutFlag", kShuomingGbk, 0, "", kUnicodePathField, kShuoming},
        EntryTextCase{"MatchingPathField", "??.txt", 0, UnicodeField(kUnicodePathField, "??.txt", kShuomingUtf8),
                      kUnicodePathField, kShuoming},
        EntryTextCase{"PathFieldOfAnotherName", "readme.txt", 0,
                      UnicodeField(kUnicodePathField, "old.txt", kShuomingUtf8), kUnicodePathField, L"readme.txt"},
        EntryTextCase{"PathFieldWithBadUtf8", "readme.txt", 0,
                      UnicodeField(kUnicodePathField, "readme.txt", "\xC3\x28"), kUnicodePathField, L"readme.txt"},
        EntryTextCase{"FieldRunningPastTheEnd", "readme.txt", 0,
                      UnicodeField(kUnicodePathField, "readme.txt", kShuomingUtf8).substr(0, 12), kUnicodePathField,
                      L"readme.txt"},
        EntryTextCase{"CommentTakesItsOwnField", "note", 0,
                      UnicodeField(kUnicodePathField, "note", "path") +
                          UnicodeField(kUnicodeCommentField, "note", "\xE6\xB3\xA8\xE9\x87\x8A"),
                      kUnicodeCommentField, L"\u6CE8\u91CA"},
        EntryTextCase{"FlaggedButNotUtf8", "\xCB\xB5\xC3\xF7.txt", kUtf8NamesFlag, "", kUnicodePathField, L""},
        EntryTextCase{"ByteOrderMarkDropped", "\xEF\xBB\xBF" "a.txt", kUtf8NamesFlag, "", kUnicodePathField, L"a.txt"},
        EntryTextCase{"TerminatorInside", std::string("a.txt\0b", 7), kUtf8NamesFlag, "", kUnicodePathField, L""},
        // Info-ZIP on Linux and macOS: the locale's bytes, no flag, no field.
        EntryTextCase{"UnixUtf8WithoutFlag", kShuomingUtf8, 0, "", kUnicodePathField, kShuoming, MadeOn(3)},
        EntryTextCase{"MacUtf8WithoutFlag", kShuomingUtf8, 0, "", kUnicodePathField, kShuoming, MadeOn(19)},
        EntryTextCase{"UnixUtf8Comment", "\xE6\xB3\xA8\xE9\x87\x8A", 0, "", kUnicodeCommentField, L"\u6CE8\u91CA",
                      MadeOn(3)},
        EntryTextCase{"UnixGbkIsNotUtf8", kShuomingGbk, 0, "", kUnicodePathField, kShuoming, MadeOn(3)},
        // A UTF-8 sequence cut short (the first two bytes of U+4F60) that is one GBK character.
        EntryTextCase{"UnixCutUtf8KeepsTheCodePage", "\xE4\xBD.txt", 0, "", kUnicodePathField, L"\u6D63.txt",
                      MadeOn(3)},
        EntryTextCase{"NtfsUtf8BytesKeepTheCodePage", kShuomingUtf8, 0, "", kUnicodePathField,
                      L"\u7487\u5B58\u69D1.txt", MadeOn(10)},
        EntryTextCase{"MvsHostKeepsTheCodePage", kShuomingGbk, 0, "", kUnicodePathField, kShuoming, MadeOn(11)}),
    [](const testing::TestParamInfo<EntryTextCase>& info) { return std::string(info.param.label); });

// The archive is built natively by the corpus fixture: 4 GiB + 1 MiB in one Zip64 entry.
TEST(ExtractPackage, AnEntryOverFourGiBKeepsItsWholeSize) {
  const std::wstring archive = CurrentFolder() + L"\\corpus\\large.zip";
  const std::vector<std::string> list = ReadLines(CurrentFolder() + L"\\corpus\\large.list");
  ASSERT_EQ(list.size(), 1u) << "the corpus fixture did not run";
  const uint64_t size = (4096ull + 1) << 20;
  const std::string tailDigest = list[0].substr(list[0].find('\t') + 1, 64);

  CUnzipper unzipper;
  ZipEntryInfo info;
  uint64_t total = 0;
  ASSERT_TRUE(unzipper.OpenArchive(archive.c_str()));
  ASSERT_TRUE(unzipper.ReadUncompressedTotal(total));
  EXPECT_EQ(total, size);
  ASSERT_TRUE(unzipper.MoveToFirstEntry());
  ASSERT_TRUE(unzipper.ReadEntryInfo(info));
  EXPECT_EQ(info.nUncompressedSize, size);
  unzipper.CloseArchive();

  Package p(L"large");
  const ExtractResult result = ExtractPackageInto(archive.c_str(), p.target.c_str());
  const std::wstring extracted = p.target + L"\\large.bin";
  // Where the disk cannot hold it, the count decides before a byte is written.
  if (FreeBytesAt(p.root.path().c_str()) < static_cast<int64_t>(size)) {
    EXPECT_EQ(result.failure, ExtractFailure::kDisk);
    EXPECT_FALSE(FileExists(extracted));
    return;
  }
  ASSERT_EQ(result.failure, ExtractFailure::kNone);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(LongName(extracted).c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ((uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow, size);
  EXPECT_EQ(Sha256Hex(ReadFileRange(extracted, static_cast<int64_t>(size - (1 << 20)), 1 << 20)), tailDigest);
}
