#!/usr/bin/env bash
# Proves the release reproducible: two releases of the last commit, built
# at paths of different lengths, one after the other, must be
# byte-identical dist/ directories: exes, zips and SHA256SUMS. A release
# compared only with itself would prove nothing.
# The first is scripts/release.sh in a clone. The second is the same in a
# second clone or, with --second-from-trees, packed from the programs this
# tree's build/win and build/win64 hold, which the test command has just
# built from the same commit at this tree's path (a clean tree is needed).
#   bash tests/release/reproducible.sh [--second-from-trees] [DIR]
#   DIR keeps the first dist/
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
from_trees=0
if [[ ${1:-} == --second-from-trees ]]; then
  from_trees=1
  shift
fi
keep=${1:-}
commit=$(git -C "$root" rev-parse HEAD)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clones=("$work/a" "$work/a-second-clone-at-a-longer-path/b")
# The first release's sources (under build/release/src) at a path whose
# length differs from this tree's too.
src_tail=/build/release/src
if [[ $((${#clones[0]} + ${#src_tail})) -eq ${#root} ]]; then
  clones[0]+=-longer
fi

release_in() {  # clone
  git clone -q --no-checkout "$root" "$1"
  git -C "$1" checkout -q --detach "$commit"
  if ! (cd "$1" && bash scripts/release.sh) >"$1.log" 2>&1; then
    cat "$1.log" >&2
    echo "FAILED: scripts/release.sh in $1" >&2
    exit 1
  fi
  echo "release of ${commit:0:12} in $1:"
  sed 's/^/  /' "$1/dist/SHA256SUMS"
}

# Packs the second release from this tree's programs, as scripts/release.sh would.
pack_from_trees() {  # dist
  if [[ -n $(git -C "$root" status --porcelain) ]]; then
    echo "FAILED: the working tree has uncommitted changes, which its build trees may" \
      "hold and a release of the last commit does not; commit them and run again" >&2
    exit 1
  fi
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct "$commit") \
    /usr/bin/python3 "$root/tools/release/package.py" --src "$root" --commit "$commit" --out "$1"
  echo "release of ${commit:0:12} packed from $root/build/win and build/win64:"
  sed 's/^/  /' "$1/SHA256SUMS"
}

release_in "${clones[0]}"
first=${clones[0]}/dist
if [[ $from_trees -eq 1 ]]; then
  second=$work/from-trees/dist
  pack_from_trees "$second"
else
  release_in "${clones[1]}"
  second=${clones[1]}/dist
fi
# Kept before the comparison, so that the archives can be read back either way.
if [[ -n $keep ]]; then
  rm -rf "$keep"
  cp -r "$first" "$keep"
fi
if ! diff -r "$first" "$second" >&2; then
  echo "FAILED: two releases of one commit differ" >&2
  exit 1
fi
echo "reproducible: two releases of ${commit:0:12}, at two paths, byte-identical"
