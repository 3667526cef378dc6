#include "Utils/UIDebug.h"

#include <shlwapi.h>

#include <cstdarg>
#include <cstring>

namespace SkinUI {

namespace {

// 297 formatted characters, the line feed and the terminator.
const int kTraceFormatLimit = 298;

void TraceFailedCheck(const char* pstrUnit, int iLine, const char* pstrCondition) {
  UITrace(L"%hs(%d): check failed: %hs", pstrUnit, iLine, pstrCondition);
}

UICheckReportProc g_pfnCheckReport = TraceFailedCheck;

const char* UnitName(const char* pstrFile) {
  const char* pstrUnit = pstrFile;
  for (const char* p = pstrFile; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') pstrUnit = p + 1;
  }
  return pstrUnit;
}

}  // namespace

void UITrace(LPCWSTR pstrFormat, ...) {
  if (pstrFormat == nullptr) return;
  WCHAR szLine[kTraceFormatLimit + 2] = {};
  va_list args;
  va_start(args, pstrFormat);
  ::wvnsprintfW(szLine, kTraceFormatLimit, pstrFormat, args);
  va_end(args);
  // Some implementations leave the buffer unterminated when the text is cut.
  szLine[kTraceFormatLimit - 1] = L'\0';
  ::lstrcatW(szLine, L"\n");
  ::OutputDebugStringW(szLine);
}

UICheckReportProc SetCheckReportProc(UICheckReportProc pfnReport) {
  UICheckReportProc pfnPrevious = g_pfnCheckReport;
  g_pfnCheckReport = pfnReport != nullptr ? pfnReport : TraceFailedCheck;
  return pfnPrevious;
}

void ReportFailedCheck(const char* pstrFile, int iLine, const char* pstrCondition) {
  g_pfnCheckReport(UnitName(pstrFile), iLine, pstrCondition);
}

}  // namespace SkinUI
