#!/usr/bin/env bash
# Builds the suite for Windows and shows the device service at work under
# Wine with the virtual keyboard:
#   ./run.sh                      build (cmake --preset windows) and run
#   ./run.sh --build-dir DIR      build into DIR instead of the preset's tree
# Uses the user's $DISPLAY when set, else an Xvfb of its own, and the private
# Wine prefix build/wine-prefix (or $WINEPREFIX). Ends everything it started.
set -uo pipefail
cd "$(dirname "$0")"
KORVEX_ROOT=$(pwd)

build_dir=""
if [ "${1:-}" = "--build-dir" ] && [ -n "${2:-}" ]; then
  build_dir=$2
elif [ $# -ne 0 ]; then
  sed -n '2,8p' "$0" >&2
  exit 2
fi

./tools/deps.sh || { echo "run.sh: installing dependencies failed" >&2; exit 1; }

echo "=== building the Windows tree ==="
if [ -z "$build_dir" ]; then
  cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1
  build_dir=build/win
else
  cmake -S . -B "$build_dir" -G Ninja --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$build_dir" --target KorvexHid Usbwarden KorvexVkb korvex_skin KorvexPost KorvexStandIn || exit 1
fi
build_dir=$(cd "$build_dir" && pwd)

echo "=== starting Wine ==="
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
# A wineserver already serving the prefix belongs to someone else's session.
server_was_running=0
if [ -d "$WINEPREFIX" ] && wineserver -k0 2>/dev/null; then server_was_running=1; fi
korvex_wine_up || exit 1

finish() {
  if [ "$server_was_running" = 1 ]; then
    # Someone else's Wine session: leave its server running, end only our display.
    if [ -n "$_korvex_xvfb_pid" ]; then kill "$_korvex_xvfb_pid" 2>/dev/null; wait "$_korvex_xvfb_pid" 2>/dev/null; fi
  else
    korvex_wine_down
  fi
}
trap finish EXIT

if wine "$build_dir/e2e-helpers/KorvexPost.exe" wait Korvex_Hid 0; then
  echo "run.sh: a KorvexHid.exe is already running in $WINEPREFIX; end it first" >&2
  exit 1
fi

echo "=== the device service at work (display $DISPLAY) ==="
python3 tools/service_demo.py --dist "$build_dir/dist" --helpers "$build_dir/e2e-helpers" \
  --screenshot "$KORVEX_ROOT/build/screenshots/run_progress_window.png"
