#!/usr/bin/env bash
# Builds both trees: build/win (kestrova.exe and the programs the end-to-end
# tests run under Wine) and build/native (the unit tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

cmake --no-warn-unused-cli -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build/win -j"$jobs"

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_WINDOWS_BUILD="$root/build/win"
cmake --build build/native -j"$jobs"
