#!/bin/bash
# Builds everything and starts the installer from the product CD as the CD's
# autorun would: "E:\setup.exe /autorun" in a fresh Wine prefix whose drive
# E: is the CD folder (the release i686 setup.exe in a 32-bit prefix where
# this machine runs 32-bit code, the x86_64 build otherwise).
#   With a display ($DISPLAY reachable): the real installer opens for the
#   person at the screen.
#   Without one: a scripted walk through a first installation runs under
#   Xvfb, writes a picture of each step and a report of what was installed
#   into build/run/ (QV_UPDATE_DOCS=1 also copies the pictures to
#   docs/walkthrough/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
out=${QV_BUILD_ROOT:-$PWD/build}/run
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec scripts/play.sh --interactive
fi
echo "No display: a scripted first installation under Xvfb"
scripts/play.sh scripts/walk.txt "$out/screenshots" --report | tee "$out.txt"
mv "$out.txt" "$out/report.txt"
if [ -n "${QV_UPDATE_DOCS:-}" ]; then
  rm -f docs/walkthrough/*.png
  cp "$out"/screenshots/*.png docs/walkthrough/
fi
echo
echo "Pictures: $out/screenshots/   Report: $out/report.txt"
