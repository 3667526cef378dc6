#include "CrashDump.h"

#include <windows.h>

#include <dbghelp.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Common/PlainFile.h"
#include "Common/tool.h"
#include "engine/SetupLog.h"

namespace {

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                         PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// Found before anything can crash: a crashed process should not have to look for them.
std::wstring g_folder;
std::wstring g_dbghelp;
LONG g_crashing = 0;

void WriteRecord(const EXCEPTION_RECORD& exception) {
  HMODULE module = nullptr;
  wchar_t path[MAX_PATH] = {};
  std::string at = "?";
  if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(exception.ExceptionAddress), &module) &&
      GetModuleFileNameW(module, path, MAX_PATH) > 0) {
    // The file name only: a path could name the person's folders.
    const wchar_t* name = wcsrchr(path, L'\\');
    char offset[32];
    snprintf(offset, sizeof offset, "+%llx",
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(exception.ExceptionAddress) -
                                             reinterpret_cast<uintptr_t>(module)));
    at = setup::Utf8Text(name ? name + 1 : path) + offset;
  }
  char code[16];
  snprintf(code, sizeof code, "%08lx", exception.ExceptionCode);
  setup::WritePlainFile((g_folder + L"\\" + setup::kCrashRecordName).c_str(), "code=" + std::string(code) + "\r\nat=" + at +
                                                                            "\r\n");
  setup::WriteSetupLogF("crashed: exception %s at %s", code, at.c_str());
}

// The newest dumps stay; their names order as their times do.
void PruneDumps() {
  std::vector<std::wstring> dumps;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((g_folder + L"\\crash-*.dmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    dumps.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(dumps.begin(), dumps.end());
  for (size_t i = 0; i + kKeptCrashDumps < dumps.size(); ++i) DeleteFileW((g_folder + L"\\" + dumps[i]).c_str());
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception) {
  // A crash while writing down a crash ends the process at once.
  if (InterlockedExchange(&g_crashing, 1) != 0 || g_folder.empty()) return EXCEPTION_EXECUTE_HANDLER;
  SYSTEMTIME now;
  GetSystemTime(&now);
  wchar_t name[48];
  _snwprintf(name, 48, L"\\crash-%04u%02u%02uT%02u%02u%02uZ.dmp", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond);
  name[47] = L'\0';
  const std::wstring dump = g_folder + name;
  if (HMODULE dbghelp = LoadLibraryExW(g_dbghelp.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
    auto write = reinterpret_cast<MiniDumpWriteDumpFn>(reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")));
    HANDLE file = CreateFileW(dump.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (write && file != INVALID_HANDLE_VALUE) {
      MINIDUMP_EXCEPTION_INFORMATION information = {GetCurrentThreadId(), exception, FALSE};
      write(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal, &information, nullptr, nullptr);
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  WriteRecord(*exception->ExceptionRecord);
  PruneDumps();
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallCrashHandler() {
  g_folder = setup::SetupLogFolder();
  g_dbghelp = setup::SystemFolder() + L"\\dbghelp.dll";
  SetUnhandledExceptionFilter(OnCrash);
}
