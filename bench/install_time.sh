#!/bin/bash
# How long an installation takes under Wine, from the click on Install to
# the next question: a first installation and an update over it, each run
# RUNS times (default 7) in a fresh prefix, x86_64 build.  Prints the
# median and the spread in milliseconds.
#   bench/install_time.sh [BUILD_DIR]   (default: the win64 build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${QV_BUILD_ROOT:-$PWD/build}
build=${1:-$root/win64}
runs=${RUNS:-7}
template=$root/host/wine-template64
[ -d "$template/headless/prefix" ] || scripts/wine/make_prefix.sh "$template" 64 >/dev/null
first=() update=()
for _ in $(seq "$runs"); do
  out=$(QV_STEP_TIMES=1 tests/wine/harness/run_wine_test.sh x64 "$template" "$build" \
    "$root/win64/tests/wine/scenario.exe" bench/install_time.txt)
  grep -q '^passed' <<<"$out" || { echo "$out"; exit 1; }
  first+=("$(grep -m1 'ms  ask yesno Quavertone has been successfully installed' <<<"$out" | awk '{print $1}')")
  update+=("$(grep -m1 'ms  ask yesno Would you like to install sound effects' <<<"$out" | awk '{print $1}')")
done
report() {
  sort -n | awk -v what="$1" '{v[NR]=$1} END {printf "%-22s median %5d ms  (min %d, max %d, %d runs)\n", what, v[int((NR+1)/2)], v[1], v[NR], NR}'
}
printf '%s\n' "${first[@]}" | report "first installation"
printf '%s\n' "${update[@]}" | report "update over it"
