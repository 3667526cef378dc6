#include "engine/ManifestKey.h"

#include <algorithm>

namespace setup {
namespace {
#include "ManifestKeyPoint.inc"
}  // namespace

const ManifestPublicKey& CompiledManifestKey() {
  static const ManifestPublicKey key = [] {
    ManifestPublicKey compiled;
    compiled.bPresent = kManifestKeyPresent;
    if (kManifestKeyPresent) std::copy(std::begin(kManifestKeyPoint), std::end(kManifestKeyPoint), compiled.point.begin());
    return compiled;
  }();
  return key;
}

}  // namespace setup
