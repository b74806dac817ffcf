#!/bin/bash
# Renders the installer's dialogs as the user sees them, into
# docs/screenshots/*.png: Wine draws them (captions included) on a virtual
# X display, and each picture is cut to the dialog and any box over it.
# The dialogs are put on the screen by the dialogs probe (built from the
# installer's own code and resources), one state at a time.
#   scripts/screenshots.sh            build first, then shoot
#   QV_NO_BUILD=1 scripts/screenshots.sh   shoot what is built
# QV_BUILD_ROOT as for scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
root=${QV_BUILD_ROOT:-$here/build}
[ -n "${QV_NO_BUILD:-}" ] || scripts/build.sh
source tests/wine/harness/wine_env.sh
probe=$root/win64/tests/wine/dialogs_probe.exe
out=$here/docs/screenshots
mkdir -p "$out"
[ -f "$probe" ] || { echo "no $probe: build the win64 preset first" >&2; exit 1; }

work=$(mktemp -d /tmp/qv-shots.XXXXXX)
xvfb_pid=
cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
  fi
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A prefix in which Wine draws on the display and paints its own captions.
tests/wine/harness/make_prefix.sh "$work/template" display >/dev/null
export WINEPREFIX=$work/template/prefix HOME=$work/template/home

source tests/wine/harness/xvfb.sh
start_xvfb

windows_path() { echo "Z:${1//\//\\}"; }

# shot NAME CAPTIONS [VAR=VALUE...]: starts the probe with the settings,
# waits until the windows captioned CAPTIONS ("a|b") are up, and saves the
# screen cut to them as NAME.png once two grabs in a row agree (painting
# has finished).
shot() {
  local name=$1 captions=$2
  shift 2
  local report=$work/$name.txt
  rm -f "$report"
  env "$@" QV_PROBE_SHOT="$captions" QV_PROBE_REPORT="$(windows_path "$report")" \
    "$WINE64" "$probe" >/dev/null 2>&1 &
  local pid=$!
  local rect=
  for _ in $(seq 300); do
    rect=$(sed -n 's/^shot=//p' "$report" 2>/dev/null | head -1 || true)
    [ -n "$rect" ] && break
    sleep 0.1
  done
  if [ -z "$rect" ] || [ "$rect" = none ]; then
    echo "$name: the windows \"$captions\" did not appear" >&2
    kill "$pid" 2>/dev/null || true
    return 1
  fi
  local left top right bottom
  IFS=, read -r left top right bottom <<<"$rect"
  local geometry=$((right - left))x$((bottom - top))+$left+$top
  local previous=$work/previous.png current=$work/current.png
  rm -f "$previous"
  for _ in $(seq 50); do
    sleep 0.2
    /usr/bin/import -window root "$work/screen.png"
    /usr/bin/convert "$work/screen.png" -crop "$geometry" +repage "$current"
    if [ -f "$previous" ] && cmp -s <(/usr/bin/convert "$previous" rgb:-) <(/usr/bin/convert "$current" rgb:-); then
      break
    fi
    cp "$current" "$previous"
  done
  # Small files: a palette of the colours in use, no time stamps.
  /usr/bin/convert "$current" -strip -define png:exclude-chunks=date,time "PNG8:$out/$name.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "$out/$name.png ($geometry)"
}

dialog="Install Quavertone VERSION 10.0"
progress="Installing Quavertone  ---  Working ... "
folder='C:\Program Files\Quavertone'
shot install-fresh "$dialog" QV_PROBE=install QV_PROBE_INSTALLED=0 QV_PROBE_DESTINATION="$folder"
shot install-update "$dialog" QV_PROBE=install QV_PROBE_INSTALLED=1 QV_PROBE_VERSION=900 \
  QV_PROBE_DESTINATION="$folder"
shot install-newer "$dialog" QV_PROBE=install QV_PROBE_INSTALLED=1 QV_PROBE_VERSION=1100 \
  QV_PROBE_DESTINATION="$folder"
shot product-running "$dialog|Install Quavertone" QV_PROBE=install QV_PROBE_INSTALLED=0 \
  QV_PROBE_DESTINATION="$folder" QV_PROBE_PRODUCT_RUNNING=1 QV_PROBE_ACT=click:1
shot cdrom-menu "Quavertone --- CD-ROM" QV_PROBE=cdrom
shot progress "$progress" QV_PROBE=progress QV_PROBE_RANGE=0,5 QV_PROBE_POSITION=2
shot abort-question "$progress|Install Quavertone" QV_PROBE=progress QV_PROBE_RANGE=0,5 QV_PROBE_POSITION=2 \
  QV_PROBE_ACT=escape
