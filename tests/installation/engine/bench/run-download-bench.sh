#!/usr/bin/env bash
# Package transfer throughput over loopback from nginx: DownloadPackage with the progress
# hand-off (package_download_bench.exe under Wine) side by side with the curl tool built
# from the same libcurl for the same target (curl.exe under Wine) and Debian's native curl.
# Run by hand, not by ctest:
#   tests/installation/engine/bench/run-download-bench.sh [repeats] [megabytes]
# Builds a Release tree of its own, starts and stops its own download server and Wine session.
# QUILL_BENCH_BASELINE_EXE names the package_download_bench.exe of another build (an earlier
# commit) to time in the same rounds.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../../.." && pwd)
BUILD=${QUILL_BENCH_BUILD_DIR:-$TOP/build-fetch-bench}
REPEATS=${1:-5}
MEGABYTES=${2:-200}
PORT=${QUILL_BENCH_PORT:-18280}  # front; nginx itself listens on PORT+1

QUILL_BUILD_TYPE=Release bash "$TOP/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" --target package_download_bench -j2 >/dev/null
BENCH_EXE=$BUILD/tests/installation/engine/bench/package_download_bench.exe
DEPS=$(sed -n 's/^QUILL_DEPS_PREFIX:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
CURL_EXE=$DEPS/bin/curl.exe

WORK=$BUILD/download-bench
STATE=$WORK/server
WWW=$STATE/www
bash "$TOP/tests/fixtures/server/start.sh" "$STATE" "$WWW" "$PORT" $((PORT + 2)) $((PORT + 1)) $((PORT + 3)) >/dev/null
eval "$(bash "$TOP/scripts/wine-session.sh" start "$BUILD")"
cleanup() {
  bash "$TOP/scripts/wine-session.sh" stop "$BUILD"
  bash "$TOP/tests/fixtures/server/stop.sh" "$STATE"
  rm -f "$WORK"/out-* "$WWW/quillmere.zip" "$WWW/slow-line.bin"
}
trap cleanup EXIT
. "$TOP/scripts/wine-common.sh"
export WINEPREFIX=$QUILL_WINE_DIR/shared
# The programs write their setup log into the current folder: the bench's own, not the tree.
cd "$WORK"

# Generated at run time, never kept in the tree.
head -c "${MEGABYTES}M" /dev/urandom >"$WWW/quillmere.zip"
SIZE=$(stat -c %s "$WWW/quillmere.zip")
URL=http://127.0.0.1:$((PORT + 1))/down/quillclient/CHS/quillmere.zip
winpath() { winepath -w "$1" 2>/dev/null; }
check() {
  [ "$(stat -c %s "$1")" = "$SIZE" ] && cmp -s "$1" "$WWW/quillmere.zip" || { echo "wrong bytes in $1" >&2; exit 1; }
}

best_bench= best_base= best_curl= best_native= rates=
better() { [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; }
ours() {
  line=$(wine "$BENCH_EXE" "$URL" "$(winpath "$WORK/out-bench.bin")" 2>/dev/null </dev/null)
  check "$WORK/out-bench.bin"
  t=$(sed -n 's/.* seconds=\([0-9.]*\) .*/\1/p' <<<"$line")
  rates="$rates $(sed -n 's/.* messages_per_second=\([0-9.]*\) .*/\1/p' <<<"$line")"
  better "$best_bench" "$t" && best_bench=$t
  echo "run $i: $line" >&2
}
baseline() {
  [ -n "${QUILL_BENCH_BASELINE_EXE:-}" ] || return 0
  local base_line
  base_line=$(wine "$QUILL_BENCH_BASELINE_EXE" "$URL" "$(winpath "$WORK/out-base.bin")" 2>/dev/null </dev/null)
  check "$WORK/out-base.bin"
  t=$(sed -n 's/.* seconds=\([0-9.]*\) .*/\1/p' <<<"$base_line")
  better "$best_base" "$t" && best_base=$t
  echo "run $i, baseline: $base_line" >&2
}
for i in $(seq "$REPEATS"); do
  # Interleaved, so a change in the machine's load touches all alike; the two builds take
  # turns at going first.
  if [ $((i % 2)) = 1 ]; then ours; baseline; else baseline; ours; fi

  t=$(wine "$CURL_EXE" -s -o "$(winpath "$WORK/out-curl.bin")" -w '%{time_total}' "$URL" 2>/dev/null </dev/null)
  check "$WORK/out-curl.bin"
  better "$best_curl" "$t" && best_curl=$t

  t=$(curl -s -o "$WORK/out-native.bin" -w '%{time_total}' "$URL")
  check "$WORK/out-native.bin"
  better "$best_native" "$t" && best_native=$t
done

# Progress traffic on a slow line: nginx's rate-limited server (1 MB/s) and a 4 MB file.
head -c 4M /dev/urandom >"$WWW/slow-line.bin"
slow=$(wine "$BENCH_EXE" "http://127.0.0.1:$((PORT + 3))/down/quillclient/CHS/slow-line.bin" \
  "$(winpath "$WORK/out-slow.bin")" 2>/dev/null </dev/null)
echo "slow line: $slow" >&2

mbps() { echo "scale=1; $SIZE / $1 / 1000000" | bc -l; }
printf '%s MB over loopback from nginx, best of %s runs (transfer time inside each program)\n' "$MEGABYTES" "$REPEATS"
printf '%-40s %8.3f s %8s MB/s\n' "DownloadPackage (Wine)" "$best_bench" "$(mbps "$best_bench")"
[ -n "$best_base" ] && printf '%-40s %8.3f s %8s MB/s\n' "DownloadPackage, baseline build (Wine)" "$best_base" \
  "$(mbps "$best_base")"
printf '%-40s %8.3f s %8s MB/s\n' "curl.exe, same libcurl (Wine)" "$best_curl" "$(mbps "$best_curl")"
printf '%-40s %8.3f s %8s MB/s\n' "curl, Debian native" "$best_native" "$(mbps "$best_native")"
printf 'throughput ratio DownloadPackage / curl.exe: %s\n' "$(echo "scale=3; $best_curl / $best_bench" | bc -l)"
printf 'throughput ratio DownloadPackage / native curl: %s\n' "$(echo "scale=3; $best_native / $best_bench" | bc -l)"
printf 'progress messages posted per second, each run:%s\n' "$rates"
printf 'progress messages posted per second at 1 MB/s: %s\n' "$(sed -n 's/.* messages_per_second=\([0-9.]*\) .*/\1/p' <<<"$slow")"
