#!/bin/bash
# Makes the template Wine prefixes that the Wine tests and scripts copy:
#   make_prefix.sh DIR [64|32]
# DIR/headless: the null graphics driver (dialogs exist and can be driven,
# nothing is drawn).  DIR/display: Wine draws on $DISPLAY with its own
# captions (and the fonts of its caption buttons), for screenshots and for
# what only a drawn window has (the folder browser's tree).  Drive E: is
# reported as a CD-ROM drive; each copy links it to its own CD folder.
# A 32-bit template on a machine that cannot run 32-bit code is skipped
# (exit 77) with the reason.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh"
final=$(realpath -m "$1")
arch=${2:-64}
if [ "$arch" = 32 ] && ! runs_32bit; then exit 77; fi
use_wine "$arch"
mkdir -p "$(dirname "$final")"
# Built under a temporary name and moved into place, so that a test run
# that copies the template meanwhile never sees half a prefix.
work=$(mktemp -d "$(dirname "$final")/.template.XXXXXX")
export WINEPREFIX=$work/headless/prefix HOME=$work/headless/home
mkdir -p "$HOME"
"$WINE" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w
# Wine links the user's Desktop, Documents and the like to HOME, which is
# outside the prefix: every copy would share (and, once this folder is
# moved, lose) them.  Real folders keep each copy's shell folders its own.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir "$link"
  fi
done
settings() {
  echo 'REGEDIT4'
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\Drivers]'
  echo "\"Graphics\"=$1"
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
  echo '"Managed"="N"'
  echo '"Decorated"="Y"'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Wine\Drives]'
  echo '"e:"="cdrom"'
}
apply() {
  settings "$1" > "$work/settings.reg"
  "$WINE" regedit /S "Z:${work//\//\\}\\settings.reg" >/dev/null 2>&1
  "$WINESERVER" -k || true
  "$WINESERVER" -w || true
}
apply '"null"'
cp -a "$work/headless" "$work/display"
export WINEPREFIX=$work/display/prefix HOME=$work/display/home
# Caption buttons are drawn with the Marlett font that fonts-wine ships.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
apply -
rm -f "$work/settings.reg"
# Debian's Wine finds a prefix's server at <root>/server-<device>-<inode>, <root> a /tmp folder named in the prefix's
# "wineserver" file.  Copies sharing it would share a root, and a copy on the inode of one just removed would meet
# that one's server folder; without it each copy's first server makes a root of its own.  The template's are stopped.
for prefix in "$work"/*/prefix; do
  root=$(server_root "$prefix") && rm -rf "$root"
  rm -f "$prefix/wineserver"
done
rm -rf "$final.old"
[ -d "$final" ] && mv "$final" "$final.old"
mv "$work" "$final"
rm -rf "$final.old"
echo "template prefixes ready: $final/headless, $final/display ($arch-bit)"
