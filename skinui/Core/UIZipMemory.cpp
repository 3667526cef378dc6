#include "Core/UIZipMemory.h"

#include <cstring>
#include <new>

namespace SkinUI {

namespace {

struct ZipMemoryStream {
  const ZipMemoryBlock* pBlock;
  ZPOS64_T nPosition;
};

voidpf ZCALLBACK OpenMemory(voidpf opaque, const void* /*filename*/, int mode) {
  if (opaque == nullptr) return nullptr;
  // Read access only: the block is never written.
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  if ((mode & ZLIB_FILEFUNC_MODE_CREATE) != 0) return nullptr;
  return new (std::nothrow) ZipMemoryStream{static_cast<const ZipMemoryBlock*>(opaque), 0};
}

uLong ZCALLBACK ReadMemory(voidpf /*opaque*/, voidpf stream, void* buf, uLong size) {
  ZipMemoryStream* pStream = static_cast<ZipMemoryStream*>(stream);
  const ZPOS64_T nLeft = pStream->pBlock->nSize - pStream->nPosition;
  const uLong nRead = nLeft < size ? static_cast<uLong>(nLeft) : size;
  if (nRead > 0) std::memcpy(buf, pStream->pBlock->pData + pStream->nPosition, nRead);
  pStream->nPosition += nRead;
  return nRead;
}

uLong ZCALLBACK WriteMemory(voidpf /*opaque*/, voidpf /*stream*/, const void* /*buf*/, uLong /*size*/) {
  return 0;
}

ZPOS64_T ZCALLBACK TellMemory(voidpf /*opaque*/, voidpf stream) {
  return static_cast<ZipMemoryStream*>(stream)->nPosition;
}

long ZCALLBACK SeekMemory(voidpf /*opaque*/, voidpf stream, ZPOS64_T offset, int origin) {
  ZipMemoryStream* pStream = static_cast<ZipMemoryStream*>(stream);
  const ZPOS64_T nSize = pStream->pBlock->nSize;
  ZPOS64_T nBase = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: nBase = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: nBase = pStream->nPosition; break;
    case ZLIB_FILEFUNC_SEEK_END: nBase = nSize; break;
    default: return -1;
  }
  // Positions past the end (or wrapping around) would make later reads address foreign memory.
  if (offset > nSize - nBase) return -1;
  pStream->nPosition = nBase + offset;
  return 0;
}

int ZCALLBACK CloseMemory(voidpf /*opaque*/, voidpf stream) {
  delete static_cast<ZipMemoryStream*>(stream);
  return 0;
}

int ZCALLBACK ErrorMemory(voidpf /*opaque*/, voidpf /*stream*/) { return 0; }

}  // namespace

void FillZipMemoryFunctions(zlib_filefunc64_def* pFunctions, ZipMemoryBlock* pBlock) {
  pFunctions->zopen64_file = OpenMemory;
  pFunctions->zread_file = ReadMemory;
  pFunctions->zwrite_file = WriteMemory;
  pFunctions->ztell64_file = TellMemory;
  pFunctions->zseek64_file = SeekMemory;
  pFunctions->zclose_file = CloseMemory;
  pFunctions->zerror_file = ErrorMemory;
  pFunctions->opaque = pBlock;
}

}  // namespace SkinUI
