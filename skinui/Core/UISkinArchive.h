#pragma once
// CSkinArchiveUI: a zip archive that skin files and images are read from, opened from a file
// or from a block of memory.

#include <windows.h>

namespace SkinUI {

struct ZipMemoryBlock;

// Where an entry lies in its archive, and how many bytes it unpacks to.
struct SkinArchiveEntry {
  ULONGLONG ullDirectoryOffset;
  ULONGLONG ullEntryNumber;
  ULONGLONG ullSize;
};

class CSkinArchiveUI {
 public:
  // Null when the file cannot be opened or is not a zip archive.
  static CSkinArchiveUI* OpenFile(LPCWSTR pstrPath);
  // Null when the block is not a zip archive. The block must stay valid while the archive is open.
  static CSkinArchiveUI* OpenMemory(const void* pData, DWORD dwSize);

  CSkinArchiveUI(const CSkinArchiveUI&) = delete;
  CSkinArchiveUI& operator=(const CSkinArchiveUI&) = delete;
  // Closes the archive.
  ~CSkinArchiveUI();

  // Looks an entry up by name: letters compare without regard to case (ASCII letters) and "\"
  // equals "/". Names are compared in the ANSI code page; 256 characters or more never match.
  bool FindEntry(LPCWSTR pstrName, SkinArchiveEntry* pEntry);
  // Unpacks the entry into pBuffer, which must hold exactly the entry's size. The checksum is not
  // verified; an entry that yields fewer bytes than its recorded size fails.
  bool ExtractEntry(const SkinArchiveEntry& entry, void* pBuffer, ULONGLONG ullSize);

 private:
  CSkinArchiveUI(void* hZip, ZipMemoryBlock* pMemory);

  void* m_hZip;
  ZipMemoryBlock* m_pMemory;
};

// The archive a read goes to: the open archive kept by the window host when it caches one,
// otherwise the file pstrFolder + pstrName opened for this read and closed with the holder.
class CSkinArchiveUse {
 public:
  CSkinArchiveUse(LPCWSTR pstrFolder, LPCWSTR pstrName, bool bCached, CSkinArchiveUI* pOpenArchive);
  CSkinArchiveUse(const CSkinArchiveUse&) = delete;
  CSkinArchiveUse& operator=(const CSkinArchiveUse&) = delete;
  ~CSkinArchiveUse();
  // Null when there is no archive to read.
  CSkinArchiveUI* Get() const { return m_pArchive; }

 private:
  CSkinArchiveUI* m_pArchive;
  bool m_bOwned;
};

}  // namespace SkinUI
