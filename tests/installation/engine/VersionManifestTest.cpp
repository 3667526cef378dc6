#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "HttpFetchFixture.h"
#include "engine/ManifestTrust.h"
#include "engine/SetupContext.h"
#include "engine/VersionManifest.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;
using namespace fetch_testing;

namespace {

// What the installer writes as its local manifest, byte for byte.
std::string LocalManifestNaming(const std::string& version) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\" ?>\r\n<config>\r\n    <version>" +
         version + "</version>\r\n</config>\r\n";
}

class VersionManifestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRunState();
    PrepareContext(context, nullptr);
    packagePath = context.m_szPackagePath;
  }
  void TearDown() override { DeleteFolderTree(DataFolder().c_str()); }

  size_t Handle(const std::string& body) { return OnManifestData(body.data(), 1, body.size(), &context); }

  // A package of `size` bytes left by an interrupted run, as BeginSetup would see it.
  void LeavePartialPackage(size_t size) {
    ASSERT_TRUE(WriteFileBytes(packagePath, std::string(size, 'z')));
    context.m_nResumeOffset = static_cast<int64_t>(size);
  }

  SetupContext context;
  std::wstring packagePath;
};

}  // namespace

TEST_F(VersionManifestTest, FirstRunWritesTheLocalManifestAndFetchesAfresh) {
  LeavePartialPackage(500);
  EXPECT_EQ(Handle(ManifestNaming("2.0.1.5")), ManifestNaming("2.0.1.5").size()) << "all bytes are accepted";
  EXPECT_FALSE(context.m_bResume);
  EXPECT_EQ(context.m_nResumeOffset, 0);
  EXPECT_EQ(context.m_strPublishedVersion, L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(LocalManifestPath()), LocalManifestNaming("2.0.1.5"));
  EXPECT_EQ(ReadFileBytes(packagePath).size(), 500u) << "left for the fresh transfer to truncate";
}

TEST_F(VersionManifestTest, SamePublishedVersionContinuesTheInterruptedPackage) {
  const std::string local = "<config><version>2.0.1.5</version></config>";
  ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), local));
  LeavePartialPackage(1000);
  Handle(ManifestNaming("2.0.1.5"));
  EXPECT_TRUE(context.m_bResume);
  EXPECT_EQ(context.m_nResumeOffset, 1000);
  EXPECT_EQ(ReadFileBytes(packagePath).size(), 1000u);
  EXPECT_EQ(ReadFileBytes(LocalManifestPath()), local) << "an unchanged version leaves the file alone";
}

TEST_F(VersionManifestTest, NewerOrOlderPublishedVersionReplacesPackageAndLocalManifest) {
  for (const char* published : {"2.0.1.6", "2.0.1.4"}) {
    SCOPED_TRACE(published);
    ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), LocalManifestNaming("2.0.1.5")));
    LeavePartialPackage(1000);
    context.m_bResume = true;
    Handle(ManifestNaming(published));
    EXPECT_FALSE(context.m_bResume);
    EXPECT_EQ(context.m_nResumeOffset, 0);
    EXPECT_FALSE(FileExists(packagePath)) << "the package of the other version is deleted";
    EXPECT_EQ(ReadFileBytes(LocalManifestPath()), LocalManifestNaming(published));
  }
}

TEST_F(VersionManifestTest, ErrorPageOrManifestWithoutVersionTextCountsAsUnchanged) {
  const char* bodies[] = {
      "<html>\r\n<head><title>404 Not Found</title></head>\r\n<body><h1>404 Not Found</h1></body>\r\n</html>\r\n",
      "not xml at all",
      "",
      "<config><build>7</build></config>",
      "<config><version/></config>",
      "<config><version><major>2</major></version></config>",
      // Documents cut short: what is there of them is not believed.
      "<update>\r\n  <version>2.0.1",
      "<update>\r\n  <version>2.0.1.6</version>\r\n",
  };
  for (const char* body : bodies) {
    SCOPED_TRACE(body);
    ClearRunState();
    LeavePartialPackage(300);
    context.m_bResume = false;
    Handle(body);
    EXPECT_TRUE(context.m_bResume) << "whatever is on disk is continued";
    EXPECT_EQ(context.m_nResumeOffset, 300);
    EXPECT_TRUE(context.m_strPublishedVersion.empty());
    EXPECT_FALSE(FileExists(LocalManifestPath())) << "no local manifest is written from an error page";
    EXPECT_EQ(ReadFileBytes(packagePath).size(), 300u);
  }
}

TEST_F(VersionManifestTest, VersionTextTooLongToKeepIsStillComparedAndStored) {
  const std::string longVersion(200, '9');
  Handle(ManifestNaming(longVersion));
  EXPECT_TRUE(context.m_strPublishedVersion.empty());
  EXPECT_FALSE(context.m_bResume);
  EXPECT_EQ(ReadFileBytes(LocalManifestPath()), LocalManifestNaming(longVersion));

  LeavePartialPackage(700);
  Handle(ManifestNaming(longVersion));
  EXPECT_TRUE(context.m_bResume) << "the second run sees the same long version";
  EXPECT_EQ(ReadFileBytes(packagePath).size(), 700u);
}

TEST_F(VersionManifestTest, VersionTextOf127CharactersIsKept) {
  const std::string version(127, '7');
  Handle(ManifestNaming(version));
  EXPECT_EQ(context.m_strPublishedVersion, std::wstring(127, L'7'));
}

TEST_F(VersionManifestTest, Utf8VersionTextIsKeptAsWideTextAndStoredAsReceived) {
  const std::string version = "2.1 \xE6\xB5\x8B\xE8\xAF\x95";  // "2.1 测试"
  Handle(ManifestNaming(version));
  EXPECT_EQ(context.m_strPublishedVersion, L"2.1 \u6D4B\u8BD5");
  EXPECT_EQ(ReadFileBytes(LocalManifestPath()), LocalManifestNaming(version));
}

TEST_F(VersionManifestTest, UnreadableLocalManifestVouchesForNoPackage) {
  const char* locals[] = {"", "<config><build>1</build></config>", "<config><version/></config>", "garbage"};
  for (const char* local : locals) {
    SCOPED_TRACE(local);
    ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), local));
    LeavePartialPackage(400);
    context.m_bResume = true;
    Handle(ManifestNaming("3.0"));
    EXPECT_FALSE(context.m_bResume);
    EXPECT_EQ(context.m_nResumeOffset, 0);
    EXPECT_FALSE(FileExists(packagePath));
    EXPECT_EQ(ReadFileBytes(LocalManifestPath()), LocalManifestNaming("3.0"));
  }
}

TEST_F(VersionManifestTest, EarlierPublishedVersionIsKeptWhenTheNewTextIsTooLong) {
  Handle(ManifestNaming("1.0"));
  ASSERT_EQ(context.m_strPublishedVersion, L"1.0");
  Handle(ManifestNaming(std::string(300, 'x')));
  EXPECT_EQ(context.m_strPublishedVersion, L"1.0");
}

TEST_F(VersionManifestTest, PackageSizeAndDigestAreTakenWhenTheManifestNamesThem) {
  Handle(ManifestDescribing("2.0.1.5", "1234", "ab12"));
  EXPECT_EQ(context.m_strPackageSize, std::optional<std::string>("1234"));
  EXPECT_EQ(context.m_strPackageSha256, std::optional<std::string>("ab12"));
  EXPECT_EQ(ReadFileBytes(LocalManifestPath()), LocalManifestNaming("2.0.1.5")) << "the local manifest keeps its form";

  Handle("<update><version>2.0.1.5</version><size><b>1</b></size><sha256/></update>");
  EXPECT_EQ(context.m_strPackageSize, std::optional<std::string>("")) << "named, though not as text";
  EXPECT_EQ(context.m_strPackageSha256, std::optional<std::string>("")) << "named, though empty";
  Handle(ManifestNaming("2.0.1.5"));
  EXPECT_EQ(context.m_strPackageSize, std::nullopt);
  EXPECT_EQ(context.m_strPackageSha256, std::nullopt);
}

TEST_F(VersionManifestTest, LocalManifestReachedThroughALinkIsNeitherTrustedNorWritten) {
  // A second name for a file elsewhere (on the same volume) that vouches for whatever
  // package lies beside it.
  const std::wstring elsewhere = DataFolder() + L"-elsewhere.xml";
  const std::string vouching = "<config><version>2.0.1.5</version></config>";
  ASSERT_TRUE(WriteFileBytes(elsewhere, vouching));
  ASSERT_TRUE(CreateHardLinkW(LocalManifestPath().c_str(), elsewhere.c_str(), nullptr));
  LeavePartialPackage(900);
  Handle(ManifestNaming("2.0.1.5"));
  EXPECT_FALSE(context.m_bResume);
  EXPECT_EQ(context.m_nResumeOffset, 0);
  EXPECT_EQ(ReadFileBytes(elsewhere), vouching);
  DeleteFileW(elsewhere.c_str());
}

// --- what a signed manifest may say ----------------------------------------------------

namespace {

struct VersionOrder {
  const char* a;
  const char* b;
  std::optional<int> order;
};

class VersionOrderTest : public ::testing::TestWithParam<VersionOrder> {};

}  // namespace

TEST_P(VersionOrderTest, ComparesPartByPartAsNumbers) {
  EXPECT_EQ(CompareVersions(GetParam().a, GetParam().b), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionOrderTest,
                         ::testing::Values(VersionOrder{"2.0.1.5", "2.0.1.5", 0}, VersionOrder{"2.0.10", "2.0.9", 1},
                                           VersionOrder{"2.0", "2.0.0.1", -1}, VersionOrder{"2.0.0.0", "2", 0},
                                           VersionOrder{"65536.0", "1.0", std::nullopt},
                                           VersionOrder{"1.2.3.4.5", "1.2", std::nullopt},
                                           VersionOrder{"1..2", "1.2", std::nullopt},
                                           VersionOrder{"v2.0", "2.0", std::nullopt}));

TEST(UtcStamp, OnlyTheToolsOwnFormIsRead) {
  EXPECT_EQ(ParseUtcStamp("2027-01-08T09:05:03Z"), 20270108090503ull);
  for (const char* loose : {"2027-01-08 09:05:03Z", "2027-01-08T09:05:03", "2027-1-08T09:05:03Z",
                            "2027-13-08T09:05:03Z", "2027-01-08T24:05:03Z", "2027-01-08T09:05:03+01:00", ""}) {
    EXPECT_EQ(ParseUtcStamp(loose), std::nullopt) << loose;
  }
}
