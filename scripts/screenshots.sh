#!/bin/bash
# Renders the installer's dialogs as the user sees them, into
# docs/screenshots/*.png: the real setup.exe, driven into each state by
# scripts/screenshots.txt, drawn by Wine on a virtual X display.
#   scripts/screenshots.sh                 build first, then shoot
#   QV_NO_BUILD=1 scripts/screenshots.sh   shoot what is built
set -euo pipefail
cd "$(dirname "$0")/.."
[ -n "${QV_NO_BUILD:-}" ] || scripts/build.sh
out=${QV_BUILD_ROOT:-$PWD/build}/screenshots
scripts/play.sh scripts/screenshots.txt "$out"
cp "$out"/*.png docs/screenshots/
ls docs/screenshots
