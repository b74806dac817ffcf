#!/bin/bash
# Two clean builds of the release setup.exe, in folders of different names,
# must give the same bytes.  usage: check_reproducible.sh source-dir szdd
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in first second-build; do
  cmake -S "$1" -B "$work/$n" -G Ninja --toolchain "$1/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_SZDD="$2" >/dev/null
  cmake --build "$work/$n" --target setup >/dev/null
done
cmp "$work/first/src/setup.exe" "$work/second-build/src/setup.exe"
echo "ok   release setup.exe is reproducible"
