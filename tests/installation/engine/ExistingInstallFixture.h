#pragma once
// What the tests of an installed client share: the stand-in client packages 2.0.1.4 and
// 2.0.1.5 (64-bit and x86) under Wine's real Windows Installer, a machine put back to clean
// around each case, and an observer answering the question whether to replace the client.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "InstallRunStandIns.h"
#include "RecordingObserver.h"
#include "StandInRecord.h"
#include "engine/ExistingInstall.h"
#include "engine/SetupConstants.h"
#include "engine/SetupContext.h"
#include "support/TestFiles.h"

namespace standin_test {

using namespace setup;

const std::wstring kUninstallList = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::wstring kOldEntry = kUninstallList + L"\\" + QUILL_STANDIN_CODE_OLD;
const std::wstring kLanguageKey = std::wstring(kVendorKey) + L"\\Language";

// The stand-in packages of one architecture, and the registry view their keys land in.
struct Architecture {
  const char* name;
  const wchar_t* oldPackage;
  const wchar_t* newPackage;
  const wchar_t* oldCode;
  const wchar_t* newCode;
  REGSAM view;
};
const Architecture kX64{"x64", L"Quillmere-2.0.1.4.msi", L"Quillmere-2.0.1.5.msi", QUILL_STANDIN_CODE_OLD,
                        QUILL_STANDIN_CODE_NEW, KEY_WOW64_64KEY};
const Architecture kX86{"x86", L"Quillmere-2.0.1.4-x86.msi", L"Quillmere-2.0.1.5-x86.msi", QUILL_STANDIN_CODE_OLD_X86,
                        QUILL_STANDIN_CODE_NEW_X86, KEY_WOW64_32KEY};

class ExistingInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetMachine();
    ASSERT_TRUE(EnsureDesktopShell());
    m_context = MakeSetupContext(L"2.0.1.5");
    m_context.m_pObserver = &m_observer;
    StageSetupFolder(m_context, L"Quillmere-2.0.1.5.msi", true);
  }
  void TearDown() override { ResetMachine(); }

  // Runs the handler with an observer that answers `replace`; its questions are kept.
  void PackageReady(bool replace) {
    m_observer.Clear();
    m_observer.SetReplace(replace);
    OnPackageReady(m_context);
    m_prompts = m_observer.Questions();
  }

  // The handler starts by telling the installers start, and ends the run with `outcome`.
  void ExpectInstallStartedAndEnded(SetupOutcome outcome = SetupOutcome::kInstalled) {
    const std::vector<std::string> events = m_observer.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "install started");
    EXPECT_EQ(events.back(), "ended");
    EXPECT_THAT(m_observer.Outcomes(), ::testing::ElementsAre(outcome));
  }

  // 2.0.1.4 installed, its client running, the user's own settings in its configuration.
  void InstallOldClient(const Architecture& arch = kX64) {
    ASSERT_TRUE(InstallPackage(arch.oldPackage));
    ASSERT_EQ(ReadString(kProductKey, kVersionValue, arch.view), L"2.0.1.4");
    ASSERT_TRUE(testing_support::WriteFileBytes(InstalledConfigPath(arch.view), m_userConfig));
    m_oldClient = StartClient(InstallFolder(arch.view) + L"Quillmere.exe");
    ASSERT_NE(m_oldClient, 0u);
  }

  std::vector<Record> ClientsStartedByTheInstaller() {
    return WaitForRecords(standin::kClientProgram, m_oldClient ? 2 : 1);
  }

  RecordingObserver m_observer;
  SetupContext m_context;
  std::vector<std::pair<std::wstring, std::wstring>> m_prompts;
  const std::string m_userConfig = "<config><account>alice</account></config>";
  DWORD m_oldClient = 0;
};

}  // namespace standin_test
