#!/usr/bin/env bash
# Time from the worker's start to the first byte of the package, with the build's manifest key
# (manifest, its signature and the check) and without one (the manifest only), interleaved
# over loopback against nginx behind the test front, a manifest published and signed with the
# vendor's tool. Run by hand, not by ctest:
#   tests/installation/engine/bench/run-first-byte-bench.sh [repeats]
# Builds a Release tree of its own (whose installer names a test key), starts and stops its
# own download server and Wine session, on 127.0.0.1:18480 (QUILL_DOWNLOAD_HOST names another).
# A third series runs without the key under Internet settings that name a proxy configuration
# script (served by the test server; it answers DIRECT), the cost of finding the proxy.
# QUILL_BENCH_BASELINE_EXE names the bench of another build (an earlier commit, built for
# the same host) to time in the same rounds, without the key and, when that build carries
# this build's key pair (copied into its manifest-keys folder before it was configured),
# with it.
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

printf 'function FindProxyForURL(url, host) { return "DIRECT"; }\n' >"$WWW/proxy.pac"
settings() {  # the user's Internet settings: DIRECT only, or a configuration script
  local flags=$1 script=${2:-}
  python3 - "$flags" "$script" <<'PY'
import struct, sys
flags, script = int(sys.argv[1]), sys.argv[2]
blob = struct.pack("<III", 0x46, 1, flags) + struct.pack("<I", 0) + struct.pack("<I", 0)
blob += struct.pack("<I", len(script)) + script.encode() + bytes(32)
print(blob.hex())
PY
}
set_settings() {
  wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
    /v DefaultConnectionSettings /t REG_BINARY /d "$1" /f >/dev/null 2>&1
}
NO_PROXY_SETTINGS=$(settings 1)
SCRIPT_SETTINGS=$(settings 5 "http://127.0.0.1:$((PORT + 1))/down/quillclient/CHS/proxy.pac")

run() {  # exe mode -> milliseconds
  local line t
  line=$(wine "$1" "$2" "$(winepath -w "$WORK/out.zip")" 2>/dev/null </dev/null)
  case $line in *result=0*) ;; *) echo "failed: $1 $2: $line" >&2; exit 1 ;; esac
  sed -n 's/.*ms_to_first_byte=\([0-9.-]*\).*/\1/p' <<<"$line"
}
key=() none=() script=() base=() base_key=()
ours() {
  key+=("$(run "$BENCH_EXE" --key)")
  none+=("$(run "$BENCH_EXE" --no-key)")
}
baseline() {
  [ -n "${QUILL_BENCH_BASELINE_EXE:-}" ] || return 0
  base_key+=("$(run "$QUILL_BENCH_BASELINE_EXE" --key)")
  base+=("$(run "$QUILL_BENCH_BASELINE_EXE" --no-key)")
}
for round in $(seq "$REPEATS"); do
  set_settings "$NO_PROXY_SETTINGS"
  # The first run after the settings change is the slowest of a round: the two builds take
  # turns at it.
  if [ $((round % 2)) = 1 ]; then ours; baseline; else baseline; ours; fi
  set_settings "$SCRIPT_SETTINGS"
  script+=("$(run "$BENCH_EXE" --no-key)")
done
set_settings "$NO_PROXY_SETTINGS"
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
printf 'worker start to first package byte, median of %d (ms):\n' "$REPEATS"
printf '  with key %s, without %s, without and a proxy script %s' "$(median "${key[@]}")" "$(median "${none[@]}")" \
  "$(median "${script[@]}")"
[ ${#base[@]} -gt 0 ] && printf '; the baseline build with key %s, without %s' "$(median "${base_key[@]}")" \
  "$(median "${base[@]}")"
printf '\nwith key:      %s\nwithout key:   %s\nproxy script:  %s\n' "${key[*]}" "${none[*]}" "${script[*]}"
[ ${#base[@]} -gt 0 ] && printf 'baseline, key: %s\nbaseline:      %s\n' "${base_key[*]}" "${base[*]}"
exit 0
