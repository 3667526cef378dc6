#!/usr/bin/env bash
# Installs what is missing, builds the dependency cache, configures and builds everything.
#   scripts/build.sh [BUILD_DIR]        (default: $QUILL_BUILD_DIR or build)
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/.." && pwd)
BUILD=${1:-${QUILL_BUILD_DIR:-$TOP/build}}

bash "$HERE/configure.sh" "$BUILD"
cmake --build "$BUILD" -j"$(nproc)"
