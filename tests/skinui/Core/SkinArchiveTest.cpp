#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Core/UIManager.h"
#include "Core/UIMarkup.h"
#include "Core/UISkinArchive.h"
#include "SkinTestDocuments.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

using SkinUI::CSkinArchiveUI;
using SkinUI::CSkinMarkup;
using SkinUI::CWindowHostUI;
using SkinUI::SkinArchiveEntry;
using SkinUI::SkinFileSource;
using SkinUI::SkinTextEncoding;
using testing_support::ReadFileBytes;
using testing_support::ScratchFolder;
using testing_support::WriteFileBytes;
using testing_support::WriteZipArchive;
using testing_support::ZipEntry;

namespace {

ZipEntry Entry(const std::string& name, const std::string& data, bool deflated = true) {
  ZipEntry entry;
  entry.name = name;
  entry.data = data;
  entry.deflated = deflated;
  return entry;
}

// Bytes placed so that they end where an inaccessible page begins: a read past the end of the
// block faults at once instead of going unnoticed.
class GuardedBlock {
 public:
  explicit GuardedBlock(const std::string& bytes) : m_size(bytes.size()) {
    const size_t page = 4096;
    m_pages = (bytes.size() + page - 1) / page + 1;
    m_base = static_cast<char*>(VirtualAlloc(nullptr, m_pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(m_base + (m_pages - 1) * page, page, PAGE_NOACCESS, &old);
    m_data = m_base + (m_pages - 1) * page - bytes.size();
    memcpy(m_data, bytes.data(), bytes.size());
  }
  ~GuardedBlock() { VirtualFree(m_base, 0, MEM_RELEASE); }
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;
  const char* data() const { return m_data; }
  DWORD size() const { return static_cast<DWORD>(m_size); }
  std::string contents() const { return std::string(m_data, m_size); }

 private:
  char* m_base;
  char* m_data;
  size_t m_size;
  size_t m_pages;
};

std::string TagOf(CSkinMarkup& markup) {
  LPCWSTR tag = markup.GetRootNode().GetTagName();
  return tag != nullptr ? testing_support::Narrow(tag) : "<none>";
}

class SkinArchiveTest : public ::testing::Test {
 protected:
  SkinArchiveTest() : folder(L"skin_archive") {
    folderPath = folder.path() + L"\\";
    const std::vector<ZipEntry> entries = {
        Entry("installation.xml", "<Window name=\"main\"/>"),
        Entry("msgbox.xml", "<Window name=\"box\"/>", false),
        Entry("common/window/frame.xml", "<Frame/>"),
        Entry("legacy\\back\\slashed.xml", "<Legacy/>"),
        Entry("empty.xml", ""),
        Entry("broken.xml", "<Window size='1'/>"),
        Entry("big.xml", std::string(4194305, ' ')),
        Entry(std::string(255, 'n'), "<Long255/>"),
        Entry(std::string(256, 'n'), "<Long256/>"),
    };
    EXPECT_TRUE(WriteZipArchive(folder / L"skins.zip", entries));
    archiveBytes = ReadFileBytes(folder / L"skins.zip");
  }

  SkinFileSource ArchiveFile(LPCWSTR name = L"skins.zip") const {
    return SkinFileSource{folderPath.c_str(), name, false, nullptr};
  }
  SkinFileSource OpenArchive(CSkinArchiveUI* archive) const {
    return SkinFileSource{folderPath.c_str(), L"membuffer", true, archive};
  }
  // Parses the only entry of an archive whose directory records `recorded` unpacked bytes.
  bool ParseEntryRecordedAs(const std::string& data, uint32_t recorded, CSkinMarkup& markup) {
    ZipEntry entry = Entry("recorded.xml", data);
    entry.recordedSize = recorded;
    EXPECT_TRUE(WriteZipArchive(folder / L"recorded.zip", {entry}));
    return markup.ParseSkinFile(L"recorded.xml", SkinTextEncoding::Utf8, ArchiveFile(L"recorded.zip"));
  }
  std::unique_ptr<CSkinArchiveUI> ArchiveInMemory() const {
    return std::unique_ptr<CSkinArchiveUI>(
        CSkinArchiveUI::OpenMemory(archiveBytes.data(), static_cast<DWORD>(archiveBytes.size())));
  }

  ScratchFolder folder;
  std::wstring folderPath;
  std::string archiveBytes;
};

}  // namespace

TEST_F(SkinArchiveTest, ReadsAnEntryOfAnArchiveFileInTheFolder) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseSkinFile(L"installation.xml", SkinTextEncoding::Utf8, ArchiveFile()))
      << markup.GetLastErrorMessage();
  EXPECT_EQ(TagOf(markup), "Window");
  ASSERT_TRUE(markup.ParseSkinFile(L"msgbox.xml", SkinTextEncoding::Utf8, ArchiveFile()));
  WCHAR name[8] = {};
  ASSERT_TRUE(markup.GetRootNode().FindAttribute(L"name", name, 7));
  EXPECT_STREQ(name, L"box") << "stored entries read like deflated ones";
}

TEST_F(SkinArchiveTest, AnArchiveOpenedForOneReadIsClosedAgain) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseSkinFile(L"installation.xml", SkinTextEncoding::Utf8, ArchiveFile()));
  EXPECT_FALSE(markup.ParseSkinFile(L"absent.xml", SkinTextEncoding::Utf8, ArchiveFile()));
  // An archive left open would keep the file from being deleted.
  EXPECT_TRUE(DeleteFileW((folder / L"skins.zip").c_str())) << GetLastError();
}

TEST_F(SkinArchiveTest, NamesMatchWithEitherSeparatorAndInAnyLetterCase) {
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseSkinFile(L"COMMON\\Window\\Frame.XML", SkinTextEncoding::Utf8, ArchiveFile()))
      << markup.GetLastErrorMessage();
  EXPECT_EQ(TagOf(markup), "Frame");
  ASSERT_TRUE(markup.ParseSkinFile(L"legacy/back/slashed.xml", SkinTextEncoding::Utf8, ArchiveFile()))
      << "an entry stored with backslashes is found too";
  EXPECT_EQ(TagOf(markup), "Legacy");
}

TEST_F(SkinArchiveTest, NamesOf256CharactersOrMoreAreNeverFound) {
  CSkinMarkup markup;
  const std::wstring name255(255, L'n'), name256(256, L'n');
  ASSERT_TRUE(markup.ParseSkinFile(name255.c_str(), SkinTextEncoding::Utf8, ArchiveFile()));
  EXPECT_EQ(TagOf(markup), "Long255");
  EXPECT_FALSE(markup.ParseSkinFile(name256.c_str(), SkinTextEncoding::Utf8, ArchiveFile()));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Could not find ziped file");
}

TEST_F(SkinArchiveTest, TheFolderIsNotSearchedWhenAnArchiveIsSet) {
  ASSERT_TRUE(WriteFileBytes(folder / L"loose.xml", "<Loose/>"));
  CSkinMarkup markup;
  EXPECT_FALSE(markup.ParseSkinFile(L"loose.xml", SkinTextEncoding::Utf8, ArchiveFile()));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Could not find ziped file");
  EXPECT_STREQ(markup.GetLastErrorLocation(), L"");
}

TEST_F(SkinArchiveTest, EntrySizesAreCheckedBeforeExtraction) {
  CSkinMarkup markup;
  EXPECT_FALSE(markup.ParseSkinFile(L"empty.xml", SkinTextEncoding::Utf8, ArchiveFile()));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"File is empty");
  EXPECT_FALSE(markup.ParseSkinFile(L"big.xml", SkinTextEncoding::Utf8, ArchiveFile()));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"File too large");
  EXPECT_FALSE(markup.ParseSkinFile(L"broken.xml", SkinTextEncoding::Utf8, ArchiveFile()));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Expected attribute value");
}

TEST_F(SkinArchiveTest, AMissingOrDamagedArchiveCannotBeOpened) {
  ASSERT_TRUE(WriteFileBytes(folder / L"garbage.zip", "this is not a zip archive at all"));
  CSkinMarkup markup;
  EXPECT_FALSE(markup.ParseSkinFile(L"installation.xml", SkinTextEncoding::Utf8, ArchiveFile(L"absent.zip")));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Error opening zip file");
  EXPECT_FALSE(markup.ParseSkinFile(L"installation.xml", SkinTextEncoding::Utf8, ArchiveFile(L"garbage.zip")));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Error opening zip file");
  // A host that keeps its archive open but has none.
  EXPECT_FALSE(markup.ParseSkinFile(L"installation.xml", SkinTextEncoding::Utf8, OpenArchive(nullptr)));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Error opening zip file");
}

TEST_F(SkinArchiveTest, AnEntryThatUnpacksToLessThanItsRecordedSizeFails) {
  CSkinMarkup markup;
  EXPECT_FALSE(ParseEntryRecordedAs("<Short/>", 4000, markup));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Could not unzip file");
}

TEST_F(SkinArchiveTest, AnEntryLongerThanItsRecordedSizeFillsTheBufferAndCounts) {
  CSkinMarkup markup;
  ASSERT_TRUE(ParseEntryRecordedAs("<Cut/>      trailing bytes beyond the recorded size", 6, markup))
      << markup.GetLastErrorMessage();
  EXPECT_EQ(TagOf(markup), "Cut");
}

TEST_F(SkinArchiveTest, AnArchiveHeldInMemoryIsReadAndStaysOpen) {
  std::unique_ptr<CSkinArchiveUI> archive = ArchiveInMemory();
  ASSERT_NE(archive, nullptr);
  // The file is not needed once the bytes are in memory.
  ASSERT_TRUE(DeleteFileW((folder / L"skins.zip").c_str()));
  CSkinMarkup markup;
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(markup.ParseSkinFile(L"installation.xml", SkinTextEncoding::Utf8, OpenArchive(archive.get())))
        << markup.GetLastErrorMessage();
    EXPECT_EQ(TagOf(markup), "Window");
    ASSERT_TRUE(markup.ParseSkinFile(L"common/window/frame.xml", SkinTextEncoding::Utf8, OpenArchive(archive.get())));
    EXPECT_EQ(TagOf(markup), "Frame");
  }
  EXPECT_FALSE(markup.ParseSkinFile(L"absent.xml", SkinTextEncoding::Utf8, OpenArchive(archive.get())));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Could not find ziped file");
  SkinArchiveEntry entry;
  ASSERT_TRUE(archive->FindEntry(L"big.xml", &entry));
  EXPECT_EQ(entry.ullSize, 4194305u) << "the size reported is the unpacked one";
}

TEST_F(SkinArchiveTest, TruncatedOrDamagedArchivesInMemoryAreReadOnlyInsideTheirBlock) {
  const std::vector<ZipEntry> entries = {Entry("a.xml", "<A/>"), Entry("b.xml", "<B><C/></B>")};
  ASSERT_TRUE(WriteZipArchive(folder / L"small.zip", entries));
  const std::string bytes = ReadFileBytes(folder / L"small.zip");
  ASSERT_GT(bytes.size(), 100u);

  // Whatever a cut archive still yields is the entry's true content.
  int opened = 0;
  EXPECT_EQ(CSkinArchiveUI::OpenMemory(nullptr, 100), nullptr);
  EXPECT_EQ(CSkinArchiveUI::OpenMemory(bytes.data(), 0), nullptr);
  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    GuardedBlock block(bytes.substr(0, cut));
    std::unique_ptr<CSkinArchiveUI> archive(CSkinArchiveUI::OpenMemory(block.data(), block.size()));
    if (!archive) continue;
    ++opened;
    SkinArchiveEntry entry;
    if (!archive->FindEntry(L"b.xml", &entry)) continue;
    ASSERT_EQ(entry.ullSize, 11u) << "cut at " << cut;
    std::string data(11, '\0');
    if (archive->ExtractEntry(entry, &data[0], entry.ullSize)) {
      EXPECT_EQ(data, "<B><C/></B>") << "cut at " << cut;
    }
  }
  EXPECT_LT(opened, static_cast<int>(bytes.size()) / 4) << "most cuts lose the directory";

  int extracted = 0;
  for (size_t at = 0; at < bytes.size(); ++at) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
    GuardedBlock block(damaged);
    std::unique_ptr<CSkinArchiveUI> archive(CSkinArchiveUI::OpenMemory(block.data(), block.size()));
    SkinArchiveEntry entry;
    if (archive && archive->FindEntry(L"b.xml", &entry) && entry.ullSize < 1024) {
      std::string data(static_cast<size_t>(entry.ullSize), '\0');
      if (archive->ExtractEntry(entry, &data[0], entry.ullSize)) ++extracted;
    }
    archive.reset();
    EXPECT_EQ(block.contents(), damaged) << "the reader must not write into the block";
  }
  // Damage to the other entry leaves this one readable.
  EXPECT_GT(extracted, 0);
}

TEST_F(SkinArchiveTest, WithoutASourceTheHostsSkinFolderAndArchiveAreUsed) {
  // The host keeps the block for as long as its archive is open.
  static std::string held;
  held = archiveBytes;
  ASSERT_TRUE(WriteFileBytes(folder / L"loose.xml", "<Loose/>"));
  CWindowHostUI::SetSkinFolder(folder.path().c_str());
  CWindowHostUI::UseSkinArchive(L"", true);
  CSkinMarkup markup;
  ASSERT_TRUE(markup.ParseSkinFile(L"loose.xml", SkinTextEncoding::Utf8)) << markup.GetLastErrorMessage();
  EXPECT_EQ(TagOf(markup), "Loose");

  CWindowHostUI::UseSkinArchive(held.data(), static_cast<DWORD>(held.size()));
  ASSERT_TRUE(markup.ParseSkinFile(L"installation.xml", SkinTextEncoding::Utf8)) << markup.GetLastErrorMessage();
  EXPECT_EQ(TagOf(markup), "Window");
  EXPECT_FALSE(markup.ParseSkinFile(L"loose.xml", SkinTextEncoding::Utf8));
  EXPECT_STREQ(markup.GetLastErrorMessage(), L"Could not find ziped file");

  CWindowHostUI::UseSkinArchive(L"", true);
  CWindowHostUI::SetSkinFolder(L"");
}
