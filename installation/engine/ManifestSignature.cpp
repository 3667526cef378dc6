#include "engine/ManifestSignature.h"

#include <windows.h>

#include <bcrypt.h>

#include <cstring>
#include <vector>

namespace setup {
namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

class Algorithm {
 public:
  explicit Algorithm(const wchar_t* name) {
    if (!Succeeded(BCryptOpenAlgorithmProvider(&m_handle, name, nullptr, 0))) m_handle = nullptr;
  }
  ~Algorithm() {
    if (m_handle) BCryptCloseAlgorithmProvider(m_handle, 0);
  }
  Algorithm(const Algorithm&) = delete;
  Algorithm& operator=(const Algorithm&) = delete;
  BCRYPT_ALG_HANDLE get() const { return m_handle; }

 private:
  BCRYPT_ALG_HANDLE m_handle = nullptr;
};

class Key {
 public:
  Key() = default;
  ~Key() {
    if (m_handle) BCryptDestroyKey(m_handle);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  BCRYPT_KEY_HANDLE* receive() { return &m_handle; }
  BCRYPT_KEY_HANDLE get() const { return m_handle; }

 private:
  BCRYPT_KEY_HANDLE m_handle = nullptr;
};

// Hashed with the library the signature check needs anyway: the package's digest provider
// (Common/Sha256.h) loaded this early would stay in memory through the whole download.
bool Sha256(const std::string& data, unsigned char (&digest)[32]) {
  Algorithm sha(BCRYPT_SHA256_ALGORITHM);
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!sha.get() || !Succeeded(BCryptCreateHash(sha.get(), &hash, nullptr, 0, nullptr, 0, 0))) return false;
  const bool done =
      Succeeded(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                               static_cast<ULONG>(data.size()), 0)) &&
      Succeeded(BCryptFinishHash(hash, digest, sizeof digest, 0));
  BCryptDestroyHash(hash);
  return done;
}

}  // namespace

bool VerifyManifestSignature(const std::string& manifest, const std::string& signature, const ManifestPublicKey& key) {
  if (!key.bPresent || signature.size() != kManifestSignatureBytes) return false;
  unsigned char digest[32];
  if (!Sha256(manifest, digest)) return false;

  Algorithm ecdsa(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!ecdsa.get()) return false;
  std::vector<unsigned char> blob(sizeof(BCRYPT_ECCKEY_BLOB) + key.point.size());
  BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob.data(), &header, sizeof header);
  std::memcpy(blob.data() + sizeof header, key.point.data(), key.point.size());
  Key imported;
  if (!Succeeded(BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, imported.receive(), blob.data(),
                                     static_cast<ULONG>(blob.size()), 0)))
    return false;
  std::vector<unsigned char> bytes(signature.begin(), signature.end());
  return BCryptVerifySignature(imported.get(), nullptr, digest, sizeof digest, bytes.data(),
                               static_cast<ULONG>(bytes.size()), 0) == 0;
}

}  // namespace setup
