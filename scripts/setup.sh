#!/usr/bin/env bash
# Installs what building and testing Tavrino needs on Debian, when it is missing.
set -euo pipefail
packages=(util-linux cmake make mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth googletest locales xdotool python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
