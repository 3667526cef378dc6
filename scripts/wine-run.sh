#!/usr/bin/env bash
# ctest's emulator: runs one Windows program under Wine. With QUILL_WINE_ISOLATE=1 the
# program gets a fresh copy of the template prefix and a wineserver of its own, so tests
# that change the registry, ProgramData or installed packages cannot leak into others.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/wine-common.sh"
: "${QUILL_WINE_DIR:?run the tests through scripts/test.sh, or eval scripts/wine-session.sh start first}"

server_pid=
if [ "${QUILL_WINE_ISOLATE:-0}" = 1 ]; then
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d "$QUILL_WINE_DIR/iso.XXXXXX")
  wine_clone_prefix "$QUILL_WINE_DIR/template" "$WINEPREFIX"
  server_pid=$(wine_start_server "$WINEPREFIX")
  cleanup() { wine_stop_server "$WINEPREFIX" "$server_pid"; rm -rf "$WINEPREFIX"; }
else
  export WINEPREFIX=$QUILL_WINE_DIR/shared
  cleanup() { :; }
fi
child=
# A test that runs past its time limit is ended by ctest: take its Wine process with it.
trap '[ -n "$child" ] && kill "$child" 2>/dev/null; cleanup; exit 143' TERM INT

# Output goes through a file: any process Wine leaves running holds the file, not ctest's pipe.
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null &
child=$!
wait "$child"
rc=$?
cat "$out"
rm -f "$out"
cleanup
exit "$rc"
