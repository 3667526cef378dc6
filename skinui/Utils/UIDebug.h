#pragma once
// The framework's debug trace and its internal consistency checks.
//
// A failed check never stops the program: in debug builds it reports the source unit and the
// condition text and execution carries on; release builds compile the checks away. Tests (or a
// debugging session) can take over the reporting to observe misuse.

#include <windows.h>

namespace SkinUI {

// Formats at most 297 characters with the wsprintf conventions, adds a line feed and writes the
// line to the debugger output.
void UITrace(LPCWSTR pstrFormat, ...);

// Receives a failed check: the source unit (file name without folders), its line and the
// condition exactly as written in the source.
typedef void (*UICheckReportProc)(const char* pstrUnit, int iLine, const char* pstrCondition);

// Installs pfnReport (null restores the default, which writes a trace line) and returns the
// procedure that was installed before.
UICheckReportProc SetCheckReportProc(UICheckReportProc pfnReport);

void ReportFailedCheck(const char* pstrFile, int iLine, const char* pstrCondition);

}  // namespace SkinUI

#ifdef _DEBUG
#define UI_CHECK(expr) \
  ((expr) ? (void)0 : ::SkinUI::ReportFailedCheck(__FILE__, __LINE__, #expr))
#else
#define UI_CHECK(expr) ((void)0)
#endif
