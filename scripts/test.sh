#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine,
# windows on a virtual X display. Extra arguments go to ctest (for example -R net).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
echo "== Installing what is missing"
"$root/scripts/setup.sh"
echo "== Building"
"$root/scripts/build.sh"
echo "== Testing"
exec "$root/scripts/ctest-wine.sh" "$@"
