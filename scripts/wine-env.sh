# Sourced by the other scripts: the Wine environment of one build folder.
# Every build folder has a Wine prefix of its own, made once (about 10 s).
: "${build:?set build to the build folder before sourcing wine-env.sh}"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko prompts on the first start
# Wine is started through "setarch x86_64 -R" (no address space randomisation) everywhere: now and
# then a random mapping takes the address Wine needs for its shared user data, and the process
# dies at start ("failed to map the shared user data").
if [ ! -f "$WINEPREFIX/.tavrino-ready" ]; then
  echo "Preparing Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  if ! setarch x86_64 -R wineboot -i >"$build/wineboot.log" 2>&1 </dev/null; then
    echo "wine-env: 'wineboot -i' could not create the Wine prefix $WINEPREFIX; its output:" >&2
    tail -n 20 "$build/wineboot.log" >&2
    return 1 2>/dev/null || exit 1
  fi
  # Without a window manager, closing a managed window costs seconds.
  if ! setarch x86_64 -R wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null; then
    echo "wine-env: 'wine reg add' failed in the new prefix $WINEPREFIX" >&2
    return 1 2>/dev/null || exit 1
  fi
  wineserver -w
  touch "$WINEPREFIX/.tavrino-ready"
fi
# Wine's own faces (package fonts-wine: Marlett for the caption buttons, Tahoma for dialogs) are
# in /usr/share/wine/fonts, but Debian's Wine 8 looks for them under a path it cannot open
# ("share/wine/../fonts"), so it never loads them: they are linked into the prefix's Fonts folder,
# where every Wine finds them. Existing prefixes get them at their next use.
tavrino_link_wine_fonts() {
  local fonts="$1/drive_c/windows/Fonts" face
  [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] || return 0
  for face in /usr/share/wine/fonts/*; do
    [ -e "$fonts/${face##*/}" ] || ln -s "$face" "$fonts/${face##*/}"
  done
}
tavrino_link_wine_fonts "$WINEPREFIX"
# The German test runs have a prefix of their own (a prefix keeps one user locale): a copy.
export TAVRINO_WINEPREFIX_DE="$build/wineprefix-de"
if [ ! -f "$TAVRINO_WINEPREFIX_DE/.tavrino-ready" ]; then
  rm -rf "$TAVRINO_WINEPREFIX_DE"
  if ! cp -a "$WINEPREFIX" "$TAVRINO_WINEPREFIX_DE"; then
    echo "wine-env: the Wine prefix $WINEPREFIX could not be copied to $TAVRINO_WINEPREFIX_DE" >&2
    return 1 2>/dev/null || exit 1
  fi
fi
tavrino_link_wine_fonts "$TAVRINO_WINEPREFIX_DE"
