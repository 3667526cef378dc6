#include "SkinViewRun.h"

#include <windows.h>

#include <thread>

namespace skinview_testing {

namespace {

std::wstring HostPath(const char* pstrUnixPath) {
  std::wstring path = L"Z:";
  for (const char* p = pstrUnixPath; *p != '\0'; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return path;
}

// Everything the pipe gives until the writer closes it.
std::string Drain(HANDLE hRead) {
  std::string bytes;
  char buffer[4096];
  DWORD dwRead = 0;
  while (::ReadFile(hRead, buffer, sizeof(buffer), &dwRead, nullptr) && dwRead > 0) bytes.append(buffer, dwRead);
  return bytes;
}

std::vector<std::wstring> Lines(const std::string& bytes) {
  const int cch = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(cch), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], cch);
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::wstring DataFile(const std::wstring& name) { return HostPath(QUILL_SKINVIEW_TEST_DATA) + L"\\" + name; }

std::wstring GallerySkin() { return HostPath(QUILL_GALLERY_SKIN_DIR) + L"\\gallery.xml"; }

SkinViewRun RunSkinView(const std::vector<std::wstring>& args) {
  SkinViewRun run;
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE hOutRead = nullptr, hOutWrite = nullptr, hErrRead = nullptr, hErrWrite = nullptr;
  if (!::CreatePipe(&hOutRead, &hOutWrite, &inherit, 0) || !::CreatePipe(&hErrRead, &hErrWrite, &inherit, 0)) {
    return run;
  }
  ::SetHandleInformation(hOutRead, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(hErrRead, HANDLE_FLAG_INHERIT, 0);
  std::wstring commandLine = L"\"" + HostPath(QUILL_SKINVIEW_EXE) + L"\"";
  for (const std::wstring& arg : args) commandLine += L" \"" + arg + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = hOutWrite;
  startup.hStdError = hErrWrite;
  PROCESS_INFORMATION process = {};
  const BOOL bStarted = ::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                         nullptr, &startup, &process);
  ::CloseHandle(hOutWrite);
  ::CloseHandle(hErrWrite);
  if (bStarted) {
    // Both pipes are read at once: a program that fills one while the other is waited on stalls.
    std::string errors;
    std::thread errorReader([&] { errors = Drain(hErrRead); });
    const std::string output = Drain(hOutRead);
    errorReader.join();
    if (::WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
      DWORD dwExit = 0;
      ::GetExitCodeProcess(process.hProcess, &dwExit);
      run.nExitCode = static_cast<int>(dwExit);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    run.output = Lines(output);
    run.errors = Lines(errors);
  }
  ::CloseHandle(hOutRead);
  ::CloseHandle(hErrRead);
  return run;
}

}  // namespace skinview_testing
