#!/usr/bin/env bash
# Installs what is missing, builds the dependency cache and configures the build tree.
#   scripts/configure.sh [BUILD_DIR]        (default: build)
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/.." && pwd)
BUILD=${1:-$TOP/build}

bash "$HERE/install-deps.sh"
PREFIX=$(bash "$HERE/build-deps.sh" x86_64 | tail -n1)
# Tests and the demo talk to a download server on this machine's loopback.
HOST=${QUILL_DOWNLOAD_HOST:-http://127.0.0.1:18080}
cmake -S "$TOP" -B "$BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/toolchain-x86_64-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=${QUILL_BUILD_TYPE:-Debug} \
  -DQUILL_DEPS_PREFIX="$PREFIX" -DQUILL_DOWNLOAD_HOST="$HOST" >/dev/null
