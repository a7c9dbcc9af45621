#!/usr/bin/env bash
# Installs what is missing and builds the two downloads from the last
# commit, into dist/:
#   kestrova-<version>-win32.zip   win32/kestrova.exe (i686) and its README.txt
#   kestrova-<version>-win64.zip   win64/kestrova.exe (x86_64) and its README.txt
#   win32/kestrova.exe, win64/kestrova.exe, SHA256SUMS over those four files
# The build is reproducible: the same commit gives the same bytes in any
# clone, at any time. Uncommitted changes are left out, with a warning.
#   bash scripts/release.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
commit=$(git rev-parse HEAD)
if [[ -n $(git status --porcelain) ]]; then
  echo "warning: the working tree has uncommitted changes; the release is built" \
    "from the last commit, $commit, without them" >&2
fi
# Every time stamp in the downloads is the last commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH

# The commit's files only, built under this clone, so that the clone's path
# is the build's path: two clones at different paths prove it stays out.
src=$root/build/release/src
rm -rf "$root/build/release" "$root/dist"
mkdir -p "$src"
git archive "$commit" | tar -x -C "$src"
(cd "$src" && source scripts/windows.sh && kestrova_build_programs)

# apt's python3, which has python3-pefile and the zlib named in README.txt.
/usr/bin/python3 "$src/tools/release/package.py" --src "$src" --commit "$commit" --out dist
(cd dist && sha256sum -c --quiet SHA256SUMS)
echo "release of $commit in $root/dist:"
cat dist/SHA256SUMS
