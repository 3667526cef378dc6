#pragma once
// File and folder helpers for tests that run under Wine.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Every helper below takes paths of any length: it reaches them through the long form
// ("\\?\C:\..."), which this returns for a path (made full first; trailing separators
// dropped).
std::wstring LongName(const std::wstring& path);

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Up to `size` bytes from `offset` on; and `bytes` written at `offset` into a new file,
// which has only zeros before it (a sparse file where the disk allows: large files cheaply).
std::string ReadFileRange(const std::wstring& path, int64_t offset, size_t size);
bool WriteFileAt(const std::wstring& path, int64_t offset, const std::string& bytes);
bool FileExists(const std::wstring& path);
// Creates the folder and every missing folder above it; false when one cannot be made.
bool CreateFolderTree(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::wstring CurrentFolder();

// The lines of a text file, split at "\r\n" (the last one without its break).
std::vector<std::string> ReadLines(const std::wstring& path);

// A fresh, empty folder below this program's scratch root (a short folder of its own under
// the temporary folder, see ScratchRoot), removed (read-only files included) when the
// object goes.
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

// The folder below the temporary folder that this program's scratch folders share; made on
// first use, removed with what it holds when the program ends.
std::wstring ScratchRoot();

void RemoveTree(const std::wstring& path);

// Lets everyone write in the folder (and what is created below it), as in a folder a user
// without rights made below the all-users data folder. False when the list cannot be set.
bool OpenToEveryone(const std::wstring& folder);

// Every file and folder below `folder` as a path relative to it, sorted; folders end with a
// backslash ("bin\\", "bin\\a.dll").
std::vector<std::wstring> ListTree(const std::wstring& folder);

std::string Narrow(const std::wstring& text);  // UTF-8

}  // namespace testing_support
