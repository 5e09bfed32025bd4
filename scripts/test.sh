#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine,
# windows on a virtual X display. Extra arguments go to ctest (for example -R net).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
exec "$root/scripts/ctest-wine.sh" "$@"
