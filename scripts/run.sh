#!/bin/bash
# Builds everything and starts the installer from the product CD as the CD's
# autorun would: "E:\setup.exe /autorun" in a fresh Wine prefix whose drive
# E: is the CD folder (with the win64 setup.exe: this machine runs only
# 64-bit programs).
#   With a display ($DISPLAY reachable): the real installer opens for the
#   person at the screen.
#   Without one: a scripted walk through a first installation runs under
#   Xvfb, writes a picture of each step and a report of what was installed
#   into build/run/ (QV_UPDATE_DOCS=1 also copies the pictures to
#   docs/walkthrough/).
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
scripts/build.sh
root=${QV_BUILD_ROOT:-$here/build}
out=$root/run
source tests/wine/harness/wine_env.sh

rm -rf "$out"
mkdir -p "$out"
tests/wine/harness/make_prefix.sh "$out/template" display >/dev/null
export WINEPREFIX=$out/template/prefix HOME=$out/template/home
ln -sfn "$root/win64/cd" "$WINEPREFIX/dosdevices/e:"
export QV_TEST_BIN=Z:$(echo "$root/win64/tests/wine" | sed 's|/|\\|g')
walk=$root/win64/tools/walkthrough/walkthrough.exe
xvfb_pid=
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Starting E:\\setup.exe /autorun on $DISPLAY"
  "$WINE64" "$walk" --interactive
  exit 0
fi

source tests/wine/harness/xvfb.sh
start_xvfb
echo "No display: a scripted first installation under Xvfb ($DISPLAY)"
"$WINE64" "$walk" "Z:${out//\//\\}" | tr -d '\r'
mkdir -p "$out/screenshots"
for bmp in "$out"/*.bmp; do
  [ -e "$bmp" ] || continue
  png=$out/screenshots/$(basename "${bmp%.bmp}").png
  /usr/bin/convert "$bmp" -strip -define png:exclude-chunks=date,time "PNG8:$png"
  rm "$bmp"
done
if [ -n "${QV_UPDATE_DOCS:-}" ]; then
  mkdir -p docs/walkthrough
  cp "$out"/screenshots/*.png docs/walkthrough/
fi
echo
echo "Pictures: $out/screenshots/   Report: $out/report.txt"
