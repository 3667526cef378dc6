#include "Common/PlainFile.h"

#include <fcntl.h>
#include <io.h>

#include <vector>

#include "Common/LongPath.h"
#include "Common/tool.h"

namespace setup {
namespace {

// The path the system resolved the handle to, links followed ("\\?\C:\...").
std::wstring FinalPath(HANDLE handle) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD chars = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (chars == 0) return std::wstring();
    if (chars < buffer.size()) return std::wstring(buffer.data(), chars);
    buffer.resize(chars + 1);
  }
  return std::wstring();
}

DWORD AccessFor(PlainFileUse use) {
  return use == PlainFileUse::kRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
}

}  // namespace

bool HandleNamesPath(HANDLE handle, const wchar_t* path) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    // Links name another file; other reparse points (deduplicated, compressed or cloud
    // files) are the file itself.
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
        IsReparseTagNameSurrogate(tag.ReparseTag))
      return false;
  }
  const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!folder && info.nNumberOfLinks != 1) return false;

  // Some systems follow a link even when asked to open the link itself, so the handle's
  // attributes alone do not tell; the resolved path does. Only the last name is judged: a
  // folder above it that an administrator redirected elsewhere is theirs to choose.
  const std::wstring full = FullPathName(path);
  const size_t cut = full.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut + 1 >= full.size()) return false;
  ScopedHandle parent(CreateFileW(LongPathName(full.substr(0, cut + 1)).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!parent.valid()) return false;
  std::wstring expected = FinalPath(parent.get());
  if (expected.empty()) return false;
  if (expected.back() != L'\\') expected += L'\\';
  expected += full.substr(cut + 1);
  return EqualsIgnoringCase(FinalPath(handle), expected);
}

HANDLE OpenPlainFile(const wchar_t* path, PlainFileUse use, DWORD share) {
  if (!path || !*path) return INVALID_HANDLE_VALUE;
  // Nothing is created or cut before the check: an existing file is opened as it is, and a
  // link is opened as the link, not as its target, where the system allows it.
  const DWORD disposition = use == PlainFileUse::kRead ? OPEN_EXISTING : OPEN_ALWAYS;
  const std::wstring name = LongPathName(path);
  if (name.empty()) return INVALID_HANDLE_VALUE;
  ScopedHandle file(CreateFileW(name.c_str(), AccessFor(use), share, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid() || !HandleNamesPath(file.get(), path)) return INVALID_HANDLE_VALUE;

  LARGE_INTEGER zero = {};
  if (use == PlainFileUse::kReplace &&
      (!SetFilePointerEx(file.get(), zero, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())))
    return INVALID_HANDLE_VALUE;
  if (use == PlainFileUse::kAppend && !SetFilePointerEx(file.get(), zero, nullptr, FILE_END))
    return INVALID_HANDLE_VALUE;
  return file.release();
}

FILE* OpenPlainFileStream(const wchar_t* path, PlainFileUse use) {
  HANDLE handle = OpenPlainFile(path, use);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  int flags = _O_BINARY;
  const char* mode = "rb";
  if (use == PlainFileUse::kAppend) {
    flags |= _O_APPEND;
    mode = "ab";
  } else if (use == PlainFileUse::kReplace) {
    mode = "wb";
  } else {
    flags |= _O_RDONLY;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (descriptor < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FILE* stream = _fdopen(descriptor, mode);
  if (!stream) _close(descriptor);  // closes the handle too
  return stream;
}

bool ReadPlainFile(const wchar_t* path, std::string& bytes) {
  bytes.clear();
  ScopedHandle file(OpenPlainFile(path, PlainFileUse::kRead));
  if (!file.valid()) return false;
  char buffer[65536];
  DWORD got = 0;
  for (;;) {
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return false;
    if (got == 0) return true;
    bytes.append(buffer, got);
  }
}

bool WritePlainFile(const wchar_t* path, const std::string& bytes) {
  ScopedHandle file(OpenPlainFile(path, PlainFileUse::kReplace, 0));
  if (!file.valid()) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace setup
