#include <gtest/gtest.h>

#include <string>

#include "FolderTree.h"
#include "SetupConstants.h"
#include "SetupContext.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;

namespace {

// Records the parameter the worker was started with and returns at once.
SetupContext* g_workerParam = nullptr;
HANDLE g_workerRan = nullptr;
DWORD WINAPI RecordingWorker(void* param) {
  g_workerParam = static_cast<SetupContext*>(param);
  SetEvent(g_workerRan);
  return 0;
}

std::wstring CommonAppData() {
  wchar_t folder[kPathChars];
  EXPECT_TRUE(GetCommonAppDataFolder(folder, true));
  return folder;
}

class BeginSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_workerParam = nullptr;
    g_workerRan = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    dataDir = CommonAppData() + L"\\Quillmere";
    DeleteFolderTree(dataDir.c_str());
    DeleteFileW(L"update.log");
  }
  void TearDown() override {
    if (context.m_hWorker) {
      WaitForSingleObject(context.m_hWorker, 5000);
      CloseHandle(context.m_hWorker);
    }
    CloseHandle(g_workerRan);
    DeleteFolderTree(dataDir.c_str());
  }
  std::wstring dataDir;
  SetupContext context;
};

}  // namespace

TEST_F(BeginSetupTest, FillsTheFoldersBelowTheAllUsersDataFolderAndStartsTheWorker) {
  HWND window = reinterpret_cast<HWND>(0x1234);
  ASSERT_TRUE(BeginSetup(context, window, RecordingWorker));
  EXPECT_EQ(std::wstring(context.m_szDataDir), dataDir);
  EXPECT_EQ(std::wstring(context.m_szPackagePath), dataDir + L"\\setup.zip");
  EXPECT_EQ(std::wstring(context.m_szSetupDir), dataDir + L"\\setup");
  EXPECT_EQ(context.m_nResumeOffset, 0);
  EXPECT_FALSE(context.m_bResume);
  EXPECT_TRUE(context.m_strPublishedVersion.empty());
  EXPECT_EQ(context.m_hNotifyWnd, window);
  EXPECT_TRUE(FolderExists(dataDir)) << "the data folder is created";

  ASSERT_NE(context.m_hWorker, nullptr);
  ASSERT_EQ(WaitForSingleObject(g_workerRan, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(g_workerParam, &context);
}

TEST_F(BeginSetupTest, PackageLeftByAnEarlierRunGivesTheResumeOffset) {
  ASSERT_TRUE(CreateDirectoryW(dataDir.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(dataDir + L"\\setup.zip", std::string(123457, 'p')));
  ASSERT_TRUE(BeginSetup(context, nullptr, RecordingWorker));
  EXPECT_EQ(context.m_nResumeOffset, 123457);
  EXPECT_EQ(ReadFileBytes(dataDir + L"\\setup.zip").size(), 123457u) << "the partial package is kept";
}

TEST_F(BeginSetupTest, ExistingDataFolderIsReused) {
  ASSERT_TRUE(CreateDirectoryW(dataDir.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(dataDir + L"\\version.xml", "<config/>"));
  ASSERT_TRUE(BeginSetup(context, nullptr, RecordingWorker));
  EXPECT_TRUE(FileExists(dataDir + L"\\version.xml"));
}

TEST_F(BeginSetupTest, PathFieldsAreClearedBeforeTheyAreFilled) {
  wcscpy(context.m_szSetupDir, L"C:\\stale\\value\\that\\is\\longer");
  ASSERT_TRUE(BeginSetup(context, nullptr, RecordingWorker));
  EXPECT_EQ(std::wstring(context.m_szSetupDir), dataDir + L"\\setup");
}

TEST(MeasureFile, MissingFileMeasuresZero) {
  EXPECT_EQ(MeasureFile(L"no-such-file.bin"), 0);
}

// Pointing the machine's application data folder at a drive that does not exist makes the
// platform's folder lookup fail, as it does on a damaged profile.
TEST(BeginSetupWithoutDataFolder, LogsAndStartsNoWorker) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                          KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  const wchar_t bogus[] = L"Q:\\no\\such\\drive";
  ASSERT_EQ(RegSetValueExW(key, L"Common AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(bogus),
                           sizeof bogus),
            ERROR_SUCCESS);
  RegCloseKey(key);
  SetEnvironmentVariableW(L"ProgramData", bogus);
  DeleteFileW(L"update.log");

  g_workerParam = nullptr;
  SetupContext context;
  EXPECT_FALSE(BeginSetup(context, nullptr, RecordingWorker));
  EXPECT_EQ(context.m_hWorker, nullptr);
  Sleep(50);
  EXPECT_EQ(g_workerParam, nullptr);
  EXPECT_EQ(context.m_szDataDir[0], L'\0');
  const auto lines = ReadLines(L"update.log");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("Msg:Get FolderPath error"), std::string::npos) << lines[0];
}
