#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "engine/RunReport.h"

using namespace setup;

namespace {

// The machine policy, written and removed in the test's own prefix.
constexpr const wchar_t* kPolicy = L"SOFTWARE\\Policies\\Quillmere\\Installer";

void SetPolicy(DWORD type, const void* data, DWORD bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPolicy, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key, L"DisableReports", 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
  RegCloseKey(key);
}

}  // namespace

TEST(RunReport, QueryEncodesEveryValueAndLeavesUnknownOnesEmpty) {
  RunFacts facts;
  facts.strFrom = "2.0 &x=1";  // whatever a damaged registry value holds stays one value
  facts.strTo = "2.0.1.5";
  facts.bQuiet = true;
  EnterStage(facts, RunStage::kManifest);
  EnterStage(facts, RunStage::kPackage);
  const CrashRecord crash = {"c0000005", "installation.exe+1c2b"};
  const std::string query =
      ReportQuery(facts, SetupOutcome::kDownloadFailed, "0123", ReportMachine{"10.0.19045", "x64", "zh-CN", 144}, crash);
  EXPECT_EQ(query.compare(0, 42, "result=2&stage=package&outcome=download&v="), 0) << query;
  EXPECT_NE(query.find("&from=2.0%20%26x%3D1&to=2.0.1.5&id=0123&quiet=1&http=&net=&msi=&t_manifest="),
            std::string::npos)
      << query;
  EXPECT_NE(query.find("&t_package=0&t_extract=&t_install=&bytes=0&resumed=0&tries=0&source=&proxy=&os=10.0.19045"
                       "&arch=x64&lang=zh-CN&dpi=144&crash=c0000005&crash_at=installation.exe%2B1c2b"),
            std::string::npos)
      << query;
}

TEST(RunReport, AStageIsTimedOnceAndOnlyWhenReached) {
  RunFacts facts;
  EnterStage(facts, RunStage::kManifest);
  Sleep(100);
  EnterStage(facts, RunStage::kPackage);
  EXPECT_GE(facts.nStageTook[0], 50u);
  // The run's end times the stage it ended in, once: a later end does not stretch it.
  Sleep(100);
  EnterStage(facts, RunStage::kPackage);
  const ULONGLONG package = facts.nStageTook[1];
  EXPECT_GE(package, 50u);
  Sleep(100);
  EnterStage(facts, RunStage::kPackage);
  EXPECT_EQ(facts.nStageTook[1], package);
  EXPECT_EQ(facts.nStageBegan[2], 0u);
}

TEST(RunReport, OnlyTheDwordOneOfTheMachinePolicyTurnsReportsOff) {
  EXPECT_FALSE(ReportsDisabledByPolicy());
  const DWORD one = 1, zero = 0;
  SetPolicy(REG_DWORD, &zero, sizeof zero);
  EXPECT_FALSE(ReportsDisabledByPolicy());
  SetPolicy(REG_SZ, L"1", 4);
  EXPECT_FALSE(ReportsDisabledByPolicy());
  SetPolicy(REG_DWORD, &one, sizeof one);
  EXPECT_TRUE(ReportsDisabledByPolicy());
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kPolicy, KEY_WOW64_64KEY, 0);
}

TEST(RunReport, EachRunIdIsNewAndHexadecimal) {
  const std::string first = NewRunId(), second = NewRunId();
  EXPECT_EQ(first.size(), 32u);
  EXPECT_EQ(first.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(first, second);
}
