#!/usr/bin/env bash
# Starts or stops the Wine environment that the tests and the demo run in:
#   wine-session.sh start BUILD_DIR   prints shell assignments to eval (DISPLAY and more)
#   wine-session.sh stop  BUILD_DIR   ends everything that start began, by process id
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/wine-common.sh"

cmd=$1
BUILD=$(cd "$2" && pwd)
DIR=$BUILD/wine
STATE=$DIR/session.state
mkdir -p "$DIR"

case "$cmd" in
start)
  [ -f "$STATE" ] && "$0" stop "$BUILD" >/dev/null 2>&1 || true
  wine_make_template "$DIR/template"
  wine_make_cjk_template "$DIR/template" "$DIR/template-cjk"
  read -r display xvfb_pid < <(xvfb_start)
  wine_clone_prefix "$DIR/template" "$DIR/shared"
  export DISPLAY=$display
  server_pid=$(wine_start_server "$DIR/shared")
  cat >"$STATE" <<STATE
XVFB_PID=$xvfb_pid
SERVER_PID=$server_pid
STATE
  echo "export DISPLAY=$display QUILL_WINE_DIR=$DIR"
  ;;
stop)
  if [ -f "$STATE" ]; then
    . "$STATE"
    wine_stop_server "$DIR/shared" "${SERVER_PID:-}"
    # Isolated prefixes left behind by a killed test.
    for p in "$DIR"/iso.*; do [ -d "$p" ] && { wine_stop_server "$p"; rm -rf "$p"; }; done
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -f "$STATE"
  fi
  ;;
*) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
