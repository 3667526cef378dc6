// The manifest and package transfers against the test download server: nginx behind a
// front that injects faults on demand.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "DownloadServer.h"
#include "HttpFetchFixture.h"
#include "HttpFetchServerTest.h"
#include "engine/HttpFetch.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;
using namespace fetch_testing;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

constexpr size_t kPackageBytes = 3000000;

class HttpFetchTest : public ServerBackedTest {
 protected:
  void SetUp() override {
    ServerBackedTest::SetUp();
    if (HasFatalFailure()) return;
    PrepareContext(context, &observer);
    context.m_bRunning = true;  // as the worker sets it
    context.m_timings = QuickTimings();
    packagePath = context.m_szPackagePath;
    served = RandomBytes(kPackageBytes, 20240);
    ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), served));
  }

  // Runs a transfer; what it reports goes to the observer.
  int RunTransfer(const std::function<int()>& transfer) { return transfer(); }

  RecordingObserver::Progress Whole() const { return {static_cast<int64_t>(served.size()), static_cast<int64_t>(served.size())}; }

  int Download(bool resume) {
    return RunTransfer([&] { return DownloadPackage(kPackageAddress, packagePath.c_str(), &context, resume); });
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
  EXPECT_GE(observer.ProgressCalls().size(), 1u);
  EXPECT_EQ(observer.LastProgress(), Whole());
  EXPECT_TRUE(LogMessages().empty());
}

TEST_F(HttpFetchTest, CutTransferContinuesToAByteIdenticalPackage) {
  context.m_timings.nTransferRetries = 0;  // the next run continues it, not this one
  ASSERT_TRUE(SetServerMode("package", "mode=cut&after=1234567"));
  EXPECT_EQ(Download(false), 18) << "the library's partial-file result";
  ASSERT_EQ(ReadFileBytes(packagePath).size(), 1234567u);

  ASSERT_TRUE(ResetServer());
  observer.Clear();
  EXPECT_EQ(Download(true), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
  EXPECT_THAT(PackageAnswers(), ElementsAre("200", "206"));
  EXPECT_EQ(context.m_nResumeOffset, 1234567);
  EXPECT_EQ(observer.LastProgress(), Whole()) << "the bytes already on disk are counted";
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
  const int64_t whole = kTwoGiB + static_cast<int64_t>(tail.size());
  EXPECT_EQ(observer.LastProgress(), (RecordingObserver::Progress{whole, whole}));
  DeleteFileW(ServedPackagePath().c_str());
}

TEST_F(HttpFetchTest, ServerIgnoringTheRangeGivesTheWholePackageNotTheStaleHalf) {
  ASSERT_TRUE(WriteFileBytes(packagePath, served.substr(0, 1000000)));
  ASSERT_TRUE(SetServerMode("package", "mode=ignore-range"));
  EXPECT_EQ(Download(true), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served) << "saved " << ReadFileBytes(packagePath).size() << " bytes";
  EXPECT_EQ(context.m_nResumeOffset, 0) << "progress counts the fresh transfer alone";
}

TEST_F(HttpFetchTest, PackageAnsweredWithAnErrorPageOrARedirectIsAnUnexpectedStatus) {
  const std::pair<const char*, const char*> answers[] = {
      {"mode=status&code=404", "404"}, {"mode=status&code=500", "500"}, {"mode=redirect", "302"}};
  for (const auto& [query, code] : answers) {
    SCOPED_TRACE(code);
    DeleteFileW(L"update.log");
    ASSERT_TRUE(ClearServerLog());
    ASSERT_TRUE(SetServerMode("package", query));
    EXPECT_EQ(Download(false), 22);
    EXPECT_THAT(LogMessages(), ElementsAre("invalid http status code: ", code));
    EXPECT_EQ(ReadFileBytes(packagePath), "") << "nothing of the page is kept as package bytes";
    for (const std::string& request : ServerLog()) EXPECT_EQ(request.rfind("package ", 0), 0u) << "followed to " << request;
  }
}

TEST_F(HttpFetchTest, NoServerListeningGivesTheLibrarysConnectCode) {
  ASSERT_TRUE(SetServerMode("all", "mode=down"));
  context.m_nResumeOffset = 777;
  EXPECT_EQ(RunTransfer([&] { return FetchManifest(&context); }), 7);
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
  EXPECT_EQ(WritePackageData(data, 1, sizeof data, full, &context), 0u);
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
  observer.onProgress = [this](int64_t received, int64_t) {
    if (received >= 1000000) context.m_bRunning = false;  // the window goes
  };
  EXPECT_EQ(Download(false), 23);
  const std::string kept = ReadFileBytes(packagePath);
  EXPECT_GE(kept.size(), 1000000u);
  EXPECT_LT(kept.size(), served.size());
  EXPECT_TRUE(kept == served.substr(0, kept.size())) << "the partial package is a true prefix";
}

TEST_F(HttpFetchTest, ServerPausingMidPackageIsWaitedFor) {
  context.m_timings.nStallSeconds = 10;
  ASSERT_TRUE(SetServerMode("package", "mode=stall&after=1500000&seconds=3"));
  EXPECT_EQ(Download(false), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
  EXPECT_THAT(PackageAnswers(), ElementsAre("200")) << "a pause shorter than the stall limit is no stall";
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

// --- failures within one run ---------------------------------------------------------

namespace {

// A fault the server injects into the package transfer, and the answers a transfer that
// gets over it receives.
struct TransientFault {
  const char* name;
  std::function<std::string(std::mt19937&)> query;
  std::vector<std::string> answers;
};

class TransientFaultTest : public HttpFetchTest, public ::testing::WithParamInterface<TransientFault> {};

// Three cuts, each at a random point of its answer, adding up to less than the package.
std::string CutsAtRandom(std::mt19937& generator) {
  std::uniform_int_distribution<int> cut(50000, static_cast<int>(kPackageBytes / 4));
  return "mode=cut&after=" + std::to_string(cut(generator)) + "," + std::to_string(cut(generator)) + "," +
         std::to_string(cut(generator));
}

}  // namespace

TEST_P(TransientFaultTest, IsTriedAgainToAByteIdenticalPackageWhileTheBarKeepsItsPlace) {
  const unsigned seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 generator(seed);
  ASSERT_TRUE(SetServerMode("package", GetParam().query(generator)));
  EXPECT_EQ(Download(false), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served) << "saved " << ReadFileBytes(packagePath).size() << " bytes";
  EXPECT_THAT(PackageAnswers(), ElementsAreArray(GetParam().answers));
  std::vector<int64_t> received;
  for (const auto& p : observer.ProgressCalls()) received.push_back(p.received);
  EXPECT_TRUE(std::is_sorted(received.begin(), received.end())) << "the bar went back";
  EXPECT_EQ(observer.LastProgress(), Whole());
  EXPECT_TRUE(LogMessages().empty()) << "no failure is left to report";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TransientFaultTest,
    ::testing::Values(TransientFault{"CutThreeTimes", CutsAtRandom, {"200", "206", "206", "206"}},
                      TransientFault{"StalledOnce",
                                     [](std::mt19937&) { return std::string("mode=stall&after=1000000&seconds=6&times=1"); },
                                     {"200", "206"}},
                      TransientFault{"ServiceUnavailableTwice",
                                     [](std::mt19937&) { return std::string("mode=status&code=503&times=2"); },
                                     {"503", "503", "200"}}),
    [](const ::testing::TestParamInfo<TransientFault>& info) { return std::string(info.param.name); });

TEST_F(HttpFetchTest, StalledServerEndsEitherTransferAsAFailureAndTakesNothingAway) {
  context.m_timings.nTransferRetries = 1;
  const std::string part = served.substr(0, 700000);
  ASSERT_TRUE(WriteFileBytes(packagePath, part));
  ASSERT_TRUE(SetServerMode("package", "mode=stall&after=0&seconds=30"));
  EXPECT_EQ(Download(true), 28);
  EXPECT_TRUE(ReadFileBytes(packagePath) == part);
  EXPECT_THAT(PackageAnswers(), ElementsAre("206", "206"));

  ASSERT_TRUE(SetServerMode("manifest", "mode=stall&after=20&seconds=30"));
  EXPECT_EQ(RunTransfer([&] { return FetchManifest(&context); }), 28);
  EXPECT_FALSE(FileExists(LocalManifestPath())) << "no manifest was taken from the stalled answer";
  EXPECT_THAT(LogMessages(), ElementsAre("Timeout was reached", "Timeout was reached"));
}

namespace {

// A server under which the package never grows past what it has been: every retry counts
// as a failure and waits longer than the one before.
struct NoProgress {
  const char* name;
  const char* mode;
  int retries;
  ULONGLONG noProgressLimitMs;
  size_t requests;
  int result;
  size_t kept;  // bytes of the package on disk afterwards
};

class NoProgressTest : public HttpFetchTest, public ::testing::WithParamInterface<NoProgress> {};

}  // namespace

TEST_P(NoProgressTest, IsGivenUpWithPausesUnderAGrowingCeilingWithinItsBoundKeepingWhatArrived) {
  const NoProgress& c = GetParam();
  context.m_timings.nFirstRetryPauseMs = 200;
  context.m_timings.nTransferRetries = c.retries;
  context.m_timings.nNoProgressLimitMs = c.noProgressLimitMs;
  ASSERT_TRUE(SetServerMode("package", c.mode));
  TransferReport report;
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(RunTransfer([&] { return DownloadPackage(kPackageAddress, packagePath.c_str(), &context, false, &report); }),
            c.result);
  const ULONGLONG elapsed = GetTickCount64() - start;

  EXPECT_EQ(PackageAnswers().size(), c.requests);
  // Each pause is drawn below a ceiling that doubles with each failure in a row.
  const std::string announced =
      "package: " + std::string(c.result == 28 ? "trying again" : "asking for the whole package") + " in ";
  std::vector<unsigned long> pauses;
  for (const std::string& line : InfoMessages()) {
    if (line.compare(0, announced.size(), announced) == 0) pauses.push_back(std::stoul(line.substr(announced.size())));
  }
  ASSERT_EQ(pauses.size(), c.requests - 1);
  ULONGLONG waited = 0, ceilings = 0;
  for (size_t i = 0; i < pauses.size(); ++i) {
    EXPECT_LE(pauses[i], 200u << i) << "pause " << i + 1;
    waited += pauses[i];
    ceilings += 200u << i;
  }
  const ULONGLONG bound = ceilings + c.requests * (1000ull * context.m_timings.nStallSeconds + 1500);
  EXPECT_GE(elapsed, waited);
  EXPECT_LT(elapsed, bound);
  EXPECT_EQ(ReadFileBytes(packagePath).size(), c.kept);
  EXPECT_EQ(report.bTransient, c.kept > 0) << "what arrived stays for the next run";
}

INSTANTIATE_TEST_SUITE_P(
    Servers, NoProgressTest,
    ::testing::Values(
        // Every continuation is answered with the whole package again, which stalls after
        // its first 100 KB: the count of failures ends it.
        NoProgress{"ResendsItsFirstPartThenStalls", "mode=ignore-range&after=100000&seconds=60", 4, 180000, 5, 28,
                   100000},
        // The same under a generous count: the time without growth ends it.
        NoProgress{"StallsPastTheNoProgressLimit", "mode=ignore-range&after=100000&seconds=60", 30, 3000, 3, 28,
                   100000},
        // Partial content to a request that asked for no range forces a restart each time.
        NoProgress{"AnswersPartialContentUnasked", "mode=status&code=206", 4, 180000, 5, 22, 0}),
    [](const ::testing::TestParamInfo<NoProgress>& info) { return std::string(info.param.name); });

namespace {

// The package the server has changed under the same version text, with or without the
// validators that name it, and what a continued transfer is answered.
struct ServerChange {
  const char* name;
  const char* strip;
  size_t changedSize;
  std::vector<std::string> answers;
};

class ChangedPackageTest : public HttpFetchTest, public ::testing::WithParamInterface<ServerChange> {};

}  // namespace

TEST_P(ChangedPackageTest, IsFetchedWholeNeverSplicedOntoTheOldPart) {
  context.m_timings.nTransferRetries = 0;
  ASSERT_TRUE(SetServerMode("package", std::string("mode=cut&after=1200000") + GetParam().strip));
  EXPECT_EQ(Download(false), 18);

  const std::string changed = RandomBytes(GetParam().changedSize, 4242);
  ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), changed));
  ASSERT_TRUE(TouchLater(ServedPackagePath()));
  ASSERT_TRUE(SetServerMode("package", std::string("mode=pass") + GetParam().strip));
  ASSERT_TRUE(ClearServerLog());
  context.m_timings.nTransferRetries = 1;  // the restart the changed package forces
  EXPECT_EQ(Download(true), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == changed) << "saved " << ReadFileBytes(packagePath).size() << " bytes";
  EXPECT_THAT(PackageAnswers(), ElementsAreArray(GetParam().answers));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, ChangedPackageTest,
    ::testing::Values(ServerChange{"SameSizeNamedByItsValidator", "", kPackageBytes, {"200"}},
                      ServerChange{"OtherSizeWithoutValidators", "&strip=validators", kPackageBytes + 100000,
                                   {"206", "200"}}),
    [](const ::testing::TestParamInfo<ServerChange>& info) { return std::string(info.param.name); });

TEST_F(HttpFetchTest, ChunkedPackageWithoutALengthArrivesWholeWithoutProgressFigures) {
  ASSERT_TRUE(SetServerMode("package", "mode=chunked"));
  EXPECT_EQ(Download(false), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served) << "saved " << ReadFileBytes(packagePath).size() << " bytes";
  EXPECT_TRUE(observer.ProgressCalls().empty()) << "figures without a total would be made up";
}

TEST_F(HttpFetchTest, ManifestCutWhereTheServerClosesTheConnectionCountsAsNoManifest) {
  const std::string manifest = ManifestNaming("2.0.1.6");
  ASSERT_TRUE(WriteFileBytes(ServedManifestPath(), manifest));
  const std::string local = "<config><version>2.0.1.5</version></config>";
  // Inside the version text ("2.0.1" must not pass for a version), and just after it.
  for (size_t cut : {manifest.find("2.0.1.6") + 5, manifest.find("</version>") + 10}) {
    SCOPED_TRACE(manifest.substr(0, cut));
    ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), local));
    ASSERT_TRUE(WriteFileBytes(packagePath, "partial"));
    context.m_bResume = false;
    ASSERT_TRUE(SetServerMode("manifest", "mode=close-cut&after=" + std::to_string(cut)));
    EXPECT_EQ(FetchManifest(&context), 0) << "a body that ends with its connection looks whole to the library";
    EXPECT_TRUE(context.m_bResume) << "it counts like an error page";
    EXPECT_TRUE(context.m_strPublishedVersion.empty());
    EXPECT_EQ(ReadFileBytes(packagePath), "partial");
    EXPECT_EQ(ReadFileBytes(LocalManifestPath()), local);
  }
}

TEST_F(HttpFetchTest, ManifestSentCompressedIsDecoded) {
  ASSERT_TRUE(WriteFileBytes(ServedManifestPath(), ManifestNaming("2.0.1.6")));
  ASSERT_TRUE(WriteFileBytes(LocalManifestPath(), "<config><version>2.0.1.5</version></config>"));
  ASSERT_TRUE(SetServerMode("manifest", "mode=gzip"));
  EXPECT_EQ(FetchManifest(&context), 0);
  EXPECT_EQ(context.m_strPublishedVersion, L"2.0.1.6");
  EXPECT_FALSE(context.m_bResume) << "a new version is fetched afresh";
  EXPECT_THAT(ReadFileBytes(LocalManifestPath()), HasSubstr("<version>2.0.1.6</version>"));
}
