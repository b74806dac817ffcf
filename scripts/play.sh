#!/bin/bash
# Plays a scenario file against the product CD's setup.exe on a virtual
# display, with Wine drawing its own captions, and turns the pictures the
# scenario takes into PNG files:
#   scripts/play.sh SCENARIO OUTPUT_DIR [--report]   (after scripts/build.sh)
#     --report: then what the installation left in the prefix
#   scripts/play.sh --interactive            setup.exe /autorun on $DISPLAY
# QV_DPI=120 sets the screen's DPI in the prefix first.
# Where the machine runs 32-bit code, the CD is the release one (i686
# setup.exe) in a 32-bit prefix; otherwise the x86_64 build in a 64-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD
root=${QV_BUILD_ROOT:-$here/build}
source scripts/wine/wine_env.sh
if why=$(runs_32bit); then
  arch=32 build=$root/win32
  echo "Running the release CD: the i686 setup.exe in a 32-bit prefix"
else
  arch=64 build=$root/win64
  echo "Running the x86_64 setup.exe in a 64-bit prefix ($why)"
fi
use_wine "$arch"
work=$(mktemp -d /tmp/qv-play.XXXXXX)
xvfb_pid=
cleanup() {
  WINEPREFIX=$work/template/display/prefix "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
scripts/wine/make_prefix.sh "$work/template" "$arch" >/dev/null
export WINEPREFIX=$work/template/display/prefix HOME=$work/template/display/home
ln -sfn "$build/cd" "$WINEPREFIX/dosdevices/e:"
if [ -n "${QV_DPI:-}" ]; then
  # The screen's DPI setting, read when the prefix's server starts.
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$QV_DPI" /f >/dev/null 2>&1
  "$WINESERVER" -w
fi
winpath() { echo "Z:${1//\//\\}"; }
if [ "$1" = --interactive ]; then
  echo "Starting E:\\setup.exe /autorun on $DISPLAY"
  cd "$build/cd"
  "$WINE" start /d 'E:\' /wait 'E:\setup.exe' /autorun
  exit 0
fi
scenario=$(realpath "$1")
out=$(realpath -m "$2")
source scripts/wine/xvfb.sh
start_xvfb
rm -rf "$out"
mkdir -p "$out"
# A picture of the screen area the driver names, once two grabs in a row
# agree (painting has finished).
take_picture() {
  local previous='' current=''
  for _ in $(seq 40); do
    current=$(/usr/bin/import -window root -crop "$2" +repage -strip -define png:exclude-chunks=date,time PNG8:- | base64 -w0)
    [ "$current" = "$previous" ] && break
    previous=$current
    sleep 0.15
  done
  base64 -d <<<"$current" > "$out/$1.png"
}
QV_SHOTS=$(winpath "$out") QV_SETUP_BUILD=$(winpath "$build") \
  "$WINE" "$build/tests/wine/scenario.exe" "$(winpath "$scenario")" 2>/dev/null |
  while IFS= read -r line; do
    line=${line%$'\r'}
    if [[ "$line" == "shot "* ]]; then
      read -r _ name area <<<"$line"
      take_picture "$name" "$area"
    else
      echo "$line"
    fi
  done
if [ "${3:-}" = --report ]; then
  drive=$WINEPREFIX/drive_c
  echo "Installed into C:\Program Files\Quavertone"
  find "$drive/Program Files/Quavertone" -maxdepth 1 -type f -printf '  %-20f %10s bytes\n' | sort
  echo "Registry:"
  for key in 'HKCU\Software\Quavertone' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quavertone'; do
    "$WINE" reg query "$key" 2>/dev/null | tr -d '\r' |
      awk -v key="$key" '$2 ~ /^REG_/ { name = $1; type = $2; sub(/^ *[^ ]+ +[^ ]+ +/, ""); print "  " key "  " name " (" type ") = " $0 }'
  done
  echo "Shortcuts:"
  find "$drive/users" -name Quavertone.lnk -printf '  C:\\users\\%P\n' | tr / '\\'
  echo "Programs started:"
  sed 's/^/  /' "$drive/qvtest/started.log" 2>/dev/null | tr -d '\r'
fi
