#!/usr/bin/env bash
# Builds the trees of this run's mode (scripts/mode.sh):
#   32-bit mode: build/win (kestrova.exe and the programs the end-to-end
#     tests run under 32-bit Wine), build/win64 (the x86_64 program and its
#     inspector, for its window test under 64-bit Wine), build/native (the
#     unit tests, -m32).
#   64-bit mode: build/win64 (everything the end-to-end tests run),
#     build/native64 (the unit tests, x86_64); and, compiled but never run,
#     build/win (the i686 programs) and build/native (-m32), so that a break
#     on the 32-bit side still shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/mode.sh
jobs=$(nproc)

build_win() {  # tree [targets...]
  kestrova_configure_win "$1"
  if [[ $# -gt 1 ]]; then
    cmake --build "$1" -j"$jobs" --target "${@:2}"
  else
    cmake --build "$1" -j"$jobs"
  fi
}

build_native() {  # tree bits Windows-tree [Windows tree whose window test runs too]
  cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_NATIVE_BITS="$2" \
    -DKESTROVA_WINDOWS_BUILD="${3:+$root/$3}" -DKESTROVA_WINDOWS_BUILD_ALSO="${4:+$root/$4}"
  cmake --build "$1" -j"$jobs"
}

if [[ $KESTROVA_BITS == 32 ]]; then
  build_win build/win
  build_win build/win64 kestrova kestrova-inspector
  build_native build/native 32 build/win build/win64
else
  build_win build/win64
  build_native build/native64 64 build/win64
  echo "Compiled only, never run on this host: build/win (i686), build/native (-m32)"
  build_win build/win
  build_native build/native 32 ""
fi
