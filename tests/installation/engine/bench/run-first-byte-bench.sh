#!/usr/bin/env bash
# Time from the worker's start to the first byte of the package, with the build's manifest key
# (manifest, its signature and the check) and without one (the manifest only), interleaved
# over loopback against nginx behind the test front, a manifest published and signed with the
# vendor's tool. Run by hand, not by ctest:
#   tests/installation/engine/bench/run-first-byte-bench.sh [repeats]
# Builds a Release tree of its own (whose installer names a test key), starts and stops its
# own download server and Wine session, on 127.0.0.1:18480 (QUILL_DOWNLOAD_HOST names another).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../../.." && pwd)
BUILD=${QUILL_BENCH_BUILD_DIR:-$TOP/build-first-byte-bench}
REPEATS=${1:-20}

QUILL_DOWNLOAD_HOST=${QUILL_DOWNLOAD_HOST:-http://127.0.0.1:18480} QUILL_BUILD_TYPE=Release bash "$TOP/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" --target first_byte_bench -j2 >/dev/null
BENCH_EXE=$BUILD/tests/installation/engine/bench/first_byte_bench.exe
HOST=$(sed -n 's/^QUILL_DOWNLOAD_HOST:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
PORT=${HOST##*:}

WORK=$BUILD/first-byte-bench
STATE=$WORK/server
WWW=$STATE/www
mkdir -p "$WORK"
head -c 4M /dev/urandom >"$WORK/payload.bin"
python3 - "$WORK" <<'PY'
import sys, zipfile
work = sys.argv[1]
with zipfile.ZipFile(work + "/release.zip", "w") as out:
    out.writestr("vcredist_x86.exe", b"MZ runtime")
    out.writestr("Quillmere.msi", b"client package")
    out.write(work + "/payload.bin", "payload.bin")
PY
bash "$TOP/tests/fixtures/server/start.sh" "$STATE" "$WWW" "$PORT" $((PORT + 2)) $((PORT + 1)) $((PORT + 3)) >/dev/null
eval "$(bash "$TOP/scripts/wine-session.sh" start "$BUILD")"
cleanup() {
  bash "$TOP/scripts/wine-session.sh" stop "$BUILD"
  bash "$TOP/tests/fixtures/server/stop.sh" "$STATE"
}
trap cleanup EXIT
python3 "$TOP/tools/publish.py" publish "$WORK/release.zip" --version 2.0.1.5 --key "$BUILD/manifest-keys/private.pem" \
  --out "$WORK/published" >/dev/null
cp "$WORK/published/down/quillclient/CHS/"* "$WWW/"
. "$TOP/scripts/wine-common.sh"
export WINEPREFIX=$QUILL_WINE_DIR/shared
cd "$WORK"

key=() none=()
for _ in $(seq "$REPEATS"); do
  for mode in --key --no-key; do
    line=$(wine "$BENCH_EXE" "$mode" "$(winepath -w "$WORK/out.zip")" 2>/dev/null </dev/null)
    t=$(sed -n 's/.*ms_to_first_byte=\([0-9.-]*\).*/\1/p' <<<"$line")
    case $line in *result=0*) ;; *) echo "failed: $mode: $line" >&2; exit 1 ;; esac
    if [ "$mode" = --key ]; then key+=("$t"); else none+=("$t"); fi
  done
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
printf 'worker start to first package byte, median of %d (ms): with key %s, without %s\n' "$REPEATS" \
  "$(median "${key[@]}")" "$(median "${none[@]}")"
printf 'with key:    %s\nwithout key: %s\n' "${key[*]}" "${none[*]}"
