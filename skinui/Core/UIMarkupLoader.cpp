// The markup's loaders: bytes in one of three encodings, skin files from the resource folder or
// the resource archive, and module resources.

#include <climits>
#include <cstdlib>
#include <cstring>

#include "Core/UIManager.h"
#include "Core/UIMarkup.h"
#include "Core/UISkinArchive.h"
#include "Utils/UIString.h"

namespace SkinUI {

namespace {

class ScopedFileHandle {
 public:
  explicit ScopedFileHandle(HANDLE hFile) : m_hFile(hFile) {}
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
  ~ScopedFileHandle() {
    if (IsOpen()) ::CloseHandle(m_hFile);
  }
  bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_hFile; }

 private:
  HANDLE m_hFile;
};

struct ByteBlock {
  ByteBlock() : pBytes(nullptr) {}
  ByteBlock(const ByteBlock&) = delete;
  ByteBlock& operator=(const ByteBlock&) = delete;
  ~ByteBlock() { std::free(pBytes); }
  BYTE* pBytes;
};

// The block as NUL-terminated wide text in a buffer from malloc, or null with *ppstrError set.
LPWSTR DecodeSkinText(const void* pBytes, DWORD dwSize, SkinTextEncoding encoding, SIZE_T* pcchText,
                      LPCWSTR* ppstrError) {
  const BYTE* pData = static_cast<const BYTE*>(pBytes);
  if (pData == nullptr) dwSize = 0;

  if (encoding == SkinTextEncoding::Utf16) {
    const bool bLittleEndian = dwSize > 1 && pData[0] == 0xFF && pData[1] == 0xFE;
    const bool bBigEndian = dwSize > 1 && pData[0] == 0xFE && pData[1] == 0xFF;
    if (!bLittleEndian && !bBigEndian) {
      *ppstrError = L"Expected byte-order mark";
      return nullptr;
    }
    const SIZE_T cchText = dwSize / 2 - 1;
    LPWSTR pstrXML = static_cast<LPWSTR>(std::malloc((cchText + 1) * sizeof(WCHAR)));
    if (pstrXML == nullptr) {
      *ppstrError = L"Out of memory";
      return nullptr;
    }
    const BYTE* pUnit = pData + 2;
    for (SIZE_T i = 0; i < cchText; ++i, pUnit += 2) {
      pstrXML[i] = bLittleEndian ? static_cast<WCHAR>(pUnit[0] | (pUnit[1] << 8))
                                 : static_cast<WCHAR>((pUnit[0] << 8) | pUnit[1]);
    }
    pstrXML[cchText] = L'\0';
    *pcchText = cchText;
    return pstrXML;
  }

  UINT uCodePage = CP_ACP;
  if (encoding == SkinTextEncoding::Utf8) {
    uCodePage = CP_UTF8;
    if (dwSize > 2 && pData[0] == 0xEF && pData[1] == 0xBB && pData[2] == 0xBF) {
      pData += 3;
      dwSize -= 3;
    }
  }
  if (dwSize > static_cast<DWORD>(INT_MAX)) {
    *ppstrError = L"File too large";
    return nullptr;
  }
  const LPCSTR pstrBytes = reinterpret_cast<LPCSTR>(pData);
  const int iBytes = static_cast<int>(dwSize);
  int cchText = 0;
  if (iBytes > 0) {
    cchText = ::MultiByteToWideChar(uCodePage, 0, pstrBytes, iBytes, nullptr, 0);
    if (cchText <= 0) {
      *ppstrError = L"Could not decode file";
      return nullptr;
    }
  }
  LPWSTR pstrXML = static_cast<LPWSTR>(std::malloc((static_cast<SIZE_T>(cchText) + 1) * sizeof(WCHAR)));
  if (pstrXML == nullptr) {
    *ppstrError = L"Out of memory";
    return nullptr;
  }
  if (cchText > 0 && ::MultiByteToWideChar(uCodePage, 0, pstrBytes, iBytes, pstrXML, cchText) != cchText) {
    std::free(pstrXML);
    *ppstrError = L"Could not decode file";
    return nullptr;
  }
  pstrXML[cchText] = L'\0';
  *pcchText = static_cast<SIZE_T>(cchText);
  return pstrXML;
}

}  // namespace

bool CSkinMarkup::ParseBytes(const void* pBytes, DWORD dwSize, SkinTextEncoding encoding) {
  Clear();
  ResetError();
  SIZE_T cchText = 0;
  LPCWSTR pstrError = nullptr;
  LPWSTR pstrXML = DecodeSkinText(pBytes, dwSize, encoding, &cchText, &pstrError);
  if (pstrXML == nullptr) return Fail(pstrError);
  if (ParseOwnedBuffer(pstrXML, cchText)) return true;
  // The parse rewrote its text: where the failure is, is read in a second copy.
  if (m_iErrorOffset == kNoOffset) return false;
  if (LPWSTR pstrOriginal = DecodeSkinText(pBytes, dwSize, encoding, &cchText, &pstrError)) {
    LocateError(pstrOriginal);
    std::free(pstrOriginal);
  }
  return false;
}

bool CSkinMarkup::ParseSkinFile(LPCWSTR pstrName, SkinTextEncoding encoding, const SkinFileSource& source) {
  Clear();
  ResetError();
  if (pstrName == nullptr) pstrName = L"";
  ByteBlock block;
  DWORD dwSize = 0;

  if (source.pstrArchive == nullptr || source.pstrArchive[0] == L'\0') {
    CUIString sPath(source.pstrFolder);
    sPath += pstrName;
    ScopedFileHandle file(::CreateFileW(sPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return Fail(L"Error opening file");
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.Get(), &size)) return Fail(L"Could not read file");
    if (size.QuadPart == 0) return Fail(L"File is empty");
    if (size.QuadPart > kMaxSkinFileBytes) return Fail(L"File too large");
    dwSize = static_cast<DWORD>(size.QuadPart);
    block.pBytes = static_cast<BYTE*>(std::malloc(dwSize));
    if (block.pBytes == nullptr) return Fail(L"Could not read file");
    DWORD dwRead = 0;
    if (!::ReadFile(file.Get(), block.pBytes, dwSize, &dwRead, nullptr) || dwRead < dwSize) {
      return Fail(L"Could not read file");
    }
  } else {
    CSkinArchiveUse archive(source.pstrFolder, source.pstrArchive, source.bArchiveCached,
                            source.pOpenArchive);
    if (archive.Get() == nullptr) return Fail(L"Error opening zip file");
    SkinArchiveEntry entry;
    if (!archive.Get()->FindEntry(pstrName, &entry)) return Fail(L"Could not find ziped file");
    if (entry.ullSize == 0) return Fail(L"File is empty");
    if (entry.ullSize > kMaxSkinFileBytes) return Fail(L"File too large");
    dwSize = static_cast<DWORD>(entry.ullSize);
    block.pBytes = static_cast<BYTE*>(std::malloc(dwSize));
    if (block.pBytes == nullptr) return Fail(L"Could not unzip file");
    if (!archive.Get()->ExtractEntry(entry, block.pBytes, dwSize)) return Fail(L"Could not unzip file");
  }
  return ParseBytes(block.pBytes, dwSize, encoding);
}

bool CSkinMarkup::ParseSkinFile(LPCWSTR pstrName, SkinTextEncoding encoding) {
  const SkinFileSource source{CWindowHostUI::GetSkinFolder(), CWindowHostUI::GetSkinArchive(),
                              CWindowHostUI::IsSkinArchiveCached(), CWindowHostUI::GetResourceZipHandle()};
  return ParseSkinFile(pstrName, encoding, source);
}

bool CSkinMarkup::ParseSkinResource(HMODULE hModule, UINT uId, LPCWSTR pstrType) {
  Clear();
  ResetError();
  HRSRC hResource = ::FindResourceW(hModule, MAKEINTRESOURCEW(uId), pstrType);
  if (hResource == nullptr) return Fail(L"Could not find resource");
  HGLOBAL hLoaded = ::LoadResource(hModule, hResource);
  const DWORD dwSize = ::SizeofResource(hModule, hResource);
  const void* pBytes = hLoaded != nullptr ? ::LockResource(hLoaded) : nullptr;
  if (pBytes == nullptr) return Fail(L"Could not load resource");
  return ParseBytes(pBytes, dwSize, SkinTextEncoding::Utf8);
}

}  // namespace SkinUI
