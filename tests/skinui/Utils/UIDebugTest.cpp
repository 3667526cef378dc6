#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CheckRecorder.h"
#include "Utils/UIDebug.h"
#include "Utils/UIString.h"

using skin_testing::CheckRecorder;
using skin_testing::CheckStopped;
using skin_testing::StopAtCheck;

namespace {

// Lines written to the debugger output while it lives. The platform delivers them as a
// first-chance exception that a debugger would see; a vectored handler sees it first.
class DebuggerOutput {
 public:
  DebuggerOutput() {
    Lines().clear();
    m_handler = AddVectoredExceptionHandler(1, &Capture);
  }
  ~DebuggerOutput() { RemoveVectoredExceptionHandler(m_handler); }
  const std::vector<std::string>& lines() const { return Lines(); }

 private:
  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  static LONG CALLBACK Capture(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    // Newer systems raise a wide variant first that also carries the narrow text.
    const DWORD kWidePrint = 0x4001000A;
    size_t iText = 0;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
      iText = 0;
    } else if (record->ExceptionCode == kWidePrint && record->NumberParameters >= 4) {
      iText = 2;
    } else {
      return EXCEPTION_CONTINUE_SEARCH;
    }
    Lines().emplace_back(reinterpret_cast<const char*>(record->ExceptionInformation[iText + 1]),
                         static_cast<size_t>(record->ExceptionInformation[iText]) - 1);
    return EXCEPTION_CONTINUE_EXECUTION;
  }
  PVOID m_handler;
};

// A page the process may not read, for checks that guard against unreadable texts.
class UnreadablePage {
 public:
  UnreadablePage() { m_p = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS); }
  ~UnreadablePage() { VirtualFree(m_p, 0, MEM_RELEASE); }
  LPCWSTR text() const { return static_cast<LPCWSTR>(m_p); }

 private:
  void* m_p;
};

}  // namespace

TEST(DebugTrace, WritesOneLineWithALineFeedToTheDebugger) {
  DebuggerOutput output;
  SkinUI::UITrace(L"layout %d x %d of %s", 620, 240, L"installation.xml");
  ASSERT_EQ(output.lines().size(), 1u);
  EXPECT_EQ(output.lines()[0], "layout 620 x 240 of installation.xml\n");
}

TEST(DebugTrace, LongLinesAreCutTo297Characters) {
  DebuggerOutput output;
  const std::wstring long_text(1000, L'x');
  SkinUI::UITrace(L"%s", long_text.c_str());
  ASSERT_EQ(output.lines().size(), 1u);
  EXPECT_EQ(output.lines()[0], std::string(297, 'x') + "\n");
}

TEST(DebugChecks, AFailedCheckIsTracedWithUnitAndConditionByDefault) {
  SKIP_WITHOUT_DEBUG_CHECKS();
  DebuggerOutput output;
  SkinUI::CUIString s(L"abc");
  EXPECT_EQ(s.Find(L'a', 7), -1) << "execution continues after the report";
  ASSERT_EQ(output.lines().size(), 1u);
  const std::string& line = output.lines()[0];
  EXPECT_EQ(line.rfind("UIString.cpp(", 0), 0u) << line;
  EXPECT_NE(line.find("iPos>=0 && iPos<=GetLength()"), std::string::npos) << line;
  EXPECT_EQ(line.back(), '\n');
}

TEST(DebugChecks, AnInstalledReporterReplacesTheTraceUntilRemoved) {
  SKIP_WITHOUT_DEBUG_CHECKS();
  DebuggerOutput output;
  {
    CheckRecorder recorder;
    SkinUI::CUIString(L"abc").Find(L"b", -2);
    EXPECT_EQ(recorder.conditions(), std::vector<std::string>{"iPos>=0 && iPos<=GetLength()"});
  }
  EXPECT_TRUE(output.lines().empty());
  SkinUI::CUIString(L"abc").Find(L"b", -2);
  EXPECT_EQ(output.lines().size(), 1u);
}

TEST(DebugChecks, UnreadableTextsAreReportedBeforeTheyAreRead) {
  SKIP_WITHOUT_DEBUG_CHECKS();
  UnreadablePage page;
  {
    CheckRecorder recorder(StopAtCheck::Yes);
    SkinUI::CUIString s(L"kept");
    EXPECT_THROW(s = page.text(), CheckStopped);
    EXPECT_THROW(s += page.text(), CheckStopped);
    EXPECT_EQ(std::wstring(s.GetData()), L"kept");
    EXPECT_THROW(SkinUI::CUIString constructed(page.text()), CheckStopped);
    EXPECT_THROW(s.Find(page.text()), CheckStopped);
    EXPECT_EQ(recorder.conditions(), (std::vector<std::string>{
                                         "!::IsBadStringPtrW(lpStr,-1)",
                                         "!::IsBadStringPtrW(lpStr,-1)",
                                         "!::IsBadStringPtrW(lpsz,-1) || lpsz==0",
                                         "!::IsBadStringPtrW(pstrSub,-1)",
                                     }));
  }
  CheckRecorder quiet;
  SkinUI::CUIString fromNull(nullptr);
  SkinUI::CUIString s;
  s = static_cast<LPCWSTR>(nullptr);
  EXPECT_TRUE(quiet.checks().empty()) << "a null text is the empty text, not a misuse";
}
