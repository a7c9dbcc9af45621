#!/usr/bin/env bash
# Proves the release reproducible: scripts/release.sh, run in two clones of
# the last commit at paths of different lengths, one after the other, must
# write byte-identical dist/ directories: exes, zips and SHA256SUMS. A
# release compared only with itself would prove nothing.
#   bash tests/release/reproducible.sh [DIR]   also keeps the first dist/ in DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
keep=${1:-}
commit=$(git -C "$root" rev-parse HEAD)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clones=("$work/a" "$work/a-second-clone-at-a-longer-path/b")

for clone in "${clones[@]}"; do
  git clone -q --no-checkout "$root" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  if ! (cd "$clone" && bash scripts/release.sh) >"$clone.log" 2>&1; then
    cat "$clone.log" >&2
    echo "FAILED: scripts/release.sh in $clone" >&2
    exit 1
  fi
  echo "release of ${commit:0:12} in $clone:"
  sed 's/^/  /' "$clone/dist/SHA256SUMS"
done
# Kept before the comparison, so that the archives can be read back either way.
if [[ -n $keep ]]; then
  rm -rf "$keep"
  cp -r "${clones[0]}/dist" "$keep"
fi
if ! diff -r "${clones[0]}/dist" "${clones[1]}/dist" >&2; then
  echo "FAILED: two releases of one commit differ" >&2
  exit 1
fi
echo "reproducible: two releases of ${commit:0:12}, in two clones, byte-identical"
