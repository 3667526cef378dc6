#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need, and makes the
# source packages reachable for the dependency build. Safe to run again: it only
# installs what is missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build make pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  libz-mingw-w64-dev libstb-dev googletest
  wine wine64 xvfb xauth x11-utils xdotool imagemagick fonts-wqy-microhei
  wixl msitools python3 python3-cryptography python3-numpy python3-matplotlib nginx-light curl unzip zip
  p7zip-full libarchive-tools locales squid openssl faketime
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Installing takes root: as root (a fresh machine has no sudo) directly, otherwise through sudo
# where there is one.
as_root() {
  if [ "$(id -u)" = 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "installing ${missing[*]:-source lists} needs root: run this as root" >&2
    exit 1
  fi
}

# The dependency build fetches source packages; that needs deb-src lines for the same suites.
add_deb_src() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ] && ! grep -q '^Types:.*deb-src' "$f"; then
    as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
    return 0
  fi
  if [ -f /etc/apt/sources.list ] && ! grep -q '^deb-src' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | as_root tee -a /etc/apt/sources.list >/dev/null
    return 0
  fi
  return 1
}

need_update=0
add_deb_src && need_update=1
[ ${#missing[@]} -gt 0 ] && need_update=1
if ! ls /var/lib/apt/lists/*Sources* >/dev/null 2>&1; then need_update=1; fi

if [ "$need_update" = 1 ]; then
  as_root apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The extraction tests run on a Chinese desktop's code page and build packages the way zip
# tools do in a Chinese locale: both locales must exist.
wanted_locales=("zh_CN.UTF-8 UTF-8" "zh_CN.GBK GBK")
missing_locales=()
for l in "${wanted_locales[@]}"; do
  name=${l%% *}
  locale -a 2>/dev/null | grep -qix "$(echo "$name" | sed 's/UTF-8/utf8/; s/GBK/gbk/')" || missing_locales+=("$l")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  for l in "${missing_locales[@]}"; do
    grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" | as_root tee -a /etc/locale.gen >/dev/null
  done
  as_root locale-gen >/dev/null
fi
