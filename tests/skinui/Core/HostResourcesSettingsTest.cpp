// The "Window" element's settings and the framework-wide skin folder and skin archive.

#include <string>

#include "Core/UISkinArchive.h"
#include "HostResourcesFixture.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

using SkinUI::CSkinArchiveUI;
using SkinUI::CWindowHostUI;
using SkinUI::SkinArchiveEntry;
using skin_testing::HostResourcesTest;
using testing_support::ReadFileBytes;
using testing_support::ScratchFolder;

namespace {

using HostSettingsTest = HostResourcesTest;

std::string ZipHolding(const ScratchFolder& folder, const std::string& entryName) {
  const std::wstring path = folder / L"made.zip";
  testing_support::ZipEntry entry;
  entry.name = entryName;
  entry.data = "<Window/>";
  EXPECT_TRUE(testing_support::WriteZipArchive(path, {entry}));
  return ReadFileBytes(path);
}

bool ArchiveHas(LPCWSTR pstrName) {
  CSkinArchiveUI* pArchive = CWindowHostUI::GetResourceZipHandle();
  SkinArchiveEntry entry = {};
  return pArchive != nullptr && pArchive->FindEntry(pstrName, &entry);
}

TEST_F(HostSettingsTest, InitialSizeResizesTheWindowWhileNoTreeIsAttached) {
  m_host.SetInitialSize(300, 200);
  RECT rc = {};
  ::GetWindowRect(m_window, &rc);
  EXPECT_EQ(rc.right - rc.left, 300);
  EXPECT_EQ(rc.bottom - rc.top, 200);
  EXPECT_EQ(m_host.GetInitialSize().cx, 300);

  CWindowHostUI detached;
  detached.SetInitialSize(50, 40);
  EXPECT_EQ(detached.GetInitialSize().cy, 40);
}

TEST_F(HostSettingsTest, SkinFolderEndsWithASeparator) {
  const std::wstring before = CWindowHostUI::GetSkinFolder().GetData();
  const struct {
    const wchar_t* path;
    const wchar_t* stored;
  } cases[] = {{L"C:\\skins", L"C:\\skins\\"}, {L"C:/skins/", L"C:/skins/"},
               {L"C:\\skins\\", L"C:\\skins\\"}, {L"", L""}};
  for (const auto& c : cases) {
    CWindowHostUI::SetSkinFolder(c.path);
    EXPECT_STREQ(CWindowHostUI::GetSkinFolder(), c.stored);
  }
  CWindowHostUI::SetSkinFolder(before.c_str());
}

TEST_F(HostSettingsTest, MemoryArchiveIsOpenedOnlyTheFirstTime) {
  ScratchFolder folder(L"memory-archive");
  const std::string first = ZipHolding(folder, "skin/main.xml");
  const std::string second = ZipHolding(folder, "other.xml");
  CWindowHostUI::UseSkinArchive(first.data(), static_cast<DWORD>(first.size()));
  CSkinArchiveUI* pOpened = CWindowHostUI::GetResourceZipHandle();
  ASSERT_NE(pOpened, nullptr);
  EXPECT_STREQ(CWindowHostUI::GetSkinArchive(), L"membuffer");
  EXPECT_TRUE(ArchiveHas(L"skin\\MAIN.xml"));

  CWindowHostUI::UseSkinArchive(second.data(), static_cast<DWORD>(second.size()));
  EXPECT_EQ(CWindowHostUI::GetResourceZipHandle(), pOpened);
  EXPECT_FALSE(ArchiveHas(L"other.xml"));

  CWindowHostUI::UseSkinArchive(L"", true);
  EXPECT_EQ(CWindowHostUI::GetResourceZipHandle(), nullptr);
}

}  // namespace
