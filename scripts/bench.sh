#!/usr/bin/env bash
# Builds everything and runs the benchmarks: the micro-benchmarks of library routines and the
# receive benchmark against the running Tavrino.exe. Arguments: a name filter for the micro-benchmarks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRINO_BUILD:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
echo "== Library routines (micro-benchmarks, under Wine)"
wine "$build/bench/TavrinoMicroBench.exe" "$@" </dev/null
wineserver -w
