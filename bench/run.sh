#!/bin/bash
# Builds the host preset and prints the SZDD codec's figures.
# Corpus: executables installed by Debian's wine packages (debug sections
# stripped, as in shipped programs), license texts, and data the benchmark
# makes itself.  Needs mscompress and libmspack-dev for the comparisons.
set -euo pipefail
# QV_BUILD_ROOT moves the build folder, as for scripts/build.sh.
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD_ROOT:-$root/build}/host
cd "$root"
cmake --preset host -B "$build" >/dev/null
cmake --build "$build" --target szdd szdd_bench >/dev/null

corpus=$build/bench/corpus
rm -rf "$corpus" && mkdir -p "$corpus/pe" "$corpus/text"
wine=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
for dll in user32 comctl32 kernelbase ole32; do
  [ -f "$wine/$dll.dll" ] || { echo "missing $wine/$dll.dll (install wine64)" >&2; exit 1; }
  if command -v x86_64-w64-mingw32-strip >/dev/null; then
    x86_64-w64-mingw32-strip --strip-debug -o "$corpus/pe/$dll.dll" "$wine/$dll.dll"
  else
    cp "$wine/$dll.dll" "$corpus/pe/"
  fi
done
for text in GPL-3 Apache-2.0 GFDL-1.3 MPL-2.0 LGPL-2.1 Artistic; do
  cp "/usr/share/common-licenses/$text" "$corpus/text/$text.txt"
done
command -v mscompress >/dev/null || echo "note: mscompress is not installed; its column stays empty" >&2

echo "host: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/szdd_bench" "$corpus" "$build/tools/szdd/szdd"
