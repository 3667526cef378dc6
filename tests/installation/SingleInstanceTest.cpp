// One installer at a time: the machine-wide claim, the running installer's window brought to
// the front, and two installers started together (installer_instance.exe) against the test
// download server, Wine's real Windows Installer and the stand-in client.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DownloadServer.h"
#include "HttpFetchFixture.h"
#include "InstallRunStandIns.h"
#include "InstallerInstance.h"
#include "SingleInstance.h"
#include "StandInRecord.h"
#include "engine/SetupConstants.h"
#include "support/TestFiles.h"
#include "windows/WindowConstants.h"

using namespace setup;
using namespace standin_test;
using namespace testing_support;
using ::testing::ElementsAre;

namespace {

// A started installer_instance.exe.
class Instance {
 public:
  explicit Instance(const std::wstring& arguments = std::wstring()) {
    std::wstring commandLine = L"\"" + HostPath(QUILL_INSTALLER_INSTANCE_EXE) + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &m_process)) {
      CloseHandle(m_process.hThread);
    }
  }
  ~Instance() {
    if (!m_process.hProcess) return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_process.hProcess, 99);
    CloseHandle(m_process.hProcess);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool started() const { return m_process.hProcess != nullptr; }
  // Its exit code, or -1 when it has not ended within `timeoutMs`.
  int ExitCode(DWORD timeoutMs) const {
    DWORD code = 0;
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(m_process.hProcess, &code))
      return -1;
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION m_process = {};
};

HWND WaitForInstallerWindow() {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (HWND window = FindWindowW(kWindowClassName, instance_test::kMainTitle)) return window;
    Sleep(50);
  }
  return nullptr;
}

}  // namespace

TEST(SingleInstanceTest, TheNameIsHeldByOneInstallerAtATime) {
  {
    SingleInstance first;
    ASSERT_TRUE(first.Claim(kSingleInstanceMutexName));
    SingleInstance second;
    EXPECT_FALSE(second.Claim(kSingleInstanceMutexName));
    EXPECT_TRUE(second.HeldByInstaller());
  }
  SingleInstance later;
  EXPECT_TRUE(later.Claim(kSingleInstanceMutexName)) << "free again once the first is gone";
}

namespace {

// Any program of any user can make the name first, as an object of its own choosing.
struct Squatter {
  const char* name;
  const wchar_t* sddl;  // a mutex with this security; null: an event under the name
};

HANDLE Squat(const Squatter& squatter) {
  if (!squatter.sddl) return CreateEventW(nullptr, TRUE, FALSE, kSingleInstanceMutexName);
  PSECURITY_DESCRIPTOR security = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(squatter.sddl, SDDL_REVISION_1, &security, nullptr))
    return nullptr;
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, security, FALSE};
  const HANDLE object = CreateMutexW(&attributes, FALSE, kSingleInstanceMutexName);
  LocalFree(security);
  return object;
}

class SquattedName : public ::testing::TestWithParam<Squatter> {};

}  // namespace

// Wine keeps the owner and the list each object was made with and refuses opens the list does
// not allow, as Windows does; so these squatters are judged from what the object tells.
TEST_P(SquattedName, IsNotTakenForAnInstallerAndTheInstallerGoesOnAtOnce) {
  const HANDLE squatted = Squat(GetParam());
  ASSERT_NE(squatted, nullptr);
  SingleInstance installer;
  EXPECT_FALSE(installer.Claim(kSingleInstanceMutexName));
  EXPECT_FALSE(installer.HeldByInstaller());
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(GoOnBesideNameHolder(installer, kWindowClassName, instance_test::kMainTitle, 10000));
  EXPECT_LT(GetTickCount64() - start, 2000u) << "waited for a window of what is no installer";
  CloseHandle(squatted);
}

INSTANTIATE_TEST_SUITE_P(
    Squatters, SquattedName,
    ::testing::Values(Squatter{"MutexOpenToEveryone", L"D:P(A;;GA;;;WD)"},
                      Squatter{"MutexNoOneElseMayOpen", L"D:P"},
                      Squatter{"AnEventUnderTheName", nullptr}),
    [](const ::testing::TestParamInfo<Squatter>& info) { return std::string(info.param.name); });

struct ObjectSecurityCase {
  const char* name;
  const wchar_t* sddl;
  bool installers;
};

class InstanceObjectSecurity : public ::testing::TestWithParam<ObjectSecurityCase> {};

// Security descriptors as the platform reports them for the object found under the name.
TEST_P(InstanceObjectSecurity, DecidesWhetherAnInstallerMadeIt) {
  PSECURITY_DESCRIPTOR security = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(GetParam().sddl, SDDL_REVISION_1, &security,
                                                                   nullptr));
  EXPECT_EQ(IsInstallerObjectSecurity(security), GetParam().installers);
  LocalFree(security);
}

INSTANTIATE_TEST_SUITE_P(
    Objects, InstanceObjectSecurity,
    ::testing::Values(ObjectSecurityCase{"AsTheInstallerMakesIt", L"O:BAD:P(A;;GA;;;SY)(A;;GA;;;BA)", true},
                      ObjectSecurityCase{"OwnedBySystem", L"O:SYD:(A;;GA;;;SY)", true},
                      ObjectSecurityCase{"OwnedByAUser", L"O:S-1-5-21-1-2-3-1001D:P(A;;GA;;;SY)(A;;GA;;;BA)", false},
                      // Users who may merely wait on it can hold it open after the installer ends.
                      ObjectSecurityCase{"UsersMayWaitOnIt", L"O:BAD:P(A;;GA;;;BA)(A;;0x100000;;;BU)", false},
                      ObjectSecurityCase{"NoList", L"O:BA", false},
                      // Wine names no owner for an object made without security of its own.
                      ObjectSecurityCase{"NoOwner", L"D:P(A;;GA;;;SY)", false}),
    [](const ::testing::TestParamInfo<ObjectSecurityCase>& info) { return std::string(info.param.name); });

TEST(SingleInstanceTest, AnInstallersNameWithoutAWindowIsWaitedForThenTheInstallerGoesOn) {
  SingleInstance first;
  ASSERT_TRUE(first.Claim(kSingleInstanceMutexName));
  SingleInstance second;
  ASSERT_FALSE(second.Claim(kSingleInstanceMutexName));
  ASSERT_TRUE(second.HeldByInstaller());
  const ULONGLONG start = GetTickCount64();
  EXPECT_TRUE(GoOnBesideNameHolder(second, kWindowClassName, instance_test::kMainTitle, 600));
  EXPECT_GE(GetTickCount64() - start, 600u);
}

TEST(SingleInstanceTest, RunningInstallersWindowComesToTheFrontRestored) {
  EXPECT_EQ(BringRunningInstallerToFront(kWindowClassName, instance_test::kMainTitle, 300), nullptr)
      << "no installer runs";

  Instance running(instance_test::kIdleArgument);
  ASSERT_TRUE(running.started());
  const HWND installer = WaitForInstallerWindow();
  ASSERT_NE(installer, nullptr);
  ShowWindow(installer, SW_MINIMIZE);
  const HWND mine = CreateWindowW(L"STATIC", L"in front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
  SetForegroundWindow(mine);
  ASSERT_EQ(GetForegroundWindow(), mine);

  EXPECT_EQ(BringRunningInstallerToFront(kWindowClassName, instance_test::kMainTitle, 0), installer);
  EXPECT_FALSE(IsIconic(installer));
  EXPECT_EQ(GetForegroundWindow(), installer);

  DestroyWindow(mine);
  PostMessageW(installer, WM_CLOSE, 0, 0);
  EXPECT_EQ(running.ExitCode(10000), instance_test::kRanToTheEnd);
}

namespace {

class TwoInstallersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMachine();
    ASSERT_TRUE(EnsureDesktopShell());
    ASSERT_TRUE(ResetServer()) << "the download server fixture is not running";
    const std::string package = ReadFileBytes(FixturePath(L"quillmere-2.0.1.5.zip"));
    ASSERT_TRUE(WriteFileBytes(ServedPackagePath(), package));
    ASSERT_TRUE(PublishManifest(fetch_testing::ReleaseManifest("2.0.1.5", package)));
    ASSERT_TRUE(ClearServerLog());
  }
  void TearDown() override {
    ResetServer();
    ResetMachine();
  }
};

}  // namespace

TEST_F(TwoInstallersTest, StartedTogetherMakeOneDownloadAndOneInstallation) {
  // A download of a few seconds: both are well under way before either could finish.
  ASSERT_TRUE(SetServerMode("package", "mode=split&pieces=6&gap=0.5"));
  Instance first;
  Instance second;
  ASSERT_TRUE(first.started() && second.started());
  std::vector<int> exitCodes = {first.ExitCode(240000), second.ExitCode(240000)};
  std::sort(exitCodes.begin(), exitCodes.end());

  EXPECT_THAT(exitCodes, ElementsAre(instance_test::kRanToTheEnd, instance_test::kBroughtToFront));
  EXPECT_THAT(PackageAnswers(), ElementsAre("200")) << "one download";
  EXPECT_EQ(ReadRecords(standin::kRuntimeProgram).size(), 1u) << "one installation";
  EXPECT_EQ(ReadString(kProductKey, kVersionValue), L"2.0.1.5");
  EXPECT_EQ(WaitForRecords(standin::kClientProgram, 1).size(), 1u);
  Sleep(1000);
  EXPECT_EQ(ReadRecords(standin::kClientProgram).size(), 1u) << "one client started";
}
