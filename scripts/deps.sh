#!/bin/bash
# Installs what building and testing need on a Debian 12 machine, when it is
# missing: mingw-w64 for both Windows targets, Wine (64-bit, and 32-bit for
# the release setup.exe, from the i386 architecture), Xvfb and
# ImageMagick for screenshots, clang for the sanitizers and fuzzers, and the
# peers the tests and benchmarks compare with.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang-14 libclang-rt-14-dev googletest libgtest-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 fonts-wine xvfb imagemagick x11-utils
  python3 python3-pefile libmspack-dev mscompress xorriso locales osslsigncode openssl
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# Wine takes its code page from the Unix locale: the double-byte folder
# scenarios run under Japanese (code page 932), which must exist.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
