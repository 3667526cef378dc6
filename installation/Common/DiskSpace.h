#pragma once
// Room left on a disk, for checks made before a large write.

#include <cstdint>

namespace setup {

// Bytes the calling account may still write on the volume that holds `path`; a path that
// does not exist yet is judged by the nearest folder above it that does. -1 when the
// platform cannot tell.
int64_t FreeBytesAt(const wchar_t* path);

}  // namespace setup
