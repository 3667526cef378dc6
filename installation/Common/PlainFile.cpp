#include "Common/PlainFile.h"

#include <fcntl.h>
#include <io.h>

#include <vector>

#include "Common/LongPath.h"
#include "Common/tool.h"

namespace setup {
namespace {

// The path the system resolved the handle to, links followed ("\\?\C:\..."); empty when
// the platform cannot tell. (Wine's cannot beyond MAX_PATH.)
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

// The same place as the volume's serial number and the path on that volume, links
// followed, which the platform gives at any length.
std::wstring VolumePath(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::wstring();
  std::vector<BYTE> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
  auto* name = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
  if (!GetFileInformationByHandleEx(handle, FileNameInfo, name, static_cast<DWORD>(buffer.size()))) return std::wstring();
  return std::to_wstring(info.dwVolumeSerialNumber) + L":" +
         std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
}

// Whether `handle` leads to the entry `name` of the folder `parent` leads to.
bool IsEntryOf(HANDLE handle, HANDLE parent, const std::wstring& name) {
  const auto joined = [&name](std::wstring folder) {
    if (folder.empty()) return folder;
    if (folder.back() != L'\\') folder += L'\\';
    return folder + name;
  };
  const std::wstring final = FinalPath(handle);
  const std::wstring expected = joined(FinalPath(parent));
  if (!final.empty() && !expected.empty()) return EqualsIgnoringCase(final, expected);
  const std::wstring onVolume = VolumePath(handle);
  const std::wstring expectedOnVolume = joined(VolumePath(parent));
  return !onVolume.empty() && !expectedOnVolume.empty() && EqualsIgnoringCase(onVolume, expectedOnVolume);
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
  return parent.valid() && IsEntryOf(handle, parent.get(), full.substr(cut + 1));
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
