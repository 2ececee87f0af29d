#!/usr/bin/env bash
# check-reproducible.sh SOURCE_DIR WORK_DIR [DOWNLOAD_DIR]
#
# Builds start.exe twice from clean folders and compares the two files byte for byte:
#   first:  SOURCE_DIR            -> WORK_DIR/first/win32
#   second: a copy of the sources -> WORK_DIR/second-path/elsewhere/build
# The copy and the second build folder have other paths (and other path lengths), so a
# source or build path that leaks into the file shows as a difference, as does a time stamp.
# DOWNLOAD_DIR keeps the fetched source packages (libjpeg-turbo) between runs; both builds
# still compile everything from source.
set -euo pipefail

source_dir=$(cd "${1:?source folder}" && pwd)
work=${2:?work folder}
downloads=${3:-$work/downloads}
jobs=2

rm -rf "$work"
mkdir -p "$work" "$downloads"
work=$(cd "$work" && pwd)
downloads=$(cd "$downloads" && pwd)

copy="$work/second-path/sources"
mkdir -p "$copy"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -

build() {  # build SOURCE BUILD_DIR: configure and build the target start, quietly
  local log="$2.log"
  mkdir -p "$(dirname "$2")"
  if ! { cmake -S "$1" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-i686.cmake" \
           -DCMAKE_BUILD_TYPE=Release -DLIBJPEG_DOWNLOAD_DIR="$downloads" &&
         cmake --build "$2" --target start -j"$jobs"; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "FAIL: building $2 (log: $log)"
    exit 1
  fi
}

started=$SECONDS
build "$source_dir" "$work/first/win32"
build "$copy" "$work/second-path/elsewhere/build"
first="$work/first/win32/app/start.exe"
second="$work/second-path/elsewhere/build/app/start.exe"

if cmp -s "$first" "$second"; then
  echo "start.exe is reproducible: $(stat -c %s "$first") bytes, sha256 $(sha256sum "$first" | cut -c1-16)..., two builds in $((SECONDS - started)) s"
  rm -rf "$work"
  exit 0
fi

echo "FAIL: two clean builds of start.exe differ"
echo "  $first ($(stat -c %s "$first") bytes)"
echo "  $second ($(stat -c %s "$second") bytes)"
echo "first differing bytes (offset, first, second; offsets in decimal, bytes in octal):"
cmp -l "$first" "$second" | head -n 20 || true
leaks=$(grep -a -o -F -e "$source_dir" -e "$work" "$first" "$second" | sort -u | head -n 5 || true)
if [ -n "$leaks" ]; then
  echo "build paths inside the files:"
  echo "$leaks"
fi
echo "the builds are kept in $work"
exit 1
