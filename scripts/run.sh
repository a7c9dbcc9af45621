#!/usr/bin/env bash
# Installs what is missing, builds the program this host runs, and runs it
# under Wine with demo disk images as drives (on Xvfb, leaving a screenshot,
# when there is no display): kestrova.exe (i686) under 32-bit Wine, or,
# where the host runs no 32-bit code (or KESTROVA_FORCE_64BIT=1), the x86_64
# build under 64-bit Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
source scripts/mode.sh
tree=$kestrova_win_tree
kestrova_configure_win "$tree"
cmake --build "$tree" -j"$(nproc)" --target kestrova kestrova-inspector
if [[ $KESTROVA_BITS == 32 ]]; then
  echo "Starting $tree/kestrova.exe (i686) under 32-bit Wine"
else
  echo "Starting $tree/kestrova.exe (x86_64) under 64-bit Wine: $KESTROVA_MODE_REASON"
fi
python3 tools/demo.py --app "$tree/kestrova.exe" \
  --inspector "$tree/tools/inspector/kestrova-inspector.exe" --out out/demo
