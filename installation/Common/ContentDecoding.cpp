#include "Common/ContentDecoding.h"

#include <zlib.h>

namespace setup {
namespace {

// zlib's window bits: 15 + 32 reads a gzip or a zlib stream, -15 a raw deflate stream.
constexpr int kGzipOrZlib = 15 + 32;
constexpr int kRawDeflate = -15;

bool Inflate(const std::string& body, int windowBits, size_t limit, std::string& decoded) {
  decoded.clear();
  z_stream stream = {};
  if (inflateInit2(&stream, windowBits) != Z_OK) return false;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
  stream.avail_in = static_cast<uInt>(body.size());
  char buffer[16384];
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    const size_t produced = sizeof buffer - stream.avail_out;
    if (decoded.size() + produced > limit) status = Z_MEM_ERROR;
    else decoded.append(buffer, produced);
    // Input used up before the stream's end: the body was cut short.
    if (status == Z_OK && stream.avail_in == 0 && produced == 0) status = Z_BUF_ERROR;
  }
  inflateEnd(&stream);
  return status == Z_STREAM_END;
}

}  // namespace

bool DecodeContent(const std::string& encoding, const std::string& body, size_t limit, std::string& decoded) {
  if (encoding.empty() || encoding == "identity") {
    if (body.size() > limit) return false;
    decoded = body;
    return true;
  }
  if (encoding == "gzip" || encoding == "x-gzip") return Inflate(body, kGzipOrZlib, limit, decoded);
  // "deflate" is meant as a zlib stream; some servers send the raw deflate data instead.
  if (encoding == "deflate") return Inflate(body, kGzipOrZlib, limit, decoded) || Inflate(body, kRawDeflate, limit, decoded);
  return false;
}

}  // namespace setup
