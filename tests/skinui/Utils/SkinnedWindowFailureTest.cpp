// A skin that cannot be had ends the program with the framework's message box and exit code 1.
// Each case runs in a child process (this program again, running only the disabled child test
// below); the test finds the child's box, reads it, dismisses it and takes the exit code.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "SkinnedWindowFixture.h"

namespace skinned_window_testing {
namespace {

const char kCaseVariable[] = "QUILL_SKIN_FAILURE_CASE";

struct FailureCase {
  const char* label;
  SkinSource source;
};

const FailureCase kFailureCases[] = {
    {"MissingXmlResource", {"", SkinUI::kSkinFromResource, L"999"}},
    {"EmptyXmlResource", {"", SkinUI::kSkinFromResource, std::to_wstring(kEmptyXmlResource)}},
    {"MissingArchiveResource",
     {"", SkinUI::kSkinFromArchiveResource, L"skinned_window.xml", 999}},
    {"EmptyArchiveResource",
     {"", SkinUI::kSkinFromArchiveResource, L"skinned_window.xml", kEmptyArchiveResource}},
    {"FileMissingFromArchive",
     {"", SkinUI::kSkinFromArchiveResource, L"absent.xml", kSkinArchiveResource}},
    {"UnparsableSkin", {"", SkinUI::kSkinFromFolder, L"unparsable_window.xml"}},
};

// The child's side: builds the window the case names. It only returns when the skin was built,
// which the parent reports as a failure.
TEST(SkinFailureChild, DISABLED_CreatesTheWindowOfTheCase) {
  char szCase[64] = {};
  ASSERT_GT(::GetEnvironmentVariableA(kCaseVariable, szCase, 64), 0u);
  SkinUI::CWindowHostUI::SetModuleInstance(::GetModuleHandleW(nullptr));
  for (const FailureCase& failure : kFailureCases) {
    if (std::strcmp(failure.label, szCase) != 0) continue;
    TestSkinWindow window(failure.source);
    window.CreateShown();
  }
}

struct MessageBoxSeen {
  DWORD dwProcessId;
  HWND hWnd = nullptr;
};

BOOL CALLBACK FindChildsBox(HWND hWnd, LPARAM lParam) {
  MessageBoxSeen* pSeen = reinterpret_cast<MessageBoxSeen*>(lParam);
  DWORD dwProcessId = 0;
  ::GetWindowThreadProcessId(hWnd, &dwProcessId);
  wchar_t szClass[16] = {}, szCaption[32] = {};
  ::GetClassNameW(hWnd, szClass, 16);
  ::GetWindowTextW(hWnd, szCaption, 32);
  if (dwProcessId != pSeen->dwProcessId || std::wstring(szClass) != L"#32770" ||
      std::wstring(szCaption) != L"SkinUI") {
    return TRUE;
  }
  pSeen->hWnd = hWnd;
  return FALSE;
}

BOOL CALLBACK CollectTexts(HWND hWnd, LPARAM lParam) {
  wchar_t szText[128] = {};
  ::GetWindowTextW(hWnd, szText, 128);
  *reinterpret_cast<std::wstring*>(lParam) += std::wstring(szText) + L"|";
  return TRUE;
}

class SkinFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SkinFailure, ShowsTheBoxAndEndsTheProgramWithOne) {
  wchar_t szProgram[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, szProgram, MAX_PATH);
  std::wstring commandLine = std::wstring(L"\"") + szProgram +
                             L"\" --gtest_also_run_disabled_tests "
                             L"--gtest_filter=SkinFailureChild.DISABLED_CreatesTheWindowOfTheCase";
  ASSERT_TRUE(::SetEnvironmentVariableA(kCaseVariable, GetParam().label));
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(::CreateProcessW(szProgram, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
  ::SetEnvironmentVariableA(kCaseVariable, nullptr);

  MessageBoxSeen seen = {pi.dwProcessId};
  for (int i = 0; i < 600 && seen.hWnd == nullptr; ++i) {
    if (::WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
    ::EnumWindows(FindChildsBox, reinterpret_cast<LPARAM>(&seen));
  }
  std::wstring texts;
  if (seen.hWnd != nullptr) {
    ::EnumChildWindows(seen.hWnd, CollectTexts, reinterpret_cast<LPARAM>(&texts));
    ::PostMessageW(seen.hWnd, WM_COMMAND, IDOK, 0);
  }
  const bool bEnded = ::WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
  if (!bEnded) ::TerminateProcess(pi.hProcess, 99);
  DWORD dwExitCode = 0;
  ::GetExitCodeProcess(pi.hProcess, &dwExitCode);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);

  ASSERT_NE(seen.hWnd, nullptr) << "no box; the child ended with " << dwExitCode;
  EXPECT_NE(texts.find(L"加载资源文件失败|"), std::wstring::npos) << testing::PrintToString(texts);
  EXPECT_TRUE(bEnded);
  EXPECT_EQ(dwExitCode, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    SkinsThatCannotBeHad, SkinFailure, ::testing::ValuesIn(kFailureCases),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace skinned_window_testing
