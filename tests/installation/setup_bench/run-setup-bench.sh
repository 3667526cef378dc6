#!/usr/bin/env bash
# The main setup window over a 200 MB package from nginx on loopback, Release build under Wine:
# the UI thread's share of the download's wall time, progress repaints per second, the peak
# working set and the time from process start to the first painted frame, side by side with
# the same worker reporting to a bare message window and to the main window while another thread
# floods it with progress figures; the transfer beside the curl tool built from the same
# libcurl; and the size of the stripped installer. Run by hand, not by ctest:
#   tests/installation/setup_bench/run-setup-bench.sh [repeats] [megabytes] [rate]
# The `empty` row is a plain window shown by the bench program, which has loaded everything the
# installer imports; the `plain` row is the same window from a program that imports only the
# windowing libraries: the platform's own floor for the first frame and the working set.
# Each run is made twice: as fast as loopback goes, and with nginx limiting the rate (default
# 20m: 20 MB/s, so that the UI thread's share is taken over seconds, not a blink).
# Builds a Release tree of its own and starts and stops its own server and Wine session.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../.." && pwd)
BUILD=${QUILL_BENCH_BUILD_DIR:-$TOP/build-setup-bench}
REPEATS=${1:-3}
MEGABYTES=${2:-200}
RATE=${3:-20m}
PORT=${QUILL_BENCH_PORT:-18380}

QUILL_BUILD_TYPE=Release QUILL_DOWNLOAD_HOST=http://127.0.0.1:$PORT bash "$TOP/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" --target installation bench_setup_window bench_plain_window quill_client_fixtures -j2 >/dev/null
BENCH=$BUILD/tests/installation/setup_bench/bench_setup_window.exe
PLAIN=$BUILD/tests/installation/setup_bench/bench_plain_window.exe
DEPS=$(sed -n 's/^QUILL_DEPS_PREFIX:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
WORK=$BUILD/setup-bench
rm -rf "$WORK"
mkdir -p "$WORK/www"

# The stand-in client package with incompressible filler up to the size asked for, made at
# run time and never kept in the tree.
python3 - "$BUILD/tests/fixtures/client/quillmere-2.0.1.5.zip" "$WORK/package.zip" "$MEGABYTES" <<'PY'
import os, sys, zipfile
source, target, megabytes = sys.argv[1], sys.argv[2], int(sys.argv[3])
with zipfile.ZipFile(target, "w") as out, zipfile.ZipFile(source) as original:
    for item in original.infolist():
        out.writestr(item, original.read(item.filename))
    filler = max(0, megabytes * 1000000 - os.path.getsize(source))
    with out.open(zipfile.ZipInfo("filler.bin"), "w", force_zip64=True) as entry:
        while filler > 0:
            entry.write(os.urandom(min(filler, 1 << 20)))
            filler -= 1 << 20
PY
# Signed with the bench build's key, as the vendor publishes.
python3 "$TOP/tools/publish.py" publish "$WORK/package.zip" --version 2.0.1.5 --key "$BUILD/manifest-keys/private.pem" \
  --out "$WORK/published" >/dev/null
rm -rf "$WORK/www" && mv "$WORK/published/down/quillclient/CHS" "$WORK/www" && rm -rf "$WORK/published"
rm -f "$WORK/package.zip"
eval "$(bash "$TOP/scripts/wine-session.sh" start "$BUILD")"
cleanup() {
  bash "$TOP/scripts/wine-session.sh" stop "$BUILD"
  bash "$TOP/scripts/serve-package.sh" stop "$WORK/server"
  rm -rf "$WORK/www" "$WORK"/out-*
}
trap cleanup EXIT
. "$TOP/scripts/wine-common.sh"
export WINEPREFIX=$QUILL_WINE_DIR/shared

row() { printf '%-24s %10s %10s %9s %8s %8s %9s %9s %10s %10s\n' "$@"; }
row program first_frame since_main download ui_cpu repaints repaint/s messages peak_ws_dl peak_ws_end
row "" ms ms s % "" "" "" MiB MiB
for i in $(seq "$REPEATS"); do
  for rate in 0 "$RATE"; do
    bash "$TOP/scripts/serve-package.sh" start "$WORK/server" "$PORT" "$WORK/www" "$rate"
    label=$([ "$rate" = 0 ] && echo "unlimited" || echo "$rate/s")
    # Interleaved, so that a change in the machine's load touches all alike.
    for mode in window flood bare empty plain; do
      [ "$mode" = empty ] || [ "$mode" = plain ] && [ "$rate" != 0 ] && continue
      [ "$mode" = flood ] && [ "$rate" = 0 ] && continue
      if [ "$mode" = plain ]; then
        read -r a b k <<<"$(wine "$PLAIN" 2>/dev/null </dev/null)"
        c=; d=; e=; f=; g=; h=
      else
        line=$(cd "$WORK" && wine "$BENCH" "--$mode" 2>/dev/null </dev/null)
        read -r a b c d e f g h k <<<"$line"
      fi
      [ "$mode" = empty ] && { c=; d=; e=; f=; g=; h=; }
      row "$mode $label ($i)" "$a" "$b" "$c" "$d" "$e" "$f" "$g" "$h" "$k"
    done
    t=$(wine "$DEPS/bin/curl.exe" -s -o "$(winepath -w "$WORK/out-curl.bin" 2>/dev/null)" -w '%{time_total}' \
        "http://127.0.0.1:$PORT/down/quillclient/CHS/quillmere.zip" 2>"$WORK/curl.err" </dev/null) || t="failed: $(tail -c 200 "$WORK/curl.err")"
    row "curl.exe $label ($i)" "" "" "$t"
    rm -f "$WORK/out-curl.bin"
  done
done

cp "$BUILD/installation/installation.exe" "$WORK/installation-stripped.exe"
x86_64-w64-mingw32-strip "$WORK/installation-stripped.exe"
printf 'installation.exe (Release): %s bytes, stripped: %s bytes\n' "$(stat -c %s "$BUILD/installation/installation.exe")" \
  "$(stat -c %s "$WORK/installation-stripped.exe")"
