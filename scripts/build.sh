#!/usr/bin/env bash
# Configures and builds Tavrino.exe, the test programs and the benchmark tools.
# Build folder: $TAVRINO_BUILD, default build/ in the checkout.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRINO_BUILD:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
