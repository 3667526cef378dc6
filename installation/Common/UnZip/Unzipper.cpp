#include "Common/UnZip/Unzipper.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "Common/DiskSpace.h"
#include "Common/PlainFile.h"

namespace setup {

namespace {

constexpr DWORD kLockedFileRetryStepMs = 100;

// ERROR_DISK_QUOTA_EXCEEDED, which the cross-compiler's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

bool IsLockError(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// Paths travel to minizip in the thread's ANSI code page. A character the code page cannot
// hold would be replaced by a look-alike and could name another file, so such a path is
// refused instead.
bool ToThreadAnsi(const wchar_t* text, std::string& out) {
  out.clear();
  if (!text || !*text) return false;
  int bytes = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0,
                                  nullptr, nullptr);
  if (bytes <= 0) return false;
  std::string buffer(static_cast<size_t>(bytes), '\0');
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text, -1, &buffer[0], bytes,
                          nullptr, &lossy) != bytes ||
      lossy) {
    return false;
  }
  buffer.resize(static_cast<size_t>(bytes) - 1);
  out.swap(buffer);
  return true;
}

std::wstring FromThreadAnsi(const std::string& text) {
  if (text.empty()) return std::wstring();
  int chars = MultiByteToWideChar(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring buffer(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, text.c_str(), -1, &buffer[0], chars);
  buffer.resize(static_cast<size_t>(chars) - 1);
  return buffer;
}

bool EndsWithSeparator(const std::wstring& path) {
  return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

// "C:\" and "\" are roots: their separator is part of the name.
bool IsRoot(const std::wstring& path) {
  return path == L"\\" || (path.size() == 3 && path[1] == L':' && path[2] == L'\\');
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
  auto fullPath = [](const std::wstring& in) {
    DWORD chars = GetFullPathNameW(in.c_str(), 0, nullptr, nullptr);
    if (chars == 0) return std::wstring();
    std::wstring out(chars, L'\0');
    chars = GetFullPathNameW(in.c_str(), chars, &out[0], nullptr);
    out.resize(chars);
    return out;
  };
  std::wstring base = fullPath(folder);
  std::wstring full = fullPath(path);
  if (base.empty() || full.empty()) return false;
  if (!EndsWithSeparator(base)) base += L'\\';
  return full.size() > base.size() && _wcsnicmp(full.c_str(), base.c_str(), base.size()) == 0;
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

CUnzipper::CUnzipper() = default;

CUnzipper::~CUnzipper() { CloseArchive(); }

void CUnzipper::SetCopyBufferSize(size_t bytes) {
  bytes = std::clamp(bytes, kMinCopyBufferBytes, kMaxCopyBufferBytes);
  if (m_aCopyBuffer.size() != bytes) std::vector<char>(bytes).swap(m_aCopyBuffer);
}

bool CUnzipper::OpenArchive(const wchar_t* archivePath) {
  CloseArchive();
  std::string ansiPath;
  if (!ToThreadAnsi(archivePath, ansiPath)) return false;
  // The archive is held open as a plain file, shared for reading only, while minizip opens
  // it by name: the name cannot be given to another file meanwhile, so minizip reads the
  // file that was checked and not what a link would point at.
  m_hArchiveFile = OpenPlainFile(archivePath, PlainFileUse::kRead);
  if (m_hArchiveFile == INVALID_HANDLE_VALUE) return false;
  m_hArchive = unzOpen(ansiPath.c_str());
  if (!m_hArchive) {
    CloseArchive();
    return false;
  }

  // The default output folder is the archive path without its extension; a path without
  // one has no default folder (the archive itself holds that name).
  size_t dot = ansiPath.rfind('.');
  size_t separator = ansiPath.find_last_of("\\/");
  if (dot != std::string::npos && (separator == std::string::npos || dot > separator)) {
    m_strDefaultFolder = ansiPath.substr(0, dot);
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
    unz_file_info raw{};
    if (unzGetCurrentFileInfo(m_hArchive, &raw, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
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
  std::memset(&info, 0, sizeof info);
  if (!m_hArchive) return false;
  unz_file_info raw{};
  // One byte of each buffer stays out of minizip's reach so the texts are always
  // terminated; minizip cuts what does not fit.
  if (unzGetCurrentFileInfo(m_hArchive, &raw, info.szName, kEntryNameBytes - 1, nullptr, 0,
                            info.szComment, kEntryCommentBytes - 1) != UNZ_OK) {
    std::memset(&info, 0, sizeof info);
    return false;
  }
  // A cut name, or one with a terminator inside, would name a different file than the
  // archive holds.
  if (raw.size_filename >= static_cast<uLong>(kEntryNameBytes) ||
      std::strlen(info.szName) != raw.size_filename) {
    std::memset(&info, 0, sizeof info);
    return false;
  }
  for (char* c = info.szName; *c; ++c) {
    if (*c == '/') *c = '\\';
  }
  info.nVersionMadeBy = raw.version;
  info.nVersionNeeded = raw.version_needed;
  info.nFlags = raw.flag;
  info.nCompressionMethod = raw.compression_method;
  info.nDosDateTime = raw.dosDate;
  info.nCrc32 = raw.crc;
  info.nCompressedSize = raw.compressed_size;
  info.nUncompressedSize = raw.uncompressed_size;
  info.nInternalAttributes = raw.internal_fa;
  info.nExternalAttributes = raw.external_fa;
  // Judged on the decoded text: in double-byte code pages a "\" byte can be the second
  // half of a character.
  std::wstring decoded = DecodeEntryName(info.szName);
  info.bIsFolder = !decoded.empty() && decoded.back() == L'\\';
  return true;
}

std::wstring CUnzipper::DecodeEntryName(const char* name) {
  if (!name || !*name) return std::wstring();
  int length = static_cast<int>(strnlen(name, kEntryNameBytes));
  int chars = MultiByteToWideChar(CP_ACP, 0, name, length, nullptr, 0);
  if (chars <= 0) return std::wstring();
  std::wstring decoded(static_cast<size_t>(chars), L'\0');
  chars = MultiByteToWideChar(CP_ACP, 0, name, length, &decoded[0], chars);
  decoded.resize(static_cast<size_t>(std::max(chars, 0)));
  if (!decoded.empty() && decoded.front() == L'\uFEFF') decoded.erase(0, 1);
  size_t terminator = decoded.find(L'\0');
  if (terminator != std::wstring::npos) decoded.resize(terminator);
  return decoded;
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
  std::wstring base = folder ? std::wstring(folder) : FromThreadAnsi(m_strDefaultFolder);
  if (base.empty()) return FailArchive();

  ZipEntryInfo info;
  if (!ReadEntryInfo(info)) return FailArchive();
  std::wstring name = DecodeEntryName(info.szName);
  if (!IsSafeEntryName(name)) return FailArchive();
  if (info.bIsFolder) return true;  // folders come into being when their files are written
  if (info.nFlags & kEncryptedFlag) return FailArchive();

  std::wstring target = base;
  if (!EndsWithSeparator(target)) target += L'\\';
  target += name;
  if (target.size() >= MAX_PATH || !IsBelowFolder(base, target)) return FailArchive();
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

bool CUnzipper::CopyCurrentEntryTo(HANDLE file, uint32_t expectedSize) {
  if (m_aCopyBuffer.empty()) SetCopyBufferSize(kDefaultCopyBufferBytes);
  const unsigned capacity = static_cast<unsigned>(m_aCopyBuffer.size());
  uint32_t total = 0;  // modulo 2^32, like the recorded size
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
    total += static_cast<uint32_t>(got);
  }
  // minizip checks the CRC only when the whole recorded size was read; a stream that ends
  // early would otherwise pass unchecked.
  return total == expectedSize || FailArchive();
}

bool CUnzipper::EnsureFolder(const wchar_t* path) {
  if (!path || !*path) return false;
  std::wstring folder = WithoutTrailingSeparators(path);
  DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return IsPlainFolder(attributes);
  size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0) {
    if (!EnsureFolder(folder.substr(0, cut).c_str())) return false;
  }
  // Someone else may have made it meanwhile; what counts is that it is a folder now.
  return CreateDirectoryW(folder.c_str(), nullptr) || IsPlainFolder(GetFileAttributesW(folder.c_str()));
}

bool CUnzipper::EnsureParentFolder(const wchar_t* filePath) {
  if (!filePath) return false;
  std::wstring path(filePath);
  size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return false;
  // "C:\file" and "\file" have a root as their parent.
  std::wstring parent = path.substr(0, cut);
  if (parent.empty() || (parent.size() == 2 && parent[1] == L':')) parent += L'\\';
  return EnsureFolder(parent.c_str());
}

void CUnzipper::ApplyEntryTime(const wchar_t* filePath, uint32_t dosDateTime) {
  ScopedFile file(CreateFileW(filePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
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
