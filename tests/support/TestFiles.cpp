#include "support/TestFiles.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace testing_support {

std::wstring LongName(const std::wstring& path) {
  if (path.empty() || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  const DWORD chars = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (chars == 0) return path;
  std::wstring full(chars, L'\0');
  const DWORD written = GetFullPathNameW(path.c_str(), chars, &full[0], nullptr);
  if (written == 0 || written >= chars) return path;
  full.resize(written);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (full.size() > 2 && full[0] == L'\\' && full[1] == L'\\') return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(LongName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(LongName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadFileRange(const std::wstring& path, int64_t offset, size_t size) {
  HANDLE file = CreateFileW(LongName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(size, '\0');
  LARGE_INTEGER at;
  at.QuadPart = offset;
  DWORD got = 0;
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN) ||
      !ReadFile(file, &bytes[0], static_cast<DWORD>(size), &got, nullptr)) {
    got = 0;
  }
  CloseHandle(file);
  bytes.resize(got);
  return bytes;
}

bool WriteFileAt(const std::wstring& path, int64_t offset, const std::string& bytes) {
  HANDLE file = CreateFileW(LongName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER at;
  at.QuadPart = offset;
  DWORD written = 0;
  BOOL ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

bool CreateFolderTree(const std::wstring& path) {
  const std::wstring name = LongName(path);
  // Every level from the first below the drive ("\\?\C:\x") on.
  for (size_t cut = name.find(L'\\', 7); ; cut = name.find(L'\\', cut + 1)) {
    const std::wstring level = name.substr(0, cut);
    if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (cut == std::wstring::npos) return true;
  }
}

bool FileExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(LongName(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(LongName(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring CurrentFolder() {
  wchar_t buffer[MAX_PATH * 4];
  DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(std::size(buffer)), buffer);
  return std::wstring(buffer, n);
}

std::vector<std::string> ReadLines(const std::wstring& path) {
  const std::string bytes = ReadFileBytes(path);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

namespace {
void RemoveLongTree(const std::wstring& path) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring child = path + L"\\" + name;
      SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      // A link to a folder goes as the link; what it points at is not the test's to remove.
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        RemoveLongTree(child);
      else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryW(child.c_str());
      else
        DeleteFileW(child.c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(path.c_str());
}
}  // namespace

void RemoveTree(const std::wstring& path) { RemoveLongTree(LongName(path)); }

bool OpenToEveryone(const std::wstring& folder) {
  PSECURITY_DESCRIPTOR open = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &open, nullptr))
    return false;
  PACL list = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  const bool set = GetSecurityDescriptorDacl(open, &present, &list, &defaulted) &&
                   SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                         DACL_SECURITY_INFORMATION, nullptr, nullptr, list, nullptr) == ERROR_SUCCESS;
  LocalFree(open);
  return set;
}

namespace {
void ListTreeInto(const std::wstring& folder, const std::wstring& prefix,
                  std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out.push_back(prefix + name + L"\\");
      ListTreeInto(folder + L"\\" + name, prefix + name + L"\\", out);
    } else {
      out.push_back(prefix + name);
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}
}  // namespace

std::vector<std::wstring> ListTree(const std::wstring& folder) {
  std::vector<std::wstring> out;
  ListTreeInto(LongName(folder), L"", out);
  std::sort(out.begin(), out.end());
  return out;
}

// Scratch folders live below the temporary folder, in a folder of this process's own, so
// their paths are as long on every machine whatever the checkout's path, and two test
// programs sharing a prefix never meet. Tests that need long paths make them on purpose.
std::wstring ScratchRoot() {
  static const std::wstring root = [] {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder = (n > 0 && n <= MAX_PATH) ? std::wstring(temp, n) : L"C:\\";
    if (folder.back() != L'\\') folder += L'\\';
    folder += L"qt" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(folder);
    CreateDirectoryW(folder.c_str(), nullptr);
    // Whatever a test left behind goes with the program.
    std::atexit([] { RemoveTree(ScratchRoot()); });
    return folder;
  }();
  return root;
}

ScratchFolder::ScratchFolder(const std::wstring& name) : m_path(ScratchRoot() + L"\\" + name) {
  RemoveTree(m_path);
  CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(m_path); }

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace testing_support
