#include "FolderTree.h"

#include <windows.h>

#include <cwchar>
#include <direct.h>
#include <string>

namespace setup {
namespace {

bool IsDotEntry(const wchar_t* name) {
  return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

// A junction or symbolic link in place of a folder. Its target lies outside the tree being
// removed (anyone may plant one in the machine-wide data folder), so the elevated installer
// removes the link itself and never walks into it.
bool IsFolderLink(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class ScopedFind {
 public:
  explicit ScopedFind(HANDLE h) : m_h(h) {}
  ~ScopedFind() { if (m_h != INVALID_HANDLE_VALUE) FindClose(m_h); }
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  bool valid() const { return m_h != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return m_h; }

 private:
  HANDLE m_h;
};

}  // namespace

void DeleteFolderTree(const wchar_t* folder) {
  if (!folder || !*folder) return;
  if (IsFolderLink(folder)) {
    RemoveDirectoryW(folder);
    return;
  }
  // The platform accepts "//" as a separator; paths are built as std::wstring so a deep
  // tree cannot overflow a fixed buffer.
  const std::wstring base(folder);
  WIN32_FIND_DATAW entry;
  ScopedFind find(FindFirstFileW((base + L"//*.*").c_str(), &entry));
  if (find.valid()) {
    do {
      if (IsDotEntry(entry.cFileName)) continue;
      const std::wstring path = base + L"//" + entry.cFileName;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(path.c_str());
      } else {
        // A file link keeps its target's attributes untouched; only the link goes.
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
            !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
          SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find.get(), &entry));
  }
  RemoveDirectoryW(folder);
}

int PurgeFolderTree(const wchar_t* folder) {
  if (!folder || !*folder) return -1;
  if (IsFolderLink(folder)) return _wrmdir(folder) == 0 ? 0 : -1;
  const std::wstring base(folder);
  const bool endsWithSeparator = base.back() == L'\\';
  const std::wstring prefix = endsWithSeparator ? base : base + L"\\";

  WIN32_FIND_DATAW entry;
  {
    ScopedFind find(FindFirstFileW((prefix + L"*.*").c_str(), &entry));
    if (!find.valid()) return -1;
    do {
      if (IsDotEntry(entry.cFileName)) continue;
      const std::wstring path = prefix + entry.cFileName;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        PurgeFolderTree(path.c_str());
        _wrmdir(path.c_str());
      }
      _wremove(path.c_str());  // fails harmlessly for a folder
    } while (FindNextFileW(find.get(), &entry));
  }
  return _wrmdir(folder) == 0 ? 0 : -1;
}

}  // namespace setup
