#include "ConsoleText.h"

#include <windows.h>

namespace {

bool IsOpen(HANDLE hStream) { return hStream != nullptr && hStream != INVALID_HANDLE_VALUE; }

// A windowed program gets standard handles from a redirection only; started from a console
// without one, it writes into that console.
void TakeParentConsole() {
  static const bool bDone = [] {
    const DWORD aStreams[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    bool bMissing = false;
    for (DWORD dwWhich : aStreams) bMissing = bMissing || !IsOpen(::GetStdHandle(dwWhich));
    if (!bMissing || !::AttachConsole(ATTACH_PARENT_PROCESS)) return true;
    for (DWORD dwWhich : aStreams) {
      if (IsOpen(::GetStdHandle(dwWhich))) continue;
      ::SetStdHandle(dwWhich, ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    }
    return true;
  }();
  (void)bDone;
}

}  // namespace

void WriteLine(TextStream stream, const std::wstring& line) {
  TakeParentConsole();
  const HANDLE hStream =
      ::GetStdHandle(stream == TextStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (!IsOpen(hStream)) return;
  const std::wstring text = line + L"\n";
  DWORD dwMode = 0;
  DWORD dwWritten = 0;
  if (::GetConsoleMode(hStream, &dwMode)) {
    ::WriteConsoleW(hStream, text.data(), static_cast<DWORD>(text.size()), &dwWritten, nullptr);
    return;
  }
  const int cb = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(cb), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], cb,
                        nullptr, nullptr);
  ::WriteFile(hStream, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
}
