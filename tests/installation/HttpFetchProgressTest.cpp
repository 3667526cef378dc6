// The package transfer's callbacks on their own: progress figures handed to the window's
// thread, and what the write callback accepts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "HttpFetch.h"
#include "HttpFetchFixture.h"
#include "SetupContext.h"
#include "SetupProgress.h"
#include "support/MessageWindow.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {

class PackageProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setupProgress.Reset();
    g_bSetupRunning = true;
    context.m_hNotifyWnd = window.hwnd();
    window.onMessage = [this](const MessageWindow::Message& m) {
      if (m.msg == WM_SETUP_PROGRESS) shown = TakeSetupProgress();
    };
  }
  void TearDown() override { g_bSetupRunning = false; }

  // Reports the amounts, then lets the window's thread take what was posted.
  void Report(double total, double received) {
    EXPECT_EQ(OnPackageProgress(&context, total, received, 0, 0), 0) << "never asks to abort";
    window.PumpFor(20);
  }

  MessageWindow window;
  SetupContext context;
  ProgressFigures shown;
};

}  // namespace

TEST_F(PackageProgressTest, FreshTransferHalfwayShowsFiftyPercentAndKilobytes) {
  Report(2500000, 1250000);
  ASSERT_EQ(window.Count(WM_SETUP_PROGRESS), 1u);
  EXPECT_EQ(shown.nPercent, 50);
  EXPECT_STREQ(shown.szSizeText, "1250.0/2500.0 KB");
}

TEST_F(PackageProgressTest, ContinuedTransferCountsTheBytesAlreadyOnDisk) {
  context.m_nResumeOffset = 1000000;
  Report(1500000, 500000);
  ASSERT_EQ(window.Count(WM_SETUP_PROGRESS), 1u);
  EXPECT_EQ(shown.nPercent, 60);
  EXPECT_STREQ(shown.szSizeText, "1500.0/2500.0 KB");
}

TEST_F(PackageProgressTest, CompletedContinuedTransferShowsTheWholePackage) {
  context.m_nResumeOffset = 1000000;
  Report(1500000, 1500000);
  EXPECT_EQ(shown.nPercent, 100);
  EXPECT_STREQ(shown.szSizeText, "2500.0/2500.0 KB");
}

TEST_F(PackageProgressTest, PackageOverFourGigabytesKeepsItsFigures) {
  context.m_nResumeOffset = 3000000000LL;
  Report(2000000000.0, 1000000000.0);
  EXPECT_EQ(shown.nPercent, 80);
  EXPECT_STREQ(shown.szSizeText, "4000000.0/5000000.0 KB");
}

TEST_F(PackageProgressTest, NothingIsShownBeforeTheServerGivesALength) {
  Report(0, 0);
  Report(1.0, 0);
  EXPECT_EQ(window.Count(WM_SETUP_PROGRESS), 0u);
  Report(1.02, 1);
  EXPECT_EQ(window.Count(WM_SETUP_PROGRESS), 1u) << "a length of just over one byte is shown";
}

TEST_F(PackageProgressTest, NothingIsShownOnceTheWindowIsGoneOrWithoutAWindow) {
  g_bSetupRunning = false;
  Report(2500000, 1000);
  g_bSetupRunning = true;
  context.m_hNotifyWnd = nullptr;
  Report(2500000, 2000);
  EXPECT_EQ(OnPackageProgress(nullptr, 2500000, 3000, 0, 0), 0);
  window.PumpFor(20);
  EXPECT_EQ(window.Count(WM_SETUP_PROGRESS), 0u);
}

TEST_F(PackageProgressTest, BurstOfCallbacksPostsOneMessageCarryingTheLatestFigures) {
  for (int i = 1; i <= 1000; ++i) OnPackageProgress(&context, 1000000, i * 1000.0, 0, 0);
  window.PumpFor(50);
  ASSERT_EQ(window.Count(WM_SETUP_PROGRESS), 1u) << "the window's queue is never flooded";
  EXPECT_EQ(shown.nPercent, 100);
  EXPECT_STREQ(shown.szSizeText, "1000.0/1000.0 KB");

  Report(1000000, 5000);
  EXPECT_EQ(window.Count(WM_SETUP_PROGRESS), 2u) << "once taken, the next figures post again";
  EXPECT_STREQ(shown.szSizeText, "5.0/1000.0 KB");
}

TEST_F(PackageProgressTest, FiguresPublishedWhileTheWindowTakesThemAreNotLost) {
  // The window takes the figures in the middle of a burst; what follows must still arrive.
  bool published = false;
  window.onMessage = [&](const MessageWindow::Message& m) {
    if (m.msg != WM_SETUP_PROGRESS) return;
    shown = TakeSetupProgress();
    if (!published) OnPackageProgress(&context, 1000000, 999000, 0, 0);
    published = true;
  };
  OnPackageProgress(&context, 1000000, 10000, 0, 0);
  window.PumpUntil([this] { return std::string(shown.szSizeText) == "999.0/1000.0 KB"; }, 2000);
  EXPECT_STREQ(shown.szSizeText, "999.0/1000.0 KB");
}

namespace {

class PackageWriteTest : public ::testing::Test {
 protected:
  void SetUp() override { g_bSetupRunning = true; }
  void TearDown() override { g_bSetupRunning = false; }
  ScratchFolder folder{L"package-write"};
};

}  // namespace

TEST_F(PackageWriteTest, AcceptedBytesReachTheFile) {
  FILE* file = _wfopen((folder / L"p.bin").c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  char data[] = "0123456789";
  EXPECT_EQ(WritePackageData(data, 1, 10, file), 10u);
  fclose(file);
  EXPECT_EQ(ReadFileBytes(folder / L"p.bin"), "0123456789");
}

TEST_F(PackageWriteTest, WindowGoneRefusesDataButKeepsWhatArrived) {
  FILE* file = _wfopen((folder / L"p.bin").c_str(), L"wb");
  ASSERT_NE(file, nullptr);
  char data[] = "abcdef";
  g_bSetupRunning = false;
  EXPECT_EQ(WritePackageData(data, 1, 6, file), 0u) << "0 stops the transfer with the write error";
  fclose(file);
  EXPECT_EQ(ReadFileBytes(folder / L"p.bin"), "abcdef") << "the bytes are in place for the next run";
}

TEST_F(PackageWriteTest, FailedWriteIsNotReportedAsAccepted) {
  ASSERT_TRUE(WriteFileBytes(folder / L"p.bin", "x"));
  FILE* file = _wfopen((folder / L"p.bin").c_str(), L"rb");  // every write fails
  ASSERT_NE(file, nullptr);
  std::string data(100000, 'd');
  EXPECT_LT(WritePackageData(&data[0], 1, data.size(), file), data.size());
  fclose(file);
}
