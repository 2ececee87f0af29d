#!/usr/bin/env bash
# Installs what the build, the run and the tests need, from Debian's packages.
# Idempotent and quiet: when everything is present it prints nothing and touches nothing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  googletest libgtest-dev libbenchmark-dev
  libjpeg62-turbo-dev libjpeg-turbo-progs imagemagick fonts-dejavu-core
  wine wine32:i386 xvfb x11-utils xdotool
  dpkg-dev python3 python3-pil
  clang libclang-rt-14-dev clang-tidy cppcheck hyperfine
  e2fsprogs
)

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

# Source packages (libjpeg-turbo is built from source for the Windows target).
src_list=/etc/apt/sources.list.d/start-deb-src.sources
if [ ! -f "$src_list" ] && ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ \
   && ! grep -qs '^deb-src' /etc/apt/sources.list 2>/dev/null; then
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -e 's/^Types:.*/Types: deb-src/' "$f" >> "$tmp"
    echo >> "$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > "${tmp}.list" || true
    [ -s "${tmp}.list" ] && $SUDO install -m 644 "${tmp}.list" /etc/apt/sources.list.d/start-deb-src.list
    rm -f "${tmp}.list"
  fi
  [ -s "$tmp" ] && $SUDO install -m 644 "$tmp" "$src_list"
  rm -f "$tmp"
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "$need_update" -eq 1 ] || [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update -qq >/dev/null
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
