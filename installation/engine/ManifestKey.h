#pragma once
// The public key the vendor signs version manifests with, compiled into the installer from
// the build's key file (tools/publish.py keygen makes the pair).

#include <array>
#include <cstdint>

namespace setup {

// A P-256 public key as its point: X then Y, 32 bytes each, big-endian. Empty: no key.
struct ManifestPublicKey {
  bool bPresent = false;
  std::array<uint8_t, 64> point = {};
};

// The key this build names; empty when it names none.
const ManifestPublicKey& CompiledManifestKey();

}  // namespace setup
