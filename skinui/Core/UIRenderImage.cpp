// Skin images: finding an image's bytes wherever the skin keeps them (resource module, skin archive,
// skin folder, or a plain path).

#include <algorithm>
#include <vector>

#include "Core/UIManager.h"
#include "Core/UIRender.h"
#include "Core/UISkinArchive.h"

namespace SkinUI {

namespace {

typedef std::vector<BYTE> ByteVector;

bool ReadResourceBytes(HMODULE hModule, LPCWSTR pstrName, LPCWSTR pstrType, ByteVector& bytes) {
  HRSRC hResource = ::FindResourceW(hModule, pstrName, pstrType);
  if (hResource == nullptr) return false;
  HGLOBAL hGlobal = ::LoadResource(hModule, hResource);
  const DWORD dwSize = ::SizeofResource(hModule, hResource);
  const void* pData = hGlobal != nullptr ? ::LockResource(hGlobal) : nullptr;
  if (pData == nullptr || dwSize == 0) return false;
  const BYTE* pBegin = static_cast<const BYTE*>(pData);
  bytes.assign(pBegin, pBegin + dwSize);
  return true;
}

bool ReadWholeFile(LPCWSTR pstrPath, ByteVector& bytes) {
  HANDLE hFile = ::CreateFileW(pstrPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size = {};
  bool bRead = false;
  // Images are decoded from one block in memory; anything past 2 GiB is not an image we draw.
  if (::GetFileSizeEx(hFile, &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD dwRead = 0;
    bRead = ::ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwRead, nullptr) &&
            dwRead == bytes.size();
  }
  ::CloseHandle(hFile);
  return bRead;
}

bool ReadArchiveEntry(LPCWSTR pstrName, ByteVector& bytes) {
  const CSkinArchiveUse archive(CWindowHostUI::GetSkinFolder(), CWindowHostUI::GetSkinArchive(),
                                CWindowHostUI::IsSkinArchiveCached(),
                                CWindowHostUI::GetResourceZipHandle());
  SkinArchiveEntry entry;
  if (archive.Get() == nullptr || !archive.Get()->FindEntry(pstrName, &entry) ||
      entry.ullSize == 0 || entry.ullSize >= 0x7FFFFFFF) {
    return false;
  }
  bytes.resize(static_cast<size_t>(entry.ullSize));
  return archive.Get()->ExtractEntry(entry, bytes.data(), entry.ullSize);
}

// The bytes of an image from the resource module (with a type), else from the skin archive when
// one is set, else from the skin folder; a name that none of them has is tried as a path.
bool ReadImageBytes(LPCWSTR pstrName, LPCWSTR pstrType, ByteVector& bytes) {
  const bool bNumericId = IS_INTRESOURCE(pstrName);
  bool bRead = false;
  if (pstrType != nullptr) {
    bRead = ReadResourceBytes(CWindowHostUI::GetResourceInstance(), pstrName, pstrType, bytes);
  } else if (!bNumericId) {
    if (CWindowHostUI::GetSkinArchive().IsEmpty()) {
      CUIString sPath = CWindowHostUI::GetSkinFolder();
      sPath += pstrName;
      bRead = ReadWholeFile(sPath, bytes);
    } else {
      bRead = ReadArchiveEntry(pstrName, bytes);
    }
  }
  if (!bRead && !bNumericId) bRead = ReadWholeFile(pstrName, bytes);
  return bRead;
}

}  // namespace

BYTE* CSkinRenderer::ReadSkinFileBytes(LPCWSTR pstrName, LPCWSTR pstrType, DWORD* pdwSize) {
  *pdwSize = 0;
  ByteVector bytes;
  if (pstrName == nullptr || !ReadImageBytes(pstrName, pstrType, bytes) || bytes.empty()) {
    return nullptr;
  }
  BYTE* pBlock = new BYTE[bytes.size()];
  std::copy(bytes.begin(), bytes.end(), pBlock);
  *pdwSize = static_cast<DWORD>(bytes.size());
  return pBlock;
}

LoadedImage* CSkinRenderer::LoadSkinImage(LPCWSTR pstrName, LPCWSTR pstrType, DWORD dwMask) {
  if (pstrName == nullptr) return nullptr;
  ByteVector bytes;
  if (!ReadImageBytes(pstrName, pstrType, bytes)) return nullptr;
  return DecodeSkinImage(bytes.data(), static_cast<DWORD>(bytes.size()), dwMask);
}

}  // namespace SkinUI
