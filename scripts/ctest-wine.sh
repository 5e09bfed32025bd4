#!/usr/bin/env bash
# Runs ctest on an existing build under Wine, windows on a virtual X display.
# Arguments go to ctest (for example -R toolkit). Run tests one at a time (no -j): Wine keeps the
# user locale in the prefix's registry and every process start sets it to its own LC_ALL, so the
# English and German runs of the base tests would change each other's locale.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRINO_BUILD:-$root/build}
source "$root/scripts/wine-env.sh"
# ctest stalls unless a persistent wineserver is up first: the first Wine process starts
# services that inherit the output pipe. The server belongs to the X display it starts under.
xvfb-run -a -s "-screen 0 1280x1024x24" setarch x86_64 -R bash -c '
  wineserver -w; wineserver -p; wine cmd /c exit </dev/null >/dev/null 2>&1
  ctest --test-dir "$0" --output-on-failure --timeout 600 --no-tests=error "${@}" </dev/null
  rc=$?
  wineserver -k
  exit $rc' "$build" "$@"
