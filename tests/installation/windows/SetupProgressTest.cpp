// How the installer's windows show a run's progress: the figures for a byte count, and the
// channel that carries them to the window's thread without flooding its queue.
#include <gtest/gtest.h>

#include <string>

#include "support/MessageWindow.h"
#include "windows/SetupProgress.h"
#include "windows/SetupWindowObserver.h"

using namespace setup;
using namespace testing_support;

namespace {

struct Shown {
  const char* name;
  int64_t received, total;
  int percent;
  const char* text;
};

class ProgressFiguresTest : public ::testing::TestWithParam<Shown> {};

class ProgressChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setupProgress.Reset();
    observer.Attach(window.hwnd());
    window.onMessage = [this](const MessageWindow::Message& m) {
      if (m.msg == WM_SETUP_PROGRESS) shown = TakeSetupProgress();
    };
  }

  MessageWindow window;
  CSetupWindowObserver observer{g_setupProgress};
  ProgressFigures shown;
};

}  // namespace

TEST_P(ProgressFiguresTest, ArePercentAndKilobytes) {
  const ProgressFigures figures = FiguresFor(GetParam().received, GetParam().total);
  EXPECT_EQ(figures.nPercent, GetParam().percent);
  EXPECT_STREQ(figures.szSizeText, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Amounts, ProgressFiguresTest,
                         ::testing::Values(Shown{"Halfway", 1250000, 2500000, 50, "1250.0/2500.0 KB"},
                                           Shown{"ContinuedPart", 1500000, 2500000, 60, "1500.0/2500.0 KB"},
                                           Shown{"Complete", 2500000, 2500000, 100, "2500.0/2500.0 KB"},
                                           Shown{"OverFourGigabytes", 4000000000LL, 5000000000LL, 80,
                                                 "4000000.0/5000000.0 KB"}),
                         [](const ::testing::TestParamInfo<Shown>& info) { return std::string(info.param.name); });

TEST_F(ProgressChannelTest, BurstOfReportsPostsOneMessageCarryingTheLatestFigures) {
  for (int i = 1; i <= 1000; ++i) observer.OnProgress(i * 1000, 1000000);
  window.PumpFor(50);
  ASSERT_EQ(window.Count(WM_SETUP_PROGRESS), 1u) << "the window's queue is never flooded";
  EXPECT_EQ(shown.nPercent, 100);
  EXPECT_STREQ(shown.szSizeText, "1000.0/1000.0 KB");

  observer.OnProgress(5000, 1000000);
  window.PumpFor(20);
  EXPECT_EQ(window.Count(WM_SETUP_PROGRESS), 2u) << "once taken, the next figures post again";
  EXPECT_STREQ(shown.szSizeText, "5.0/1000.0 KB");
}

TEST_F(ProgressChannelTest, FiguresPublishedWhileTheWindowTakesThemAreNotLost) {
  // The window takes the figures in the middle of a burst; what follows must still arrive.
  bool published = false;
  window.onMessage = [&](const MessageWindow::Message& m) {
    if (m.msg != WM_SETUP_PROGRESS) return;
    shown = TakeSetupProgress();
    if (!published) observer.OnProgress(999000, 1000000);
    published = true;
  };
  observer.OnProgress(10000, 1000000);
  window.PumpUntil([this] { return std::string(shown.szSizeText) == "999.0/1000.0 KB"; }, 2000);
  EXPECT_STREQ(shown.szSizeText, "999.0/1000.0 KB");
}
