#!/bin/bash
# Builds the three presets: host (tools, unit tests), win64 (the installer
# and test programs run under Wine), win32 (the release setup.exe).
# QV_BUILD_ROOT puts the three build folders elsewhere (default: build/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
root=${QV_BUILD_ROOT:-$PWD/build}
cmake --preset host -B "$root/host" -DQV_WIN64_DIR="$root/win64" -DQV_WIN32_DIR="$root/win32" >/dev/null
cmake --build "$root/host"
for preset in win64 win32; do
  cmake --preset "$preset" -B "$root/$preset" -DQV_SZDD="$root/host/tools/szdd/szdd" >/dev/null
  cmake --build "$root/$preset"
done
