#!/usr/bin/env bash
# How fast tools/report.py reads access logs: a generated nginx log and the same as gzip, side by
# side with reading the same bytes with cat (the floor set by the disk and the page cache).
# Run by hand, not by ctest:
#   tests/tools/bench/run-report-bench.sh [repeats] [lines]
# Each figure is the best of the repeats, in MB of log text per second (gzip: of the text
# inside), with the CPU time the report took.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../.." && pwd)
REPEATS=${1:-3}
LINES=${2:-1000000}
PYTHON=/usr/bin/python3
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

"$PYTHON" "$TOP/tests/tools/reportlog.py" --lines "$LINES" >"$WORK/access.log"
gzip -1 -c "$WORK/access.log" >"$WORK/access.log.gz"
SIZE=$(stat -c %s "$WORK/access.log")
echo "log: $LINES lines, $((SIZE / 1000000)) MB ($(( $(stat -c %s "$WORK/access.log.gz") / 1000000 )) MB as gzip)"

best() {  # the best wall and CPU seconds of REPEATS runs of a command
  local best_wall=999999 best_cpu=999999
  for _ in $(seq "$REPEATS"); do
    /usr/bin/time -o "$WORK/time" -f '%e %U %S' "$@" >/dev/null 2>&1
    best_wall=$(awk -v b="$best_wall" '{ print ($1 < b) ? $1 : b }' "$WORK/time")
    best_cpu=$(awk -v b="$best_cpu" '{ c = $2 + $3; print (c < b) ? c : b }' "$WORK/time")
  done
  awk -v s="$SIZE" -v w="$best_wall" -v c="$best_cpu" \
    'BEGIN { printf "%8.1f MB/s  (%.2f s wall, %.2f s CPU: %.1f MB per CPU second)\n", s / 1e6 / w, w, c, s / 1e6 / c }'
}

printf '%-22s' "cat:"; best cat "$WORK/access.log"
printf '%-22s' "report.py, plain:"; best "$PYTHON" "$TOP/tools/report.py" "$WORK/access.log"
printf '%-22s' "report.py, gzip:"; best "$PYTHON" "$TOP/tools/report.py" "$WORK/access.log.gz"
printf '%-22s' "report.py --json:"; best "$PYTHON" "$TOP/tools/report.py" --json "$WORK/access.log"
