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
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
status=0
run_ctest() {  # log, directory under the native tree, ctest arguments
  (cd "$kestrova_native_tree/$2" && ctest --no-tests=error "${@:3}") 2>&1 | tee -a "$1"
}
# Lanes beside the build and the end-to-end tests, niced to the last so
# that neither the build nor the window's keys are kept waiting (keys typed
# through a rebound keyboard map were lost under load at 10): they take the
# CPU the tests leave while they wait on Wine. Each lane's output is shown once it
# is done; any failure in one fails the run.
# The static checks (not tests, but any finding fails the run), on trees of
# their own:
lane_lint() {
  timed "the static checks" bash scripts/lint.sh
}
# The time-bounded fuzzing (any crash fails it).
lane_fuzz() {
  timed "the fuzzing" bash tests/fuzz/run.sh 60
}
# Once the end-to-end tests have their programs: the release, built in a
# clone of the last commit and compared with the same release packed from
# those programs.
lane_release() {
  timed "the reproducible release" \
    bash tests/release/reproducible.sh --second-from-trees build/release-check
}
# Once the end-to-end tests have started: the programs of the 32-bit
# mode's x86_64 window test (start_also).
lane_also() {
  timed "the build for the x86_64 window test" bash scripts/build.sh also
}
# The trees this mode never runs (in the 64-bit mode, the 32-bit side).
lane_unrun() {
  timed "the build of the trees not run" bash scripts/build.sh unrun
}
# Once the end-to-end tests have what they run: the native tree, then the
# tests that need it (the soak prints its figures: run verbosely).
lane_native() {
  local rc=0
  timed "the build of the native tests" bash scripts/build.sh native || rc=1
  timed "the unit tests" run_ctest "$logs/unit.ctest" . --output-on-failure -j2 -L unit || rc=1
  run_ctest "$logs/soak.ctest" . -V -L soak || rc=1
  return $rc
}
lanes=()
start_lane() {  # name [niceness, 19]: a subshell, niced with everything it starts
  (renice -n "${2:-19}" -p "$BASHPID" >/dev/null; "lane_$1") >"$logs/$1.out" 2>&1 &
  lanes+=("$1:$!")
}
start_lane lint
start_lane fuzz
# Ahead of the other lanes as well: in the 64-bit mode it is the longest.
start_lane unrun 15
# The programs of the 32-bit mode's x86_64 window test: built, not niced,
# while the first tests run. The lock is taken here and kept only by the
# lane, so that the test (tests/e2e/CMakeLists.txt) waits for that build.
start_also() {
  local held
  mkdir -p build
  exec {held}>build/win64.building
  flock "$held"
  start_lane also 0
  exec {held}>&-
}
if timed "the build for the end-to-end tests" bash scripts/build.sh e2e; then
  start_also
  # Ahead of the other lanes, as the unit tests wait for its build.
  start_lane native 15
  start_lane release
  # Two at a time, each on its own display and prefix: Wine leaves a core
  # idle while it starts a program. Run in their own directory of the
  # native tree, which lists no unit test, while that tree is still being
  # built.
  timed "the end-to-end tests" run_ctest "$logs/e2e.ctest" tests/e2e --output-on-failure -j2 -L e2e ||
    status=1
else
  status=1
fi
for lane in "${lanes[@]}"; do
  wait "${lane#*:}" || status=1
  cat "$logs/${lane%%:*}.out"
done
# The call counts and every program's imports: the figures with a pass
# line. The start-up figure and the rest are measured by hand
# (tools/bench/run.sh).
timed "the call counts and imports" bash tools/bench/checks.sh || status=1
# Read back against the programs these tests ran; apt's python3, which has
# python3-pefile.
timed "the release read back" /usr/bin/python3 tests/release/check_release.py \
  --dist build/release-check || status=1

log=$logs/all.ctest
cat "$logs"/e2e.ctest "$logs"/unit.ctest "$logs"/soak.ctest >"$log" 2>/dev/null || true
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
echo "start-up figure: not measured by this command (bash tools/bench/run.sh, by hand)"
# One closing line over the test runs.
read -r total failed < <(awk '/tests passed, [0-9]+ tests? failed out of/ {
  f += $4; t += $NF } END { print t + 0, f + 0 }' "$log")
echo "tests: $((total - failed)) passed, $failed failed, ${#not_run[@]} skipped"
if [[ $status -ne 0 ]]; then
  echo "FAILED: see the output above" >&2
  exit 1
fi
