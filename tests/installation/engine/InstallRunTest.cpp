// The installation run against Wine's real Windows Installer and the stand-in packages.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "Common/tool.h"
#include "InstallRunStandIns.h"
#include "StandInRecord.h"
#include "engine/InstallRun.h"
#include "engine/InstallerExitCode.h"
#include "engine/KeptConfig.h"
#include "engine/SetupConstants.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace standin_test;
using namespace testing_support;
using ::testing::ElementsAre;
using ::testing::EndsWith;

namespace {

const std::wstring kUninstallList = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class InstallRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMachine();
    ASSERT_TRUE(EnsureDesktopShell());
    m_context = MakeSetupContext();
  }
  void TearDown() override { ResetMachine(); }

  std::wstring StagedPackage() const { return std::wstring(m_context.m_szSetupDir) + L"\\Quillmere.msi"; }
  // A launch that did not happen has had a second to show up.
  static bool NoClientStarted() {
    Sleep(1000);
    return ReadRecords(standin::kClientProgram).empty();
  }

  SetupContext m_context;
};

// A client folder of our own with a configuration file, named by "InstallPath".
class ClientConfigTest : public InstallRunTest {
 protected:
  void UseInstallFolder(const std::wstring& folder) {
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\Config").c_str(), nullptr));
    ASSERT_TRUE(WriteString(kProductKey, kInstallPathValue, folder + L"\\"));
    m_installedConfig = folder + L"\\Config\\config.xml";
  }
  // What the uninstall sequence leaves: the configuration kept, the client gone.
  void KeepConfiguration(const std::string& bytes) {
    UseInstallFolder(m_oldClient.path());
    ASSERT_TRUE(WriteFileBytes(m_installedConfig, bytes));
    ASSERT_EQ(SaveClientConfig(m_context), ConfigKeeping::kKept);
    ASSERT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kProductKey, KEY_WOW64_64KEY, 0), ERROR_SUCCESS);
  }

  ScratchFolder m_oldClient{L"old client"};
  std::wstring m_installedConfig;
};

}  // namespace

TEST_F(InstallRunTest, WithoutTheRuntimeItsInstallerRunsToTheEndBeforeTheClientPackage) {
  StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", true);
  RunInstallation(m_context, false);

  const auto runtime = ReadRecords(standin::kRuntimeProgram);
  ASSERT_EQ(runtime.size(), 1u);
  EXPECT_EQ(runtime[0]["registered"], "1");
  EXPECT_EQ(runtime[0]["cwd"], Narrow(m_context.m_szSetupDir)) << "not the folder the test was started in";
  EXPECT_TRUE(IsVcRuntimeInstalled());
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_GT(KeyWriteTime(kProductKey), runtime[0].Time("finished"))
      << "the client package must only run once the runtime installer has ended";

  const auto clients = WaitForRecords(standin::kClientProgram, 1);
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0]["version"], "2.0.1.5");
  EXPECT_EQ(clients[0]["module"], Narrow(InstallFolder() + L"Quillmere.exe"));
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  EXPECT_TRUE(SetupLogLines().empty());
}

// MsiExec and the uninstall run from the system folder, and so does a program named without
// its folder; none of them works in the folder the installer was started from.
class StartedProgramFolder : public ::testing::TestWithParam<std::wstring> {};

TEST_P(StartedProgramFolder, IsTheSystemFolder) {
  ScratchFolder scratch(L"started-in");
  const std::wstring answer = scratch / L"cd.txt";
  unsigned long error = 0;
  ASSERT_TRUE(RunAndWait(GetParam() + L" /c cd > \"" + answer + L"\"", error)) << error;
  EXPECT_EQ(ReadLines(answer), std::vector<std::string>{Narrow(SystemFolder())});
}

INSTANTIATE_TEST_SUITE_P(Programs, StartedProgramFolder,
                         ::testing::Values(SystemFolder() + L"\\cmd.exe", L"cmd.exe"),
                         [](const ::testing::TestParamInfo<std::wstring>& info) {
                           return info.index == 0 ? "ByItsFullPath" : "ByItsNameAlone";
                         });

TEST_F(InstallRunTest, WithTheRuntimePresentOnlyTheClientPackageRuns) {
  ASSERT_TRUE(RegisterRuntime());
  StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", true);
  RunInstallation(m_context, false);

  EXPECT_TRUE(ReadRecords(standin::kRuntimeProgram).empty());
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(WaitForRecords(standin::kClientProgram, 1).size(), 1u);
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
}

TEST_F(InstallRunTest, AMissingRuntimeInstallerIsLoggedAndNothingElseHappens) {
  StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", false);
  RunInstallation(m_context, false);

  const auto log = SetupLogLines();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_THAT(log[0], EndsWith(" Msg:setup Quillmere failed! ErrCode:2 Num:0"));
  EXPECT_FALSE(KeyExists(kProductKey)) << "the client package must not run";
  EXPECT_TRUE(FileExists(StagedPackage()));
  EXPECT_TRUE(NoClientStarted());
}

TEST_F(InstallRunTest, APackageThatLeavesNoInstallPathStartsNothingAndKeepsTheDataFolder) {
  ASSERT_TRUE(RegisterRuntime());
  StageSetupFolder(m_context, L"Quillmere-no-installpath.msi", true);
  RunInstallation(m_context, false);

  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5") << "the package itself did install";
  EXPECT_TRUE(InstallFolder().empty());
  EXPECT_TRUE(NoClientStarted());
  EXPECT_TRUE(FileExists(StagedPackage()));
  EXPECT_TRUE(FileExists(m_context.m_szPackagePath));
}

TEST_F(ClientConfigTest, AfterAnUninstallTheKeptConfigurationIsInPlaceWhenTheClientStarts) {
  ASSERT_TRUE(RegisterRuntime());
  const std::string kept = "<config><server>files.example</server></config>";
  KeepConfiguration(kept);
  StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", true);
  RunInstallation(m_context, true);

  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), kept);
  const auto clients = WaitForRecords(standin::kClientProgram, 1);
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0]["config"], kept) << "the client read its configuration before it was put back";
}

TEST_F(ClientConfigTest, AFailedInstallationKeepsTheConfigurationForTheNextSuccessfulRun) {
  ASSERT_TRUE(RegisterRuntime());
  const std::string kept = "<config><account>bob</account></config>";
  KeepConfiguration(kept);
  StageSetupFolder(m_context, L"Quillmere-no-installpath.msi", true);
  RunInstallation(m_context, true);
  ASSERT_TRUE(NoClientStarted());
  EXPECT_EQ(ReadFileBytes(KeptConfigPath(m_context)), kept);

  // The next run finds no client installed and installs afresh.
  StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", true);
  RunInstallation(m_context, false);
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), kept);
  const auto clients = WaitForRecords(standin::kClientProgram, 1);
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0]["config"], kept);
  EXPECT_THAT(SetupLogLines(), ElementsAre(EndsWith(" Msg:the client installer left no InstallPath")))
      << "the first run only";
}

TEST_F(ClientConfigTest, AClientInstallerThatFailsIsLoggedWithItsCodeAndTheKeptConfigurationWaits) {
  ASSERT_TRUE(RegisterRuntime());
  // The uninstall went wrong too: the old client is still there, with the shipped configuration.
  UseInstallFolder(m_oldClient.path());
  const std::string kept = "<config><account>dave</account></config>";
  ASSERT_TRUE(WriteFileBytes(m_installedConfig, kept));
  ASSERT_EQ(SaveClientConfig(m_context), ConfigKeeping::kKept);
  ASSERT_TRUE(WriteFileBytes(m_installedConfig, "<config>as shipped</config>"));
  StageSetupFolder(m_context, L"Quillmere-failing.msi", true);
  {
    ErrorBoxAnswerer user;
    RunInstallation(m_context, true);
    EXPECT_EQ(user.Answered(), 1) << "the package's own error box";
  }

  EXPECT_THAT(SetupLogLines(), ElementsAre(EndsWith(" Msg:setup Quillmere failed! ExitCode:1603 Num:1")));
  EXPECT_EQ(ReadFileBytes(KeptConfigPath(m_context)), kept) << "kept for the run that installs the client";
  EXPECT_EQ(ReadFileBytes(m_installedConfig), "<config>as shipped</config>");
  EXPECT_TRUE(FileExists(StagedPackage()));
  EXPECT_TRUE(NoClientStarted());
}

TEST_F(InstallRunTest, AnInstallerThatFindsAnotherInstallationInProgressRunsAgainWhenItIsOver) {
  ASSERT_TRUE(RequestRuntimeExitCodes({kInstallAlreadyRunning}));
  StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", true);
  RunInstallation(m_context, false);

  std::vector<std::string> runtimeExitCodes;
  for (const Record& run : ReadRecords(standin::kRuntimeProgram)) runtimeExitCodes.push_back(run["exitcode"]);
  EXPECT_THAT(runtimeExitCodes, ElementsAre("1618", "0"));
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(WaitForRecords(standin::kClientProgram, 1).size(), 1u);
  EXPECT_TRUE(SetupLogLines().empty());
  EXPECT_THAT(SetupLogLines(true),
              ElementsAre(EndsWith("runtime installer exit code 1618"),
                          EndsWith("another installation is in progress: runtime installer starts again in 300 ms"),
                          EndsWith("runtime installer exit code 0"), EndsWith("client installer exit code 0")));
}

TEST_F(InstallRunTest, RuntimeIsRecognisedByItsExactNameInEitherList) {
  EXPECT_FALSE(IsVcRuntimeInstalled());
  // Near misses: another letter case, and a name longer than a 256-character buffer.
  std::wstring lower = kVcRuntimeMarker;
  for (wchar_t& c : lower) c = towlower(c);
  ASSERT_TRUE(WriteString(kUninstallList + L"\\QuillTestLower", L"DisplayName", lower, KEY_WOW64_32KEY));
  ASSERT_TRUE(WriteString(kUninstallList + L"\\QuillTestLong", L"DisplayName",
                          std::wstring(kVcRuntimeMarker) + std::wstring(600, L'x'), KEY_WOW64_32KEY));
  EXPECT_FALSE(IsVcRuntimeInstalled());
  // The current user's own classes, which need no rights to write, do not count.
  ASSERT_TRUE(WriteString(L"Software\\Classes\\Installer\\Products\\QuillTestRuntime", L"DisplayName",
                          kVcRuntimeMarker, 0, HKEY_CURRENT_USER));
  EXPECT_FALSE(FindVcRuntimeInProductList());

  ASSERT_TRUE(WriteString(L"Installer\\Products\\QuillTestRuntime", L"DisplayName", kVcRuntimeMarker, 0,
                          HKEY_CLASSES_ROOT));
  EXPECT_FALSE(FindVcRuntimeInUninstallList());
  EXPECT_TRUE(FindVcRuntimeInProductList());
  EXPECT_TRUE(IsVcRuntimeInstalled());

  ASSERT_TRUE(RegisterRuntime());
  EXPECT_TRUE(FindVcRuntimeInUninstallList());
}

TEST_F(ClientConfigTest, ConfigurationIsKeptInTheDataFolderAndPutBackOnce) {
  ScratchFolder client(L"client folder");
  UseInstallFolder(client.path());
  ASSERT_TRUE(WriteFileBytes(m_installedConfig, "<config>user's own</config>"));
  ASSERT_TRUE(WriteFileBytes(KeptConfigPath(m_context), "from an earlier upgrade"));

  EXPECT_EQ(SaveClientConfig(m_context), ConfigKeeping::kKept);
  EXPECT_EQ(ReadFileBytes(KeptConfigPath(m_context)), "<config>user's own</config>");
  EXPECT_FALSE(FileExists(TemporaryFolderConfigPath())) << "not where any user may write";

  ASSERT_TRUE(WriteFileBytes(m_installedConfig, "<config>as shipped</config>"));
  EXPECT_TRUE(RestoreClientConfig(m_context));
  EXPECT_EQ(ReadFileBytes(m_installedConfig), "<config>user's own</config>");
  EXPECT_FALSE(HasKeptClientConfig(m_context)) << "removed after the restore";
  EXPECT_FALSE(FileExists(KeptConfigDigestPath(m_context)));
}

TEST_F(ClientConfigTest, WithoutAnInstallPathNothingIsKeptAndAKeptCopyWaits) {
  EXPECT_EQ(SaveClientConfig(m_context), ConfigKeeping::kNothingToKeep);
  EXPECT_FALSE(HasKeptClientConfig(m_context));
  // A client without a configuration file, or named by a relative folder, has nothing to keep.
  ScratchFolder bare(L"client without configuration");
  UseInstallFolder(bare.path());
  EXPECT_EQ(SaveClientConfig(m_context), ConfigKeeping::kNothingToKeep);
  ASSERT_TRUE(WriteString(kProductKey, kInstallPathValue, L"relative\\"));
  EXPECT_EQ(SaveClientConfig(m_context), ConfigKeeping::kNothingToKeep);

  KeepConfiguration("<config>user's own</config>");
  ASSERT_TRUE(WriteString(kProductKey, kInstallPathValue, L""));
  EXPECT_EQ(SaveClientConfig(m_context), ConfigKeeping::kNothingToKeep);
  EXPECT_FALSE(RestoreClientConfig(m_context));
  EXPECT_EQ(ReadFileBytes(KeptConfigPath(m_context)), "<config>user's own</config>")
      << "waits for a run that installs the client";
}

// Changes made to the kept configuration between the uninstall and the restore.
struct Tampering {
  const char* name;
  std::function<void(const SetupContext&)> apply;
};

class KeptConfigTampering : public ClientConfigTest, public ::testing::WithParamInterface<Tampering> {};

TEST_P(KeptConfigTampering, IsNotPutBackAndIsRemoved) {
  ScratchFolder client(L"client folder");
  UseInstallFolder(client.path());
  ASSERT_TRUE(WriteFileBytes(m_installedConfig, "<config>user's own</config>"));
  ASSERT_EQ(SaveClientConfig(m_context), ConfigKeeping::kKept);
  ASSERT_TRUE(WriteFileBytes(m_installedConfig, "<config>as shipped</config>"));

  GetParam().apply(m_context);
  EXPECT_FALSE(RestoreClientConfig(m_context));
  EXPECT_EQ(ReadFileBytes(m_installedConfig), "<config>as shipped</config>");
  EXPECT_FALSE(HasKeptClientConfig(m_context));
  EXPECT_THAT(SetupLogLines(), ElementsAre(EndsWith(" Msg:kept configuration altered")));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, KeptConfigTampering,
    ::testing::Values(
        Tampering{"CopyRewritten",
                  [](const SetupContext& c) { WriteFileBytes(KeptConfigPath(c), "<config>someone else's</config>"); }},
        Tampering{"DigestRewritten",
                  [](const SetupContext& c) { WriteFileBytes(KeptConfigDigestPath(c), std::string(64, '0')); }},
        Tampering{"DigestRemoved", [](const SetupContext& c) { DeleteFileW(KeptConfigDigestPath(c).c_str()); }}),
    [](const ::testing::TestParamInfo<Tampering>& info) { return std::string(info.param.name); });

TEST_F(ClientConfigTest, InstallPathIsReadWholeWhateverItsLengthOrTerminator) {
  // Longer than the 129 characters a 260-byte buffer holds.
  ScratchFolder client(L"client " + std::wstring(150, L'q'));
  ASSERT_GT(client.path().size(), 150u);
  UseInstallFolder(client.path());
  ASSERT_TRUE(WriteFileBytes(m_installedConfig, "long"));
  std::wstring read;
  ASSERT_TRUE(ReadInstallPath(read));
  EXPECT_EQ(read, client.path() + L"\\");
  EXPECT_EQ(SaveClientConfig(m_context), ConfigKeeping::kKept);
  EXPECT_EQ(ReadFileBytes(KeptConfigPath(m_context)), "long");

  // Stored without its terminator: exactly its characters, nothing read past them.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_WRITE | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
  const std::wstring path = client.path() + L"\\";
  ASSERT_EQ(RegSetValueExW(key, kInstallPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                           static_cast<DWORD>(path.size() * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_TRUE(ReadInstallPath(read));
  EXPECT_EQ(read, path);
}
