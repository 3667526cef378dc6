#include "PngFile.h"

#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void PutBigEndian(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* pstrKind, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const std::string body = std::string(pstrKind, 4) + data;
  out += body;
  PutBigEndian(out, static_cast<uint32_t>(
                        ::crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// The surface holds premultiplied 0xAARRGGBB.
void PutPixel(std::string& row, DWORD dwPixel, bool bAlpha) {
  const unsigned a = dwPixel >> 24;
  unsigned r = (dwPixel >> 16) & 0xFF;
  unsigned g = (dwPixel >> 8) & 0xFF;
  unsigned b = dwPixel & 0xFF;
  if (bAlpha && a != 0 && a != 0xFF) {
    r = (r * 255 + a / 2) / a;
    g = (g * 255 + a / 2) / a;
    b = (b * 255 + a / 2) / a;
  }
  row += static_cast<char>(r > 255 ? 255 : r);
  row += static_cast<char>(g > 255 ? 255 : g);
  row += static_cast<char>(b > 255 ? 255 : b);
  if (bAlpha) row += static_cast<char>(a);
}

}  // namespace

bool WritePng(const SkinUI::DibSurface& picture, const std::wstring& path) {
  const int cx = picture.Width();
  const int cy = picture.Height();
  if (cx <= 0 || cy <= 0) return false;
  bool bAlpha = false;
  for (int y = 0; y < cy && !bAlpha; ++y) {
    const DWORD* pRow = picture.Row(y);
    for (int x = 0; x < cx; ++x) bAlpha = bAlpha || (pRow[x] >> 24) != 0xFF;
  }
  std::string rows;
  rows.reserve(static_cast<size_t>(cy) * (1 + static_cast<size_t>(cx) * 4));
  for (int y = 0; y < cy; ++y) {
    rows += '\0';  // no filter
    const DWORD* pRow = picture.Row(y);
    for (int x = 0; x < cx; ++x) PutPixel(rows, pRow[x], bAlpha);
  }
  uLongf cbPacked = ::compressBound(static_cast<uLong>(rows.size()));
  std::vector<Bytef> packed(cbPacked);
  if (::compress2(packed.data(), &cbPacked, reinterpret_cast<const Bytef*>(rows.data()),
                  static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) != Z_OK) {
    return false;
  }
  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(cx));
  PutBigEndian(header, static_cast<uint32_t>(cy));
  header += static_cast<char>(8);               // bits per channel
  header += static_cast<char>(bAlpha ? 6 : 2);  // RGBA or RGB
  header += std::string(3, '\0');               // deflate, no filter choice, no interlace
  std::string file("\x89PNG\r\n\x1a\n", 8);
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", std::string(reinterpret_cast<const char*>(packed.data()), cbPacked));
  PutChunk(file, "IEND", std::string());

  FILE* pFile = _wfopen(path.c_str(), L"wb");
  if (pFile == nullptr) return false;
  const bool bWritten = std::fwrite(file.data(), 1, file.size(), pFile) == file.size();
  return std::fclose(pFile) == 0 && bWritten;
}
