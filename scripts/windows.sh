# Sourced: configures and builds the Windows trees of the source tree in the
# current directory, build/win (i686) and build/win64 (x86_64). Needs no
# mode (scripts/mode.sh), so that a release can build on any host.

# Configures a Windows tree: build/win is i686, build/win64 x86_64.
kestrova_configure_win() {  # tree [cmake arguments...]
  local toolchain=cmake/mingw-i686.cmake
  [[ "$1" == build/win64 ]] && toolchain=cmake/mingw-x86_64.cmake
  # The toolchain file counts only on a tree's first configure: no warning later.
  cmake --no-warn-unused-cli -S . -B "$1" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release "${@:2}"
}

# Builds kestrova.exe, and only it, in both trees: what a release ships.
kestrova_build_programs() {
  local tree
  for tree in build/win build/win64; do
    kestrova_configure_win "$tree" >/dev/null
    cmake --build "$tree" -j"$(nproc)" --target kestrova
  done
}
