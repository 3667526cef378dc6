#!/usr/bin/env bash
# Installs what is missing, builds the dependency cache and configures the build tree.
#   scripts/configure.sh [BUILD_DIR]        (default: build)
# QUILL_ARCH=i686 configures the 32-bit build instead (its compiler must be installed:
# g++-mingw-w64-i686-posix; nothing here can run its programs).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/.." && pwd)
BUILD=${1:-$TOP/build}

bash "$HERE/install-deps.sh"
ARCH=${QUILL_ARCH:-x86_64}
PREFIX=$(bash "$HERE/build-deps.sh" "$ARCH" | tail -n1)
# Tests and the demo talk to a download server on this machine's loopback.
HOST=${QUILL_DOWNLOAD_HOST:-http://127.0.0.1:18080}
cmake -S "$TOP" -B "$BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/toolchain-$ARCH-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=${QUILL_BUILD_TYPE:-Debug} \
  -DQUILL_DEPS_PREFIX="$PREFIX" -DQUILL_DOWNLOAD_HOST="$HOST" >/dev/null
