#pragma once
// Bodies that a server sent compressed (Content-Encoding), decoded to what they stand for.

#include <cstddef>
#include <string>

namespace setup {

// Decodes `body` sent with the content coding `encoding` ("gzip", "x-gzip", "deflate",
// or empty/"identity" for none; lower case). False when the coding is unknown, the data is
// damaged or cut short, or the result would exceed `limit` bytes.
bool DecodeContent(const std::string& encoding, const std::string& body, size_t limit, std::string& decoded);

}  // namespace setup
