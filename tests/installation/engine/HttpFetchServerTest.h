#pragma once
// Base of the tests that talk to the test download server, with an observer that records what
// a window would be told.

#include <gtest/gtest.h>

#include "DownloadServer.h"
#include "HttpFetchFixture.h"
#include "RecordingObserver.h"
#include "engine/SetupContext.h"

namespace fetch_testing {

// Every test starts with the server passing everything to nginx, an empty request log, a
// fresh data folder, no setup log, and version 2.0.1.5 published.
class ServerBackedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing_support::ResetServer()) << "the download server fixture is not running";
    ASSERT_TRUE(testing_support::ClearServerLog());
    ClearRunState();
    ASSERT_TRUE(testing_support::WriteFileBytes(testing_support::ServedManifestPath(), ManifestNaming("2.0.1.5")));
  }
  void TearDown() override {
    testing_support::ResetServer();
    setup::DeleteFolderTree(DataFolder().c_str());
  }

  RecordingObserver observer;
};

}  // namespace fetch_testing
