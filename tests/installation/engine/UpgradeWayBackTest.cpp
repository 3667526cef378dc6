// The way back of an upgrade, with Wine's real Windows Installer: the installed client's own
// package kept before it is removed, and installed again when the new client does not
// install, by this run or by the next one after a run that died half way.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <msi.h>

#include <algorithm>
#include <functional>

#include "Common/Sha256.h"
#include "Common/tool.h"
#include "ExistingInstallFixture.h"
#include "engine/ClientProcesses.h"
#include "engine/InstallerExitCode.h"
#include "engine/KeptConfig.h"
#include "engine/PreviousClient.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace standin_test;
using namespace testing_support;
using ::testing::Contains;
using ::testing::EndsWith;
using ::testing::HasSubstr;

namespace {

class WayBackTest : public ExistingInstallTest {
 protected:
  // The new release's client package is `msi`, a stand-in file or, when empty, bytes that
  // are no package at all.
  void StageNewPackage(const std::wstring& msi) {
    StageSetupFolder(m_context, msi.empty() ? L"Quillmere-2.0.1.5.msi" : msi, true);
    if (msi.empty()) {
      ASSERT_TRUE(WriteFileBytes(std::wstring(m_context.m_szSetupDir) + L"\\Quillmere.msi", "not a package"));
    }
  }

  // What a run leaves when it dies right after the uninstall: the way back and the kept
  // configuration in the data folder, and no client.
  void DieAfterTheUninstall() {
    PreviousClient previous{QUILL_STANDIN_CODE_OLD, L"2.0.1.4", InstallFolder()};
    ASSERT_EQ(KeepPreviousClient(m_context, previous), WayBack::kKept);
    TerminateProcessesByPath(previous.folder);
    ASSERT_EQ(SaveClientConfig(m_context, previous.folder), ConfigKeeping::kKept);
    ASSERT_TRUE(RunUninstallCommand(SystemFolder() + L"\\MsiExec.exe /x " QUILL_STANDIN_CODE_OLD L" /qn"));
    DeleteProductKeys(KEY_WOW64_64KEY);
    ASSERT_FALSE(KeyExists(kOldEntry));
  }

  // 2.0.1.4 is installed again with the user's settings, and was started by the installer.
  void ExpectOldClientBack() {
    EXPECT_TRUE(KeyExists(kOldEntry));
    EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4");
    EXPECT_EQ(ReadString(kProductCodeKey, kProductCodeValue), QUILL_STANDIN_CODE_OLD);
    EXPECT_TRUE(KeyExists(kLanguageKey));
    EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
    const auto clients = WaitForRecords(standin::kClientProgram, 2);
    ASSERT_EQ(clients.size(), 2u);
    EXPECT_EQ(clients[1]["version"], "2.0.1.4");
    EXPECT_EQ(clients[1]["config"], m_userConfig);
    EXPECT_FALSE(FileExists(UpgradeStatePath(m_context)));
    EXPECT_FALSE(FileExists(KeptPackagePath(m_context)));
    EXPECT_THAT(SetupLogLines(), Contains(EndsWith("the new version failed; the previous client 2.0.1.4 was put back")));
  }
};

class FailingNewPackageTest : public WayBackTest, public ::testing::WithParamInterface<const wchar_t*> {};

std::string PackageName(const ::testing::TestParamInfo<const wchar_t*>& info) {
  return *info.param ? "InstallationFails" : "PackageDamaged";
}

}  // namespace

TEST_P(FailingNewPackageTest, PutsTheOldClientBackConfiguredAndStarted) {
  InstallOldClient();
  StageNewPackage(GetParam());
  m_context.m_bUnattended = true;  // no error box of the failing package to answer

  PackageReady(true);

  EXPECT_FALSE(IsRunning(m_oldClient)) << "it was stopped for the uninstall";
  ExpectOldClientBack();
  ExpectInstallStartedAndEnded(SetupOutcome::kPreviousRestored);
}

INSTANTIATE_TEST_SUITE_P(NewPackages, FailingNewPackageTest, ::testing::Values(L"Quillmere-failing.msi", L""),
                         PackageName);

TEST_F(WayBackTest, WithoutTheInstalledClientsOwnPackageNothingIsUninstalled) {
  InstallOldClient();
  wchar_t cached[MAX_PATH] = {};
  DWORD chars = MAX_PATH;
  ASSERT_EQ(MsiGetProductInfoW(QUILL_STANDIN_CODE_OLD, INSTALLPROPERTY_LOCALPACKAGE, cached, &chars), 0u);
  ASSERT_TRUE(DeleteFileW(cached));

  PackageReady(true);

  EXPECT_TRUE(IsRunning(m_oldClient)) << "not even stopped";
  EXPECT_TRUE(KeyExists(kOldEntry));
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
  EXPECT_THAT(SetupLogLines(), Contains(EndsWith("uninstall skipped: it could not be undone")));
  EXPECT_FALSE(HasKeptClientConfig(m_context));
  ExpectInstallStartedAndEnded(SetupOutcome::kReplaceFailed);
}

TEST_F(WayBackTest, AnUninstallThatFailsLeavesTheClientAndNeverRunsTheNewPackage) {
  ASSERT_TRUE(InstallPackage(L"Quillmere-2.0.1.4-unremovable.msi"));
  ASSERT_TRUE(WriteFileBytes(InstalledConfigPath(), m_userConfig));
  m_context.m_bUnattended = true;

  PackageReady(true);

  EXPECT_THAT(SetupLogLines(), Contains(EndsWith("delete quillmere failed! ExitCode:1603")));
  EXPECT_TRUE(KeyExists(kOldEntry));
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
  EXPECT_TRUE(ReadRecords(standin::kRuntimeProgram).empty()) << "the new release never ran";
  EXPECT_TRUE(ReadRecords(standin::kClientProgram).empty()) << "a client that was not running stays so";
  ExpectInstallStartedAndEnded(SetupOutcome::kReplaceFailed);
}

// The next run after one that died between the uninstall and the end: no question, the new
// release goes on, and the old client comes back when it fails as well.
TEST_F(WayBackTest, ARunCutShortAfterTheUninstallIsFinishedByTheNextOne) {
  InstallOldClient();
  DieAfterTheUninstall();

  PackageReady(true);

  EXPECT_TRUE(m_prompts.empty());
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir)) << "the way back goes once the new client runs";
  ExpectInstallStartedAndEnded(SetupOutcome::kInstalled);
}

TEST_F(WayBackTest, ARunCutShortIsPutBackWhenTheNextOneFailsToo) {
  InstallOldClient();
  DieAfterTheUninstall();
  StageNewPackage(L"Quillmere-failing.msi");
  m_context.m_bUnattended = true;

  PackageReady(true);

  EXPECT_TRUE(m_prompts.empty());
  ExpectOldClientBack();
  ExpectInstallStartedAndEnded(SetupOutcome::kPreviousRestored);
}

TEST_F(WayBackTest, AWayBackThatCannotBeTakenWaitsForTheNextRun) {
  // The record names a package whose own installation fails: neither client installs.
  InstallOldClient();
  DieAfterTheUninstall();
  ASSERT_TRUE(CopyFileW(FixturePath(L"Quillmere-failing.msi").c_str(), KeptPackagePath(m_context).c_str(), FALSE));
  const std::string state = ReadFileBytes(UpgradeStatePath(m_context));
  const size_t digest = state.find("sha256=") + 7;
  ASSERT_TRUE(WriteFileBytes(UpgradeStatePath(m_context),
                             state.substr(0, digest) + Sha256Hex(ReadFileBytes(KeptPackagePath(m_context))) + "\r\n"));
  StageNewPackage(L"Quillmere-failing.msi");
  m_context.m_bUnattended = true;

  PackageReady(true);

  EXPECT_FALSE(KeyExists(kProductKey));
  EXPECT_THAT(SetupLogLines(), Contains(HasSubstr("no client is installed; the kept package and configuration wait")));
  EXPECT_TRUE(FileExists(UpgradeStatePath(m_context)));
  EXPECT_TRUE(FileExists(KeptPackagePath(m_context)));
  EXPECT_TRUE(HasKeptClientConfig(m_context));
  ExpectInstallStartedAndEnded(SetupOutcome::kPutBackFailed);
}

// A client whose folder only Windows Installer, or only its running program, still tells:
// it is asked to close, and its configuration goes over to the new client.
struct HiddenFolder {
  const char* name;
  const wchar_t* package;
  const char* road;
};

class HiddenFolderTest : public WayBackTest, public ::testing::WithParamInterface<HiddenFolder> {};

TEST_P(HiddenFolderTest, IsFoundAndTheClientIsStoppedWithItsConfigurationKept) {
  ASSERT_TRUE(InstallPackage(GetParam().package));
  ASSERT_TRUE(WriteFileBytes(InstalledConfigPath(), m_userConfig));
  m_oldClient = StartClient(InstallFolder() + L"Quillmere.exe");
  ASSERT_NE(m_oldClient, 0u);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key), 0);
  RegDeleteValueW(key, kInstallPathValue);
  RegCloseKey(key);
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kOldEntry.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) == 0) {
    RegDeleteValueW(key, L"InstallLocation");
    RegCloseKey(key);
  }

  PackageReady(true);

  EXPECT_FALSE(IsRunning(m_oldClient));
  const auto closed = ReadRecords(standin::kClosedProgram);
  EXPECT_EQ(std::count_if(closed.begin(), closed.end(),
                          [&](const Record& r) { return r["pid"] == std::to_string(m_oldClient); }),
            1)
      << "asked to close first";
  EXPECT_THAT(SetupLogLines(true), Contains(HasSubstr(std::string("from ") + GetParam().road)));
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
  ExpectInstallStartedAndEnded(SetupOutcome::kInstalled);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, HiddenFolderTest,
    ::testing::Values(HiddenFolder{"WindowsInstaller", L"Quillmere-2.0.1.4-located.msi", "Windows Installer"},
                      HiddenFolder{"RunningProgram", L"Quillmere-2.0.1.4.msi", "a running client"}),
    [](const ::testing::TestParamInfo<HiddenFolder>& info) { return std::string(info.param.name); });

TEST_F(WayBackTest, ANewPackageThatAsksForARestartStartsNothing) {
  InstallOldClient();
  StageNewPackage(L"Quillmere-2.0.1.5-reboot.msi");

  PackageReady(true);

  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig) << "the configuration still goes back";
  Sleep(2000);
  EXPECT_EQ(ReadRecords(standin::kClientProgram).size(), 1u) << "only the user's own start of 2.0.1.4";
  EXPECT_THAT(SetupLogLines(), Contains(HasSubstr("asks for a restart (3010)")));
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  ExpectInstallStartedAndEnded(SetupOutcome::kRestartNeeded);
}
