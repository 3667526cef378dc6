// What the installer takes from its command line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

struct Arguments {
  const char* name;
  const wchar_t* commandLine;
  bool quiet, keep;
  bool logCopy;
  size_t problems;
};

class CommandLineTest : public ::testing::TestWithParam<Arguments> {};

}  // namespace

TEST_P(CommandLineTest, TakesTheSwitchesAndNamesWhatItCannotTake) {
  const InstallerOptions options = ParseCommandLine(GetParam().commandLine);
  EXPECT_EQ(options.bQuiet, GetParam().quiet);
  EXPECT_EQ(options.bKeep, GetParam().keep);
  EXPECT_EQ(!options.strLogCopy.empty(), GetParam().logCopy);
  EXPECT_EQ(options.problems.size(), GetParam().problems) << ::testing::PrintToString(options.problems);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(Arguments{"None", L"installation.exe", false, false, false, 0},
                      Arguments{"Quiet", L"installation.exe /quiet", true, false, false, 0},
                      Arguments{"QuietKeepAnyCase", L"\"C:\\dl\\installation.exe\" -QUIET /Keep", true, true, false, 0},
                      Arguments{"LogCopy", L"installation.exe /quiet /log \"C:\\deploy logs\\q.log\"", true, false, true, 0},
                      Arguments{"LogWithoutFile", L"installation.exe /quiet /log", true, false, false, 1},
                      Arguments{"LogFollowedByASwitch", L"installation.exe /log /quiet", true, false, false, 1},
                      Arguments{"KeepAlone", L"installation.exe /keep", false, true, false, 1},
                      Arguments{"Unknown", L"installation.exe /quiet /force extra", true, false, false, 2}),
    [](const ::testing::TestParamInfo<Arguments>& info) { return std::string(info.param.name); });

TEST(CommandLine, ALogCopyIsNamedByItsFullPath) {
  const InstallerOptions options = ParseCommandLine(L"installation.exe /log logs\\..\\q.log");
  ASSERT_FALSE(options.strLogCopy.empty());
  EXPECT_EQ(options.strLogCopy.find(L".."), std::wstring::npos);
  EXPECT_EQ(options.strLogCopy.substr(options.strLogCopy.size() - 6), L"\\q.log");
  EXPECT_EQ(options.strLogCopy[1], L':');
}
