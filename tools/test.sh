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
# A third configuration for the fuzz targets: clang with libFuzzer, under the same
# sanitizers. Only the fuzz targets are built; the native ctest run fuzzes each a while.
cmake -S . -B build/fuzz -DSTART_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j"$jobs" --target fuzz_targets >/dev/null

ctest --test-dir build/native --output-on-failure
