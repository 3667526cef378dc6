#!/usr/bin/env bash
# The main job: installs what is missing, builds everything (the installer and the stand-in
# client package the tests use: runtime installer, client MSI, package zip), publishes the
# package from nginx on loopback at the download host compiled into the installer, and runs
# the installer under Wine on a clean machine (a fresh prefix): on your display when DISPLAY
# is set, otherwise on a virtual one. Screenshots of the windows it passes through land in
# BUILD/demo/screenshots; at the end it tells what happened.
#   scripts/run.sh [--upgrade]
#   --upgrade         the machine already has client 2.0.1.4 installed and running, with
#                     settings of its user's own: the installer asks with its uninstall prompt
#                     whether to replace it. On your display you answer; on a virtual one the
#                     demo presses "确认" itself once the prompt's screenshot is taken.
#   QUILL_DEMO_RATE   nginx's rate limit for the package (default 300k, so the download can
#                     be watched; 0 for none)
set -euo pipefail
upgrade=
case "${1:-}" in
  --upgrade) upgrade=1 ;;
  "") ;;
  *) echo "usage: $0 [--upgrade]" >&2; exit 2 ;;
esac
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/.." && pwd)
BUILD=${QUILL_BUILD_DIR:-$TOP/build}

bash "$HERE/build.sh" "$BUILD"
BUILD=$(cd "$BUILD" && pwd)
. "$HERE/wine-common.sh"

HOST=$(sed -n 's/^QUILL_DOWNLOAD_HOST:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
if [[ ! $HOST =~ ^http://(127\.0\.0\.1|localhost):([0-9]+)$ ]]; then
  echo "the installer was built for $HOST; the demo serves the package on loopback only" >&2
  echo "(configure with QUILL_DOWNLOAD_HOST=http://127.0.0.1:PORT)" >&2
  exit 1
fi
PORT=${BASH_REMATCH[2]}
VERSION=2.0.1.5
DEMO=$BUILD/demo
SHOTS=$DEMO/screenshots
rm -rf "$DEMO"
mkdir -p "$SHOTS"

# Published the vendor's way: the publishing tool checks the package and signs the manifest
# with the build's key (made in the build tree; its public half is compiled into the installer).
KEY=$BUILD/manifest-keys/private.pem
[ -f "$KEY" ] || { echo "the build names no test key to sign with ($KEY); configure with scripts/configure.sh" >&2; exit 1; }
python3 "$TOP/tools/publish.py" publish "$BUILD/tests/fixtures/client/quillmere-$VERSION.zip" \
  --version "$VERSION" --key "$KEY" --out "$DEMO/published" >/dev/null
WWW=$DEMO/published/down/quillclient/CHS
xvfb_pid= server_pid=
finish() {
  [ -n "${WINEPREFIX:-}" ] && wine_stop_server "$WINEPREFIX" "$server_pid"
  bash "$HERE/serve-package.sh" stop "$DEMO/server"
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}
trap finish EXIT
bash "$HERE/serve-package.sh" start "$DEMO/server" "$PORT" "$WWW" "${QUILL_DEMO_RATE:-300k}"

answers_itself=
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "running on your display $DISPLAY"
else
  read -r DISPLAY xvfb_pid < <(xvfb_start)
  export DISPLAY
  answers_itself=1
  echo "no display: running on a virtual one ($DISPLAY)"
fi
wine_make_cjk_template "$BUILD/wine/template" "$BUILD/wine/template-cjk"
export WINEPREFIX=$DEMO/prefix
wine_clone_prefix "$BUILD/wine/template-cjk" "$WINEPREFIX"
server_pid=$(wine_start_server "$WINEPREFIX")

# What an earlier installation leaves: the client installed by its own package, its user's
# settings in its configuration (which an upgrade keeps), and the client running.
if [ -n "$upgrade" ]; then
  echo "installing client 2.0.1.4 and starting it"
  wine msiexec /i "$(winepath -w "$BUILD/tests/fixtures/client/Quillmere-2.0.1.4.msi")" /qn >"$DEMO/wine.out" 2>&1
  printf '%s' '<config><account>demo-user</account></config>' \
    >"$WINEPREFIX/drive_c/Program Files/Quillmere/Config/config.xml"
  wine 'C:\Program Files\Quillmere\Quillmere.exe' </dev/null >>"$DEMO/wine.out" 2>&1 &
  for _ in $(seq 100); do
    compgen -G "$WINEPREFIX/drive_c/ProgramData/QuillmereStandIn/client-*.txt" >/dev/null && break
    sleep 0.2
  done
fi

# The windows are found by their titles, the ones their skins show: the main window's is
# "引导安装程序", the message box's and the uninstall prompt's "提示"; the prompt is the one of its size.
shoot() { import -window "$1" "$SHOTS/$2.png" 2>/dev/null && echo "  screenshot: $SHOTS/$2.png"; }
visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
window_size() { xdotool getwindowgeometry "$1" 2>/dev/null | sed -n 's/^ *Geometry: //p'; }
PROMPT_SIZE=556x199
CONFIRM_BUTTON="380 174"  # "确认" in the prompt's own coordinates

echo "running installation.exe (download host $HOST)"
cd "$DEMO"
wine "$BUILD/installation/installation.exe" </dev/null >>"$DEMO/wine.out" 2>&1 &
installer=$!
main_seen= box_seen= prompt_seen= main_since=
while kill -0 "$installer" 2>/dev/null; do
  if [ -z "$main_seen" ] && main=$(visible_window "引导安装程序") && [ -n "$main" ]; then
    [ -z "$main_since" ] && main_since=$(date +%s%N)
    # A moment into the download, so that the bar has moved.
    if [ $(( $(date +%s%N) - main_since )) -gt 1200000000 ]; then
      shoot "$main" main_window_download && main_seen=1
    fi
  fi
  if [ -z "$box_seen" ] && box=$(visible_window "提示") && [ -n "$box" ]; then
    sleep 0.3
    if [ "$(window_size "$box")" != "$PROMPT_SIZE" ]; then
      shoot "$box" message_box && box_seen=1
    elif [ -z "$prompt_seen" ]; then
      shoot "$box" uninstall_prompt && prompt_seen=1
      if [ -n "$answers_itself" ]; then
        echo "  answering the prompt with 确认"
        xdotool mousemove --window "$box" $CONFIRM_BUTTON click 1
      else
        echo "  the installer waits for your answer in its uninstall prompt"
      fi
    fi
  fi
  sleep 0.1
done
set +e
wait "$installer"
rc=$?
set -e

echo
echo "installer exit code: $rc"
if [ -f "$DEMO/server/access.log" ]; then
  echo "downloads (status, bytes, seconds, address, range):"
  sed 's/^/  /' "$DEMO/server/access.log"
fi
installed=
for view in 64 32; do
  installed=$(wine reg query 'HKLM\SOFTWARE\Quillmere\Quillmere' /v version /reg:$view 2>/dev/null |
              tr -d '\r' | awk '$1 == "version" { print $3 }')
  [ -n "$installed" ] && break
done
echo "installed client version: ${installed:-none}"
program_data=$WINEPREFIX/drive_c/ProgramData
# The client starts on its own after the installer has handed it over; give it a moment.
# A client that ran before the installer left its own record already.
if [ -n "$installed" ]; then
  for _ in $(seq 100); do
    grep -qs "^version=$installed" "$program_data"/QuillmereStandIn/client-*.txt && break
    sleep 0.2
  done
fi
started=0
for record in "$program_data"/QuillmereStandIn/client-*.txt; do
  [ -f "$record" ] || continue
  started=1
  echo "client started: $(tr -d '\r' <"$record" | grep -E '^(version|module|user|showflag|show|config)=' | tr '\n' ' ')"
done
[ "$started" = 1 ] || echo "client started: no"
if [ -d "$program_data/Quillmere" ]; then echo "data folder: still there"; else echo "data folder: removed"; fi
# The transfer library's own trace (its "*", "<" and ">" lines) stays in the file.
LOG="$WINEPREFIX/drive_c/ProgramData/Quillmere Logs/update.log"
[ -f "$LOG" ] && {
  echo "update.log (without the transfer library's trace; all of it in $LOG):"
  grep -Ev 'Msg:info: [*<>{}] ' "$LOG" | sed 's/^/  /'
}
echo "screenshots: $SHOTS"
exit "$rc"
