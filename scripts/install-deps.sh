#!/usr/bin/env bash
# Installs, with apt, whatever the build and the tests need and the machine
# lacks. Run as root on Debian 12.
set -euo pipefail

packages=(
  cmake make g++ g++-multilib googletest python3 python3-pefile
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool xclip imagemagick
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
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
ensure_locales
