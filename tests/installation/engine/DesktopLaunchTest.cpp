// Starting the client as the desktop user. Under Wine the installer's token is elevated, the
// version is 6.1 and the desktop shell runs once a window exists, so LaunchAsDesktopUser
// takes the token road; the shell road is driven directly.

#include <gtest/gtest.h>

#include "InstallRunStandIns.h"
#include "StandInRecord.h"
#include "engine/DesktopLaunch.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace standin_test;
using namespace testing_support;

namespace {

// The client sits in a folder with a space in its name, and a decoy program sits where an
// unquoted command line cut at that space would look first ("...\Quill.exe").
class DesktopLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMachine();
    ASSERT_TRUE(EnsureDesktopShell());
    ASSERT_TRUE(CreateDirectoryW((m_root / L"Quill dir").c_str(), nullptr));
    const std::wstring client = FixturePath(L"client-2.0.1.5\\Quillmere.exe");
    ASSERT_TRUE(CopyFileW(client.c_str(), (m_root / L"Quill dir\\Quillmere.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(client.c_str(), (m_root / L"Quill.exe").c_str(), FALSE));
    m_target = m_root / L"Quill dir\\Quillmere";  // no extension, as the installation run passes it
  }
  void TearDown() override { ResetMachine(); }

  // The one client record the launch produced; fails the test when it is not exactly one,
  // or when it came from the decoy.
  Record OnlyStartedClient() {
    WaitForRecords(standin::kClientProgram, 1);
    Sleep(500);  // a second start (the decoy) would show up by now
    const std::vector<Record> started = ReadRecords(standin::kClientProgram);
    EXPECT_EQ(started.size(), 1u);
    if (started.empty()) return Record();
    EXPECT_EQ(started[0]["module"], Narrow(m_target + L".exe"));
    return started[0];
  }

  ScratchFolder m_root{L"launch"};
  std::wstring m_target;
};

}  // namespace

TEST_F(DesktopLaunchTest, ElevatedInstallerStartsTheClientWithTheDesktopShellsToken) {
  ASSERT_TRUE(IsProcessElevated()) << "Wine gives an elevated token; this road needs one";
  ASSERT_NE(LoadCreateProcessWithToken(), nullptr);

  EXPECT_TRUE(LaunchAsDesktopUser(m_target.c_str()));
  const Record client = OnlyStartedClient();
  // The token road's own start-up record: show mode SW_SHOW, asked for explicitly.
  EXPECT_EQ(client["showflag"], "1");
  EXPECT_EQ(client["show"], "5");
}

TEST_F(DesktopLaunchTest, ShellRoadOpensTheProgramNamedWithoutExtension) {
  EXPECT_TRUE(LaunchThroughShell(m_target.c_str()));
  const Record client = OnlyStartedClient();
  EXPECT_EQ(client["show"], "1") << "the shell is asked for SW_SHOWNORMAL";
}

TEST_F(DesktopLaunchTest, WithoutTheDesktopShellNothingStarts) {
  EXPECT_FALSE(LaunchWithShellToken(m_target.c_str(), L"no-such-shell.exe"));
  Sleep(1500);
  EXPECT_TRUE(ReadRecords(standin::kClientProgram).empty());
}

// (The shell road is not asked about a missing program here: the shell answers with an error
// box of its own, which would wait for a click.)
TEST_F(DesktopLaunchTest, TokenRoadReportsAMissingProgram) {
  const std::wstring missing = m_root / L"Quill dir\\Absent";
  EXPECT_FALSE(LaunchWithShellToken(missing.c_str()));
  Sleep(1000);
  EXPECT_TRUE(ReadRecords(standin::kClientProgram).empty());
}
