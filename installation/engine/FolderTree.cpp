#include "engine/FolderTree.h"

#include <windows.h>

#include <cwchar>
#include <direct.h>
#include <string>

#include "Common/LongPath.h"

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

// Both removals walk the long form of the folder: a tree extracted from a package may hold
// paths past MAX_PATH, which the ordinary form cannot reach. The long form takes no "/" as
// a separator, so entries are joined with "\".
void DeleteLongFolderTree(const std::wstring& base) {
  if (IsFolderLink(base.c_str())) {
    RemoveDirectoryW(base.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  ScopedFind find(FindFirstFileW((base + L"\\*.*").c_str(), &entry));
  if (find.valid()) {
    do {
      if (IsDotEntry(entry.cFileName)) continue;
      const std::wstring path = base + L"\\" + entry.cFileName;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteLongFolderTree(path);
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
  RemoveDirectoryW(base.c_str());
}

int PurgeLongFolderTree(const std::wstring& base) {
  if (IsFolderLink(base.c_str())) return _wrmdir(base.c_str()) == 0 ? 0 : -1;
  const std::wstring prefix = base.back() == L'\\' ? base : base + L"\\";
  WIN32_FIND_DATAW entry;
  {
    ScopedFind find(FindFirstFileW((prefix + L"*.*").c_str(), &entry));
    if (!find.valid()) return -1;
    do {
      if (IsDotEntry(entry.cFileName)) continue;
      const std::wstring path = prefix + entry.cFileName;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        PurgeLongFolderTree(path);
        _wrmdir(path.c_str());
      }
      _wremove(path.c_str());  // fails harmlessly for a folder
    } while (FindNextFileW(find.get(), &entry));
  }
  return _wrmdir(base.c_str()) == 0 ? 0 : -1;
}

// A folder named with a trailing separator is the folder itself.
std::wstring LongFolderName(const wchar_t* folder) {
  std::wstring name = LongPathName(folder);
  while (name.size() > 7 && name.back() == L'\\' && name[name.size() - 2] != L':') name.pop_back();
  return name;
}

}  // namespace

void DeleteFolderTree(const wchar_t* folder) {
  if (!folder || !*folder) return;
  const std::wstring base = LongFolderName(folder);
  if (!base.empty()) DeleteLongFolderTree(base);
}

int PurgeFolderTree(const wchar_t* folder) {
  if (!folder || !*folder) return -1;
  const std::wstring base = LongFolderName(folder);
  return base.empty() ? -1 : PurgeLongFolderTree(base);
}

}  // namespace setup
