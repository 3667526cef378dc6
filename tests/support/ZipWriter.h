#pragma once
// Builds zip archives at test time, so that no archive is kept in the tree and damaged
// ones can be made to order.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// 2020-01-01 00:00:00 as a DOS date (high 16 bits) and time (low 16 bits).
inline constexpr uint32_t kDefaultDosDateTime = 0x50210000;

struct ZipEntry {
  std::string name;  // stored byte for byte, separators included
  std::string data;
  bool deflated = true;  // false: stored as is
  uint32_t dosDateTime = kDefaultDosDateTime;
  std::string comment;
  // When set, `data` goes into the archive as is and the entry records this size with the
  // CRC of `data`: a way to build an entry whose recorded size lies.
  std::optional<uint32_t> recordedSize;
};

// Writes the entries in order into a new archive; false when it cannot be written.
bool WriteZipArchive(const std::wstring& path, const std::vector<ZipEntry>& entries);

// DOS date and time from calendar values (year 1980 to 2107, two-second resolution).
uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace testing_support
