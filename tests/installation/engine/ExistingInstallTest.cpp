// What happens when the package is ready, with Wine's real Windows Installer, the stand-in
// client packages 2.0.1.4 and 2.0.1.5 (64-bit and x86), and an observer answering the
// question whether to replace the installed client.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "Common/tool.h"
#include "ExistingInstallFixture.h"
#include "InstallRunStandIns.h"
#include "RecordingObserver.h"
#include "StandInRecord.h"
#include "engine/ClientProcesses.h"
#include "engine/ExistingInstall.h"
#include "engine/KeptConfig.h"
#include "engine/PreviousClient.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace standin_test;
using namespace testing_support;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::Pair;

namespace {

// The same, for each architecture of the client's packages.
class ClientUpgradeTest : public ExistingInstallTest, public ::testing::WithParamInterface<Architecture> {
 protected:
  void SetUp() override {
    ExistingInstallTest::SetUp();
    if (HasFatalFailure()) return;
    StageSetupFolder(m_context, GetParam().newPackage, true);
  }
};

std::string ArchitectureName(const ::testing::TestParamInfo<Architecture>& info) { return info.param.name; }

}  // namespace

TEST_F(ExistingInstallTest, CleanMachineInstallsWithoutAskingAndStartsTheClient) {
  PackageReady(true);

  EXPECT_TRUE(m_prompts.empty());
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  const auto clients = ClientsStartedByTheInstaller();
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0]["version"], "2.0.1.5");
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  ExpectInstallStartedAndEnded();
}

TEST_P(ClientUpgradeTest, ConfirmedUpgradeReplacesTheRunningClientAndKeepsTheUsersConfiguration) {
  const Architecture& arch = GetParam();
  InstallOldClient(arch);
  const std::wstring oldEntry = kUninstallList + L"\\" + arch.oldCode;
  // Values the uninstaller leaves alone: only removing the keys takes them away.
  ASSERT_TRUE(WriteString(kProductCodeKey, L"left over", L"1", arch.view));
  ASSERT_TRUE(WriteString(kLanguageKey, L"left over", L"1", arch.view));

  PackageReady(true);

  EXPECT_THAT(m_prompts, ElementsAre(Pair(L"2.0.1.4", L"2.0.1.5")));
  EXPECT_FALSE(IsRunning(m_oldClient));
  EXPECT_EQ(ReadRecords(standin::kClosedProgram).size(), 1u) << "the client was asked to close first";
  EXPECT_FALSE(KeyExists(oldEntry, arch.view)) << "2.0.1.4 must be uninstalled";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue, arch.view), L"2.0.1.5");
  EXPECT_EQ(ReadString(kProductCodeKey, kProductCodeValue, arch.view), arch.newCode);
  EXPECT_EQ(ReadString(kProductCodeKey, L"left over", arch.view), L"");
  EXPECT_EQ(ReadString(kLanguageKey, L"left over", arch.view), L"");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath(arch.view)), m_userConfig);

  const auto clients = ClientsStartedByTheInstaller();
  ASSERT_EQ(clients.size(), 2u);
  EXPECT_EQ(clients[1]["version"], "2.0.1.5");
  EXPECT_EQ(clients[1]["config"], m_userConfig);
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  EXPECT_TRUE(SetupLogLines().empty());
  ExpectInstallStartedAndEnded();
}

TEST_F(ExistingInstallTest, DeclinedOrClosedPromptLeavesTheMachineAsItWas) {
  InstallOldClient();
  // Declined, or the question closed without an answer: the same to the engine.
  PackageReady(false);

  EXPECT_THAT(m_prompts, ElementsAre(Pair(L"2.0.1.4", L"2.0.1.5")));
  EXPECT_TRUE(IsRunning(m_oldClient));
  EXPECT_TRUE(KeyExists(kOldEntry));
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4");
  EXPECT_EQ(ReadString(kProductCodeKey, kProductCodeValue), QUILL_STANDIN_CODE_OLD);
  EXPECT_TRUE(KeyExists(kLanguageKey));
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
  EXPECT_FALSE(HasKeptClientConfig(m_context));
  EXPECT_TRUE(FileExists(m_context.m_szPackagePath)) << "the download stays for the next run";
  EXPECT_TRUE(FileExists(std::wstring(m_context.m_szSetupDir) + L"\\Quillmere.msi"));
  EXPECT_EQ(ReadRecords(standin::kClientProgram).size(), 1u);
  EXPECT_TRUE(ReadRecords(standin::kRuntimeProgram).empty());
  EXPECT_TRUE(SetupLogLines().empty());
  ExpectInstallStartedAndEnded(SetupOutcome::kClientKept);
}

// The product key names a folder so deep that the configuration's path passes MAX_PATH.
TEST_F(ExistingInstallTest, ConfigurationOfAClientInADeepFolderIsKeptOverTheUpgrade) {
  InstallOldClient();
  // The client would otherwise still run from the folder the key no longer names.
  TerminateProcessesByPath(InstallFolder());
  ScratchFolder deep(L"deep client");
  std::wstring folder = deep.path();
  for (int level = 0; level < 4; ++level) folder += L"\\level " + std::to_wstring(level) + L" " + std::wstring(60, L'q');
  ASSERT_TRUE(CreateFolderTree(folder + L"\\Config"));
  const std::wstring deepConfig = folder + L"\\" + kClientConfigRelative;
  ASSERT_GT(deepConfig.size(), 300u);
  ASSERT_TRUE(WriteFileBytes(deepConfig, m_userConfig));
  ASSERT_TRUE(WriteFileBytes(InstalledConfigPath(), "<config>as shipped</config>"));
  ASSERT_TRUE(WriteString(kProductKey, kInstallPathValue, folder + L"\\"));

  PackageReady(true);

  EXPECT_FALSE(KeyExists(kOldEntry));
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig) << "put back into the new client";
  ExpectInstallStartedAndEnded();
}

// The user's settings would go with an uninstall: a configuration that cannot be kept
// leaves the client installed and ends with the disk error.
struct UnkeepableConfig {
  const char* name;
  std::function<HANDLE(const SetupContext&)> spoil;  // returns a handle to close afterwards, or null
};

class UnkeepableConfigTest : public ExistingInstallTest, public ::testing::WithParamInterface<UnkeepableConfig> {};

TEST_P(UnkeepableConfigTest, LeavesTheClientInstalledAndShowsTheDiskError) {
  InstallOldClient();
  TerminateProcessesByPath(InstallFolder());  // the client would otherwise be stopped first
  const HANDLE held = GetParam().spoil(m_context);

  PackageReady(true);
  if (held) CloseHandle(held);

  EXPECT_TRUE(KeyExists(kOldEntry)) << "2.0.1.4 must stay installed";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
  EXPECT_THAT(SetupLogLines(), testing::Contains(EndsWith(" Msg:uninstall skipped: the configuration cannot be kept")));
  EXPECT_EQ(m_observer.Events().front(), "install started");
  EXPECT_THAT(m_observer.Outcomes(), ElementsAre(SetupOutcome::kDiskError));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, UnkeepableConfigTest,
    ::testing::Values(UnkeepableConfig{"HeldOpenByAnotherProgram",
                                       [](const SetupContext&) {
                                         return CreateFileW(InstalledConfigPath().c_str(), GENERIC_READ, 0, nullptr,
                                                            OPEN_EXISTING, 0, nullptr);
                                       }},
                      UnkeepableConfig{"CopyCannotBeWritten",
                                       [](const SetupContext& context) {
                                         CreateDirectoryW(KeptConfigPath(context).c_str(), nullptr);
                                         return HANDLE(nullptr);
                                       }}),
    [](const ::testing::TestParamInfo<UnkeepableConfig>& info) { return std::string(info.param.name); });

TEST_P(ClientUpgradeTest, ClientKnownOnlyFromTheUninstallListIsFoundWhateverTheLetterCase) {
  const Architecture& arch = GetParam();
  InstallOldClient(arch);
  const std::wstring oldEntry = kUninstallList + L"\\" + arch.oldCode;
  // A package that sets its install location names the client's folder in the entry.
  ASSERT_TRUE(WriteString(oldEntry, L"InstallLocation", InstallFolder(arch.view), arch.view));
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kProductKey, arch.view, 0);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kProductCodeKey, arch.view, 0);
  ASSERT_FALSE(KeyExists(kProductCodeKey, arch.view));
  ASSERT_TRUE(WriteString(oldEntry, L"DisplayName", L"QUILLMERE", arch.view));
  // A configuration left in the temporary folder, where any user may write, must not end up
  // in the new client: the user's own, found through the entry's folder, does.
  ASSERT_TRUE(WriteFileBytes(TemporaryFolderConfigPath(), "<config>stale</config>"));

  PackageReady(true);

  EXPECT_THAT(m_prompts, ElementsAre(Pair(L"", L"2.0.1.5")));
  EXPECT_FALSE(IsRunning(m_oldClient));
  EXPECT_FALSE(KeyExists(oldEntry, arch.view)) << "uninstalled with the entry's product code";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue, arch.view), L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath(arch.view)), m_userConfig);
  const auto clients = ClientsStartedByTheInstaller();
  ASSERT_EQ(clients.size(), 2u);
  EXPECT_EQ(clients[1]["version"], "2.0.1.5");
  ExpectInstallStartedAndEnded();
}

INSTANTIATE_TEST_SUITE_P(Architectures, ClientUpgradeTest, ::testing::Values(kX64, kX86), ArchitectureName);

TEST_F(ExistingInstallTest, ProductCodeThatIsNotJustOneCodeIsNeverPutOnTheUninstallCommandLine) {
  InstallOldClient();
  // Anything after the code would reach Windows Installer as options of its own.
  const std::wstring logFile = CurrentFolder() + L"\\uninstall.log";
  ASSERT_TRUE(WriteString(kProductCodeKey, kProductCodeValue,
                          std::wstring(QUILL_STANDIN_CODE_OLD) + L" /l*v \"" + logFile + L"\""));

  PackageReady(true);

  EXPECT_THAT(SetupLogLines(), ElementsAre(EndsWith(" Msg:uninstall skipped: invalid product code")));
  EXPECT_TRUE(KeyExists(kOldEntry)) << "no uninstall was run";
  EXPECT_FALSE(FileExists(logFile));
  EXPECT_TRUE(IsRunning(m_oldClient));
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4") << "a client that could not be put back stays";
  ExpectInstallStartedAndEnded(SetupOutcome::kReplaceFailed);
}

TEST_F(ExistingInstallTest, ProductCodeKeyWithoutACodeChangesNothingAndSaysSo) {
  ASSERT_TRUE(WriteString(kProductCodeKey, L"other", L"x"));
  PackageReady(true);

  EXPECT_TRUE(m_prompts.empty());
  EXPECT_FALSE(KeyExists(kProductKey));
  EXPECT_TRUE(FileExists(m_context.m_szPackagePath)) << "the download stays for the next run";
  EXPECT_FALSE(FolderExists(m_context.m_szSetupDir)) << "what the next run extracts again goes";
  EXPECT_TRUE(ReadRecords(standin::kRuntimeProgram).empty());
  EXPECT_THAT(SetupLogLines(), ElementsAre(EndsWith("product code key names no product code: nothing is changed")));
  ExpectInstallStartedAndEnded(SetupOutcome::kClientUnidentified);
}

TEST_F(ExistingInstallTest, ProductKeyWithoutVersionIsInstalledOverWithTheExtractedPackage) {
  ASSERT_TRUE(WriteString(kProductCodeKey, kProductCodeValue, QUILL_STANDIN_CODE_OLD));
  ASSERT_TRUE(WriteString(kProductKey, L"other", L"x"));
  PackageReady(true);

  EXPECT_TRUE(m_prompts.empty());
  EXPECT_TRUE(SetupLogLines().empty()) << "both installers must still be there to run";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ClientsStartedByTheInstaller().size(), 1u);
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  ExpectInstallStartedAndEnded();
}

TEST_F(ExistingInstallTest, UninstallThatCannotRunLeavesTheClientInstalledConfiguredAndRunning) {
  InstallOldClient();
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring msiexec = std::wstring(system) + L"\\msiexec.exe";
  const std::wstring parked = std::wstring(system) + L"\\msiexec.parked";
  ASSERT_TRUE(MoveFileW(msiexec.c_str(), parked.c_str()));
  PackageReady(true);
  MoveFileW(parked.c_str(), msiexec.c_str());

  EXPECT_THAT(SetupLogLines(), ElementsAre(EndsWith(" Msg:delete quillmere failed! [2]"),
                                           EndsWith(" Msg:the installed client stays: its uninstall failed")));
  EXPECT_TRUE(KeyExists(kOldEntry));
  EXPECT_EQ(ReadString(kProductCodeKey, kProductCodeValue), QUILL_STANDIN_CODE_OLD);
  EXPECT_TRUE(KeyExists(kLanguageKey));
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
  EXPECT_TRUE(ReadRecords(standin::kRuntimeProgram).empty()) << "the new release never ran";
  const auto clients = ClientsStartedByTheInstaller();
  ASSERT_EQ(clients.size(), 2u) << "the stopped client is started again";
  EXPECT_EQ(clients[1]["version"], "2.0.1.4");
  EXPECT_FALSE(HasKeptClientConfig(m_context));
  EXPECT_FALSE(FileExists(UpgradeStatePath(m_context)));
  ExpectInstallStartedAndEnded(SetupOutcome::kReplaceFailed);
}

TEST_F(ExistingInstallTest, StoppingTheClientEndsOnlyProgramsInItsFolderAskingThemToCloseFirst) {
  // The client and a helper of it that hangs, in its folder; programs of the same name in
  // a folder whose name merely begins like the client's, and far outside it.
  ScratchFolder client(L"client");
  ScratchFolder neighbour(L"client2");
  const std::wstring outside = L"C:\\elsewhere";
  ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CreateDirectoryW((client / L"helpers").c_str(), nullptr));
  const std::wstring program = FixturePath(L"client-2.0.1.5\\Quillmere.exe");
  for (const std::wstring& copy : {client / L"Quillmere.exe", client / L"helpers\\Quillmere.exe",
                                   neighbour / L"Quillmere.exe", outside + L"\\Quillmere.exe"})
    ASSERT_TRUE(CopyFileW(program.c_str(), copy.c_str(), FALSE));
  const DWORD polite = StartClient(client / L"Quillmere.exe");
  const DWORD hanging = StartClient(client / L"helpers\\Quillmere.exe", standin::kIgnoreCloseArgument);
  const DWORD sameName = StartClient(neighbour / L"Quillmere.exe");
  const DWORD farAway = StartClient(outside + L"\\Quillmere.exe");
  ASSERT_TRUE(polite && hanging && sameName && farAway);

  TerminateProcessesByPath(client.path(), 1000);

  EXPECT_FALSE(IsRunning(polite));
  EXPECT_FALSE(IsRunning(hanging)) << "ended once its time to close had passed";
  const auto closed = ReadRecords(standin::kClosedProgram);
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0]["pid"], std::to_string(polite));
  EXPECT_TRUE(IsRunning(sameName));
  EXPECT_TRUE(IsRunning(farAway));

  // The installer's own folder: were the installer ended, this program would end here and
  // the test with it.
  wchar_t self[MAX_PATH * 4];
  const std::wstring selfPath(self, GetModuleFileNameW(nullptr, self, MAX_PATH * 4));
  TerminateProcessesByPath(selfPath.substr(0, selfPath.find_last_of(L'\\')), 500);
}

TEST(ProductCode, OnlyOneBracedCodeIsWellFormed) {
  EXPECT_TRUE(IsProductCode(QUILL_STANDIN_CODE_OLD));
  EXPECT_TRUE(IsProductCode(L"{6f0b6c1a-2d4e-4b8f-9c3a-1e5d7f9b2c41}"));
  for (const wchar_t* text :
       {L"", L"{1B2C-3D4E}", L"6F0B6C1A-2D4E-4B8F-9C3A-1E5D7F9B2C41", L"{6F0B6C1A-2D4E-4B8F-9C3A-1E5D7F9B2C41} /qn",
        L"{6F0B6C1A-2D4E-4B8F-9C3A-1E5D7F9B2C4G}", L"{6F0B6C1A 2D4E-4B8F-9C3A-1E5D7F9B2C41}",
        L"{\uFF16F0B6C1A-2D4E-4B8F-9C3A-1E5D7F9B2C41}"}) {
    EXPECT_FALSE(IsProductCode(text)) << Narrow(text);
  }
}

TEST_F(ExistingInstallTest, ProductCodeIsTakenFromTheUninstallEntryOfTheProductName) {
  std::wstring code = L"not cleared";
  FindProductCodeByName(code);
  EXPECT_EQ(code, L"");

  const std::wstring entry = kUninstallList + L"\\QuillTestEntry";
  ASSERT_TRUE(WriteString(kUninstallList + L"\\QuillTestOther", L"DisplayName", L"Quillmere Tools"));
  ASSERT_TRUE(WriteString(kUninstallList + L"\\QuillTestOther", L"UninstallString", L"MsiExec.exe /X{0000}"));
  ASSERT_TRUE(WriteString(entry, L"DisplayName", L"quillMere"));
  ASSERT_TRUE(WriteString(entry, L"UninstallString", L"MsiExec.exe /X{1B2C-3D4E}"));
  FindProductCodeByName(code);
  EXPECT_EQ(code, L"{1B2C-3D4E}");

  ASSERT_TRUE(WriteString(entry, L"UninstallString", L"C:\\Quillmere\\remove.exe"));
  FindProductCodeByName(code);
  EXPECT_EQ(code, L"C:\\Quillmere\\remove.exe") << "without a brace the whole text";

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, entry.c_str(), 0, KEY_WRITE | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
  RegDeleteValueW(key, L"UninstallString");
  RegCloseKey(key);
  FindProductCodeByName(code);
  EXPECT_EQ(code, L"");
}
