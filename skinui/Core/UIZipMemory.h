#pragma once
// A read-only file view of a memory block for the zip reader, so that an archive held in memory
// (a module resource copied out, a downloaded buffer) can be read without touching the disk.

#include <windows.h>

#include "ioapi.h"

namespace SkinUI {

struct ZipMemoryBlock {
  const BYTE* pData;
  ZPOS64_T nSize;
};

// Fills pFunctions so that every file the zip reader opens through them reads pBlock. The block
// descriptor and the bytes it names must outlive every archive opened this way.
void FillZipMemoryFunctions(zlib_filefunc64_def* pFunctions, ZipMemoryBlock* pBlock);

}  // namespace SkinUI
