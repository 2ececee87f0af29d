#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

tools/install-deps.sh

jobs=$(nproc)
cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32 -j"$jobs" >/dev/null
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DWIN32_BUILD_DIR="$root/build/win32" >/dev/null
cmake --build build/native -j"$jobs" >/dev/null

ctest --test-dir build/native --output-on-failure
