#!/usr/bin/env bash
# Builds the third-party libraries for the Windows target from Debian's source packages:
# libcurl (HTTP/HTTPS over Schannel; proxies with Basic, NTLM and Negotiate through the
# system's security packages; nothing else optional), TinyXML without the C++ streams,
# minizip from zlib's contrib tree, and GoogleTest from /usr/src/googletest. The libraries the
# installer links are built for size, each function and datum in a section of its own, so the
# linker leaves out whatever the installer never reaches. Results land in a cache outside the source
# tree, keyed by the source package versions, the compiler and this script, so a second run
# only prints the prefix.
#
#   scripts/build-deps.sh [x86_64|i686]     prints the install prefix on its last line
set -euo pipefail

ARCH=${1:-x86_64}
TRIPLE=${ARCH}-w64-mingw32
HERE=$(cd "$(dirname "$0")" && pwd)
TOP=$(cd "$HERE/.." && pwd)
TOOLCHAIN=$TOP/cmake/toolchain-${TRIPLE}.cmake
CACHE_ROOT=${QUILL_DEPS_CACHE:-/var/cache/quillmere-deps}
SOURCES=(curl tinyxml zlib)
JOBS=$(nproc)

log() { echo "[deps] $*" >&2; }

# Candidate versions of each source package, newest first. A mirror may lack the newest
# one (security pool), so fetching walks down the list.
candidates() {
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/{print $2}' | sort -Vru
}

key_material() {
  for p in "${SOURCES[@]}"; do echo "$p $(candidates "$p" | tr '\n' ' ')"; done
  dpkg-query -W -f='${Version}\n' googletest libz-mingw-w64-dev 2>/dev/null || true
  "${TRIPLE}-g++-posix" --version | head -n1
  cat "$0" "$TOOLCHAIN" "$TOP/cmake/toolchain-mingw-common.cmake"
}

KEY=$(key_material | sha256sum | cut -c1-16)
PREFIX=$CACHE_ROOT/$TRIPLE-$KEY
if [ -f "$PREFIX/.complete" ]; then
  log "reusing $PREFIX"
  echo "$PREFIX"
  exit 0
fi

for p in "${SOURCES[@]}"; do
  [ -n "$(candidates "$p")" ] || { log "no source package for $p: is there a deb-src entry? run scripts/install-deps.sh"; exit 1; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quill-deps.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
rm -rf "$PREFIX"
mkdir -p "$PREFIX"/{include,lib,bin}

fetch() {
  local pkg=$1 ver
  for ver in $(candidates "$pkg"); do
    if (cd "$WORK" && apt-get source -q --download-only -o APT::Sandbox::User=root "$pkg=$ver" >"$WORK/fetch-$pkg.log" 2>&1); then
      local dsc
      dsc=$(ls "$WORK"/${pkg}_*.dsc | head -n1)
      (cd "$WORK" && dpkg-source --no-check -x "$dsc" "$WORK/src-$pkg" >/dev/null)
      log "$pkg $ver unpacked"
      return 0
    fi
    rm -f "$WORK"/${pkg}_*
    log "$pkg $ver not fetchable, trying an older version"
  done
  log "could not fetch $pkg"; cat "$WORK/fetch-$pkg.log" >&2
  return 1
}

for p in "${SOURCES[@]}"; do fetch "$p"; done

CC=${TRIPLE}-gcc-posix
CXX=${TRIPLE}-g++-posix
AR=${TRIPLE}-ar
CFLAGS_COMMON="-Os -g0 -ffunction-sections -fdata-sections"

# --- libcurl --------------------------------------------------------------------------
log "building libcurl"
cmake -S "$WORK/src-curl" -B "$WORK/build-curl" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" \
  -DCMAKE_C_FLAGS="-ffunction-sections -fdata-sections" -DCMAKE_C_FLAGS_RELEASE="-Os -DNDEBUG" \
  -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=ON -DBUILD_TESTING=OFF \
  -DCURL_STATICLIB=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
  -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF \
  -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_USE_GSSAPI=OFF -DENABLE_UNIX_SOCKETS=OFF \
  -DHTTP_ONLY=ON -DCURL_DISABLE_LDAP=ON -DENABLE_MANUAL=OFF \
  -DCURL_WINDOWS_SSPI=ON -DCURL_DISABLE_COOKIES=ON -DCURL_DISABLE_MIME=ON -DCURL_DISABLE_NETRC=ON \
  -DCURL_DISABLE_ALTSVC=ON -DCURL_DISABLE_HSTS=ON -DCURL_DISABLE_DOH=ON -DCURL_DISABLE_GETOPTIONS=ON \
  -DCMAKE_EXE_LINKER_FLAGS="-static" >"$WORK/curl-configure.log" 2>&1 \
  || { cat "$WORK/curl-configure.log" >&2; exit 1; }
cmake --build "$WORK/build-curl" -j"$JOBS" >"$WORK/curl-build.log" 2>&1 || { tail -50 "$WORK/curl-build.log" >&2; exit 1; }
cmake --install "$WORK/build-curl" >/dev/null

# --- TinyXML, on its own string class: the Debian patches make it always use the C++ standard
# library, whose streams would bring the whole locale machinery into the installer. -------
log "building tinyxml"
patch -R -s -d "$WORK/src-tinyxml" -p1 <"$WORK/src-tinyxml/debian/patches/enforce-use-stl.patch"
mkdir -p "$WORK/build-tinyxml"
for f in tinyxml tinystr tinyxmlerror tinyxmlparser; do
  $CXX $CFLAGS_COMMON -c "$WORK/src-tinyxml/$f.cpp" -o "$WORK/build-tinyxml/$f.o"
done
$AR rcs "$PREFIX/lib/libtinyxml.a" "$WORK"/build-tinyxml/*.o
cp "$WORK/src-tinyxml/tinyxml.h" "$WORK/src-tinyxml/tinystr.h" "$PREFIX/include/"

# --- minizip from zlib's contrib tree, with its Win32 file layer, and miniunz ----------
log "building minizip"
MZ=$WORK/src-zlib/contrib/minizip
mkdir -p "$WORK/build-minizip" "$PREFIX/include/minizip"
for f in ioapi unzip zip iowin32 mztools; do
  $CC $CFLAGS_COMMON -DNOCRYPT=0 -c "$MZ/$f.c" -o "$WORK/build-minizip/$f.o"
done
$AR rcs "$PREFIX/lib/libminizip.a" "$WORK"/build-minizip/*.o
cp "$MZ"/{ioapi,unzip,zip,iowin32,mztools,crypt}.h "$PREFIX/include/minizip/"
$CC $CFLAGS_COMMON -static -o "$PREFIX/bin/miniunz.exe" "$MZ/miniunz.c" "$PREFIX/lib/libminizip.a" -lz

# --- GoogleTest ------------------------------------------------------------------------
log "building googletest"
cmake -S /usr/src/googletest -B "$WORK/build-gtest" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=ON \
  >"$WORK/gtest-configure.log" 2>&1 || { cat "$WORK/gtest-configure.log" >&2; exit 1; }
cmake --build "$WORK/build-gtest" -j"$JOBS" >"$WORK/gtest-build.log" 2>&1 || { tail -50 "$WORK/gtest-build.log" >&2; exit 1; }
cmake --install "$WORK/build-gtest" >/dev/null

touch "$PREFIX/.complete"
log "dependencies ready in $PREFIX"
echo "$PREFIX"
