#pragma once
// Extraction of the client package: every file entry of a zip archive written below a
// target folder, folders created as needed, each file given the archive's time stamp.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "unzip.h"

namespace setup {

// The zip format's own limit on a name's or a comment's bytes.
inline constexpr size_t kMaxEntryTextBytes = 65535;
// Each entry is copied through one buffer. 64 KiB extracted a 200 MB package fastest under
// Wine (tests/installation/unzip_bench); below 20480 bytes it is never taken.
inline constexpr size_t kMinCopyBufferBytes = 20480;
inline constexpr size_t kDefaultCopyBufferBytes = 65536;
inline constexpr size_t kMaxCopyBufferBytes = 16u << 20;
// A file held open by another program (a virus scanner, an indexer) is usually let go
// within moments: creating it is tried again for this long before extraction gives up.
inline constexpr DWORD kLockedFileWaitMs = 2000;

// Why extraction stopped: the archive (damaged, unsafe, unreadable) or the disk it writes
// to (full, a file locked by another program, no right to write).
enum class ExtractFailure { kNone, kArchive, kDisk };

// Whether a system error code of a failed write, file or folder creation is the disk's
// doing rather than the data's.
bool IsDiskError(DWORD error);

// What ReadEntryInfo reports about the current entry.
struct ZipEntryInfo {
  // The name as text, every "/" turned into "\": UTF-8 when the entry says so (general flag
  // bit 11, or an Info-ZIP Unicode Path field that matches the stored name), otherwise the
  // system ANSI code page, as archives made on Windows by older tools expect.
  std::wstring strName;
  std::wstring strComment;  // decoded by the same rule
  uint32_t nVersionMadeBy = 0;
  uint32_t nVersionNeeded = 0;
  uint32_t nFlags = 0;
  uint32_t nCompressionMethod = 0;
  uint32_t nDosDateTime = 0;  // date in the high 16 bits, time in the low 16 bits
  uint32_t nCrc32 = 0;
  uint64_t nCompressedSize = 0;  // Zip64 sizes are kept whole
  uint64_t nUncompressedSize = 0;
  uint32_t nInternalAttributes = 0;
  uint32_t nExternalAttributes = 0;
  bool bIsFolder = false;  // the name ends with "\"
};

// Decoding of stored entry texts. Info-ZIP records a UTF-8 form of a name (or comment)
// that it stored in the code page in an extra field beside it, with the CRC-32 of the
// stored bytes: a tool that rewrote the name without knowing the field leaves a CRC that
// no longer matches, and the field is then not used.
inline constexpr uint32_t kUtf8NamesFlag = 1u << 11;
inline constexpr uint16_t kUnicodePathField = 0x7075;
inline constexpr uint16_t kUnicodeCommentField = 0x6375;
inline constexpr uint32_t kHostUnix = 3;
inline constexpr uint32_t kHostMacOs = 19;
// The text of `stored` (the bytes as the entry holds them): UTF-8 when `flags` has bit 11;
// else the UTF-8 text of a matching `field` in `extra`; else UTF-8 when the entry was made
// on Unix or macOS (the high byte of `versionMadeBy`) and the bytes are valid UTF-8 with a
// non-ASCII byte; else the system ANSI code page. A leading byte-order mark is dropped.
// Empty when the bytes are not valid in the chosen encoding or hold a terminator.
std::wstring DecodeEntryText(const std::string& stored, uint32_t flags, uint32_t versionMadeBy,
                             const std::string& extra, uint16_t field);

class CUnzipper {
 public:
  CUnzipper();
  virtual ~CUnzipper();
  CUnzipper(const CUnzipper&) = delete;
  CUnzipper& operator=(const CUnzipper&) = delete;

  // Closes any open archive first. True when the archive is open; an archive reached
  // through a link is not opened.
  bool OpenArchive(const wchar_t* archivePath);
  void CloseArchive();

  // Writes every entry below `folder`; false on the first entry that fails, on an archive
  // without entries, on any entry whose name would land outside `folder`, and on an entry
  // whose file name is taken by a link.
  bool ExtractAll(const wchar_t* folder);

  bool MoveToFirstEntry();
  bool MoveToNextEntry();
  // False when no archive is open, the record cannot be read, or its name cannot be decoded.
  bool ReadEntryInfo(ZipEntryInfo& info);
  // A null folder means the default output folder (the archive path without extension).
  bool ExtractCurrentEntry(const wchar_t* folder);

  // True when `path` is (or now is, created with its parents) a folder that is not a link.
  static bool EnsureFolder(const wchar_t* path);
  static bool EnsureParentFolder(const wchar_t* filePath);
  static void ApplyEntryTime(const wchar_t* filePath, uint32_t dosDateTime);
  // True when the decoded name is a plain relative path that stays below the folder it is
  // joined to: no drive, no root, no "..", no device names, no stream colons.
  static bool IsSafeEntryName(const std::wstring& name);

  // Size of the copy buffer, kept between kMinCopyBufferBytes and kMaxCopyBufferBytes.
  void SetCopyBufferSize(size_t bytes);

  // The sum of the entries' sizes as the archive's directory records them; false when the
  // directory cannot be read.
  bool ReadUncompressedTotal(uint64_t& total);

  // Why the last ExtractAll or ExtractCurrentEntry that failed stopped, with the system
  // error code of a disk failure (0 otherwise).
  ExtractFailure LastFailure() const { return m_lastFailure; }
  DWORD LastFailureError() const { return m_nLastFailureError; }

 private:
  bool CopyCurrentEntryTo(HANDLE file, uint64_t expectedSize);
  HANDLE CreateEntryFile(const std::wstring& target);
  bool FailArchive();
  bool FailDisk(DWORD error);
  bool FailAfter(DWORD error);
  static void SetEntryTime(HANDLE file, uint32_t dosDateTime);

  unzFile m_hArchive = nullptr;
  HANDLE m_hArchiveFile = INVALID_HANDLE_VALUE;  // the archive: minizip reads through this handle
  std::wstring m_strDefaultFolder;  // the archive path up to its last "."
  std::vector<char> m_aCopyBuffer;
  ExtractFailure m_lastFailure = ExtractFailure::kNone;
  DWORD m_nLastFailureError = 0;
};

// Opens the archive and extracts all of it below the target folder. True only when both
// succeeded; the archive is closed in every case.
bool ExtractPackage(const wchar_t* archivePath, const wchar_t* targetFolder);

// The same, telling why it failed: an archive that cannot be opened counts as kArchive.
struct ExtractResult {
  ExtractFailure failure = ExtractFailure::kNone;
  DWORD nError = 0;  // the system error code of a disk failure
};
ExtractResult ExtractPackageInto(const wchar_t* archivePath, const wchar_t* targetFolder);

}  // namespace setup
