#!/usr/bin/env bash
# Installs what is missing, builds kestrova.exe, and runs it under Wine with
# demo disk images as drives (on Xvfb, leaving a screenshot, when there is
# no display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
cmake --no-warn-unused-cli -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build/win -j"$(nproc)" --target kestrova kestrova-inspector
python3 tools/demo.py --app build/win/kestrova.exe \
  --inspector build/win/tools/inspector/kestrova-inspector.exe --out out/demo
