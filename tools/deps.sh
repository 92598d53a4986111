#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the fuzzers and the
# benchmarks need. Idempotent and quick when everything is present: it asks
# dpkg first and runs apt-get only for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make
  python3
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 xvfb imagemagick xdotool
  googletest libbenchmark-dev
  clang libclang-rt-14-dev
  libpugixml-dev libtinyxml2-dev
  nlohmann-json3-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "deps: installing ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >&2
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
