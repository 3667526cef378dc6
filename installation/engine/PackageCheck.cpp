#include "engine/PackageCheck.h"

#include <windows.h>

#include <cctype>
#include <cstdint>

#include "Common/PlainFile.h"
#include "Common/Sha256.h"
#include "Common/tool.h"

namespace setup {
namespace {

bool ParseByteCount(const std::string& text, int64_t& count) {
  const std::string digits = TrimmedText(text);
  if (digits.empty() || digits.size() > 18) return false;  // 18 digits always fit
  count = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    count = count * 10 + (c - '0');
  }
  return true;
}

bool ParseDigest(const std::string& text, std::string& digest) {
  digest = TrimmedText(text);
  if (digest.size() != kSha256HexChars) return false;
  for (char& c : digest) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return true;
}

}  // namespace

std::optional<int64_t> PublishedPackageSize(const std::optional<std::string>& publishedSize) {
  int64_t size = 0;
  if (!publishedSize || !ParseByteCount(*publishedSize, size)) return std::nullopt;
  return size;
}

bool VerifyPackage(const wchar_t* packagePath, const std::optional<std::string>& publishedSize,
                   const std::optional<std::string>& publishedSha256) {
  if (!publishedSize && !publishedSha256) return true;
  int64_t expectedSize = 0;
  std::string expectedDigest;
  if (publishedSize && !ParseByteCount(*publishedSize, expectedSize)) return false;
  if (publishedSha256 && !ParseDigest(*publishedSha256, expectedDigest)) return false;

  ScopedHandle file(OpenPlainFile(packagePath, PlainFileUse::kRead));
  if (!file.valid()) return false;
  std::string digest;
  int64_t size = 0;
  if (!Sha256OfFile(file.get(), digest, size)) return false;
  return (!publishedSize || size == expectedSize) && (!publishedSha256 || digest == expectedDigest);
}

}  // namespace setup
