#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
#   scripts/test.sh [ctest arguments...]
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/.." && pwd)
BUILD=${QUILL_BUILD_DIR:-$TOP/build}

bash "$HERE/build.sh" "$BUILD"

eval "$(bash "$HERE/wine-session.sh" start "$BUILD")"
trap 'bash "$HERE/wine-session.sh" stop "$BUILD"' EXIT
cd "$BUILD"
ctest --output-on-failure -j"$(nproc)" "$@"
