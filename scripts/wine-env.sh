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
  setarch x86_64 -R wineboot -i >/dev/null 2>&1 </dev/null || true
  # Without a window manager, closing a managed window costs seconds.
  setarch x86_64 -R wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.tavrino-ready"
fi
# German locale for the tests that check locale-dependent texts.
if [ ! -d "$build/locale/de_DE.UTF-8" ]; then
  mkdir -p "$build/locale"
  localedef -i de_DE -f UTF-8 "$build/locale/de_DE.UTF-8" >/dev/null 2>&1 || true
fi
