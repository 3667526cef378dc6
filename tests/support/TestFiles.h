#pragma once
// File and folder helpers for tests that run under Wine.

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::wstring CurrentFolder();

// The lines of a text file, split at "\r\n" (the last one without its break).
std::vector<std::string> ReadLines(const std::wstring& path);

// A fresh, empty folder below the current folder, removed (read-only files included) when
// the object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& path() const { return m_path; }
  std::wstring operator/(const std::wstring& child) const { return m_path + L"\\" + child; }

 private:
  std::wstring m_path;
};

void RemoveTree(const std::wstring& path);

// Every file and folder below `folder` as a path relative to it, sorted; folders end with a
// backslash ("bin\\", "bin\\a.dll").
std::vector<std::wstring> ListTree(const std::wstring& folder);

std::string Narrow(const std::wstring& text);  // UTF-8

}  // namespace testing_support
