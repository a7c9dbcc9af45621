#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test of this run's mode
# (scripts/mode.sh): the native unit tests and the end-to-end tests of the
# program under Wine. Fails on any failed, skipped or missing test.
#   KESTROVA_FORCE_64BIT=1 bash scripts/test.sh   the 64-bit mode on any host
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Each step says how long it took: the whole command is kept short.
timed() {  # what, command...
  local start=$SECONDS rc=0
  "${@:2}" || rc=$?
  echo "time of $1: $((SECONDS - start)) s"
  return $rc
}
timed "the install" bash scripts/install-deps.sh
source scripts/mode.sh
timed "the build" bash scripts/build.sh

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run_ctest() {  # ctest arguments
  (cd "$kestrova_native_tree" && ctest --no-tests=error "$@") 2>&1 | tee -a "$log" || status=1
}
run_ctest --output-on-failure -j2 -L unit
# The static checks (not tests, but any finding fails the run), then the
# time-bounded fuzzing (any crash fails it), take the CPU the end-to-end
# tests leave while they wait on Wine; niced, so the window's keys are not
# kept waiting. Their output is shown once they are done.
beside() {
  local rc=0
  timed "the static checks" nice -n 10 bash scripts/lint.sh || rc=1
  timed "the fuzzing" nice -n 10 bash tests/fuzz/run.sh 60 || rc=1
  return $rc
}
beside_log=$(mktemp)
beside >"$beside_log" 2>&1 &
beside_pid=$!
# Two at a time, each on its own display and prefix: Wine leaves a core
# idle while it starts a program.
timed "the end-to-end tests" run_ctest --output-on-failure -j2 -L e2e
# The soak prints its figures: run it verbosely.
run_ctest -V -L soak
wait "$beside_pid" || status=1
cat "$beside_log"
rm -f "$beside_log"
# The performance figures, with nothing else running: printed, never
# judged, except an import that Windows 2000 lacks, which fails the run.
timed "the benchmarks" bash tools/bench/run.sh || status=1
# The release: built in two clones of the last commit and compared, then
# read back against the programs these tests ran.
timed "the reproducible release" bash tests/release/reproducible.sh build/release-check ||
  status=1
# apt's python3, which has python3-pefile.
timed "the release read back" /usr/bin/python3 tests/release/check_release.py \
  --dist build/release-check || status=1

if grep -qE '\[  SKIPPED \]|\*\*\*Not Run|\*\*\*Skipped|\(Disabled\)' "$log"; then
  echo "FAILED: some tests were skipped or not run" >&2
  status=1
fi

# What this mode cannot run, one line each; counted as skipped below.
not_run=()
if [[ $KESTROVA_BITS == 64 ]]; then
  not_run+=("the native unit, soak and call-count tests built with -m32 (the Windows record layout): compiled in build/native, not run: $KESTROVA_MODE_REASON")
  not_run+=("kestrova.exe (i686) under 32-bit Wine: built in build/win and checked statically, not run: $KESTROVA_MODE_REASON")
fi
for line in "${not_run[@]}"; do
  echo "not run in this mode: $line"
done
if [[ $KESTROVA_BITS == 32 ]]; then
  echo "end to end: kestrova.exe (i686) under 32-bit Wine; test_window also for the x86_64 build under 64-bit Wine"
else
  echo "end to end: x86_64 build under 64-bit Wine; $KESTROVA_MODE_REASON"
fi
# One closing line over the test runs.
read -r total failed < <(awk '/tests passed, [0-9]+ tests? failed out of/ {
  f += $4; t += $NF } END { print t + 0, f + 0 }' "$log")
echo "tests: $((total - failed)) passed, $failed failed, ${#not_run[@]} skipped"
if [[ $status -ne 0 ]]; then
  echo "FAILED: see the output above" >&2
  exit 1
fi
