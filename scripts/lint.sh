#!/usr/bin/env bash
# clang-tidy (the checks of .clang-tidy) and cppcheck over the project's own
# sources, as compiled in the native tree of this run's mode (build/native or
# build/native64, scripts/mode.sh), for the code only the Windows build
# compiles, as in that mode's Windows tree (build/win or build/win64), and
# the fuzz target. Fails on any finding and lists the findings by folder.
#   bash scripts/lint.sh
# It reads only the trees' compile commands, from configured copies of its
# own in a scratch directory: it needs no build, and the test command runs
# it while the real trees are being configured and built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/mode.sh
jobs=$(nproc)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
native=$out/native-tree
win=$out/win-tree
fuzz=$out/fuzz-tree
if [[ $KESTROVA_BITS == 32 ]]; then
  triple=i686-w64-mingw32 toolchain=cmake/mingw-i686.cmake
else
  triple=x86_64-w64-mingw32 toolchain=cmake/mingw-x86_64.cmake
fi

cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Debug -DKESTROVA_NATIVE_BITS="$KESTROVA_BITS" \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
CC=clang CXX=clang++ cmake -S tests/fuzz -B "$fuzz" -DKESTROVA_NATIVE_BITS="$KESTROVA_BITS" >/dev/null

# The native tree's test sources take GoogleTest's header precompiled by GCC,
# which clang cannot read: clang-tidy and cppcheck get the tree's commands
# without it, so that each file includes the header from source, as written.
python3 - "$native/compile_commands.json" <<'EOF'
import json, re, sys
entries = json.load(open(sys.argv[1]))
for e in entries:
    e["command"] = re.sub(r" -Winvalid-pch| -include \S*/cmake_pch\.hxx", "", e["command"])
json.dump(entries, open(sys.argv[1], "w"), indent=1)
EOF

# The project's own translation units of a tree (not GoogleTest's).
sources() {
  python3 - "$1" "$root" <<'EOF'
import json, sys
tree, root = sys.argv[1], sys.argv[2]
files = sorted({e["file"] for e in json.load(open(f"{tree}/compile_commands.json"))
                if e["file"].startswith(root + "/")})
print("\n".join(files))
EOF
}

# ---- clang-tidy
sources "$native" >"$out/native"
# The Windows tree: clang reads MinGW's headers as the cross compiler does.
sources "$win" | grep -vxF -f "$out/native" >"$out/win" || true
sources "$fuzz" | grep '/tests/fuzz/' >"$out/fuzz" || true
win_args=(--extra-arg-before=--target="$triple" --extra-arg-before=-nostdinc++)
while read -r dir; do
  win_args+=("--extra-arg-before=-isystem$dir")
done < <("$triple-g++" -xc++ -E -v /dev/null 2>&1 |
         sed -n '/#include <...> search starts here/,/End of search/p' |
         grep -E 'c\+\+|mingw32/include$' | sed 's/^ //')

# Files a tree compiles alike are checked together: each parses the same
# headers (GoogleTest, the platform's), whose declarations the checks
# would otherwise walk once per file. They are included by one translation
# unit, in a tree of its own (cppcheck still reads each file alone); the
# config's header filter reports a finding in an included file as that
# file's. A file that defines a macro before its includes is checked alone,
# as it is compiled. Writes LIST.units/ and LIST.alone, the files left to
# check alone.
group() {  # tree, file list
  python3 - "$1" "$2" <<'EOF'
import json, os, re, sys
tree, listed = sys.argv[1:]
wanted = set(open(listed).read().split())

def may_share(path):
    for line in open(path):
        if line.startswith(("#include", "#define")):
            return line.startswith("#include")
    return True

groups = {}
for e in json.load(open(f"{tree}/compile_commands.json")):
    if e["file"] in wanted:
        flags = re.sub(r" -o \S+| -c \S+", "", e["command"])
        key = (e["directory"], flags) if may_share(e["file"]) else e["file"]
        groups.setdefault(key, set()).add(e["file"])
os.makedirs(f"{listed}.units")
entries, alone = [], []
for n, (key, files) in enumerate(groups.items()):
    if len(files) < 2:
        alone += files
        continue
    directory, flags = key
    unit = f"{listed}.units/unit{n}.cpp"
    with open(unit, "w") as f:
        f.writelines(f'#include "{file}"  // NOLINT(bugprone-suspicious-include)\n'
                     for file in sorted(files))
    with open(f"{unit}.files", "w") as f:
        f.write("\n".join(sorted(files)) + "\n")
    entries.append({"directory": directory, "file": unit, "command": f"{flags} -c {unit}"})
json.dump(entries, open(f"{listed}.units/compile_commands.json", "w"), indent=1)
with open(f"{listed}.alone", "w") as f:
    f.write("".join(file + "\n" for file in sorted(alone)))
EOF
}
tidy() {  # tree, file list, clang-tidy arguments...
  xargs -r -P"$jobs" -n1 clang-tidy -p "$1" --quiet --config-file="$root/.clang-tidy" "${@:3}" \
    <"$2" 2>/dev/null || true
}
# A unit that does not compile (names that clash across its files) is
# checked file by file.
tidy_unit() {  # tree, unit, clang-tidy arguments...
  tidy "$(dirname "$2")" <(echo "$2") "${@:3}" >"$2.log"
  if grep -q 'clang-diagnostic-error' "$2.log"; then
    echo "note: $(wc -l <"$2.files") sources of $1 do not compile as one translation unit" \
      "(names clash across them?): checked one by one" >&2
    tidy "$1" "$2.files" "${@:3}"
  else
    cat "$2.log"
  fi
}
check_tree() {  # tree, file list, clang-tidy arguments...
  local unit
  group "$1" "$2"
  for unit in "$2".units/*.cpp; do
    [[ -e $unit ]] && tidy_unit "$1" "$unit" "${@:3}" &
  done
  tidy "$1" "$2.alone" "${@:3}"
  wait
}
{
  check_tree "$native" "$out/native"
  check_tree "$win" "$out/win" "${win_args[@]}"
  check_tree "$fuzz" "$out/fuzz"
} >"$out/tidy.log"
grep -E '^/.*: (warning|error): ' "$out/tidy.log" | sed "s|^$root/||" | sort -u >"$out/findings" || true
# An error with no place (an unreadable command or header) left a file unread.
grep -E '^error: ' "$out/tidy.log" | sort -u >>"$out/findings" || true

# ---- cppcheck
# Severities warning, performance and portability. Not "style": here it
# offers std algorithms for plain loops and const for parameters whose
# signatures the platform fixes.
cppcheck --project="$native/compile_commands.json" --library=googletest \
  --enable=warning,performance,portability --inline-suppr --std=c++17 -q -j"$jobs" \
  -i/usr/src --suppress=missingIncludeSystem \
  --template='{file}:{line}:{column}: {severity}: {message} [cppcheck-{id}]' 2>&1 |
  sed "s|^$root/||" | grep -E '^[^ ]+:[0-9]+:' | sort -u >>"$out/findings" || true
# The Windows-only sources, against the platform's own declarations.
if [[ -s "$out/win" ]]; then
  xargs cppcheck -I"$root" -D_WIN32 --library=windows --language=c++ \
    --enable=warning,performance,portability --inline-suppr --std=c++17 -q -j"$jobs" \
    --suppress=missingIncludeSystem \
    --template='{file}:{line}:{column}: {severity}: {message} [cppcheck-{id}]' <"$out/win" 2>&1 |
    sed "s|^$root/||" | grep -E '^[^ ]+:[0-9]+:' | sort -u >>"$out/findings" || true
fi

count=$(wc -l <"$out/findings")
tus=$(( $(wc -l <"$out/native") + $(wc -l <"$out/win") ))
if [[ $count -ne 0 ]]; then
  echo "lint: $count findings in $tus files:"
  awk -F/ '{ print "  [" $1 "] " $0 }' "$out/findings"
  exit 1
fi
echo "lint: clang-tidy and cppcheck clean over $tus files ($kestrova_native_tree, $kestrova_win_tree)"
