#include "Common/Sha256.h"

#include <wincrypt.h>

#include <vector>

namespace setup {
namespace {

// One digest in progress; provider and hash object are released when it goes.
class Digest {
 public:
  Digest() {
    if (CryptAcquireContextW(&m_hProvider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
      CryptCreateHash(m_hProvider, CALG_SHA_256, 0, 0, &m_hHash);
  }
  ~Digest() {
    if (m_hHash) CryptDestroyHash(m_hHash);
    if (m_hProvider) CryptReleaseContext(m_hProvider, 0);
  }
  Digest(const Digest&) = delete;
  Digest& operator=(const Digest&) = delete;

  bool Add(const void* data, DWORD bytes) {
    return m_hHash && CryptHashData(m_hHash, static_cast<const BYTE*>(data), bytes, 0);
  }

  std::string Hex() {
    BYTE value[32];
    DWORD length = sizeof value;
    if (!m_hHash || !CryptGetHashParam(m_hHash, HP_HASHVAL, value, &length, 0) || length != sizeof value)
      return std::string();
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (BYTE b : value) {
      hex += kDigits[b >> 4];
      hex += kDigits[b & 0xF];
    }
    return hex;
  }

 private:
  HCRYPTPROV m_hProvider = 0;
  HCRYPTHASH m_hHash = 0;
};

}  // namespace

std::string Sha256Hex(const std::string& bytes) {
  Digest digest;
  // The hashing call takes at most 4 GiB at a time; configurations are far smaller.
  if (bytes.size() > MAXDWORD || !digest.Add(bytes.data(), static_cast<DWORD>(bytes.size()))) return std::string();
  return digest.Hex();
}

bool Sha256OfFile(HANDLE file, std::string& hex, int64_t& size, HANDLE copyTo) {
  hex.clear();
  size = 0;
  Digest digest;
  // Larger reads hash no faster, and the buffer would add to the process's peak working set.
  std::vector<char> buffer(64 << 10);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) break;
    if (!digest.Add(buffer.data(), got)) return false;
    DWORD written = 0;
    if (copyTo != INVALID_HANDLE_VALUE && (!WriteFile(copyTo, buffer.data(), got, &written, nullptr) || written != got))
      return false;
    size += got;
  }
  hex = digest.Hex();
  return !hex.empty();
}

}  // namespace setup
