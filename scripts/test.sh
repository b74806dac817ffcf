#!/bin/bash
# Builds everything and runs every test (native unit tests under ASan/UBSan,
# static checks of both setup.exe builds, fuzzers for a bounded time, and the
# Wine tests) in one ctest run with one summary.  Extra arguments go to ctest
# (for example -R wine to run only the Wine tests).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
root=${QV_BUILD_ROOT:-$PWD/build}
ctest --test-dir "$root/host" --output-on-failure -j2 "$@"
