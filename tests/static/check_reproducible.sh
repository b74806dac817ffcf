#!/bin/bash
# Two clean builds of the release setup.exe, in folders of different names,
# must give the same bytes.
set -euo pipefail
source_dir=$1
szdd=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in first second-build; do
  cmake -S "$source_dir" -B "$work/$n" -G Ninja \
    --toolchain "$source_dir/cmake/mingw-w64-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_SZDD="$szdd" >/dev/null
  cmake --build "$work/$n" --target setup >/dev/null
done
a=$(sha256sum < "$work/first/src/setup.exe")
b=$(sha256sum < "$work/second-build/src/setup.exe")
echo "first:  $a"
echo "second: $b"
[ "$a" = "$b" ] && echo "ok   release setup.exe is reproducible" || { echo "FAIL the two builds differ"; exit 1; }
