#!/bin/bash
# Runs one fuzzer for a bounded time on a seed corpus made from the codec's own
# sources (compressed by the szdd tool, or raw); prints how many inputs it ran.
# usage: run_fuzzer.sh FUZZER SZDD_TOOL WORK_DIR SECONDS [seeds|raw]
set -euo pipefail
fuzzer=$1 szdd=$2 work=$3 seconds=$4 kind=${5:-seeds}
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work/corpus" "$work/plain"
for source in "$here"/../src/codec/szdd_*.cpp "$here"/../tools/szdd/*.cpp; do
  for size in 40 300 2500; do head -c $size "$source" >"$work/plain/$(basename "$source").$size"; done
done
printf '' >"$work/plain/empty"
printf 'abc' >"$work/plain/short"
head -c 3000 /dev/zero >"$work/plain/zeros"
for f in "$work"/plain/*; do
  if [ "$kind" = raw ]; then cp "$f" "$work/corpus/"; continue; fi
  for level in optimal fast; do "$szdd" compress -l $level "$f" "$work/corpus/$(basename "$f").$level"; done
done
cd "$work"
# The summary is printed also when the fuzzer fails, whose status stays the script's.
trap 'grep -sE "^(Done|stat::number_of_executed_units|==[0-9]+==ERROR)|SUMMARY" fuzz.log || true' EXIT
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 corpus >fuzz.log 2>&1
