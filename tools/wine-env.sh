# Sourced by test.sh, run.sh and the e2e tests: a private Wine prefix under
# build/, an X display of our own when none is given, and start and stop of
# the wineserver and Xvfb by their own process ids.
#
#   source tools/wine-env.sh
#   korvex_wine_up       # prefix booted (once), wineserver and display running
#   wine some.exe
#   korvex_wine_down     # ends only what korvex_wine_up started

KORVEX_ROOT=${KORVEX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$KORVEX_ROOT/build/wine-prefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}

_korvex_xvfb_pid=""

korvex_wine_up() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  if [ -z "${DISPLAY:-}" ] || [ "${KORVEX_OWN_DISPLAY:-}" = 1 ]; then
    local n
    for n in $(seq 91 140); do
      if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then break; fi
    done
    Xvfb ":$n" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
    _korvex_xvfb_pid=$!
    export DISPLAY=":$n"
    local deadline=$((SECONDS + 20))
    until [ -e "/tmp/.X11-unix/X$n" ]; do
      if [ $SECONDS -ge $deadline ] || ! kill -0 "$_korvex_xvfb_pid" 2>/dev/null; then
        echo "wine-env: Xvfb :$n did not start" >&2
        return 1
      fi
      sleep 0.1
    done
  fi
  if [ ! -f "$WINEPREFIX/.korvex-booted" ]; then
    echo "wine-env: booting a private prefix in $WINEPREFIX" >&2
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # Without a window manager, hiding a top-level window blocks for 2 s
    # unless Wine manages focus itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.korvex-booted"
  fi
  # The persistent server must not hold our standard streams: a caller reading
  # our output through a pipe would otherwise wait for it forever.
  wineserver -p </dev/null >/dev/null 2>&1
  # The first program of a session starts Wine's own services (services.exe
  # and friends), which live on and inherit that program's streams. Start them
  # here, on null streams, so no test's output pipe stays open behind it.
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

korvex_wine_down() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$_korvex_xvfb_pid" ]; then
    kill "$_korvex_xvfb_pid" 2>/dev/null || true
    wait "$_korvex_xvfb_pid" 2>/dev/null || true
    _korvex_xvfb_pid=""
  fi
}
