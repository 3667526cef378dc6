#pragma once
// Opening files that an elevated process may trust: the file named, not what a link in its
// place points at.

#include <windows.h>

#include <cstdio>
#include <string>

namespace setup {

enum class PlainFileUse {
  kRead,     // an existing file, read from the start
  kAppend,   // created when missing, written at its end
  kReplace,  // created when missing, emptied, written from the start
};

// Opens the file at `path` (relative paths are taken from the current folder; any length) only when the
// path names it directly: nothing at its name is a symbolic link, junction or mount point,
// and the file has no second name (a hard link). A file made to point elsewhere is refused
// before a single byte is read, written or cut. INVALID_HANDLE_VALUE when refused or when
// it cannot be opened.
HANDLE OpenPlainFile(const wchar_t* path, PlainFileUse use, DWORD share = FILE_SHARE_READ);

// The same as a C stream in binary mode; null when refused or when it cannot be opened.
FILE* OpenPlainFileStream(const wchar_t* path, PlainFileUse use);

// The whole content of a plain file; false when it is refused or cannot be read.
bool ReadPlainFile(const wchar_t* path, std::string& bytes);

// Replaces the content of a plain file (created when missing); false when refused or when
// not every byte was written.
bool WritePlainFile(const wchar_t* path, const std::string& bytes);

// Whether the open handle is the plain file or folder that `path` names (see OpenPlainFile).
bool HandleNamesPath(HANDLE handle, const wchar_t* path);

}  // namespace setup
