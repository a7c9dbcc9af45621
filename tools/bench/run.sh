#!/usr/bin/env bash
# The program's performance figures, measured in one run on this machine;
# run by hand (the test command runs only the first two, as checks):
#   1. platform calls per NT refresh and per write (simulated machine);
#   2. size, PE type and import list of each Windows build of kestrova.exe,
#      checked against tools/bench/win2000_imports.txt (fails on an import
#      the oldest Windows it is for lacks); static, so the i686 program is
#      checked in either mode;
#   (both in tools/bench/checks.sh)
#   3. start-up to a visible window under Wine against the bare window
#      program, alternating runs, median ratio (a figure: never fails on it),
#      for the program this run's mode runs (scripts/mode.sh).
#   bash tools/bench/run.sh [start-up runs, default 9]
# Needs the mode's trees built (scripts/build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
source scripts/mode.sh
runs=${1:-9}

status=0
bash tools/bench/checks.sh || status=1
echo "== start-up under $kestrova_wine_name: $kestrova_win_tree/kestrova.exe" \
  "(tools/bench/startup.py --runs $runs)"
python3 tools/bench/startup.py --build "$kestrova_win_tree" --runs "$runs"
exit $status
