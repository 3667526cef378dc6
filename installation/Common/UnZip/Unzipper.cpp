#include "Common/UnZip/Unzipper.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include <zlib.h>

#include "Common/DiskSpace.h"
#include "Common/LongPath.h"
#include "Common/PlainFile.h"

namespace setup {

namespace {

constexpr DWORD kLockedFileRetryStepMs = 100;

// ERROR_DISK_QUOTA_EXCEEDED, which the cross-compiler's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

bool IsLockError(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// minizip reads the archive through the handle the unzipper opened and checked, never by
// name: the name could meanwhile be given to another file, and no code page or path limit
// stands between the installer and the file.
voidpf ZCALLBACK OpenHeldFile(voidpf handle, const void*, int) { return handle; }

uLong ZCALLBACK ReadHeldFile(voidpf, voidpf stream, void* buffer, uLong size) {
  DWORD got = 0;
  return ReadFile(static_cast<HANDLE>(stream), buffer, size, &got, nullptr) ? got : 0;
}

uLong ZCALLBACK WriteHeldFile(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK TellHeldFile(voidpf, voidpf stream) {
  LARGE_INTEGER zero{}, position{};
  if (!SetFilePointerEx(static_cast<HANDLE>(stream), zero, &position, FILE_CURRENT)) return static_cast<ZPOS64_T>(-1);
  return static_cast<ZPOS64_T>(position.QuadPart);
}

long ZCALLBACK SeekHeldFile(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  DWORD method = FILE_BEGIN;
  if (origin == ZLIB_FILEFUNC_SEEK_CUR) method = FILE_CURRENT;
  if (origin == ZLIB_FILEFUNC_SEEK_END) method = FILE_END;
  LARGE_INTEGER distance{};
  distance.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(static_cast<HANDLE>(stream), distance, nullptr, method) ? 0 : -1;
}

// The unzipper closes the handle itself, after minizip is done with it.
int ZCALLBACK CloseHeldFile(voidpf, voidpf) { return 0; }
int ZCALLBACK HeldFileError(voidpf, voidpf) { return 0; }

zlib_filefunc64_def HeldFileFunctions(HANDLE file) {
  zlib_filefunc64_def functions{};
  functions.zopen64_file = OpenHeldFile;
  functions.zread_file = ReadHeldFile;
  functions.zwrite_file = WriteHeldFile;
  functions.ztell64_file = TellHeldFile;
  functions.zseek64_file = SeekHeldFile;
  functions.zclose_file = CloseHeldFile;
  functions.zerror_file = HeldFileError;
  functions.opaque = file;
  return functions;
}

std::wstring Decode(UINT codePage, DWORD flags, const char* bytes, size_t size) {
  if (size == 0 || size > kMaxEntryTextBytes) return std::wstring();
  const int length = static_cast<int>(size);
  int chars = MultiByteToWideChar(codePage, flags, bytes, length, nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring decoded(static_cast<size_t>(chars), L'\0');
  chars = MultiByteToWideChar(codePage, flags, bytes, length, &decoded[0], chars);
  decoded.resize(static_cast<size_t>(std::max(chars, 0)));
  return decoded;
}

bool IsAscii(const std::string& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The high byte of "version made by" names the system the entry was made on. Unix (3) and
// macOS (19) tools store names as the locale spells them, which there is UTF-8; a name that
// is not valid UTF-8 came from another locale (GBK on Linux) and takes the code page road.
bool MadeWhereNamesAreUtf8(uint32_t versionMadeBy) {
  const uint32_t host = (versionMadeBy >> 8) & 0xFF;
  return host == kHostUnix || host == kHostMacOs;
}

// The UTF-8 text of an Info-ZIP Unicode field of `tag` in `extra` whose CRC-32 matches the
// stored bytes; nothing when there is none or it does not match.
bool FindUnicodeField(const std::string& extra, uint16_t tag, const std::string& stored, std::string& utf8) {
  const auto u16 = [&extra](size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(extra[at]) | (static_cast<uint8_t>(extra[at + 1]) << 8));
  };
  for (size_t at = 0; at + 4 <= extra.size();) {
    const uint16_t id = u16(at);
    const size_t size = u16(at + 2);
    if (at + 4 + size > extra.size()) return false;  // a field running past the end: no more fields
    if (id == tag && size >= 5 && extra[at + 4] == 1) {
      uint32_t crc = 0;
      for (int i = 3; i >= 0; --i) crc = (crc << 8) | static_cast<uint8_t>(extra[at + 5 + i]);
      const uLong storedCrc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(stored.data()),
                                    static_cast<uInt>(stored.size()));
      if (crc != storedCrc) return false;
      utf8.assign(extra, at + 9, size - 5);
      return true;
    }
    at += 4 + size;
  }
  return false;
}

bool EndsWithSeparator(const std::wstring& path) {
  return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

// "C:\", "\\?\C:\" and "\" are roots: their separator is part of the name.
bool IsRoot(const std::wstring& path) {
  const size_t n = path.size();
  return path == L"\\" || (n >= 3 && path[n - 2] == L':' && path[n - 1] == L'\\');
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (EndsWithSeparator(path) && !IsRoot(path)) path.pop_back();
  return path;
}

// A folder that is not a junction or symbolic link. Files are written only into such
// folders: through a link that a non-administrator planted in the data folder the elevated
// installer would replace files wherever the link points.
bool IsPlainFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

std::wstring Upper(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
  return text;
}

// Names the platform routes to a device whatever folder they are placed in, with or
// without an extension ("NUL.txt" is still the null device).
bool IsDeviceName(const std::wstring& component) {
  std::wstring base = component.substr(0, component.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  base = Upper(base);
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$",
                                            L"CONOUT$", L"CLOCK$"};
  for (const wchar_t* device : kDevices) {
    if (base == device) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
    wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' ||
           digit == L'\u00B3';
  }
  return false;
}

// True when the full form of `path` lies strictly below the full form of `folder`; a
// second line of defence behind the name check, in case the platform's path rules hold
// a surprise.
bool IsBelowFolder(const std::wstring& folder, const std::wstring& path) {
  std::wstring base = FullPathName(folder);
  const std::wstring full = FullPathName(path);
  if (base.empty() || full.empty()) return false;
  if (!EndsWithSeparator(base)) base += L'\\';
  return full.size() > base.size() && _wcsnicmp(full.c_str(), base.c_str(), base.size()) == 0;
}

// Some tools write every name after "./" (bsdtar archives a folder given as "."). A "."
// step names the folder it stands in, so it is dropped; ".." and every other oddity are
// left for the safety check to refuse.
std::wstring WithoutCurrentFolderSteps(const std::wstring& name) {
  std::wstring out;
  size_t start = 0;
  for (;;) {
    const size_t end = name.find(L'\\', start);
    const std::wstring component = name.substr(start, end == std::wstring::npos ? end : end - start);
    if (component != L".") {
      out += component;
      if (end != std::wstring::npos) out += L'\\';
    }
    if (end == std::wstring::npos) return out;
    start = end + 1;
  }
}

// The platform drops the dots and spaces that end a path component, but the long form,
// which passes names as they stand, would create "a." as a name ordinary tools cannot open.
// The component is cut as an ordinary path would cut it. (Components made only of dots and
// spaces never get here.)
std::wstring WithoutTrailingDotsAndSpaces(const std::wstring& name) {
  std::wstring out;
  size_t start = 0;
  for (;;) {
    const size_t end = name.find(L'\\', start);
    std::wstring component = name.substr(start, end == std::wstring::npos ? end : end - start);
    const size_t last = component.find_last_not_of(L". ");
    component.resize(last == std::wstring::npos ? 0 : last + 1);
    out += component;
    if (end == std::wstring::npos) return out;
    out += L'\\';
    start = end + 1;
  }
}

bool EnsureLongFolder(const std::wstring& folder) {
  DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return IsPlainFolder(attributes);
  // The long form's root ("\\?\C:" or "\\?\UNC\server\share") is never created.
  const size_t cut = folder.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut < 6) return false;
  std::wstring parent = folder.substr(0, cut);
  if (parent.back() == L':') parent += L'\\';
  if (!EnsureLongFolder(parent)) return false;
  // Someone else may have made it meanwhile; what counts is that it is a folder now.
  return CreateDirectoryW(folder.c_str(), nullptr) || IsPlainFolder(GetFileAttributesW(folder.c_str()));
}

struct ScopedFile {
  HANDLE h;
  explicit ScopedFile(HANDLE handle) : h(handle) {}
  ~ScopedFile() { Close(); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;
  bool valid() const { return h != INVALID_HANDLE_VALUE; }
  void Close() {
    if (valid()) CloseHandle(h);
    h = INVALID_HANDLE_VALUE;
  }
};

constexpr uint32_t kEncryptedFlag = 1;

}  // namespace

bool IsDiskError(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_WRITE_FAULT:
    case ERROR_NOT_READY:
    case ERROR_CANNOT_MAKE:
      return true;
    default:
      return false;
  }
}

bool CUnzipper::FailArchive() {
  m_lastFailure = ExtractFailure::kArchive;
  m_nLastFailureError = 0;
  return false;
}

bool CUnzipper::FailDisk(DWORD error) {
  m_lastFailure = ExtractFailure::kDisk;
  m_nLastFailureError = error;
  return false;
}

// A platform call that just failed: the disk's fault or the archive's, by its error code.
bool CUnzipper::FailAfter(DWORD error) { return IsDiskError(error) ? FailDisk(error) : FailArchive(); }

std::wstring DecodeEntryText(const std::string& stored, uint32_t flags, uint32_t versionMadeBy, const std::string& extra,
                             uint16_t field) {
  std::wstring decoded;
  std::string utf8;
  if (flags & kUtf8NamesFlag) {
    decoded = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, stored.data(), stored.size());
  } else if (FindUnicodeField(extra, field, stored, utf8) &&
             !(decoded = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8.size())).empty()) {
    // the field's text
  } else if (MadeWhereNamesAreUtf8(versionMadeBy) && !IsAscii(stored) &&
             !(decoded = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, stored.data(), stored.size())).empty()) {
    // Info-ZIP on Linux and macOS stores the locale's UTF-8 bytes without setting the flag.
  } else {
    decoded = Decode(CP_ACP, 0, stored.data(), stored.size());
  }
  if (!decoded.empty() && decoded.front() == L'\uFEFF') decoded.erase(0, 1);
  if (decoded.find(L'\0') != std::wstring::npos) return std::wstring();
  return decoded;
}

CUnzipper::CUnzipper() = default;

CUnzipper::~CUnzipper() { CloseArchive(); }

void CUnzipper::SetCopyBufferSize(size_t bytes) {
  bytes = std::clamp(bytes, kMinCopyBufferBytes, kMaxCopyBufferBytes);
  if (m_aCopyBuffer.size() != bytes) std::vector<char>(bytes).swap(m_aCopyBuffer);
}

bool CUnzipper::OpenArchive(const wchar_t* archivePath) {
  CloseArchive();
  if (!archivePath || !*archivePath) return false;
  // Held open as a plain file, shared for reading only, for as long as minizip reads it.
  m_hArchiveFile = OpenPlainFile(archivePath, PlainFileUse::kRead);
  if (m_hArchiveFile == INVALID_HANDLE_VALUE) return false;
  zlib_filefunc64_def functions = HeldFileFunctions(m_hArchiveFile);
  m_hArchive = unzOpen2_64(archivePath, &functions);
  if (!m_hArchive) {
    CloseArchive();
    return false;
  }

  // The default output folder is the archive path without its extension; a path without
  // one has no default folder (the archive itself holds that name).
  const std::wstring path(archivePath);
  const size_t dot = path.rfind(L'.');
  const size_t separator = path.find_last_of(L"\\/");
  if (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator)) {
    m_strDefaultFolder = path.substr(0, dot);
  } else {
    m_strDefaultFolder.clear();
  }
  return true;
}

void CUnzipper::CloseArchive() {
  if (m_hArchive) {
    unzCloseCurrentFile(m_hArchive);
    unzClose(m_hArchive);
    m_hArchive = nullptr;
  }
  if (m_hArchiveFile != INVALID_HANDLE_VALUE) CloseHandle(m_hArchiveFile);
  m_hArchiveFile = INVALID_HANDLE_VALUE;
}

bool CUnzipper::ExtractAll(const wchar_t* folder) {
  m_lastFailure = ExtractFailure::kNone;
  if (!m_hArchive || !folder) return FailArchive();
  SetLastError(ERROR_SUCCESS);
  if (!EnsureFolder(folder)) return FailAfter(GetLastError());
  unz_global_info global{};
  if (unzGetGlobalInfo(m_hArchive, &global) != UNZ_OK || global.number_entry == 0) return FailArchive();
  // A disk that cannot hold what the directory announces is found out before anything is
  // written, not half way through.
  uint64_t total = 0;
  if (!ReadUncompressedTotal(total)) return FailArchive();
  const int64_t free = FreeBytesAt(folder);
  if (free >= 0 && total > static_cast<uint64_t>(free)) return FailDisk(ERROR_DISK_FULL);
  if (!MoveToFirstEntry()) return FailArchive();
  // minizip counts the entries itself, so the walk ends after number_entry steps.
  for (;;) {
    if (!ExtractCurrentEntry(folder)) return false;
    if (!MoveToNextEntry()) return true;
  }
}

bool CUnzipper::ReadUncompressedTotal(uint64_t& total) {
  total = 0;
  if (!MoveToFirstEntry()) return false;
  do {
    unz_file_info64 raw{};
    if (unzGetCurrentFileInfo64(m_hArchive, &raw, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    total += raw.uncompressed_size;
  } while (MoveToNextEntry());
  return true;
}

bool CUnzipper::MoveToFirstEntry() {
  return m_hArchive && unzGoToFirstFile(m_hArchive) == UNZ_OK;
}

bool CUnzipper::MoveToNextEntry() {
  return m_hArchive && unzGoToNextFile(m_hArchive) == UNZ_OK;
}

bool CUnzipper::ReadEntryInfo(ZipEntryInfo& info) {
  info = ZipEntryInfo();
  if (!m_hArchive) return false;
  unz_file_info64 raw{};
  if (unzGetCurrentFileInfo64(m_hArchive, &raw, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
  // The record's own lengths size the buffers, so nothing is cut.
  std::string name(raw.size_filename, '\0'), extra(raw.size_file_extra, '\0'), comment(raw.size_file_comment, '\0');
  if (unzGetCurrentFileInfo64(m_hArchive, &raw, name.empty() ? nullptr : &name[0], static_cast<uLong>(name.size()),
                              extra.empty() ? nullptr : &extra[0], static_cast<uLong>(extra.size()),
                              comment.empty() ? nullptr : &comment[0], static_cast<uLong>(comment.size())) != UNZ_OK)
    return false;
  info.strName = DecodeEntryText(name, raw.flag, raw.version, extra, kUnicodePathField);
  // A name that does not decode would name a different file than the archive holds.
  if (info.strName.empty()) {
    info = ZipEntryInfo();
    return false;
  }
  std::replace(info.strName.begin(), info.strName.end(), L'/', L'\\');
  info.strComment = DecodeEntryText(comment, raw.flag, raw.version, extra, kUnicodeCommentField);
  info.nVersionMadeBy = static_cast<uint32_t>(raw.version);
  info.nVersionNeeded = static_cast<uint32_t>(raw.version_needed);
  info.nFlags = static_cast<uint32_t>(raw.flag);
  info.nCompressionMethod = static_cast<uint32_t>(raw.compression_method);
  info.nDosDateTime = static_cast<uint32_t>(raw.dosDate);
  info.nCrc32 = static_cast<uint32_t>(raw.crc);
  info.nCompressedSize = raw.compressed_size;
  info.nUncompressedSize = raw.uncompressed_size;
  info.nInternalAttributes = static_cast<uint32_t>(raw.internal_fa);
  info.nExternalAttributes = static_cast<uint32_t>(raw.external_fa);
  info.bIsFolder = info.strName.back() == L'\\';
  return true;
}

bool CUnzipper::IsSafeEntryName(const std::wstring& name) {
  if (name.empty() || name.front() == L'\\') return false;
  for (wchar_t c : name) {
    // Colons name drives and alternate data streams; the rest are wildcards, pipes,
    // redirections or control characters that no file name can hold.
    if (c < 0x20 || std::wcschr(L":*?\"<>|/", c)) return false;
  }
  size_t start = 0;
  for (;;) {
    size_t end = name.find(L'\\', start);
    std::wstring component = name.substr(start, end == std::wstring::npos ? end : end - start);
    bool lastOfFolderName = end == std::wstring::npos && start == name.size();
    if (!lastOfFolderName) {
      // The platform drops trailing dots and spaces from a component, so ".. " or ". ."
      // can act as ".." or "."; a component made only of dots and spaces is refused.
      if (component.find_first_not_of(L". ") == std::wstring::npos) return false;
      if (IsDeviceName(component)) return false;
    }
    if (end == std::wstring::npos) return true;
    start = end + 1;
  }
}

HANDLE CUnzipper::CreateEntryFile(const std::wstring& target) {
  const ULONGLONG giveUp = GetTickCount64() + kLockedFileWaitMs;
  for (;;) {
    // The installers written here are started elevated: never through a link in their place.
    HANDLE file = OpenPlainFile(target.c_str(), PlainFileUse::kReplace, 0);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (!IsLockError(error) || GetTickCount64() >= giveUp) {
      SetLastError(error);
      return INVALID_HANDLE_VALUE;
    }
    Sleep(kLockedFileRetryStepMs);
  }
}

bool CUnzipper::ExtractCurrentEntry(const wchar_t* folder) {
  m_lastFailure = ExtractFailure::kNone;
  if (!m_hArchive) return FailArchive();
  // Every name below is built on the long form of the folder's full path, so a package may
  // hold paths deeper than MAX_PATH.
  const std::wstring base = LongPathName(folder ? std::wstring(folder) : m_strDefaultFolder);
  if (base.empty()) return FailArchive();

  ZipEntryInfo info;
  if (!ReadEntryInfo(info)) return FailArchive();
  const std::wstring name = WithoutCurrentFolderSteps(info.strName);
  if (info.bIsFolder && name.empty()) return true;  // "./": the target folder itself
  if (!IsSafeEntryName(name)) return FailArchive();
  if (info.bIsFolder) return true;  // folders come into being when their files are written
  if (info.nFlags & kEncryptedFlag) return FailArchive();

  std::wstring target = base;
  if (!EndsWithSeparator(target)) target += L'\\';
  target += WithoutTrailingDotsAndSpaces(name);
  if (!IsBelowFolder(base, target)) return FailArchive();
  SetLastError(ERROR_SUCCESS);
  if (!EnsureParentFolder(target.c_str())) return FailAfter(GetLastError());

  // Windows refuses to replace a read-only file; Wine running as root does not, so the
  // refusal is made here for both.
  DWORD existing = GetFileAttributesW(target.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY)) return FailDisk(ERROR_ACCESS_DENIED);

  if (unzOpenCurrentFile(m_hArchive) != UNZ_OK) return FailArchive();
  ScopedFile file(CreateEntryFile(target));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    unzCloseCurrentFile(m_hArchive);
    return FailAfter(error);
  }
  bool copied = CopyCurrentEntryTo(file.h, info.nUncompressedSize);
  // Closing the entry is where minizip compares the CRC of what was read.
  const bool crcMatches = unzCloseCurrentFile(m_hArchive) == UNZ_OK;
  if (copied && !crcMatches) copied = FailArchive();
  // Stamped through the handle that wrote the file: opening it a second time costs as
  // much as writing a small file.
  if (copied) SetEntryTime(file.h, info.nDosDateTime);
  file.Close();
  if (!copied) {
    // A file cut short or holding damaged data must not pass for an installed one.
    DeleteFileW(target.c_str());
    return false;
  }
  return true;
}

bool CUnzipper::CopyCurrentEntryTo(HANDLE file, uint64_t expectedSize) {
  if (m_aCopyBuffer.empty()) SetCopyBufferSize(kDefaultCopyBufferBytes);
  const unsigned capacity = static_cast<unsigned>(m_aCopyBuffer.size());
  uint64_t total = 0;
  for (;;) {
    int got = unzReadCurrentFile(m_hArchive, m_aCopyBuffer.data(), capacity);
    if (got == 0) break;
    if (got < 0) return FailArchive();
    DWORD written = 0;
    if (!WriteFile(file, m_aCopyBuffer.data(), static_cast<DWORD>(got), &written, nullptr)) {
      return FailAfter(GetLastError());
    }
    // A short write without an error is a full disk by another name.
    if (written != static_cast<DWORD>(got)) return FailDisk(ERROR_DISK_FULL);
    total += static_cast<uint64_t>(got);
  }
  // minizip checks the CRC only when the whole recorded size was read; a stream that ends
  // early would otherwise pass unchecked.
  return total == expectedSize || FailArchive();
}

bool CUnzipper::EnsureFolder(const wchar_t* path) {
  if (!path || !*path) return false;
  const std::wstring folder = WithoutTrailingSeparators(LongPathName(path));
  return !folder.empty() && EnsureLongFolder(folder);
}

bool CUnzipper::EnsureParentFolder(const wchar_t* filePath) {
  if (!filePath || !*filePath) return false;
  const std::wstring path = LongPathName(filePath);
  const size_t cut = path.find_last_of(L'\\');
  if (path.empty() || cut == std::wstring::npos) return false;
  // "\\?\C:\file" has the root "\\?\C:\" as its parent.
  std::wstring parent = path.substr(0, cut);
  if (parent.back() == L':') return IsPlainFolder(GetFileAttributesW((parent + L'\\').c_str()));
  return EnsureLongFolder(parent);
}

void CUnzipper::ApplyEntryTime(const wchar_t* filePath, uint32_t dosDateTime) {
  ScopedFile file(CreateFileW(LongPathName(filePath).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.valid()) SetEntryTime(file.h, dosDateTime);
}

void CUnzipper::SetEntryTime(HANDLE file, uint32_t dosDateTime) {
  FILETIME local{}, universal{};
  if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                             static_cast<WORD>(dosDateTime & 0xFFFF), &local) ||
      !LocalFileTimeToFileTime(&local, &universal)) {
    return;
  }
  // The DOS value is local time; creation and last write both get it, last access stays.
  SetFileTime(file, &universal, nullptr, &universal);
}

bool ExtractPackage(const wchar_t* archivePath, const wchar_t* targetFolder) {
  return ExtractPackageInto(archivePath, targetFolder).failure == ExtractFailure::kNone;
}

ExtractResult ExtractPackageInto(const wchar_t* archivePath, const wchar_t* targetFolder) {
  CUnzipper unzipper;
  unzipper.CloseArchive();
  ExtractResult result;
  if (!unzipper.OpenArchive(archivePath)) {
    result.failure = ExtractFailure::kArchive;
  } else if (!unzipper.ExtractAll(targetFolder)) {
    result.failure = unzipper.LastFailure() == ExtractFailure::kNone ? ExtractFailure::kArchive : unzipper.LastFailure();
    result.nError = unzipper.LastFailureError();
  }
  unzipper.CloseArchive();
  return result;
}

}  // namespace setup
