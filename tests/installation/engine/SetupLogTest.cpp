#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <thread>

#include "engine/DataFolder.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {
const std::wstring kLog = L"update.log";

// The log in the working folder: the line format and the link checks do not depend on where
// the log is.
class SetupLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSetupLogPath(kLog);
    DeleteFileW(kLog.c_str());
  }
  void TearDown() override { RemoveTree(kLog); DeleteFileW(kLog.c_str()); }
};

const std::regex kLine(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} Msg:(.*))");
}  // namespace

TEST_F(SetupLogTest, WritesTimeStampedLinesInCallOrderEndingWithCrLf) {
  ASSERT_EQ(WriteSetupLog("first"), 0);
  ASSERT_EQ(WriteSetupLog("second"), 0);
  const std::string bytes = ReadFileBytes(kLog);
  EXPECT_EQ(bytes.find("\r\r"), std::string::npos) << "line breaks must be a single CR LF";
  const auto lines = ReadLines(kLog);
  ASSERT_EQ(lines.size(), 2u);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, kLine)) << lines[0];
  EXPECT_EQ(m[1], "first");
  ASSERT_TRUE(std::regex_match(lines[1], m, kLine)) << lines[1];
  EXPECT_EQ(m[1], "second");
}

TEST_F(SetupLogTest, TimeStampIsTheLocalTimeOfTheCall) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  ASSERT_EQ(WriteSetupLog("now"), 0);
  const auto lines = ReadLines(kLog);
  ASSERT_EQ(lines.size(), 1u);
  char expected[16];
  snprintf(expected, sizeof expected, "%04d-%02d-%02d", before.wYear, before.wMonth, before.wDay);
  EXPECT_EQ(lines[0].substr(0, 10), expected);
}

TEST_F(SetupLogTest, AppendsToAnExistingLog) {
  ASSERT_TRUE(WriteFileBytes(kLog, "earlier run\r\n"));
  ASSERT_EQ(WriteSetupLog("download fail 22"), 0);
  const auto lines = ReadLines(kLog);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "earlier run");
  EXPECT_NE(lines[1].find("Msg:download fail 22"), std::string::npos);
}

TEST_F(SetupLogTest, LongMessageIsCutToTheLineBufferAndKeepsItsLineBreak) {
  const std::string message(1000, 'x');
  ASSERT_EQ(WriteSetupLog(message.c_str()), 0);
  ASSERT_EQ(WriteSetupLog("after"), 0);
  const std::string bytes = ReadFileBytes(kLog);
  const size_t firstBreak = bytes.find("\r\n");
  ASSERT_NE(firstBreak, std::string::npos);
  EXPECT_EQ(firstBreak + 2, static_cast<size_t>(kLogLineBytes - 1)) << "line plus break fills the buffer";
  const auto lines = ReadLines(kLog);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find("Msg:after"), std::string::npos);
}

TEST_F(SetupLogTest, FormattedMessages) {
  ASSERT_EQ(WriteSetupLogF("setup %s failed! ErrCode:%d Num:%d", "Quillmere", 2, 0), 0);
  const auto lines = ReadLines(kLog);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("Msg:setup Quillmere failed! ErrCode:2 Num:0"), std::string::npos);
}

TEST_F(SetupLogTest, InfoLinesAreMarkedAndTextWithLineBreaksStaysOneLine) {
  ASSERT_EQ(WriteSetupInfo("published version %s", "2.0\r\n2000-01-01 00:00:00 Msg:forged"), 0);
  const auto lines = ReadLines(kLog);
  ASSERT_EQ(lines.size(), 1u);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, kLine)) << lines[0];
  EXPECT_EQ(m[1], "info: published version 2.0  2000-01-01 00:00:00 Msg:forged");
}

TEST_F(SetupLogTest, UnopenableLogDropsTheLine) {
  // A folder in the log's place cannot be opened as a file.
  ASSERT_TRUE(CreateDirectoryW(kLog.c_str(), nullptr));
  EXPECT_EQ(WriteSetupLog("lost"), -1);
  EXPECT_TRUE(FolderExists(kLog));
}

// Another installer (or thread) appending its line holds the log for that moment.
TEST_F(SetupLogTest, ALogHeldByAnotherWriterForAMomentStillGetsTheLine) {
  ASSERT_EQ(WriteSetupLog("first"), 0);
  HANDLE held = CreateFileW(kLog.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  int result = -1;
  std::thread writer([&result] { result = WriteSetupLog("while held"); });
  Sleep(200);
  CloseHandle(held);
  writer.join();
  EXPECT_EQ(result, 0);
  const auto lines = ReadLines(kLog);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find("Msg:while held"), std::string::npos) << lines[1];
}

// A link left under the log's name in the current folder, usually a downloads folder that
// any user may write to: the elevated installer must not write where it points.
struct LogLink {
  const char* name;
  // Makes the current folder hold such a link to `target` (which holds "keep"); returns it.
  std::function<std::wstring(const std::wstring& scratch)> make;
};

class SetupLogThroughALink : public ::testing::TestWithParam<LogLink> {
 protected:
  void SetUp() override { SetSetupLogPath(kLog); }
  // Back home before the scratch folder goes: a current folder cannot be removed.
  void TearDown() override { SetCurrentDirectoryW(m_home.c_str()); }
  const std::wstring m_home = CurrentFolder();
  ScratchFolder m_scratch{L"log-link"};
};

TEST_P(SetupLogThroughALink, DropsTheLineAndLeavesTheTargetAlone) {
  const std::wstring target = GetParam().make(m_scratch.path());
  ASSERT_EQ(ReadFileBytes(target), "keep") << "the link fixture did not run";
  EXPECT_EQ(WriteSetupLog("through the link"), -1);
  EXPECT_EQ(ReadFileBytes(target), "keep");
}

INSTANTIATE_TEST_SUITE_P(
    Links, SetupLogThroughALink,
    ::testing::Values(
        // Made natively by tests/fixtures/links before this program runs.
        LogLink{"SymbolicLink",
                [](const std::wstring&) {
                  const std::wstring links = CurrentFolder() + L"\\links";
                  SetCurrentDirectoryW((links + L"\\logdir").c_str());
                  return links + L"\\outside\\keep.txt";
                }},
        LogLink{"HardLink",
                [](const std::wstring& scratch) {
                  const std::wstring target = scratch + L"\\keep.txt";
                  WriteFileBytes(target, "keep");
                  CreateHardLinkW((scratch + L"\\update.log").c_str(), target.c_str(), nullptr);
                  SetCurrentDirectoryW(scratch.c_str());
                  return target;
                }}),
    [](const ::testing::TestParamInfo<LogLink>& info) { return std::string(info.param.name); });

// Where the installer itself writes: never the current folder, which whoever starts the
// elevated installer chooses, but a folder beside the data folder that only SYSTEM and
// Administrators may write. (This program runs on a machine of its own.)
class SetupLogFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t appData[kPathChars];
    ASSERT_TRUE(GetCommonAppDataFolder(appData, true));
    m_folder = std::wstring(appData) + L"\\Quillmere Logs";
    RemoveTree(m_folder);
    DeleteFileW(kLog.c_str());
    SetSetupLogPath(L"");
  }
  void TearDown() override { RemoveTree(m_folder); }
  std::wstring m_folder;
};

TEST_F(SetupLogFolderTest, LinesGoIntoTheFolderBesideTheDataFolderNotTheCurrentFolder) {
  ASSERT_EQ(WriteSetupLog("in its folder"), 0);
  EXPECT_EQ(SetupLogPath(), m_folder + L"\\update.log");
  const auto lines = ReadLines(m_folder + L"\\update.log");
  ASSERT_EQ(lines.size(), 1u);
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[0], m, kLine)) << lines[0];
  EXPECT_EQ(m[1], "in its folder");
  EXPECT_FALSE(FileExists(kLog)) << "written in the current folder";
}

// The folder is prepared as the data folder is (see DataFolder.h). Wine keeps no access list
// of its own on these files (it reports one made from the Unix mode), so what shows here is
// that a folder open to others does not keep what was put in it.
TEST_F(SetupLogFolderTest, AFolderOthersMayWriteIsMadeAfreshBeforeTheFirstLine) {
  ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(m_folder + L"\\update.log", "prepared by someone else\r\n"));
  ASSERT_TRUE(OpenToEveryone(m_folder));
  ASSERT_EQ(WriteSetupLog("first"), 0);
  const auto lines = ReadLines(m_folder + L"\\update.log");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("Msg:first"), std::string::npos) << lines[0];
}

// Two installers started together both find no folder; the second to create it must take the
// first's folder, not give up its log (or its data folder) for the run.
TEST_F(SetupLogFolderTest, TwoPreparingTheFolderAtOnceBothHaveIt) {
  for (int round = 0; round < 30; ++round) {
    RemoveTree(m_folder);
    bool first = false, second = false;
    std::thread other([&] { second = PrepareDataFolder(m_folder.c_str()); });
    first = PrepareDataFolder(m_folder.c_str());
    other.join();
    ASSERT_TRUE(first && second) << "round " << round << ": " << first << second;
    ASSERT_TRUE(FolderExists(m_folder));
  }
}
