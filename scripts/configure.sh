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
# They sign manifests with a key pair made in the build tree; QUILL_MANIFEST_PUBLIC_KEY names
# the vendor's public key instead (tests that sign then leave the signing out).
if [ -n "${QUILL_MANIFEST_PUBLIC_KEY:-}" ]; then
  KEY_OPTIONS=(-DQUILL_MANIFEST_PUBLIC_KEY="$QUILL_MANIFEST_PUBLIC_KEY" -DQUILL_MANIFEST_TEST_KEY=OFF)
else
  KEY_OPTIONS=(-DQUILL_MANIFEST_PUBLIC_KEY= -DQUILL_MANIFEST_TEST_KEY=ON)
fi
cmake -S "$TOP" -B "$BUILD" -G Ninja "${KEY_OPTIONS[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/toolchain-$ARCH-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=${QUILL_BUILD_TYPE:-Debug} \
  -DQUILL_DEPS_PREFIX="$PREFIX" -DQUILL_DOWNLOAD_HOST="$HOST" >/dev/null
