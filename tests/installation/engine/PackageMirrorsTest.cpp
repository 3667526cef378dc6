// The package from the download host and its mirrors (fronts of their own before nginx
// instances of their own), and servers that ask to be asked later.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "Common/Sha256.h"
#include "DownloadServer.h"
#include "HttpFetchFixture.h"
#include "HttpFetchServerTest.h"
#include "engine/HttpFetch.h"
#include "engine/SetupConstants.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;
using namespace fetch_testing;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

namespace {

constexpr size_t kPackageBytes = 3000000;
constexpr size_t kCut = kPackageBytes * 2 / 5;

// The package published at the download host and at both mirrors, described by the
// manifest's size and digest, the mirrors listed after the host, as a signed manifest gives
// them to the run.
class PackageMirrorsTest : public ServerBackedTest {
 protected:
  void SetUp() override {
    ServerBackedTest::SetUp();
    if (HasFatalFailure()) return;
    PrepareContext(context, &observer);
    context.m_bRunning = true;
    context.m_timings = QuickTimings();
    packagePath = context.m_szPackagePath;
    served = RandomBytes(kPackageBytes, 3434);
    context.m_strPackageSize = std::to_string(served.size());
    context.m_strPackageSha256 = Sha256Hex(served);
    context.m_packageMirrors = {MirrorPackageAddress(1), MirrorPackageAddress(2)};
    ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), served));
    for (int mirror = 1; mirror <= kMirrorCount; ++mirror) {
      ASSERT_TRUE(WriteFileBytes(MirrorPackagePath(mirror), served));
      // Another server's file has its own validators: nginx makes them of its time.
      ASSERT_TRUE(TouchLater(MirrorPackagePath(mirror)));
    }
  }

  int Download(bool resume = false) {
    return DownloadPackage(kPackageAddress, packagePath.c_str(), &context, resume, &report);
  }

  // The lines of the server's log for the package, wherever it was asked for.
  static std::vector<std::string> PackageRequests() {
    std::vector<std::string> requests;
    for (const std::string& line : ServerLog()) {
      if (line.rfind("package ", 0) == 0 || line.rfind("mirror", 0) == 0) requests.push_back(line);
    }
    return requests;
  }

  SetupContext context;
  TransferReport report;
  std::wstring packagePath;
  std::string served;
};

}  // namespace

TEST_F(PackageMirrorsTest, ACutOnTheDownloadHostIsContinuedFromTheFirstMirrorWithAPlainRange) {
  ASSERT_TRUE(SetServerMode("package", "mode=cut&after=" + std::to_string(kCut)));
  EXPECT_EQ(Download(), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
  EXPECT_TRUE(report.bVerified);
  // nginx answers a range whose If-Range names another file with the whole file (200).
  EXPECT_THAT(PackageRequests(), ElementsAre("package 200 -", "mirror1 206 bytes=" + std::to_string(kCut) + "-"));
  const std::string last = std::to_string(kCut - 1);
  EXPECT_THAT(InfoMessages(), Contains("package: bytes 0-" + last + " from " + kPackageAddress));
  EXPECT_THAT(InfoMessages(), Contains("package: bytes " + std::to_string(kCut) + "-" +
                                       std::to_string(kPackageBytes - 1) + " from " + MirrorPackageAddress(1)));
  EXPECT_THAT(InfoMessages(), Contains(HasSubstr("(Transferred a partial file); " + MirrorPackageAddress(1) + " next")));
  EXPECT_TRUE(LogMessages().empty());
}

namespace {

// A mirror with other bytes of the same size, found out only by the whole file's digest.
struct OtherBytes {
  const char* name;
  bool primaryRight;  // whether the download host itself has the package's bytes
  int result;
  std::vector<std::string> requests;
};

class OtherBytesTest : public PackageMirrorsTest, public ::testing::WithParamInterface<OtherBytes> {};

}  // namespace

TEST_P(OtherBytesTest, AreFoundOutAndThePackageIsFetchedWholeFromOneAddressAtATime) {
  const std::string other = RandomBytes(kPackageBytes, 99);
  ASSERT_TRUE(WriteFileBytes(MirrorPackagePath(1), other));
  if (!GetParam().primaryRight) {
    context.m_strPackageSha256 = Sha256Hex(RandomBytes(kPackageBytes, 100));
    ASSERT_TRUE(WriteFileBytes(MirrorPackagePath(2), RandomBytes(kPackageBytes, 101)));
  }
  ASSERT_TRUE(SetServerMode("package", "mode=cut&times=1&after=" + std::to_string(kCut)));
  EXPECT_EQ(Download(), GetParam().result);
  EXPECT_THAT(PackageRequests(), ElementsAreArray(GetParam().requests));
  if (GetParam().result == 0) {
    EXPECT_TRUE(ReadFileBytes(packagePath) == served);
    EXPECT_TRUE(LogMessages().empty());
  } else {
    EXPECT_FALSE(FileExists(packagePath)) << "bytes that are not the package stay";
    EXPECT_THAT(LogMessages(), ElementsAre("package verification failed"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Mirrors, OtherBytesTest,
    ::testing::Values(OtherBytes{"OnlyTheFirstMirror", true, 0,
                                 {"package 200 -", "mirror1 206 bytes=" + std::to_string(kCut) + "-", "package 200 -"}},
                      OtherBytes{"EveryAddress", false, kNotThePackage,
                                 {"package 200 -", "mirror1 206 bytes=" + std::to_string(kCut) + "-", "package 200 -",
                                  "mirror1 200 -", "mirror2 200 -"}}),
    [](const ::testing::TestParamInfo<OtherBytes>& info) { return std::string(info.param.name); });

TEST_F(PackageMirrorsTest, AnAddressSlowerThanTheFloorIsLeftUntilEveryOneWasFoundSlow) {
  context.m_timings.nSlowFloorBytesPerSecond = 3000000;
  context.m_timings.nSlowStretchSeconds = 1;
  context.m_timings.nStallSeconds = 10;
  // The download host's rate-limited nginx and the first mirror both bring 1 MB a second.
  ASSERT_TRUE(SetServerMode("package", "mode=slow"));
  ASSERT_TRUE(SetServerMode("mirror1", "mode=pass&rate=1000000"));
  ASSERT_TRUE(SetServerMode("mirror2", "mode=pass&rate=1000000"));
  EXPECT_EQ(Download(), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
  const std::vector<std::string> requests = PackageRequests();
  ASSERT_EQ(requests.size(), 3u) << "each address once: the last one, with nowhere faster to go, is kept";
  EXPECT_EQ(requests[0], "package 200 -");
  EXPECT_EQ(requests[1].rfind("mirror1 206 bytes=", 0), 0u) << requests[1];
  EXPECT_EQ(requests[2].rfind("mirror2 206 bytes=", 0), 0u) << requests[2];
  EXPECT_THAT(InfoMessages(), Contains(HasSubstr("(slower than 3000000 bytes a second for 1 s)")));
}

TEST_F(PackageMirrorsTest, AddressesThatMaySucceedLaterStayInTheRunAndOneAnswering404IsTakenOut) {
  context.m_timings.nFirstRetryPauseMs = 200;
  ASSERT_TRUE(SetServerMode("package", "mode=cut&after=500000&times=2"));
  ASSERT_TRUE(SetServerMode("mirror1", "mode=status&code=503&times=1"));
  ASSERT_TRUE(SetServerMode("mirror2", "mode=status&code=404"));
  EXPECT_EQ(Download(), 0);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
  EXPECT_THAT(PackageRequests(), ElementsAre("package 200 -", "mirror1 503 bytes=500000-", "mirror2 404 bytes=500000-",
                                             "package 206 bytes=500000-", "mirror1 206 bytes=1000000-"));
  EXPECT_THAT(InfoMessages(), Contains(HasSubstr(MirrorPackageAddress(2) + " is out of this run: status 404")));
}

// --- servers that say "later" -------------------------------------------------------------

namespace {

// An HTTP date `seconds` from now.
std::string HttpDate(long seconds) {
  const time_t when = time(nullptr) + seconds;
  char text[64];
  strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", gmtime(&when));
  return text;
}

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == ' ' ? std::string("%20") : c == ',' ? std::string("%2C") : std::string(1, c);
  return escaped;
}

struct LaterAnswer {
  const char* name;
  int status;
  std::string retryAfter;  // empty: a date this many seconds from when the answer is set up
  long dateAheadSeconds;
  DWORD limitMs;
  double least;  // seconds between the two requests
  double most;
};

class LaterAnswerTest : public PackageMirrorsTest, public ::testing::WithParamInterface<LaterAnswer> {};

}  // namespace

TEST_P(LaterAnswerTest, IsAskedAgainNoSoonerThanItSaysAndNoLaterThanTheLimit) {
  const LaterAnswer& c = GetParam();
  context.m_packageMirrors.clear();
  context.m_timings.nRetryAfterLimitMs = c.limitMs;
  ASSERT_TRUE(SetServerMode("package", "mode=status&times=1&code=" + std::to_string(c.status) +
                                           "&retry_after=" +
                                           Escaped(c.retryAfter.empty() ? HttpDate(c.dateAheadSeconds) : c.retryAfter)));
  EXPECT_EQ(Download(), 0);
  const std::vector<TimedRequest> requests = TimedServerLog();
  ASSERT_EQ(requests.size(), 2u);
  const double waited = requests[1].seconds - requests[0].seconds;
  EXPECT_GE(waited, c.least);
  EXPECT_LE(waited, c.most);
  EXPECT_TRUE(ReadFileBytes(packagePath) == served);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LaterAnswerTest,
    ::testing::Values(LaterAnswer{"ServiceUnavailableForSeconds", 503, "2", 0, 120000, 2.0, 3.0},
                      LaterAnswer{"TooManyRequestsForSeconds", 429, "2", 0, 120000, 2.0, 3.0},
                      // A date counts in whole seconds from the clock: 2 to 3 s from the answer.
                      LaterAnswer{"ServiceUnavailableUntilADate", 503, "", 3, 120000, 1.5, 4.0},
                      LaterAnswer{"ServiceUnavailableForAnHour", 503, "3600", 0, 1500, 1.5, 2.5}),
    [](const ::testing::TestParamInfo<LaterAnswer>& info) { return std::string(info.param.name); });
