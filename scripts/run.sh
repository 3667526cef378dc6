#!/usr/bin/env bash
# The main job: installs what is missing, builds everything and runs the installer under
# Wine on a virtual display.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/.." && pwd)
BUILD=${QUILL_BUILD_DIR:-$TOP/build}

bash "$HERE/build.sh" "$BUILD"

eval "$(bash "$HERE/wine-session.sh" start "$BUILD")"
trap 'bash "$HERE/wine-session.sh" stop "$BUILD"' EXIT
export WINEPREFIX=$QUILL_WINE_DIR/shared
mkdir -p "$BUILD/demo"
cd "$BUILD/demo"
set +e
wine "$BUILD/installation/installation.exe" </dev/null >"$BUILD/demo/wine.out" 2>&1
rc=$?
set -e
echo "installer exit code: $rc"
[ -f update.log ] && { echo "update.log:"; cat update.log; }
exit "$rc"
