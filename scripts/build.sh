#!/usr/bin/env bash
# Builds the trees of this run's mode (scripts/mode.sh):
#   32-bit mode: build/win (the i686 programs and the inspector, for the
#     end-to-end tests), build/win64 (the x86_64 kestrova.exe and its
#     inspector, for its window test under 64-bit Wine), build/native (the
#     unit tests, -m32).
#   64-bit mode: build/win64 (everything the end-to-end tests run),
#     build/native64 (the unit tests, x86_64); and, never run on this host,
#     build/win (the i686 programs, whose imports are still checked) and
#     build/native (-m32, compiled but not linked), so that a break on the
#     32-bit side still shows.
#   bash scripts/build.sh [all | e2e | also | native | unrun]
# e2e builds what the end-to-end tests run and configures the native tree
# that lists them, but for the programs of the 32-bit mode's x86_64 window
# test: also builds those (nothing in the 64-bit mode). native then builds
# the native tree; unrun builds the trees this mode never runs (nothing in
# the 32-bit mode), needing neither. The test command builds also, native
# and unrun while the end-to-end tests run; all (the default) does the four.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/mode.sh
jobs=$(nproc)
stage=${1:-all}

build_win() {  # tree [targets...]
  kestrova_configure_win "$1"
  if [[ $# -gt 1 ]]; then
    cmake --build "$1" -j"$jobs" --target "${@:2}"
  else
    cmake --build "$1" -j"$jobs"
  fi
}

configure_native() {  # tree bits compile-only Windows-tree [Windows tree whose window test runs too]
  cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_NATIVE_BITS="$2" \
    -DKESTROVA_COMPILE_ONLY="$3" \
    -DKESTROVA_WINDOWS_BUILD="${4:+$root/$4}" -DKESTROVA_WINDOWS_BUILD_ALSO="${5:+$root/$5}"
}

e2e_trees() {
  if [[ $KESTROVA_BITS == 32 ]]; then
    build_win build/win
    configure_native build/native 32 OFF build/win build/win64
  else
    build_win build/win64
    configure_native build/native64 64 OFF build/win64
  fi
}

also_trees() {
  if [[ $KESTROVA_BITS == 32 ]]; then
    build_win build/win64 kestrova kestrova-inspector
  fi
}

unrun_trees() {
  if [[ $KESTROVA_BITS == 64 ]]; then
    echo "Never run on this host: build/win (i686), build/native (-m32, compiled only)"
    build_win build/win
    configure_native build/native 32 ON
    cmake --build build/native -j"$jobs"
  fi
}

case "$stage" in
  e2e) e2e_trees ;;
  also) also_trees ;;
  native) cmake --build "$kestrova_native_tree" -j"$jobs" ;;
  unrun) unrun_trees ;;
  all) e2e_trees && also_trees && cmake --build "$kestrova_native_tree" -j"$jobs" && unrun_trees ;;
  *)
    echo "usage: bash scripts/build.sh [all | e2e | also | native | unrun], not '$stage'" >&2
    exit 2
    ;;
esac
