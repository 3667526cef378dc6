#pragma once
// SHA-256 digests, as lower-case hexadecimal text, through the platform's cryptographic
// provider.

#include <windows.h>

#include <cstdint>
#include <string>

namespace setup {

inline constexpr size_t kSha256HexChars = 64;

// The digest of the bytes; empty when the platform cannot compute one.
std::string Sha256Hex(const std::string& bytes);

// The digest of everything from the file's current position to its end, and the number of
// bytes read; false when the file cannot be read or the platform cannot compute a digest.
// Each part read is also written to `copyTo` when one is given (false when a write fails),
// so a copy and its digest come from one read.
bool Sha256OfFile(HANDLE file, std::string& hex, int64_t& size, HANDLE copyTo = INVALID_HANDLE_VALUE);

}  // namespace setup
