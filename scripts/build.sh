#!/usr/bin/env bash
# Configures and builds Tavrino.exe, the test programs and the benchmark tools.
# Build folder: $TAVRINO_BUILD, default build/ in the checkout.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRINO_BUILD:-$root/build}
step="configuring the build folder $build"
trap 'echo "build: $step failed (exit code $?)" >&2' ERR
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
fi
step="building in $build"
cmake --build "$build" -j "$(nproc)"
