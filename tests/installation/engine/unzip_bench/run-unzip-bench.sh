#!/usr/bin/env bash
# Extraction throughput of two 200 MB packages (one large entry; thousands of small ones),
# side by side: CUnzipper (unzip_bench.exe, several copy buffer sizes) and minizip's own
# miniunz.exe under Wine, and Debian's native unzip. Run by hand, not by ctest:
#   tests/installation/engine/unzip_bench/run-unzip-bench.sh [repeats]
# QUILL_BENCH_BASELINE_EXE names an unzip_bench.exe of another build (an earlier commit) to
# time in the same rounds, with the 64 KiB buffer.
# Builds a Release tree of its own, starts and stops its own Wine session.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../../.." && pwd)
BUILD=${QUILL_BENCH_BUILD_DIR:-$TOP/build-unzip-bench}
REPEATS=${1:-3}
BUFFERS=${QUILL_BENCH_BUFFERS:-"20480 65536 262144 1048576"}
ARCHIVES=${QUILL_BENCH_ARCHIVES:-"large small"}
TOOLS=${QUILL_BENCH_TOOLS:-"unzip miniunz"}  # the reference tools to time

QUILL_BUILD_TYPE=Release bash "$TOP/scripts/configure.sh" "$BUILD"
cmake --build "$BUILD" --target unzip_bench -j2 >/dev/null
BENCH_EXE=$BUILD/tests/installation/engine/unzip_bench/unzip_bench.exe
MINIUNZ_EXE=$(sed -n 's/^QUILL_MINIUNZ_EXE:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
[ -n "$MINIUNZ_EXE" ] || MINIUNZ_EXE=$(ls /var/cache/quillmere-deps/x86_64-*/bin/miniunz.exe | head -n1)

WORK=$BUILD/unzip-bench-work
python3 "$HERE/make-bench-archives.py" "$WORK"

eval "$(bash "$TOP/scripts/wine-session.sh" start "$BUILD")"
trap 'bash "$TOP/scripts/wine-session.sh" stop "$BUILD"' EXIT
. "$TOP/scripts/wine-common.sh"
export WINEPREFIX=$QUILL_WINE_DIR/shared

OUT=$WORK/out
now() { date +%s.%N; }
# Wall time of one run in seconds, from an empty target folder; the output goes to run.log.
time_one() {
  rm -rf "$OUT"; mkdir -p "$OUT"
  local t0 t1
  t0=$(now)
  "$@" >"$WORK/run.log" 2>&1 </dev/null || { echo "failed: $*" >&2; cat "$WORK/run.log" >&2; exit 1; }
  t1=$(now)
  echo "$t1 - $t0" | bc -l
}
# How many times faster the second time is than the first; "-" without a first time.
ratio() { if [ "$1" = - ]; then echo -; else printf '%.2fx' "$(echo "$1 / $2" | bc -l)"; fi; }
winpath() { winepath -w "$1" 2>/dev/null; }

# What starting any program under Wine costs; it is inside every Wine figure below.
printf '%-34s %8.3f s\n' "wine start-up (usage only)" \
  "$(time_one sh -c 'wine "$1"; [ $? = 2 ]' _ "$BENCH_EXE")"

# The machine is shared, so the tools take turns within each round and each keeps its
# best time: a busy moment then hurts one round, not one tool.
for name in $ARCHIVES; do
  archive=$WORK/$name.zip
  warchive=$(winpath "$archive"); wout=$(winpath "$OUT")
  cat "$archive" >/dev/null  # into the page cache for everyone alike
  echo "== $name.zip ($(du -m "$archive" | cut -f1) MB packed, $REPEATS rounds, best of each)"
  labels=() commands=()
  if [[ " $TOOLS " == *" unzip "* ]]; then
    labels+=("native unzip"); commands+=("unzip -q -o $archive -d $OUT")
  fi
  if [[ " $TOOLS " == *" miniunz "* ]]; then
    labels+=("miniunz.exe (wine)")
    commands+=("sh -c 'cd \"\$1\" && wine \"\$2\" -x -o \"\$3\"' _ $OUT $MINIUNZ_EXE '$warchive'")
  fi
  if [ -n "${QUILL_BENCH_BASELINE_EXE:-}" ]; then
    labels+=("baseline unzip_bench 65536 (wine)")
    commands+=("wine $QUILL_BENCH_BASELINE_EXE '$warchive' '$wout' 65536")
  fi
  for buffer in $BUFFERS; do
    labels+=("unzip_bench buffer $buffer (wine)")
    commands+=("wine $BENCH_EXE '$warchive' '$wout' $buffer")
  done
  declare -A best=() inside=()
  for _ in $(seq "$REPEATS"); do
    for i in "${!commands[@]}"; do
      t=$(eval time_one "${commands[$i]}")
      if [ -z "${best[$i]:-}" ] || [ "$(echo "$t < ${best[$i]}" | bc -l)" = 1 ]; then
        best[$i]=$t
        inside[$i]=$(cat "$WORK/run.log")
      fi
    done
  done
  unzip_s=- miniunz_s=-
  for i in "${!commands[@]}"; do
    case ${labels[$i]} in
      "native unzip") unzip_s=${best[$i]} ;;
      miniunz*) miniunz_s=${best[$i]} ;;
    esac
  done
  for i in "${!commands[@]}"; do
    if [[ ${labels[$i]} == *unzip_bench* ]]; then
      printf '%-34s %8.3f s   speed %s of miniunz, %s of native unzip   (inside: %s)\n' \
        "${labels[$i]}" "${best[$i]}" "$(ratio "$miniunz_s" "${best[$i]}")" \
        "$(ratio "$unzip_s" "${best[$i]}")" "${inside[$i]}"
    else
      printf '%-34s %8.3f s\n' "${labels[$i]}" "${best[$i]}"
    fi
  done
  unset best inside
done
rm -rf "$OUT"
