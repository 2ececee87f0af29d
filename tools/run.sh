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

# Wine has no disk that answers the identify request and no BIOS values of its own: the
# test disk driver answers with a real drive's IDENTIFY block, and sample BIOS values go
# into the (volatile) registry key the program reads.
tools/testdisk/testdisk.sh install "$state" tests/fixtures/identify/hitachi-hde721010sla330.txt \
  >/dev/null
key='HKLM\HARDWARE\DESCRIPTION\System'
tools/session/in-session.sh "$state" wine reg add "$key" /v SystemBiosDate /d "03/14/11" /f \
  </dev/null >/dev/null 2>&1
tools/session/in-session.sh "$state" wine reg add "$key" /v SystemBiosVersion /t REG_MULTI_SZ \
  /d 'LENOVO - 1140\0BIOS Date: 03/14/11 Ver: 04.06.04' /f </dev/null >/dev/null 2>&1
(cd "$work" && "$root/tools/session/in-session.sh" "$state" wine "$root/build/win32/app/start.exe" \
  </dev/null >/dev/null 2>&1) || echo "start.exe exited with code $?"

for f in t2.tmp t3.tmp; do
  echo "case\\gen\\$f:"
  od -An -c "$work/case/gen/$f" 2>/dev/null || echo "  (not created)"
done
