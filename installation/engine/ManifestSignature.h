#pragma once
// The check of a version manifest's detached signature, with the platform's own
// cryptography: ECDSA on the P-256 curve over the SHA-256 of the manifest's exact bytes.

#include <string>

#include "engine/ManifestKey.h"

namespace setup {

// The signature as the publishing tool writes it: r then s, 32 bytes each, big-endian.
inline constexpr size_t kManifestSignatureBytes = 64;

// Whether `signature` signs `manifest` under `key`. False for a key that is empty, a
// signature of another length, and whenever the platform cannot tell.
bool VerifyManifestSignature(const std::string& manifest, const std::string& signature, const ManifestPublicKey& key);

}  // namespace setup
