#!/usr/bin/env bash
# Installs what building and testing Tavrino needs on Debian, when it is missing, and checks that
# every program the scripts and the build call is there afterwards.
set -euo pipefail
# "wine" holds /usr/bin/wine, wineboot and wineserver; "wine64" alone holds only the 64-bit
# loader below /usr/lib/wine. "locales" holds the German locale's source for the test runs.
# "fonts-wine" holds Wine's own Marlett, Tahoma and the other faces Windows programs expect
# (without Marlett Wine draws a window's caption buttons as the letters "0 1 r").
packages=(util-linux cmake make mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64
          fonts-wine xvfb xauth googletest locales xdotool python3 git)
# Every program the scripts and the build call, with the package that provides it.
programs=(setarch:util-linux taskset:util-linux cmake:cmake ctest:cmake make:make
          x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix
          x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
          x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64
          x86_64-w64-mingw32-dlltool:binutils-mingw-w64-x86-64
          wine:wine wineboot:wine wineserver:wine xvfb-run:xvfb Xvfb:xvfb xauth:xauth
          localedef:libc-bin xdotool:xdotool python3:python3 git:git)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  if ! "${sudo_cmd[@]}" apt-get update -qq; then
    echo "setup: 'apt-get update' failed, so ${missing[*]} cannot be installed" >&2
    exit 1
  fi
  if ! DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    echo "setup: 'apt-get install ${missing[*]}' failed" >&2
    exit 1
  fi
fi
for entry in "${programs[@]}"; do
  program=${entry%%:*}
  if ! command -v "$program" >/dev/null; then
    echo "setup: '$program' (package '${entry#*:}') is missing after the installation" >&2
    exit 1
  fi
done
if [ ! -f /usr/share/wine/fonts/marlett.ttf ]; then
  echo "setup: Wine's Marlett font /usr/share/wine/fonts/marlett.ttf is missing (package 'fonts-wine')" >&2
  exit 1
fi
if [ ! -f /usr/share/i18n/locales/de_DE ]; then
  echo "setup: the German locale's source /usr/share/i18n/locales/de_DE is missing (package 'locales')" >&2
  exit 1
fi
