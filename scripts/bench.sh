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
# On a virtual display: the dialog rows open windows. The wineserver starts and ends inside it.
wineserver -w
xvfb-run -a -s "-screen 0 1280x1024x24" setarch x86_64 -R bash -c '
  wine "$0" "$@" </dev/null
  rc=$?
  wineserver -w
  exit $rc' "$build/bench/TavrinoMicroBench.exe" "$@"
echo "== Start to the first paint (Tavrino.exe against a bare one-window program, 10 runs each, interleaved)"
xvfb-run -a -s "-screen 0 1280x1024x24" setarch x86_64 -R bash -c '
  wineserver -p; wine cmd /c exit </dev/null >/dev/null 2>&1
  winpath() { local p=${1//\//\\}; echo "Z:$p"; }
  timeout 600 wine "$0/bench/StartProbe.exe" 10 BareWindow "$(winpath "$0/bench/BareWindow.exe")" \
    TavrinoForm "$(winpath "$0/Tavrino.exe") /P:0" </dev/null
  rc=$?; wineserver -k; exit $rc' "$build"
echo "== Value query dialog and port change (windows on a virtual display)"
# The wineserver starts and ends inside the X session; /P:0 keeps the main window off port 6702.
xvfb-run -a -s "-screen 0 1280x1024x24" setarch x86_64 -R bash -c '
  timeout 600 wine "$0" /P:0 </dev/null
  rc=$?
  wineserver -w
  exit $rc' "$build/bench/QueryBench.exe"
echo "== Receiving (Tavrino.exe and the bare receive loop under Wine, about 3 minutes)"
# The benchmark starts the wineserver inside the X session (pinned to one CPU) and stops it.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  setarch x86_64 -R timeout 900 python3 "$root/bench/receive_bench.py" --build "$build" </dev/null
echo "== Log view commands on 100,000 lines (Tavrino.exe under Wine, about a minute)"
work=$(mktemp -d)
xvfb-run -a -s "-screen 0 1280x1024x24" setarch x86_64 -R bash -c '
  wineserver -p; wine cmd /c exit </dev/null >/dev/null 2>&1
  winpath() { local p=${1//\//\\}; echo "Z:$p"; }   # Wine shows the Linux root as drive Z:
  timeout 600 wine "$0/bench/CommandProbe.exe" "$(winpath "$0/Tavrino.exe")" "$(winpath "$1")" </dev/null
  rc=$?; wineserver -k; exit $rc' "$build" "$work"
rm -rf "$work"

echo "== Floods (Tavrino.exe under floods of ten seconds, answer times and catch-up; several minutes)"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  setarch x86_64 -R timeout 3600 python3 "$root/bench/flood_bench.py" --build "$build" </dev/null
