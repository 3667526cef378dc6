// The manifest and package transfers against the test download server: nginx behind a
// front that injects faults on demand.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "DownloadServer.h"
#include "HttpFetch.h"
#include "HttpFetchFixture.h"
#include "HttpFetchServerTest.h"
#include "SetupConstants.h"
#include "SetupContext.h"
#include "SetupProgress.h"
#include "support/MessageWindow.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;
using namespace fetch_testing;
using ::testing::ElementsAre;

namespace {

constexpr size_t kPackageBytes = 3000000;

class HttpFetchTest : public ServerBackedTest {
 protected:
  void SetUp() override {
    ServerBackedTest::SetUp();
    if (HasFatalFailure()) return;
    g_bSetupRunning = true;  // as the worker sets it
    PrepareContext(context, window.hwnd());
    packagePath = context.m_szPackagePath;
    served = RandomBytes(kPackageBytes, 20240);
    ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), served));
  }

  // Runs a transfer on a thread of its own while this thread plays the window.
  int WhilePumping(const std::function<int()>& transfer) {
    std::atomic<bool> done{false};
    int result = 0;
    std::thread worker([&] {
      result = transfer();
      done = true;
    });
    window.PumpUntil([&] { return done.load(); }, 120000);
    worker.join();
    window.PumpFor(20);
    return result;
  }
  int Download(bool resume) {
    return WhilePumping([&] { return DownloadPackage(kPackageAddress, packagePath.c_str(), &context, resume); });
  }

  SetupContext context;
  std::wstring packagePath;
  std::string served;
};

}  // namespace

// --- the package ---------------------------------------------------------------------

TEST_F(HttpFetchTest, FreshTransferSavesExactlyTheServedBytes) {
  ASSERT_TRUE(WriteFileBytes(packagePath, std::string(kPackageBytes + 10, 'o')));  // an older, longer file
  EXPECT_EQ(Download(false), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served) << "saved " << ReadFileBytes(packagePath).size() << " bytes";
  EXPECT_THAT(PackageAnswers(), ElementsAre("200"));
  EXPECT_GE(window.Count(WM_SETUP_PROGRESS), 1u);
  EXPECT_EQ(shown.nPercent, 100);
  EXPECT_STREQ(shown.szSizeText, "3000.0/3000.0 KB");
  EXPECT_TRUE(LogMessages().empty());
}

TEST_F(HttpFetchTest, CutTransferContinuesToAByteIdenticalPackage) {
  ASSERT_TRUE(SetServerMode("package", "mode=cut&after=1234567"));
  EXPECT_EQ(Download(false), 18) << "the library's partial-file result";
  ASSERT_EQ(ReadFileBytes(packagePath).size(), 1234567u);

  ASSERT_TRUE(ResetServer());
  g_setupProgress.Reset();
  EXPECT_EQ(Download(true), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
  EXPECT_THAT(PackageAnswers(), ElementsAre("200", "206"));
  EXPECT_EQ(context.m_nResumeOffset, 1234567);
  EXPECT_EQ(shown.nPercent, 100);
  EXPECT_STREQ(shown.szSizeText, "3000.0/3000.0 KB") << "the bytes already on disk are counted";
}

TEST_F(HttpFetchTest, ContinuingACompletePackageIsAnswered416AndSucceedsUnchanged) {
  ASSERT_TRUE(WriteFileBytes(packagePath, served));
  EXPECT_EQ(Download(true), 0);
  EXPECT_THAT(PackageAnswers(), ElementsAre("416"));
  EXPECT_TRUE(ReadFileBytes(packagePath) == served) << "nothing of the error page is appended";
}

TEST_F(HttpFetchTest, PackageOverTwoGigabytesContinuesFromItsTrueSize) {
  // Both files are sparse: 2 GiB of zeros, then the part that travels.
  const int64_t kTwoGiB = 2147483648LL;
  const std::string tail = RandomBytes(1 << 20, 77);
  ASSERT_TRUE(WriteFileAt(ServedPackagePath(), kTwoGiB, tail));
  ASSERT_TRUE(WriteFileAt(packagePath, kTwoGiB, tail.substr(0, 100)));
  EXPECT_EQ(Download(true), 0);
  EXPECT_THAT(PackageAnswers(), ElementsAre("206"));
  EXPECT_EQ(MeasureFile(packagePath.c_str()), kTwoGiB + static_cast<int64_t>(tail.size()));
  EXPECT_TRUE(ReadFileRange(packagePath, kTwoGiB, tail.size() + 1) == tail);
  EXPECT_EQ(context.m_nResumeOffset, kTwoGiB + 100);
  EXPECT_EQ(shown.nPercent, 100);
  EXPECT_STREQ(shown.szSizeText, "2148532.2/2148532.2 KB");
  DeleteFileW(ServedPackagePath().c_str());
}

TEST_F(HttpFetchTest, ServerIgnoringTheRangeGivesTheWholePackageNotTheStaleHalf) {
  ASSERT_TRUE(WriteFileBytes(packagePath, served.substr(0, 1000000)));
  ASSERT_TRUE(SetServerMode("package", "mode=ignore-range"));
  EXPECT_EQ(Download(true), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served) << "saved " << ReadFileBytes(packagePath).size() << " bytes";
  EXPECT_EQ(context.m_nResumeOffset, 0) << "progress counts the fresh transfer alone";
}

TEST_F(HttpFetchTest, PackageAnsweredWithAnErrorPageIsAnUnexpectedStatus) {
  for (const char* code : {"404", "500"}) {
    SCOPED_TRACE(code);
    DeleteFileW(L"update.log");
    ASSERT_TRUE(SetServerMode("package", std::string("mode=status&code=") + code));
    EXPECT_EQ(Download(false), 22);
    EXPECT_THAT(LogMessages(), ElementsAre("invalid http status code: ", code));
  }
}

TEST_F(HttpFetchTest, NoServerListeningGivesTheLibrarysConnectCode) {
  ASSERT_TRUE(SetServerMode("all", "mode=down"));
  context.m_nResumeOffset = 777;
  EXPECT_EQ(WhilePumping([&] { return FetchManifest(&context); }), 7);
  EXPECT_FALSE(context.m_bResume) << "the manifest handler never ran";
  EXPECT_EQ(context.m_nResumeOffset, 777);
  EXPECT_FALSE(FileExists(LocalManifestPath()));

  EXPECT_EQ(Download(false), 7);
  EXPECT_THAT(LogMessages(), ElementsAre("Couldn't connect to server", "Couldn't connect to server"));
}

TEST_F(HttpFetchTest, WriteTheDiskRefusesIsReportedAsFewerBytesSoTheTransferStops) {
  // Every write to the Unix device /dev/full fails as a full disk does. The transfer itself
  // refuses a device in the package's place, so the callback is handed the stream directly;
  // unbuffered, the failure shows at once.
  FILE* full = _wfopen(L"Z:\\dev\\full", L"wb");
  ASSERT_NE(full, nullptr);
  setvbuf(full, nullptr, _IONBF, 0);
  char data[4096] = {};
  EXPECT_EQ(WritePackageData(data, 1, sizeof data, full), 0u);
  fclose(full);
}

TEST_F(HttpFetchTest, PackageFileThatCannotBeOpenedIsAWriteFailure) {
  ScratchFolder folder(L"package-as-folder");
  // A folder cannot be opened as the package file, and a device is no plain file.
  for (const std::wstring& path : {folder.path(), std::wstring(L"Z:\\dev\\full")}) {
    SCOPED_TRACE(Narrow(path));
    DeleteFileW(L"update.log");
    ASSERT_TRUE(ClearServerLog());
    packagePath = path;
    EXPECT_EQ(Download(false), 23);
    ASSERT_EQ(LogMessages().size(), 1u);
    EXPECT_EQ(LogMessages()[0].rfind("Open file error", 0), 0u) << LogMessages()[0];
    EXPECT_TRUE(ServerLog().empty()) << "no request is made";
  }
}

TEST_F(HttpFetchTest, ClosedWindowRefusesTheNextDataAndKeepsThePartialPackage) {
  ASSERT_TRUE(SetServerMode("package", "mode=stall&after=1000000&seconds=2"));
  window.onMessage = [this](const MessageWindow::Message& m) {
    if (m.msg != WM_SETUP_PROGRESS) return;
    shown = TakeSetupProgress();
    if (std::string(shown.szSizeText).rfind("1000.0/", 0) == 0) g_bSetupRunning = false;  // the window goes
  };
  EXPECT_EQ(Download(false), 23);
  const std::string kept = ReadFileBytes(packagePath);
  EXPECT_GE(kept.size(), 1000000u);
  EXPECT_LT(kept.size(), served.size());
  EXPECT_TRUE(kept == served.substr(0, kept.size())) << "the partial package is a true prefix";
}

TEST_F(HttpFetchTest, ServerPausingMidPackageIsWaitedFor) {
  ASSERT_TRUE(SetServerMode("package", "mode=stall&after=1500000&seconds=3"));
  EXPECT_EQ(Download(false), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
}

// --- the manifest --------------------------------------------------------------------

TEST_F(HttpFetchTest, ManifestDecidesOnAFreshTransferAndIsStoredLocally) {
  context.m_nResumeOffset = 555;
  EXPECT_EQ(FetchManifest(&context), 0);
  EXPECT_FALSE(context.m_bResume);
  EXPECT_EQ(context.m_nResumeOffset, 0);
  EXPECT_EQ(context.m_strPublishedVersion, L"2.0.1.5");
  EXPECT_TRUE(FileExists(LocalManifestPath()));
  EXPECT_TRUE(LogMessages().empty());
}

TEST_F(HttpFetchTest, ManifestArrivingInSeveralPiecesIsReadWhole) {
  // Pieces of 8 bytes split the version element and its text several times over.
  const std::string manifest = ManifestNaming("2.0.1.5");
  ASSERT_TRUE(SetServerMode("manifest", "mode=split&pieces=" + std::to_string(manifest.size() / 8) + "&gap=0.05"));
  ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), "<config><version>2.0.1.5</version></config>"));
  ASSERT_TRUE(WriteFileBytes(packagePath, "partial"));
  context.m_nResumeOffset = 7;
  EXPECT_EQ(FetchManifest(&context), 0);
  EXPECT_TRUE(context.m_bResume) << "the same version continues the package";
  EXPECT_EQ(context.m_strPublishedVersion, L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(packagePath), "partial");
  EXPECT_EQ(context.m_nResumeOffset, 7);
}

TEST_F(HttpFetchTest, ManifestNotFoundLogsTheStatusAndContinuesThePackage) {
  ASSERT_TRUE(SetServerMode("manifest", "mode=status&code=404"));
  EXPECT_EQ(FetchManifest(&context), 22);
  EXPECT_THAT(LogMessages(), ElementsAre("invalid http status code: ", "404"));
  EXPECT_TRUE(context.m_bResume) << "the error page names no version";
  EXPECT_FALSE(FileExists(LocalManifestPath()));
}

TEST_F(HttpFetchTest, ManifestCutShortIsNotReadAsAManifest) {
  // Cut inside the version text: "2.0.1" must not pass for a new version.
  const std::string manifest = ManifestNaming("2.0.1.5");
  const size_t cut = manifest.find("2.0.1.5") + 5;
  ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), "<config><version>2.0.1.5</version></config>"));
  ASSERT_TRUE(WriteFileBytes(packagePath, "partial"));
  ASSERT_TRUE(SetServerMode("manifest", "mode=cut&after=" + std::to_string(cut)));
  EXPECT_EQ(FetchManifest(&context), 18);
  EXPECT_FALSE(context.m_bResume);
  EXPECT_TRUE(context.m_strPublishedVersion.empty());
  EXPECT_EQ(ReadFileBytes(packagePath), "partial") << "nothing is deleted on a half manifest";
  EXPECT_EQ(ReadFileBytes(LocalManifestPath()), "<config><version>2.0.1.5</version></config>");
}
