// The retry schedule's pauses, the wait a busy server asks for, and which failures are
// tried again: no server, no clock but the schedule's own.
#include <gtest/gtest.h>

#include <curl/curl.h>

#include <algorithm>
#include <ctime>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/RetryAfter.h"
#include "engine/SetupLog.h"
#include "engine/TransferRetry.h"

using namespace setup;

namespace {

// A schedule that only the draws end: no row, attempt or time limit is reached.
SetupTimings Unbounded(DWORD firstPauseMs) {
  SetupTimings timings;
  timings.nFirstRetryPauseMs = firstPauseMs;
  timings.nTransferRetries = 1000;
  timings.nMaxTransferAttempts = 100000;
  timings.nNoProgressLimitMs = 3600000;
  return timings;
}

// An HTTP date `seconds` from now, in the form servers send.
std::string HttpDate(long seconds) {
  const time_t when = time(nullptr) + seconds;
  char text[64];
  strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", gmtime(&when));
  return text;
}

}  // namespace

TEST(RetrySchedule, PausesAreDrawnSpreadBelowTheFirstCeilingWhileTheFileGrows) {
  RetrySchedule schedule(Unbounded(1000));
  std::vector<DWORD> pauses;
  for (int64_t onDisk = 1; onDisk <= 2000; ++onDisk) {
    DWORD pause = 0;
    ASSERT_TRUE(schedule.NextAttempt(onDisk, pause));
    pauses.push_back(pause);
  }
  const auto [least, most] = std::minmax_element(pauses.begin(), pauses.end());
  EXPECT_LE(*most, 1000u) << "above the ceiling";
  // 2000 even draws from 0..1000: the extremes come within a few milliseconds of the ends.
  EXPECT_LT(*least, 50u);
  EXPECT_GT(*most, 950u);
  EXPECT_GT(std::set<DWORD>(pauses.begin(), pauses.end()).size(), 500u) << "the pauses repeat";
  double sum = 0;
  for (DWORD pause : pauses) sum += pause;
  EXPECT_NEAR(sum / pauses.size(), 500.0, 40.0) << "not spread evenly";
}

TEST(RetrySchedule, TheCeilingDoublesWithEachFailureInARowAndTheRowStillEnds) {
  SetupTimings timings = Unbounded(100);
  timings.nTransferRetries = 5;
  // Many rows of five failures without progress: each position keeps under its ceiling, and
  // the draws at the last position reach well above the first ceiling.
  std::vector<DWORD> highest(5, 0);
  for (int row = 0; row < 200; ++row) {
    RetrySchedule schedule(timings);
    for (int failure = 0; failure < 5; ++failure) {
      DWORD pause = 0;
      ASSERT_TRUE(schedule.NextAttempt(0, pause));
      EXPECT_LE(pause, 100u << failure) << "failure " << failure + 1;
      highest[failure] = std::max(highest[failure], pause);
    }
    DWORD pause = 0;
    EXPECT_FALSE(schedule.NextAttempt(0, pause)) << "a sixth failure in a row is tried again";
  }
  EXPECT_GT(highest[4], 100u << 3) << "the ceiling did not grow";
}

TEST(RetrySchedule, MovingToAnotherAddressCountsAgainstTheAttemptsNotTheRow) {
  SetupTimings timings = Unbounded(100);
  timings.nTransferRetries = 1;
  timings.nMaxTransferAttempts = 4;
  RetrySchedule schedule(timings);
  EXPECT_TRUE(schedule.MoveOn(0));
  EXPECT_TRUE(schedule.MoveOn(0));
  DWORD pause = 0;
  EXPECT_TRUE(schedule.NextAttempt(0, pause)) << "the first failure in a row";
  EXPECT_FALSE(schedule.MoveOn(0)) << "a fifth attempt";
}

TEST(TransientFailure, TooManyRequestsAndServerErrorsAreTriedAgainOtherAnswersAreNot) {
  EXPECT_TRUE(IsTransientFailure(CURLE_OK, 429));
  EXPECT_TRUE(IsTransientFailure(CURLE_OK, 503));
  EXPECT_FALSE(IsTransientFailure(CURLE_OK, 404));
  EXPECT_FALSE(IsTransientFailure(CURLE_OK, 403));
  EXPECT_TRUE(IsTransientFailure(CURLE_COULDNT_CONNECT, 0));
  EXPECT_FALSE(IsTransientFailure(CURLE_PEER_FAILED_VERIFICATION, 0));
}

namespace {

struct AskedWait {
  const char* name;
  std::string value;
  std::string date;  // the answer's Date field
  std::optional<ULONGLONG> ms;
  ULONGLONG slackMs;  // a date is counted in whole seconds from the clock
};

class RetryAfter : public ::testing::TestWithParam<AskedWait> {};

}  // namespace

TEST_P(RetryAfter, IsReadAsSecondsOrAsAnHttpDate) {
  const std::optional<ULONGLONG> ms = RetryAfterMs(GetParam().value, GetParam().date);
  ASSERT_EQ(ms.has_value(), GetParam().ms.has_value());
  if (!ms) return;
  EXPECT_GE(*ms + GetParam().slackMs, *GetParam().ms);
  EXPECT_LE(*ms, *GetParam().ms + GetParam().slackMs);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RetryAfter,
    ::testing::Values(
        AskedWait{"Seconds", "2", "", 2000, 0}, AskedWait{"SecondsWithSpaces", " 120 ", "", 120000, 0},
        AskedWait{"ImfDateAheadOfTheMachine", HttpDate(30), "", 30000, 2000},
        // The server's clock runs a day behind the machine's: its own Date is what counts.
        AskedWait{"ImfDateOnAServerClockADayBehind", HttpDate(-86400 + 10), HttpDate(-86400), 10000, 2000},
        AskedWait{"Rfc850Date", "Sunday, 06-Nov-94 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:07 GMT", 30000, 0},
        AskedWait{"AsctimeDate", "Sun Nov  6 08:50:37 1994", "Sun, 06 Nov 1994 08:49:37 GMT", 60000, 0},
        AskedWait{"DateInThePast", HttpDate(-60), "", 0, 0},
        AskedWait{"EnormousSecondsCountAsADay", "99999999999999999999999", "", 86400000, 0},
        AskedWait{"Negative", "-5", "", std::nullopt, 0}, AskedWait{"Words", "soon", "", std::nullopt, 0},
        AskedWait{"Empty", "", "", std::nullopt, 0}),
    [](const ::testing::TestParamInfo<AskedWait>& info) { return std::string(info.param.name); });

TEST(PauseHonouringServer, WaitsAsAskedOnlyFor503And429AndNoLongerThanTheLimit) {
  SetSetupLogPath(L"update.log");
  EXPECT_EQ(PauseHonouringServer(100, 503, "2", "", 120000), 2000u);
  EXPECT_EQ(PauseHonouringServer(100, 429, "2", "", 120000), 2000u);
  EXPECT_EQ(PauseHonouringServer(100, 503, "3600", "", 120000), 120000u) << "capped";
  EXPECT_EQ(PauseHonouringServer(100, 503, HttpDate(7 * 86400), "", 120000), 120000u) << "capped";
  EXPECT_EQ(PauseHonouringServer(5000, 503, "2", "", 120000), 5000u) << "never sooner than the schedule";
  EXPECT_EQ(PauseHonouringServer(100, 500, "60", "", 120000), 100u) << "only a busy server is heard";
  EXPECT_EQ(PauseHonouringServer(100, 503, "soon", "", 120000), 100u);
}
