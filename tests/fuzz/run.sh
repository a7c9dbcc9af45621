#!/usr/bin/env bash
# Builds the fuzz targets with clang (build/fuzz, or build/fuzz64 in the
# 64-bit mode of scripts/mode.sh) and runs the boot-sector
# fuzzer for a bounded time from the committed seeds; prints how many inputs
# it ran. Any crash, sanitizer report, leak or broken invariant fails the
# run and leaves the input under the tree's artifacts/.
#   bash tests/fuzz/run.sh [seconds]        (default 60)
# Replay one input:  KESTROVA_FUZZ_VERBOSE=1 build/fuzz/boot_sector_fuzzer FILE
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
source scripts/mode.sh
seconds=${1:-60}
build="$root/$kestrova_fuzz_tree"

CC=clang CXX=clang++ cmake -S "$root/tests/fuzz" -B "$build" -DKESTROVA_NATIVE_BITS="$KESTROVA_BITS" \
  >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

# New inputs go to a scratch corpus; the committed seeds are only read.
mkdir -p "$build/work" "$build/artifacts"
log="$build/fuzz.log"
status=0
(cd "$build" && ./boot_sector_fuzzer -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/" \
  work "$root/tests/fuzz/corpus") >"$log" 2>&1 || status=$?

runs=$(awk '/stat::number_of_executed_units/ { print $NF }' "$log")
if [[ $status -ne 0 ]]; then
  grep -E 'boot_sector_fuzzer:|ERROR|SUMMARY|artifact|Test unit written' "$log" >&2 || tail -40 "$log" >&2
  echo "fuzz: FAILED after ${runs:-?} executions (log: $log)" >&2
  exit 1
fi
echo "fuzz (${KESTROVA_BITS}-bit): ${runs} executions in ${seconds} s, no crash, leak or broken invariant"
