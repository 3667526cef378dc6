// What happens when the package is ready, with Wine's real Windows Installer, the stand-in
// client packages 2.0.1.4 and 2.0.1.5, and the uninstall prompt driven through its seam.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ExistingInstall.h"
#include "InstallRunStandIns.h"
#include "SetupConstants.h"
#include "StandInRecord.h"
#include "support/TestFiles.h"

using namespace setup;
using namespace standin_test;
using namespace testing_support;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::Pair;

namespace {

const std::wstring kUninstallList = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kOldEntry = kUninstallList + L"\\" + QUILL_STANDIN_CODE_OLD;
const std::wstring kLanguageKey = std::wstring(kVendorKey) + L"\\Language";
constexpr int kDeclined = 2;  // the prompt's cancel button
constexpr int kClosed = 0;    // the prompt closed by other means

class ExistingInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMachine();
    ASSERT_TRUE(EnsureDesktopShell());
    m_mainWnd = CreateWindowW(L"STATIC", L"main", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(m_mainWnd, nullptr);
    m_context = MakeSetupContext(L"2.0.1.5");
    StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", true);
  }
  void TearDown() override {
    DestroyWindow(m_mainWnd);
    ResetMachine();
  }

  // Runs the handler with a prompt that answers `answer`; the prompt's calls are kept.
  void PackageReady(int answer) {
    OnPackageReady(m_context, m_mainWnd, [this, answer](const std::wstring& installed, const std::wstring& published) {
      m_prompts.emplace_back(installed, published);
      return answer;
    });
  }

  // The handler always ends by hiding the main window and posting it WM_CLOSE.
  void ExpectMainWindowHiddenAndClosed() {
    EXPECT_FALSE(IsWindowVisible(m_mainWnd));
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, m_mainWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  }

  // 2.0.1.4 installed, its client running, the user's own settings in its configuration.
  void InstallOldClient() {
    ASSERT_TRUE(InstallPackage(L"Quillmere-2.0.1.4.msi"));
    ASSERT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4");
    ASSERT_TRUE(WriteFileBytes(InstalledConfigPath(), m_userConfig));
    m_oldClient = StartInstalledClient();
    ASSERT_NE(m_oldClient, 0u);
  }

  std::vector<Record> ClientsStartedByTheInstaller() {
    return WaitForRecords(standin::kClientProgram, m_oldClient ? 2 : 1);
  }

  HWND m_mainWnd = nullptr;
  SetupContext m_context;
  std::vector<std::pair<std::wstring, std::wstring>> m_prompts;
  const std::string m_userConfig = "<config><account>alice</account></config>";
  DWORD m_oldClient = 0;
};

}  // namespace

TEST_F(ExistingInstallTest, CleanMachineInstallsWithoutAskingAndStartsTheClient) {
  PackageReady(kPromptConfirmed);

  EXPECT_TRUE(m_prompts.empty());
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  const auto clients = ClientsStartedByTheInstaller();
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0]["version"], "2.0.1.5");
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  ExpectMainWindowHiddenAndClosed();
}

TEST_F(ExistingInstallTest, ConfirmedUpgradeReplacesTheRunningClientAndKeepsTheUsersConfiguration) {
  InstallOldClient();
  // Values the uninstaller leaves alone: only removing the keys takes them away.
  ASSERT_TRUE(WriteString(kProductCodeKey, L"left over", L"1"));
  ASSERT_TRUE(WriteString(kLanguageKey, L"left over", L"1"));

  PackageReady(kPromptConfirmed);

  EXPECT_THAT(m_prompts, ElementsAre(Pair(L"2.0.1.4", L"2.0.1.5")));
  EXPECT_FALSE(IsRunning(m_oldClient));
  EXPECT_FALSE(KeyExists(kOldEntry)) << "2.0.1.4 must be uninstalled";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ReadString(kProductCodeKey, kProductCodeValue), QUILL_STANDIN_CODE_NEW);
  EXPECT_EQ(ReadString(kProductCodeKey, L"left over"), L"");
  EXPECT_EQ(ReadString(kLanguageKey, L"left over"), L"");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);

  const auto clients = ClientsStartedByTheInstaller();
  ASSERT_EQ(clients.size(), 2u);
  EXPECT_EQ(clients[1]["version"], "2.0.1.5");
  EXPECT_EQ(clients[1]["config"], m_userConfig);
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  EXPECT_TRUE(SetupLogLines().empty());
  ExpectMainWindowHiddenAndClosed();
}

TEST_F(ExistingInstallTest, DeclinedOrClosedPromptLeavesTheMachineAsItWas) {
  InstallOldClient();
  for (int answer : {kDeclined, kClosed, -1}) {
    SCOPED_TRACE(answer);
    m_prompts.clear();
    ShowWindow(m_mainWnd, SW_SHOW);
    PackageReady(answer);

    EXPECT_THAT(m_prompts, ElementsAre(Pair(L"2.0.1.4", L"2.0.1.5")));
    EXPECT_TRUE(IsRunning(m_oldClient));
    EXPECT_TRUE(KeyExists(kOldEntry));
    EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.4");
    EXPECT_EQ(ReadString(kProductCodeKey, kProductCodeValue), QUILL_STANDIN_CODE_OLD);
    EXPECT_TRUE(KeyExists(kLanguageKey));
    EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), m_userConfig);
    EXPECT_FALSE(FileExists(KeptConfigPath()));
    EXPECT_TRUE(FileExists(m_context.m_szPackagePath)) << "the download stays for the next run";
    EXPECT_TRUE(FileExists(std::wstring(m_context.m_szSetupDir) + L"\\Quillmere.msi"));
    EXPECT_EQ(ReadRecords(standin::kClientProgram).size(), 1u);
    EXPECT_TRUE(ReadRecords(standin::kRuntimeProgram).empty());
    EXPECT_TRUE(SetupLogLines().empty());
    ExpectMainWindowHiddenAndClosed();
  }
}

TEST_F(ExistingInstallTest, ClientKnownOnlyFromTheUninstallListIsFoundWhateverTheLetterCase) {
  InstallOldClient();
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kProductKey, KEY_WOW64_64KEY, 0);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kProductCodeKey, KEY_WOW64_64KEY, 0);
  ASSERT_FALSE(KeyExists(kProductCodeKey));
  ASSERT_TRUE(WriteString(kOldEntry, L"DisplayName", L"QUILLMERE"));
  // A configuration kept by some earlier run must not end up in the new client.
  ASSERT_TRUE(WriteFileBytes(KeptConfigPath(), "<config>stale</config>"));

  PackageReady(kPromptConfirmed);

  EXPECT_THAT(m_prompts, ElementsAre(Pair(L"", L"2.0.1.5")));
  EXPECT_FALSE(IsRunning(m_oldClient));
  EXPECT_FALSE(KeyExists(kOldEntry)) << "uninstalled with the entry's product code";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ReadFileBytes(InstalledConfigPath()), ReadFileBytes(FixturePath(L"client-2.0.1.5\\config.xml")));
  const auto clients = ClientsStartedByTheInstaller();
  ASSERT_EQ(clients.size(), 2u);
  EXPECT_EQ(clients[1]["version"], "2.0.1.5");
  ExpectMainWindowHiddenAndClosed();
}

TEST_F(ExistingInstallTest, ProductCodeKeyWithoutACodeClosesWithoutDoingAnything) {
  ASSERT_TRUE(WriteString(kProductCodeKey, L"other", L"x"));
  PackageReady(kPromptConfirmed);

  EXPECT_TRUE(m_prompts.empty());
  EXPECT_FALSE(KeyExists(kProductKey));
  EXPECT_TRUE(FileExists(std::wstring(m_context.m_szSetupDir) + L"\\Quillmere.msi"));
  EXPECT_TRUE(ReadRecords(standin::kRuntimeProgram).empty());
  ExpectMainWindowHiddenAndClosed();
}

TEST_F(ExistingInstallTest, ProductKeyWithoutVersionIsInstalledOverWithTheExtractedPackage) {
  ASSERT_TRUE(WriteString(kProductCodeKey, kProductCodeValue, QUILL_STANDIN_CODE_OLD));
  ASSERT_TRUE(WriteString(kProductKey, L"other", L"x"));
  PackageReady(kPromptConfirmed);

  EXPECT_TRUE(m_prompts.empty());
  EXPECT_TRUE(SetupLogLines().empty()) << "both installers must still be there to run";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(ClientsStartedByTheInstaller().size(), 1u);
  EXPECT_FALSE(FolderExists(m_context.m_szDataDir));
  ExpectMainWindowHiddenAndClosed();
}

TEST_F(ExistingInstallTest, UninstallerThatCannotStartIsLoggedAndTheSequenceGoesOn) {
  // Installed as far as the registry can tell, and no Windows Installer to run.
  ASSERT_TRUE(WriteString(kProductCodeKey, kProductCodeValue, QUILL_STANDIN_CODE_OLD));
  ASSERT_TRUE(WriteString(kLanguageKey, L"language", L"zh-CN"));
  ASSERT_TRUE(WriteString(kProductKey, kVersionValue, L"2.0.1.4"));
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring msiexec = std::wstring(system) + L"\\msiexec.exe";
  const std::wstring parked = std::wstring(system) + L"\\msiexec.parked";
  ASSERT_TRUE(MoveFileW(msiexec.c_str(), parked.c_str()));
  PackageReady(kPromptConfirmed);
  MoveFileW(parked.c_str(), msiexec.c_str());

  EXPECT_THAT(SetupLogLines(), ElementsAre(EndsWith(" Msg:delete quillmere failed! [2]"),
                                           EndsWith(" Msg:setup Quillmere failed! ErrCode:2 Num:1")));
  EXPECT_FALSE(KeyExists(kProductCodeKey));
  EXPECT_FALSE(KeyExists(kLanguageKey));
  EXPECT_EQ(ReadRecords(standin::kRuntimeProgram).size(), 1u) << "the installation run followed";
  ExpectMainWindowHiddenAndClosed();
}

TEST_F(ExistingInstallTest, EndingProcessesByPathSparesTheInstallerAndMatchesCase) {
  // A program below the build folder, like the test program itself: both paths hold the text.
  ScratchFolder folder(L"helper");
  ASSERT_TRUE(CopyFileW(FixturePath(L"client-2.0.1.5\\Quillmere.exe").c_str(), (folder / L"Quillmere.exe").c_str(), FALSE));
  const DWORD helper = StartClient(folder / L"Quillmere.exe");
  ASSERT_NE(helper, 0u);

  const std::wstring text = HostPath(QUILL_BUILD_ROOT);
  wchar_t self[MAX_PATH * 4];
  GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  ASSERT_NE(std::wstring(self).find(text), std::wstring::npos) << Narrow(self);

  std::wstring otherCase = text;
  for (wchar_t& c : otherCase) c = towupper(c);
  TerminateProcessesByPath(otherCase.c_str());
  EXPECT_TRUE(IsRunning(helper)) << "containment is case-sensitive";

  TerminateProcessesByPath(text.c_str());
  EXPECT_FALSE(IsRunning(helper));
  // Still here: the installer did not end itself.
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
