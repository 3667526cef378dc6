// The package transfer's callbacks on their own: the progress the observer is given, and what
// the write callback accepts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "RecordingObserver.h"
#include "engine/HttpFetch.h"
#include "engine/SetupContext.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {

struct Amounts {
  const char* name;
  int64_t offset;  // bytes on disk before the transfer
  double total, received;  // the transfer's own, as the library reports them
  int64_t shownReceived, shownTotal;
};

class PackageProgressTest : public ::testing::TestWithParam<Amounts> {
 protected:
  void SetUp() override {
    context.m_pObserver = &observer;
    context.m_bRunning = true;
  }
  void Report(double total, double received) {
    EXPECT_EQ(OnPackageProgress(&context, total, received, 0, 0), 0) << "never asks to abort";
  }

  RecordingObserver observer;
  SetupContext context;
};

}  // namespace

TEST_P(PackageProgressTest, CountsTheBytesAlreadyOnDisk) {
  context.m_nResumeOffset = GetParam().offset;
  Report(GetParam().total, GetParam().received);
  const auto calls = observer.ProgressCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].received, GetParam().shownReceived);
  EXPECT_EQ(calls[0].total, GetParam().shownTotal);
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, PackageProgressTest,
    ::testing::Values(Amounts{"FreshHalfway", 0, 2500000, 1250000, 1250000, 2500000},
                      Amounts{"ContinuedHalfway", 1000000, 1500000, 500000, 1500000, 2500000},
                      Amounts{"ContinuedComplete", 1000000, 1500000, 1500000, 2500000, 2500000},
                      Amounts{"OverFourGigabytes", 3000000000LL, 2000000000.0, 1000000000.0, 4000000000LL,
                              5000000000LL}),
    [](const ::testing::TestParamInfo<Amounts>& info) { return std::string(info.param.name); });

TEST_F(PackageProgressTest, NothingIsReportedBeforeTheServerGivesALength) {
  Report(0, 0);
  Report(1.0, 0);
  EXPECT_TRUE(observer.ProgressCalls().empty());
  Report(1.02, 1);
  EXPECT_EQ(observer.ProgressCalls().size(), 1u) << "a length of just over one byte is reported";
}

TEST_F(PackageProgressTest, NothingIsReportedOnceTheRunIsOverOrWithoutAnObserver) {
  context.m_bRunning = false;
  Report(2500000, 1000);
  context.m_bRunning = true;
  context.m_pObserver = nullptr;
  Report(2500000, 2000);
  EXPECT_EQ(OnPackageProgress(nullptr, 2500000, 3000, 0, 0), 0);
  EXPECT_TRUE(observer.ProgressCalls().empty());
}

namespace {

class PackageWriteTest : public ::testing::Test {
 protected:
  void SetUp() override { context.m_bRunning = true; }
  ScratchFolder folder{L"package-write"};
  SetupContext context;
};

}  // namespace

TEST_F(PackageWriteTest, AcceptedBytesReachTheFile) {
  FILE* file = _wfopen((folder / L"p.bin").c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  char data[] = "0123456789";
  EXPECT_EQ(WritePackageData(data, 1, 10, file, &context), 10u);
  fclose(file);
  EXPECT_EQ(ReadFileBytes(folder / L"p.bin"), "0123456789");
}

TEST_F(PackageWriteTest, RunOverRefusesDataButKeepsWhatArrived) {
  FILE* file = _wfopen((folder / L"p.bin").c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  char data[] = "abcdef";
  context.m_bRunning = false;
  EXPECT_EQ(WritePackageData(data, 1, 6, file, &context), 0u) << "0 stops the transfer with the write error";
  fclose(file);
  EXPECT_EQ(ReadFileBytes(folder / L"p.bin"), "abcdef") << "the bytes are in place for the next run";
}

TEST_F(PackageWriteTest, FailedWriteIsNotReportedAsAccepted) {
  ASSERT_TRUE(WriteFileBytes(folder / L"p.bin", "x"));
  FILE* file = _wfopen((folder / L"p.bin").c_str(), L"rb");  // every write fails
  ASSERT_NE(file, nullptr);
  std::string data(100000, 'd');
  EXPECT_LT(WritePackageData(&data[0], 1, data.size(), file, &context), data.size());
  fclose(file);
}
