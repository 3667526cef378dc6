#include "Core/UISkinArchive.h"

#include <cstring>
#include <cwchar>
#include <new>

#include "Core/UIZipMemory.h"
#include "Utils/UIString.h"
#include "iowin32.h"
#include "unzip.h"

namespace SkinUI {

namespace {

// Longer entry names are never found.
const int kMaxEntryName = 256;

char FoldEntryChar(char ch) {
  if (ch == '\\') return '/';
  if (ch >= 'A' && ch <= 'Z') return static_cast<char>(ch - 'A' + 'a');
  return ch;
}

bool SameEntryName(const char* pstrA, const char* pstrB) {
  for (; *pstrA != '\0' && *pstrB != '\0'; ++pstrA, ++pstrB) {
    if (FoldEntryChar(*pstrA) != FoldEntryChar(*pstrB)) return false;
  }
  return *pstrA == *pstrB;
}

}  // namespace

CSkinArchiveUI::CSkinArchiveUI(void* hZip, ZipMemoryBlock* pMemory) : m_hZip(hZip), m_pMemory(pMemory) {}

CSkinArchiveUI::~CSkinArchiveUI() {
  unzClose(static_cast<unzFile>(m_hZip));
  delete m_pMemory;
}

CSkinArchiveUI* CSkinArchiveUI::OpenFile(LPCWSTR pstrPath) {
  if (pstrPath == nullptr || pstrPath[0] == L'\0') return nullptr;
  zlib_filefunc64_def functions;
  fill_win32_filefunc64W(&functions);
  unzFile hZip = unzOpen2_64(pstrPath, &functions);
  if (hZip == nullptr) return nullptr;
  CSkinArchiveUI* pArchive = new (std::nothrow) CSkinArchiveUI(hZip, nullptr);
  if (pArchive == nullptr) unzClose(hZip);
  return pArchive;
}

CSkinArchiveUI* CSkinArchiveUI::OpenMemory(const void* pData, DWORD dwSize) {
  if (pData == nullptr || dwSize == 0) return nullptr;
  ZipMemoryBlock* pMemory = new (std::nothrow) ZipMemoryBlock{static_cast<const BYTE*>(pData), dwSize};
  if (pMemory == nullptr) return nullptr;
  zlib_filefunc64_def functions;
  FillZipMemoryFunctions(&functions, pMemory);
  // The reader wants a name to open; the memory functions ignore it.
  unzFile hZip = unzOpen2_64("membuffer", &functions);
  if (hZip == nullptr) {
    delete pMemory;
    return nullptr;
  }
  CSkinArchiveUI* pArchive = new (std::nothrow) CSkinArchiveUI(hZip, pMemory);
  if (pArchive == nullptr) {
    unzClose(hZip);
    delete pMemory;
  }
  return pArchive;
}

bool CSkinArchiveUI::FindEntry(LPCWSTR pstrName, SkinArchiveEntry* pEntry) {
  if (pstrName == nullptr || pEntry == nullptr) return false;
  if (std::wcslen(pstrName) >= static_cast<size_t>(kMaxEntryName)) return false;
  // A character of the ANSI code page takes at most two bytes.
  char szWanted[kMaxEntryName * 2 + 1] = {};
  if (::WideCharToMultiByte(CP_ACP, 0, pstrName, -1, szWanted, sizeof(szWanted), nullptr, nullptr) == 0) {
    return false;
  }
  if (std::strlen(szWanted) >= static_cast<size_t>(kMaxEntryName)) return false;

  unzFile hZip = static_cast<unzFile>(m_hZip);
  for (int err = unzGoToFirstFile(hZip); err == UNZ_OK; err = unzGoToNextFile(hZip)) {
    unz_file_info64 info;
    char szEntry[kMaxEntryName + 1] = {};
    if (unzGetCurrentFileInfo64(hZip, &info, szEntry, sizeof(szEntry), nullptr, 0, nullptr, 0) != UNZ_OK) {
      return false;
    }
    if (info.size_filename >= static_cast<uLong>(kMaxEntryName)) continue;
    if (!SameEntryName(szEntry, szWanted)) continue;
    unz64_file_pos position;
    if (unzGetFilePos64(hZip, &position) != UNZ_OK) return false;
    pEntry->ullDirectoryOffset = position.pos_in_zip_directory;
    pEntry->ullEntryNumber = position.num_of_file;
    pEntry->ullSize = info.uncompressed_size;
    return true;
  }
  return false;
}

bool CSkinArchiveUI::ExtractEntry(const SkinArchiveEntry& entry, void* pBuffer, ULONGLONG ullSize) {
  if (pBuffer == nullptr && ullSize > 0) return false;
  unzFile hZip = static_cast<unzFile>(m_hZip);
  unz64_file_pos position;
  position.pos_in_zip_directory = entry.ullDirectoryOffset;
  position.num_of_file = entry.ullEntryNumber;
  if (unzGoToFilePos64(hZip, &position) != UNZ_OK) return false;
  if (unzOpenCurrentFile(hZip) != UNZ_OK) return false;
  BYTE* pDest = static_cast<BYTE*>(pBuffer);
  ULONGLONG ullDone = 0;
  bool bFailed = false;
  while (ullDone < ullSize) {
    const ULONGLONG ullLeft = ullSize - ullDone;
    const unsigned uChunk = ullLeft > 0x40000000u ? 0x40000000u : static_cast<unsigned>(ullLeft);
    const int iRead = unzReadCurrentFile(hZip, pDest + ullDone, uChunk);
    if (iRead <= 0) {
      bFailed = true;
      break;
    }
    ullDone += static_cast<ULONGLONG>(iRead);
  }
  // Closing checks the checksum once the whole entry was read; that verdict is not wanted here.
  unzCloseCurrentFile(hZip);
  return !bFailed;
}

CSkinArchiveUse::CSkinArchiveUse(LPCWSTR pstrFolder, LPCWSTR pstrName, bool bCached,
                                 CSkinArchiveUI* pOpenArchive)
    : m_pArchive(nullptr), m_bOwned(false) {
  if (bCached) {
    m_pArchive = pOpenArchive;
    return;
  }
  CUIString sPath(pstrFolder);
  sPath += pstrName;
  m_pArchive = CSkinArchiveUI::OpenFile(sPath);
  m_bOwned = true;
}

CSkinArchiveUse::~CSkinArchiveUse() {
  if (m_bOwned) delete m_pArchive;
}

}  // namespace SkinUI
