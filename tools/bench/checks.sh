#!/usr/bin/env bash
# The figures that have a pass line and cost seconds, so the test command
# runs them as checks (tools/bench/run.sh prints them too, before the
# start-up figure):
#   1. platform calls per NT refresh and per write (simulated machine):
#      fails when a row differs from the fixed sequence;
#   2. size, PE type and import list of each Windows build of kestrova.exe,
#      checked against tools/bench/win2000_imports.txt: fails on an import
#      the oldest Windows it is for lacks, or a program missing or of the
#      wrong type; static, so the i686 program is checked in either mode.
#   bash tools/bench/checks.sh
# Needs the mode's trees built (scripts/build.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
source scripts/mode.sh

status=0
echo "== platform calls ($kestrova_native_tree/kestrova_call_bench, ${KESTROVA_BITS}-bit)"
"$kestrova_native_tree/kestrova_call_bench" || status=1
echo
while read -r tree type; do
  echo "== size, type and imports of $tree/kestrova.exe (tools/bench/imports.py)"
  if [[ ! -f $tree/kestrova.exe ]]; then
    echo "FAILED: $tree/kestrova.exe is missing (scripts/build.sh builds it)"
    status=1
  else
    python3 tools/bench/imports.py --exe "$tree/kestrova.exe" --expect "$type" || status=1
  fi
  echo
done <<'LIST'
build/win PE32 GUI for Intel 80386
build/win64 PE32+ GUI for x86-64
LIST
exit $status
