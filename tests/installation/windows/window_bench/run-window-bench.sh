#!/usr/bin/env bash
# Time from Create of the 620 x 240 main skin to the end of its first paint, with the shares
# of archive reading, parsing, building and painting, in a Release build under Wine. Run by
# hand, not by ctest:
#   tests/installation/windows/window_bench/run-window-bench.sh [windows]
# Builds a Release tree of its own, starts and stops its own Wine session.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../../.." && pwd)
BUILD=${QUILL_BENCH_BUILD_DIR:-$TOP/build-window-bench}

QUILL_BUILD_TYPE=Release bash "$TOP/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" --target bench_skinned_window -j2 >/dev/null

eval "$(bash "$TOP/scripts/wine-session.sh" start "$BUILD")"
trap 'bash "$TOP/scripts/wine-session.sh" stop "$BUILD"' EXIT
. "$TOP/scripts/wine-common.sh"
export WINEPREFIX=$QUILL_WINE_DIR/shared
wine "$BUILD/tests/installation/windows/window_bench/bench_skinned_window.exe" "$@"
