#pragma once
// Base of the tests that talk to the test download server with a message window standing
// in for the main window.

#include <gtest/gtest.h>

#include "DownloadServer.h"
#include "HttpFetchFixture.h"
#include "SetupContext.h"
#include "SetupProgress.h"
#include "support/MessageWindow.h"

namespace fetch_testing {

// Every test starts with the server passing everything to nginx, an empty request log, a
// fresh data folder, no setup log, and version 2.0.1.5 published; the window takes the
// progress figures as the main window will.
class ServerBackedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing_support::ResetServer()) << "the download server fixture is not running";
    ASSERT_TRUE(testing_support::ClearServerLog());
    ClearRunState();
    setup::g_setupProgress.Reset();
    ASSERT_TRUE(testing_support::WriteFileBytes(testing_support::ServedManifestPath(), ManifestNaming("2.0.1.5")));
    window.onMessage = [this](const testing_support::MessageWindow::Message& m) {
      if (m.msg == setup::WM_SETUP_PROGRESS) shown = setup::TakeSetupProgress();
    };
  }
  void TearDown() override {
    setup::g_bSetupRunning = false;
    testing_support::ResetServer();
    setup::DeleteFolderTree(DataFolder().c_str());
  }

  testing_support::MessageWindow window;
  setup::ProgressFigures shown;  // what the window was last given
};

}  // namespace fetch_testing
