#!/usr/bin/env bash
# The whole quiet upgrade of an installed client 2.0.1.4 whose Windows Installer package is
# 50 MB to 2.0.1.5, and the time the run takes to keep that package as its way back, side by
# side with the tree at BEFORE_REF in one run, interleaved round by round. Release builds under
# Wine with real msiexec, nginx on loopback. Run by hand, not by ctest:
#   tests/installation/upgrade_bench/run-upgrade-bench.sh [rounds] [before-ref] [megabytes]
# Both trees are built with one key pair of the bench's own, so one published release serves
# both; the tree at BEFORE_REF is exported with git archive, not checked out.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/../../.." && pwd)
ROUNDS=${1:-3}
REF=${2:-2c26e5e}
MEGABYTES=${3:-50}
PORT=${QUILL_BENCH_PORT:-18480}
BENCH=${QUILL_BENCH_BUILD_DIR:-$TOP/build-upgrade-bench}
mkdir -p "$BENCH"
BENCH=$(cd "$BENCH" && pwd)

[ -f "$BENCH/keys/private.pem" ] || python3 "$TOP/tools/publish.py" keygen --out "$BENCH/keys" >/dev/null
export QUILL_MANIFEST_PUBLIC_KEY=$BENCH/keys/public.pem QUILL_BUILD_TYPE=Release
export QUILL_DOWNLOAD_HOST=http://127.0.0.1:$PORT
rm -rf "$BENCH/before-src"
mkdir -p "$BENCH/before-src"
git -C "$TOP" archive "$REF" | tar -x -C "$BENCH/before-src"
for side in before after; do
  source=$([ "$side" = before ] && echo "$BENCH/before-src" || echo "$TOP")
  bash "$source/scripts/configure.sh" "$BENCH/$side" >/dev/null
  cmake --build "$BENCH/$side" --target installation quill_client_fixtures -j2 >/dev/null
done
FIXTURES=$BENCH/after/tests/fixtures/client
WORK=$BENCH/work
rm -rf "$WORK"
mkdir -p "$WORK/www"

# The installed client's package: the stand-in 2.0.1.4 with incompressible bytes after its
# program, so its package (and the copy Windows Installer keeps) is as large as asked.
cp "$FIXTURES/client-2.0.1.4/Quillmere.exe" "$WORK/Quillmere.exe"
head -c $((MEGABYTES * 1000000)) /dev/urandom >>"$WORK/Quillmere.exe"
bash "$TOP/tests/fixtures/client/build_msi.sh" "$TOP/tests/fixtures/client/client.wxs" "$WORK/old.msi" \
  6F0B6C1A-2D4E-4B8F-9C3A-1E5D7F9B2C41 2.0.1.4 "$WORK/Quillmere.exe" "$FIXTURES/client-2.0.1.4/config.xml" \
  InstallPath x64
python3 "$TOP/tools/publish.py" publish "$FIXTURES/quillmere-2.0.1.5.zip" --version 2.0.1.5 \
  --key "$BENCH/keys/private.pem" --out "$WORK/published" >/dev/null
mv "$WORK/published/down/quillclient/CHS"/* "$WORK/www/"

eval "$(bash "$TOP/scripts/wine-session.sh" start "$BENCH/after")"
cleanup() {
  bash "$TOP/scripts/wine-session.sh" stop "$BENCH/after"
  bash "$TOP/scripts/serve-package.sh" stop "$WORK/server"
}
trap cleanup EXIT
. "$TOP/scripts/wine-common.sh"
bash "$TOP/scripts/serve-package.sh" start "$WORK/server" "$PORT" "$WORK/www"

printf '%-14s %6s %12s %12s\n' build exit upgrade_s keep_ms
for i in $(seq "$ROUNDS"); do
  for side in before after; do
    prefix=$QUILL_WINE_DIR/iso.upgrade-bench
    wine_clone_prefix "$QUILL_WINE_DIR/template" "$prefix"
    export WINEPREFIX=$prefix
    server=$(wine_start_server "$prefix")
    wine msiexec /i "$(winepath -w "$WORK/old.msi" 2>/dev/null)" /qn </dev/null >/dev/null 2>&1
    began=$(date +%s.%N)
    code=0
    wine "$BENCH/$side/installation/installation.exe" /quiet </dev/null >/dev/null 2>&1 || code=$?
    ended=$(date +%s.%N)
    keep=$(sed -n 's/.*way back kept: .* in \([0-9]*\) ms.*/\1/p' "$prefix/drive_c/ProgramData/Quillmere Logs/update.log")
    printf '%-14s %6s %12.2f %12s\n' "$side ($i)" "$code" "$(awk "BEGIN { print $ended - $began }")" "${keep:--}"
    wine_stop_server "$prefix" "$server"
    rm -rf "$prefix"
  done
done
