#!/usr/bin/env bash
# static-checks.sh [NATIVE_BUILD [WIN32_BUILD]]
# clang-tidy (the checks in .clang-tidy) and cppcheck (the options below, the suppressions in
# tools/static/cppcheck-suppressions.txt) over our own C and C++ sources in identity/,
# platform/, app/ and tools/: those the native build compiles, as it compiles them, and
# those only the Windows build compiles, as clang compiles them for the same 32-bit MinGW
# target against the cross compiler's headers. Any finding fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(realpath "${1:-$root/build/native}")
win32=$(realpath "${2:-$root/build/win32}")
work=$native/static-checks
jobs=$(nproc)

for build in "$native" "$win32"; do
  if [ ! -f "$build/compile_commands.json" ]; then
    echo "no compile_commands.json in $build: configure both builds first (tools/test.sh does)" >&2
    exit 1
  fi
done
rm -rf "$work"
mkdir -p "$work"
python3 "$root/tools/static/compile_db.py" "$root" "$native" "$win32" "$work" > "$work/sources"
awk '{print $2}' "$work/sources" > "$work/all"
awk '$1 == "native" {print $2}' "$work/sources" > "$work/native"
awk '$1 == "windows" {print $2}' "$work/sources" > "$work/windows"
echo "checking $(wc -l < "$work/native") native and $(wc -l < "$work/windows") Windows sources"

status=0
cd "$root"
if ! xargs -a "$work/all" -P "$jobs" -n 1 clang-tidy -p "$work" --quiet \
    > "$work/clang-tidy.log" 2>&1; then
  grep -v ' warnings\? generated\.$' "$work/clang-tidy.log" >&2 || true
  echo "clang-tidy: findings above" >&2
  status=1
fi

cppcheck_options=(--quiet --error-exitcode=1 --std=c++17 -I . -j "$jobs"
                  --enable=warning,style,performance,portability --inline-suppr
                  --suppressions-list="$root/tools/static/cppcheck-suppressions.txt")
if ! cppcheck "${cppcheck_options[@]}" --file-list="$work/native"; then
  echo "cppcheck (native sources): findings above" >&2
  status=1
fi
if ! cppcheck "${cppcheck_options[@]}" --platform=win32A --library=windows -D_WIN32 -DWIN32 \
    --file-list="$work/windows"; then
  echo "cppcheck (Windows sources): findings above" >&2
  status=1
fi

[ "$status" -eq 0 ] && echo "no findings"
exit "$status"
