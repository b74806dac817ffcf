#!/bin/bash
# Builds everything and runs every test (native unit tests under ASan/UBSan,
# static checks of both setup.exe builds, fuzzers for a bounded time, and the
# scenarios against both setup.exe builds under Wine) in one ctest run with
# one summary.  Extra arguments go to ctest (for example -R scenario.x64).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
root=${QV_BUILD_ROOT:-$PWD/build}
source scripts/wine/wine_env.sh
if ! why=$(runs_32bit); then echo "The i686 entries (x86, wow64) are skipped: $why"; fi
ctest --test-dir "$root/host" --output-on-failure -j2 "$@"
