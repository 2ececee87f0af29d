#!/usr/bin/env bash
# Installs what is missing, builds start.exe and runs it under Wine in a working folder
# that holds "case\gen", on a virtual display when there is none; prints both files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/install-deps.sh

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$(nproc)" >/dev/null

state="$root/build/run-session"
work="$root/build/run"
tools/session/wine-session.sh up "$state"
trap 'tools/session/wine-session.sh down "$state"' EXIT
mkdir -p "$work/case/gen"
(cd "$work" && tools_dir="$root/tools" \
  "$root/tools/session/in-session.sh" "$state" wine "$root/build/win32/app/start.exe" \
  </dev/null >/dev/null 2>&1) || echo "start.exe exited with code $?"

for f in t2.tmp t3.tmp; do
  echo "case\\gen\\$f:"
  od -An -c "$work/case/gen/$f" 2>/dev/null || echo "  (not created)"
done
