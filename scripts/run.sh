#!/usr/bin/env bash
# Installs what is missing, builds Tavrino.exe and starts it under Wine.
# Arguments go to Tavrino (for example /Port:7000). Without an X display it runs on a virtual one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVRINO_BUILD:-$root/build}
echo "== Installing what is missing"
"$root/scripts/setup.sh"
echo "== Building"
"$root/scripts/build.sh"
echo "== Starting Tavrino"
source "$root/scripts/wine-env.sh"
if [ -n "${DISPLAY:-}" ]; then
  exec setarch x86_64 -R wine "$build/Tavrino.exe" "$@"
fi
echo "No X display: Tavrino runs on a virtual display (xvfb-run)."
exec xvfb-run -a -s "-screen 0 1280x1024x24" setarch x86_64 -R wine "$build/Tavrino.exe" "$@"
