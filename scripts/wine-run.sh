#!/usr/bin/env bash
# ctest's emulator: runs one Windows program under Wine. With QUILL_WINE_ISOLATE=1 the
# program gets a fresh copy of the template prefix and a wineserver of its own, so tests
# that change the registry, ProgramData or installed packages cannot leak into others.
# QUILL_TEST_ATTEMPTS=N (isolated programs only) runs a failed program again in a new
# prefix, up to N runs in all; every failed run's output is printed in full.
# QUILL_WINE_OWN_DISPLAY=1 (isolated programs only) also gives the program an Xvfb display of
# its own, for programs that send real input. QUILL_WINE_TEMPLATE names the template an isolated
# prefix is copied from (default "template"; "template-cjk" has the Chinese font fallback).
# QUILL_WINE_DPI=N (isolated programs only) gives the prefix's screen N dots per inch before the
# program starts: the LogPixels value Wine reads for the system's DPI.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/wine-common.sh"
: "${QUILL_WINE_DIR:?run the tests through scripts/test.sh, or eval scripts/wine-session.sh start first}"

isolate=${QUILL_WINE_ISOLATE:-0}
attempts=${QUILL_TEST_ATTEMPTS:-1}
[ "$isolate" = 1 ] || attempts=1

server_pid=
xvfb_pid=
child=
prepare() {
  if [ "$isolate" = 1 ]; then
    export WINEPREFIX
    WINEPREFIX=$(mktemp -d "$QUILL_WINE_DIR/iso.XXXXXX")
    wine_clone_prefix "$QUILL_WINE_DIR/${QUILL_WINE_TEMPLATE:-template}" "$WINEPREFIX"
    if [ "${QUILL_WINE_OWN_DISPLAY:-0}" = 1 ]; then
      read -r DISPLAY xvfb_pid < <(xvfb_start)
      export DISPLAY
    fi
    server_pid=$(wine_start_server "$WINEPREFIX")
    if [ -n "${QUILL_WINE_DPI:-}" ]; then
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$QUILL_WINE_DPI" /f \
        >/dev/null 2>&1 </dev/null
    fi
  else
    export WINEPREFIX=$QUILL_WINE_DIR/shared
  fi
}
cleanup() {
  if [ "$isolate" = 1 ] && [ -n "${WINEPREFIX:-}" ]; then
    wine_stop_server "$WINEPREFIX" "$server_pid"
    rm -rf "$WINEPREFIX"
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  fi
}
# A test that runs past its time limit is ended by ctest: take its Wine process with it.
trap '[ -n "$child" ] && kill "$child" 2>/dev/null; cleanup; exit 143' TERM INT

rc=1
for attempt in $(seq "$attempts"); do
  prepare
  # Output goes through a file: a process Wine leaves running holds the file, not ctest's pipe.
  out=$(mktemp)
  wine "$@" >"$out" 2>&1 </dev/null &
  child=$!
  wait "$child"
  rc=$?
  child=
  cat "$out"
  # Wine can end a crashed program (a stack overflow, for one) with exit code 0; a test
  # program that started its tests must also have printed their summary.
  if [ "$rc" = 0 ] && grep -q '^\[==========\] Running' "$out" \
     && ! grep -q '^\[==========\] .* ran\.' "$out"; then
    echo "[wine-run] the program ended before its test summary (it crashed or exited early)"
    rc=1
  fi
  rm -f "$out"
  cleanup
  [ "$rc" = 0 ] && break
  [ "$attempt" -lt "$attempts" ] && echo "[wine-run] run $attempt of $attempts failed (exit $rc); running again in a fresh prefix"
done
exit "$rc"
