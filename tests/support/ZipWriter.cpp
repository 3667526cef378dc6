#include "support/ZipWriter.h"

#include <windows.h>

#include "zip.h"
#include "zlib.h"
// iowin32.h relies on the declarations of zip.h (through ioapi.h).
#include "iowin32.h"

namespace testing_support {

bool WriteZipArchive(const std::wstring& path, const std::vector<ZipEntry>& entries) {
  zlib_filefunc64_def io{};
  fill_win32_filefunc64W(&io);
  zipFile zip = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &io);
  if (!zip) return false;
  bool ok = true;
  for (const ZipEntry& entry : entries) {
    zip_fileinfo info{};
    info.dosDate = entry.dosDateTime;
    const bool raw = entry.recordedSize.has_value();
    const int method = entry.deflated && !raw ? Z_DEFLATED : 0;
    const char* comment = entry.comment.empty() ? nullptr : entry.comment.c_str();
    ok = zipOpenNewFileInZip2(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, comment,
                              method, Z_DEFAULT_COMPRESSION, raw ? 1 : 0) == ZIP_OK;
    if (!ok) break;
    if (!entry.data.empty()) {
      ok = zipWriteInFileInZip(zip, entry.data.data(), static_cast<unsigned>(entry.data.size())) ==
           ZIP_OK;
    }
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(entry.data.data()),
                      static_cast<uInt>(entry.data.size()));
    int closed = raw ? zipCloseFileInZipRaw(zip, *entry.recordedSize, crc) : zipCloseFileInZip(zip);
    ok = ok && closed == ZIP_OK;
    if (!ok) break;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
  uint32_t date = static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  uint32_t time = static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
  return (date << 16) | time;
}

}  // namespace testing_support
