#!/usr/bin/env bash
# What the package check (size and SHA-256 against the manifest) costs under Wine, side by
# side with reading the same package without a digest (package_check_bench.exe). Run by
# hand, not by ctest:
#   tests/installation/bench/run-package-check-bench.sh [repeats] [megabytes]
# Builds its target in the build tree (QUILL_BUILD_DIR, default build) and runs it in a Wine
# session of its own.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../../.." && pwd)
BUILD=${QUILL_BUILD_DIR:-$TOP/build}
REPEATS=${1:-5}
MEGABYTES=${2:-200}

bash "$TOP/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" --target package_check_bench -j2 >/dev/null
WORK=$BUILD/package-check-bench
mkdir -p "$WORK"
eval "$(bash "$TOP/scripts/wine-session.sh" start "$BUILD")"
trap 'bash "$TOP/scripts/wine-session.sh" stop "$BUILD"; rm -f "$WORK/package.zip"' EXIT
. "$TOP/scripts/wine-common.sh"
export WINEPREFIX=$QUILL_WINE_DIR/shared

# Generated at run time, never kept in the tree.
head -c "${MEGABYTES}M" /dev/urandom >"$WORK/package.zip"
SIZE=$(stat -c %s "$WORK/package.zip")
DIGEST=$(sha256sum "$WORK/package.zip" | cut -d' ' -f1)
wine "$BUILD/tests/installation/engine/bench/package_check_bench.exe" "$(winepath -w "$WORK/package.zip" 2>/dev/null)" \
  "$SIZE" "$DIGEST" "$REPEATS" 2>/dev/null </dev/null
