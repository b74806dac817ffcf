#!/bin/bash
# Under Wine: our ExpandCompressedFile against the platform's LZCopy, file
# to file in one process, on the payloads and on a large compressed PE
# corpus.  Prints a table; builds what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
root=${QV_BUILD_ROOT:-$PWD/build}
scripts/build.sh >/dev/null
work=$(mktemp -d /tmp/qv-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$root"/win64/payloads/*_ "$work/"
# A larger input: Wine's own PE libraries, concatenated and compressed.
cat /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/{shell32,comctl32,user32,kernelbase,ole32}.dll > "$work/wine-pe.bin"
"$root/host/tools/szdd/szdd" compress "$work/wine-pe.bin" "$work/wine-pe.bi_" >/dev/null
rm "$work/wine-pe.bin"
template=$root/host/wine-template64
[ -d "$template/headless/prefix" ] || scripts/wine/make_prefix.sh "$template" 64 >/dev/null
args=()
for f in "$work"/*_; do args+=("Z:${f//\//\\}"); done
tests/wine/harness/run_wine_test.sh x64 "$template" "$root/win64" "$root/win64/bench/wine/expand_bench.exe" "${args[@]}"
