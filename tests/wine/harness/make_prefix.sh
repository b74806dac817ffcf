#!/bin/bash
# Makes the template Wine prefix that every Wine test copies:
#   make_prefix.sh TEMPLATE_DIR [headless|display]
# headless: the null graphics driver (dialogs exist and can be driven, nothing
# is drawn); display: Wine draws its own captions so screenshots show them.
# Drive E: is reported as a CD-ROM drive; each test links it to its own
# CD folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh"
final=$1
mode=${2:-headless}
# Built under a temporary name and moved into place, so that a test run
# that copies the template meanwhile never sees half a prefix.
template=$(mktemp -d "$(dirname "$final")/.template.XXXXXX")
export WINEPREFIX=$template/prefix
export HOME=$template/home
mkdir -p "$HOME"
"$WINE64" wineboot -i >/dev/null 2>&1
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
# Wine draws caption buttons with the Marlett font; put the fonts that
# fonts-wine ships into the prefix so that a display shows them.
if [ "$mode" = display ] && [ -d /usr/share/wine/fonts ]; then
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
regfile=$template/settings.reg
{
  echo 'REGEDIT4'
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\Drivers]'
  if [ "$mode" = headless ]; then echo '"Graphics"="null"'; fi
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
  echo '"Managed"="N"'
  echo '"Decorated"="Y"'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Wine\Drives]'
  echo '"e:"="cdrom"'
} > "$regfile"
"$WINE64" regedit /S "Z:${regfile//\//\\}" >/dev/null 2>&1
"$WINESERVER" -k || true
"$WINESERVER" -w || true
rm -rf "$final.old"
[ -d "$final" ] && mv "$final" "$final.old"
mv "$template" "$final"
rm -rf "$final.old"
echo "template prefix ready: $final/prefix ($mode)"
