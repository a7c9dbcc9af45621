#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and the machine
# lacks. Run as root on Debian 12.
#
# A package mirror caught mid-sync can serve one stale index (seen: the
# security suite's i386 list, for hours). The update then warns and goes on
# with the lists it has; an install that fails after such an update is tried
# once more preferring the release's own suite, whose i386 and amd64 sides
# always match.
set -euo pipefail

packages=(
  cmake make g++ g++-multilib googletest python3 python3-pefile
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool x11-xserver-utils xclip imagemagick
  dosfstools mtools ntfs-3g genisoimage e2fsprogs
  clang libclang-rt-14-dev clang-tidy cppcheck
  locales fonts-ipafont-gothic
)

# The double-byte entry test runs Wine under a Japanese locale.
ensure_locales() {
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
}

# Sets update_failed=1 and warns, naming each index that did not load, when
# the update reports errors.
update_failed=0
update_lists() {
  local out
  out=$(mktemp)
  apt-get update -q -o Acquire::Retries=3 2>&1 | tee "$out" || update_failed=1
  if [[ $update_failed -eq 1 ]]; then
    local failed
    failed=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$out" | tr '\n' ' ')
    echo "warning: apt-get update reported errors${failed:+ (not loaded: ${failed% })};" \
         "going on with the package lists it has" >&2
  fi
  rm -f "$out"
}

install_missing() {
  apt-get install -y -q --no-install-recommends "$@" && return 0
  if [[ $update_failed -eq 0 ]]; then
    echo "install-deps: failed at: apt-get install" >&2
    return 1
  fi
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  echo "install-deps: the install failed after an incomplete update;" \
       "trying once more preferring the release's own suite (-t $codename)" >&2
  apt-get install -y -q --no-install-recommends -t "$codename" "$@" && return 0
  echo "install-deps: failed at: apt-get install -t $codename, after an incomplete update" >&2
  return 1
}

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -eq 0 ]]; then
  ensure_locales
  exit 0
fi

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
update_lists
install_missing "${missing[@]}" || exit 1
ensure_locales
