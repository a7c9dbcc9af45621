#!/usr/bin/env bash
# The program's performance figures, measured in one run on this machine:
#   1. platform calls per NT refresh and per write (simulated machine);
#   2. kestrova.exe's size and import list, checked against Windows 2000
#      (fails on an import that Windows lacks);
#   3. start-up to a visible window under Wine against the bare window
#      program, alternating runs, median ratio (a figure: never fails on it).
#   bash tools/bench/run.sh [start-up runs, default 9]
# Needs both trees built (scripts/build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
runs=${1:-9}

echo "== platform calls (build/native/kestrova_call_bench)"
build/native/kestrova_call_bench
echo
echo "== size and imports (tools/bench/imports.py)"
python3 tools/bench/imports.py --exe build/win/kestrova.exe
echo
echo "== start-up under Wine (tools/bench/startup.py --runs $runs)"
python3 tools/bench/startup.py --build build/win --runs "$runs"
