#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "Common/tool.h"
#include "RecordingObserver.h"
#include "engine/DataFolder.h"
#include "engine/FolderTree.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "engine/SetupLog.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace testing_support;
using ::testing::ElementsAre;

namespace {

// Records the parameter the worker was started with and returns at once.
SetupContext* g_workerParam = nullptr;
HANDLE g_workerRan = nullptr;
DWORD WINAPI RecordingWorker(void* param) {
  g_workerParam = static_cast<SetupContext*>(param);
  SetEvent(g_workerRan);
  return 0;
}

std::vector<std::string> LogMessages() {
  std::vector<std::string> messages;
  for (const std::string& line : ReadLines(L"update.log")) messages.push_back(line.substr(line.find(" Msg:") + 5));
  return messages;
}

// Points the machine's application data folder elsewhere, as the platform's folder lookup
// reads it, until the object goes.
class CommonAppDataAt {
 public:
  explicit CommonAppDataAt(const std::wstring& folder) {
    wchar_t text[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramData", text, MAX_PATH);
    m_previousVariable = text;
    DWORD bytes = sizeof text;
    text[0] = L'\0';
    RegGetValueW(HKEY_LOCAL_MACHINE, kShellFolders, L"Common AppData", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                 &m_previousType, text, &bytes);
    m_previousValue = text;
    Set(folder, REG_SZ, folder);
  }
  ~CommonAppDataAt() { Set(m_previousValue, m_previousType, m_previousVariable); }

 private:
  static constexpr const wchar_t* kShellFolders =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static void Set(const std::wstring& value, DWORD type, const std::wstring& variable) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kShellFolders, L"Common AppData", type, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    SetEnvironmentVariableW(L"ProgramData", variable.c_str());
  }
  std::wstring m_previousValue, m_previousVariable;
  DWORD m_previousType = REG_EXPAND_SZ;
};

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
    SetSetupLogPath(L"update.log");
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
  RecordingObserver observer;
  ASSERT_TRUE(BeginSetup(context, &observer, RecordingWorker));
  EXPECT_EQ(std::wstring(context.m_szDataDir), dataDir);
  EXPECT_EQ(std::wstring(context.m_szPackagePath), dataDir + L"\\setup.zip");
  EXPECT_EQ(std::wstring(context.m_szSetupDir), dataDir + L"\\setup");
  EXPECT_EQ(context.m_nResumeOffset, 0);
  EXPECT_FALSE(context.m_bResume);
  EXPECT_TRUE(context.m_strPublishedVersion.empty());
  EXPECT_EQ(context.m_pObserver, &observer);
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

// A file another program holds open without leave to delete it keeps a folder that others
// may write from being made afresh.
TEST_F(BeginSetupTest, DataFolderThatCannotBeMadeSafeIsADiskErrorAndStartsNoWorker) {
  ASSERT_TRUE(CreateDirectoryW(dataDir.c_str(), nullptr));
  ASSERT_TRUE(OpenToEveryone(dataDir));
  ScopedHandle held(CreateFileW((dataDir + L"\\held.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(held.valid());
  RecordingObserver observer;
  EXPECT_FALSE(BeginSetup(context, &observer, RecordingWorker));
  EXPECT_EQ(context.m_hWorker, nullptr);
  EXPECT_THAT(observer.Outcomes(), ElementsAre(SetupOutcome::kDiskError));
  EXPECT_THAT(LogMessages(), ElementsAre("Secure data folder error", "info: run ended: writing to disk failed"));
}

TEST_F(BeginSetupTest, PathFieldsAreClearedBeforeTheyAreFilled) {
  wcscpy(context.m_szSetupDir, L"C:\\stale\\value\\that\\is\\longer");
  ASSERT_TRUE(BeginSetup(context, nullptr, RecordingWorker));
  EXPECT_EQ(std::wstring(context.m_szSetupDir), dataDir + L"\\setup");
}

TEST_F(BeginSetupTest, FolderOpenToOthersIsCreatedAfreshWithoutWhatWasPlantedInIt) {
  ASSERT_TRUE(CreateDirectoryW(dataDir.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(dataDir + L"\\setup.zip", std::string(5000, 'p')));
  ASSERT_TRUE(WriteFileBytes(dataDir + L"\\version.xml", "<config><version>2.0.1.5</version></config>"));
  ASSERT_TRUE(OpenToEveryone(dataDir));
  ASSERT_TRUE(BeginSetup(context, nullptr, RecordingWorker));
  EXPECT_TRUE(FolderExists(dataDir));
  EXPECT_TRUE(ListTree(dataDir).empty());
  EXPECT_EQ(context.m_nResumeOffset, 0);
}

// The link is made natively by tests/fixtures/links, in place of the data folder below a
// stand-in for the machine's application data folder; it points at a package and a
// manifest that someone left for the installer.
TEST_F(BeginSetupTest, DataFolderThatIsALinkIsNotFollowed) {
  const std::wstring links = CurrentFolder() + L"\\links";
  const std::wstring planted = links + L"\\planted";
  ASSERT_EQ(ReadFileBytes(planted + L"\\setup.zip"), "planted package") << "the link fixture did not run";
  const std::vector<std::wstring> plantedBefore = ListTree(planted);
  const std::wstring linkedDataDir = links + L"\\appdata\\Quillmere";
  bool started = false;
  {
    CommonAppDataAt redirected(links + L"\\appdata");
    started = BeginSetup(context, nullptr, RecordingWorker);
  }
  // Windows removes the link and starts in a new folder; Wine cannot remove a link, and
  // then no setup starts.
  if (started) {
    EXPECT_FALSE(GetFileAttributesW(linkedDataDir.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
  } else {
    EXPECT_THAT(LogMessages(), ElementsAre("Secure data folder error", "info: run ended: writing to disk failed"));
  }
  EXPECT_EQ(context.m_nResumeOffset, 0) << "the planted package was taken for a partial download";
  EXPECT_EQ(ListTree(planted), plantedBefore);
  EXPECT_EQ(ReadFileBytes(planted + L"\\setup.zip"), "planted package");
}

TEST(DataFolderSecurity, OnlySystemAndAdministratorsMayWriteAndNothingIsInheritedFromAbove) {
  PSECURITY_DESCRIPTOR security = NewDataFolderSecurity();
  ASSERT_NE(security, nullptr);
  BYTE system[SECURITY_MAX_SID_SIZE], administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof system;
  ASSERT_TRUE(CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &size));
  size = sizeof administrators;
  ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));

  PSID owner = nullptr;
  PACL list = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  ASSERT_TRUE(GetSecurityDescriptorOwner(security, &owner, &defaulted));
  EXPECT_TRUE(owner && EqualSid(owner, administrators));
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(security, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED);
  ASSERT_TRUE(GetSecurityDescriptorDacl(security, &present, &list, &defaulted));
  ASSERT_TRUE(present && list);
  ASSERT_EQ(list->AceCount, 2u);
  for (DWORD index = 0; index < list->AceCount; ++index) {
    ACCESS_ALLOWED_ACE* entry = nullptr;
    ASSERT_TRUE(GetAce(list, index, reinterpret_cast<void**>(&entry)));
    EXPECT_EQ(entry->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(entry->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << "passed on to all below";
    EXPECT_EQ(entry->Mask, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
    EXPECT_TRUE(EqualSid(&entry->SidStart, index == 0 ? system : administrators));
  }
  EXPECT_TRUE(IsTrustedFolderSecurity(security, nullptr));
  LocalFree(security);
}

struct FolderSecurityCase {
  const char* name;
  const wchar_t* sddl;
  bool trusted;
};

class FolderSecurityTrust : public ::testing::TestWithParam<FolderSecurityCase> {};

// Security descriptors as Windows reports them for folders found in the data folder's place;
// the installer runs as S-1-5-21-1-2-3-1000, another user is S-1-5-21-1-2-3-1001.
TEST_P(FolderSecurityTrust, DecidesWhetherTheFolderIsKept) {
  PSECURITY_DESCRIPTOR security = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(GetParam().sddl, SDDL_REVISION_1, &security,
                                                                   nullptr));
  PSID installer = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(L"S-1-5-21-1-2-3-1000", &installer));
  EXPECT_EQ(IsTrustedFolderSecurity(security, installer), GetParam().trusted);
  LocalFree(installer);
  LocalFree(security);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderSecurityTrust,
    ::testing::Values(
        FolderSecurityCase{"AsTheInstallerMakesIt", L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", true},
        FolderSecurityCase{"OwnedByTheInstallersAccountReadableByAll",
                           L"O:S-1-5-21-1-2-3-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-1-2-3-1000)"
                           L"(A;OICI;0x1200a9;;;WD)",
                           true},
        FolderSecurityCase{"OwnedByAnotherUser", L"O:S-1-5-21-1-2-3-1001D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
                           false},
        // What a folder made below the all-users data folder inherits: users may add to it.
        FolderSecurityCase{"MadeByAnAdministratorWithTheListFromAbove",
                           L"O:BAD:AI(A;OICIID;FA;;;SY)(A;OICIID;FA;;;BA)(A;OICIIOID;GA;;;CO)"
                           L"(A;OICIID;0x1200a9;;;BU)(A;CIID;0x116;;;BU)",
                           false},
        FolderSecurityCase{"UsersMayWriteWhatIsCreatedBelow",
                           L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIIO;FA;;;BU)", false},
        FolderSecurityCase{"UsersMayChangeTheList", L"O:BAD:P(A;OICI;FA;;;SY)(A;;WD;;;BU)", false},
        FolderSecurityCase{"NoList", L"O:BA", false}),
    [](const ::testing::TestParamInfo<FolderSecurityCase>& info) { return std::string(info.param.name); });

TEST(MeasureFile, MissingFileMeasuresZero) {
  EXPECT_EQ(MeasureFile(L"no-such-file.bin"), 0);
}

// Pointing the machine's application data folder at a drive that does not exist makes the
// platform's folder lookup fail, as it does on a damaged profile.
TEST(BeginSetupWithoutDataFolder, LogsTellsADiskErrorAndStartsNoWorker) {
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
  SetSetupLogPath(L"update.log");
  DeleteFileW(L"update.log");

  g_workerParam = nullptr;
  SetupContext context;
  RecordingObserver observer;
  EXPECT_FALSE(BeginSetup(context, &observer, RecordingWorker));
  EXPECT_THAT(observer.Outcomes(), ElementsAre(SetupOutcome::kDiskError));
  EXPECT_EQ(context.m_hWorker, nullptr);
  Sleep(50);
  EXPECT_EQ(g_workerParam, nullptr);
  EXPECT_EQ(context.m_szDataDir[0], L'\0');
  const auto lines = ReadLines(L"update.log");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("Msg:Get FolderPath error"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("Msg:info: run ended: writing to disk failed"), std::string::npos) << lines[1];
}
