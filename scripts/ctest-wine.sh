#!/usr/bin/env bash
# Runs ctest on an existing build under Wine, windows on a virtual X display.
# Arguments go to ctest (for example -R toolkit, or -j2: tests that must not overlap hold ctest
# resource locks).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRINO_BUILD:-$root/build}
if [ ! -f "$build/CTestTestfile.cmake" ]; then
  echo "ctest-wine: $build holds no build; run scripts/build.sh first" >&2
  exit 1
fi
source "$root/scripts/wine-env.sh"
# ctest stalls unless a persistent wineserver is up first: the first Wine process starts
# services that inherit the output pipe. The server belongs to the X display it starts under.
# Both prefixes (the German test runs have their own) get one.
xvfb-run -a -s "-screen 0 1280x1024x24" setarch x86_64 -R bash -c '
  servers() { for prefix in "$WINEPREFIX" "$TAVRINO_WINEPREFIX_DE"; do WINEPREFIX=$prefix "$@"; done; }
  servers wineserver -w
  servers wineserver -p
  for prefix in "$WINEPREFIX" "$TAVRINO_WINEPREFIX_DE"; do
    if ! WINEPREFIX=$prefix wine cmd /c exit </dev/null >/dev/null 2>&1; then
      echo "ctest-wine: Wine does not start programs in the prefix $prefix" >&2
      servers wineserver -k
      exit 1
    fi
  done
  ctest --test-dir "$0" --output-on-failure --timeout 600 --no-tests=error "${@}" </dev/null
  rc=$?
  servers wineserver -k
  exit $rc' "$build" "$@"
