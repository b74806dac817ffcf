#!/bin/bash
# Builds the three presets: host (tools, unit tests), win64 (the installer
# and test programs run under Wine), win32 (the release setup.exe).
set -euo pipefail
cd "$(dirname "$0")/.."
"scripts/deps.sh"
for preset in host win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
