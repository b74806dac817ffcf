#!/bin/bash
# Builds everything and runs every test (native unit tests under ASan/UBSan,
# static checks of both setup.exe builds, the fuzzer for a bounded time, and
# the Wine tests) in one ctest run with one summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build/host --output-on-failure -j2 "$@"
