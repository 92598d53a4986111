#!/usr/bin/env bash
# Builds everything and runs every test:
#   ./test.sh            native unit tests, the same tests under ASan+UBSan,
#                        the tests of threaded code under ThreadSanitizer,
#                        fuzz targets over their seed corpora, and the Windows
#                        build's tests under Wine
#   ./test.sh native     only the native unit tests (also: asan, tsan, fuzz,
#                        windows)
# Installs what is missing first. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")"
KORVEX_ROOT=$(pwd)

./tools/deps.sh || { echo "test.sh: installing dependencies failed" >&2; exit 1; }

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(native asan tsan fuzz windows)

failed=()
jobs=$(nproc)

run_native_like() {  # preset
  cmake --preset "$1" >/dev/null &&
  cmake --build --preset "$1" -j "$jobs" &&
  ctest --preset "$1" -j "$jobs"
}

run_tsan() {
  cmake --preset tsan >/dev/null && cmake --build --preset tsan -j "$jobs" || return 1
  # ThreadSanitizer cannot map its shadow memory under the address-space
  # randomisation of some kernels; the tests run with it turned off.
  setarch "$(uname -m)" -R ctest --preset tsan -j "$jobs"
}

run_fuzz_smoke() {
  cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$jobs" || return 1
  ./fuzz/run.sh --corpus-only
}

run_windows() {
  cmake --preset windows >/dev/null && cmake --build --preset windows -j "$jobs" || return 1
  # shellcheck source=tools/wine-env.sh
  source tools/wine-env.sh
  trap korvex_wine_down EXIT
  korvex_wine_up || return 1
  # The end-to-end tests start several Wine processes each; on a loaded
  # machine Wine occasionally loses one. A test that fails is run once more,
  # and fails the stage if it fails again.
  ctest --preset windows -j "$jobs" --repeat until-pass:2
  local rc=$?
  korvex_wine_down
  trap - EXIT
  return $rc
}

for stage in "${stages[@]}"; do
  echo "=== $stage ==="
  case "$stage" in
    native|asan) run_native_like "$stage" ;;
    tsan) run_tsan ;;
    fuzz) run_fuzz_smoke ;;
    windows) run_windows ;;
    *) echo "test.sh: unknown stage '$stage' (native, asan, tsan, fuzz, windows)" >&2; false ;;
  esac
  [ $? -eq 0 ] || failed+=("$stage")
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "test.sh: FAILED: ${failed[*]}"
  exit 1
fi
echo "test.sh: all stages passed (${stages[*]})"
