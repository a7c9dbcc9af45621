# Sourced by the scripts: which mode this run takes, and its build trees.
#
#   32-bit mode, where the host runs 32-bit code: the native tests built with
#     -m32 (the Windows record layout), kestrova.exe (i686) under 32-bit Wine.
#   64-bit mode, where it does not (the kernel refuses 32-bit code: dmesg
#     "32-bit emulation disabled"), or when KESTROVA_FORCE_64BIT=1: the
#     native tests built for x86_64, the x86_64 build under 64-bit Wine.
#
# The mode is decided once, by running a tiny 32-bit program, and exported,
# so that every script a run calls takes the same one. Sets:
#   KESTROVA_BITS           32 or 64
#   KESTROVA_MODE_REASON    why
#   kestrova_win_tree       the Windows tree whose programs run under Wine
#   kestrova_native_tree    the native test tree that runs
#   kestrova_fuzz_tree      the fuzzer's tree
#   kestrova_wine_name      "32-bit Wine" or "64-bit Wine"

# Whether this host runs a 32-bit x86 program: a static one that only exits.
kestrova_runs_32bit() {
  local dir status=1
  dir=$(mktemp -d)
  printf '.globl _start\n_start: movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit.s"
  if as --32 -o "$dir/exit.o" "$dir/exit.s" && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o"; then
    "$dir/exit" 2>/dev/null && status=0
  fi
  rm -rf "$dir"
  return $status
}

if [[ -z "${KESTROVA_BITS:-}" ]]; then
  if [[ "${KESTROVA_FORCE_64BIT:-0}" == 1 ]]; then
    KESTROVA_BITS=64
    KESTROVA_MODE_REASON="forced by KESTROVA_FORCE_64BIT=1"
  elif kestrova_runs_32bit; then
    KESTROVA_BITS=32
    KESTROVA_MODE_REASON="a 32-bit test program ran on this host"
  else
    KESTROVA_BITS=64
    KESTROVA_MODE_REASON="this host runs no 32-bit code"
  fi
  export KESTROVA_BITS KESTROVA_MODE_REASON
  echo "mode: ${KESTROVA_BITS}-bit (${KESTROVA_MODE_REASON})"
fi

case "$KESTROVA_BITS" in
  32)
    kestrova_win_tree=build/win
    kestrova_native_tree=build/native
    kestrova_fuzz_tree=build/fuzz
    ;;
  64)
    kestrova_win_tree=build/win64
    kestrova_native_tree=build/native64
    kestrova_fuzz_tree=build/fuzz64
    ;;
  *)
    echo "KESTROVA_BITS is 32 or 64, not '$KESTROVA_BITS'" >&2
    exit 2
    ;;
esac
kestrova_wine_name="${KESTROVA_BITS}-bit Wine"

# kestrova_configure_win and the release build: the Windows trees.
source "$(dirname "${BASH_SOURCE[0]}")/windows.sh"
