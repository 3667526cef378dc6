#include "Common/DiskSpace.h"

#include <windows.h>

#include <string>

#include "Common/LongPath.h"

namespace setup {

int64_t FreeBytesAt(const wchar_t* path) {
  if (!path || !*path) return -1;
  // The nearest existing folder is asked, which may lie deeper than MAX_PATH.
  std::wstring folder = LongPathName(path);
  if (folder.empty()) return -1;
  for (;;) {
    ULARGE_INTEGER available;
    // The quota-aware figure: what this account may write, not the whole volume's free space.
    if (GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) {
      return available.QuadPart > static_cast<ULONGLONG>(INT64_MAX) ? INT64_MAX
                                                                     : static_cast<int64_t>(available.QuadPart);
    }
    const size_t cut = folder.find_last_of(L'\\');
    if (cut == std::wstring::npos) return -1;
    std::wstring parent = folder.substr(0, cut);
    // "C:" alone would name the drive's current folder; its root is "C:\".
    if (!parent.empty() && parent.back() == L':') parent += L'\\';
    if (parent.size() <= 4 || parent.size() >= folder.size()) return -1;  // no further than "\\?\"
    folder.swap(parent);
  }
}

}  // namespace setup
