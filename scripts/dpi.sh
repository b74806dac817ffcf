#!/bin/bash
# The install dialog at 96, 120 and 144 DPI (the setting Wine reads from
# LogPixels under HKCU\Control Panel\Desktop), into docs/dpi/: the pictures
# the manifest's DPI choice is made from.
#   scripts/dpi.sh                 build first, then shoot
#   QV_NO_BUILD=1 scripts/dpi.sh   shoot what is built
set -euo pipefail
cd "$(dirname "$0")/.."
[ -n "${QV_NO_BUILD:-}" ] || scripts/build.sh
out=${QV_BUILD_ROOT:-$PWD/build}/dpi
mkdir -p docs/dpi
for dpi in 96 120 144; do
  QV_DPI=$dpi scripts/play.sh scripts/dpi.txt "$out/$dpi"
  cp "$out/$dpi/install.png" "docs/dpi/install-${dpi}dpi.png"
done
ls docs/dpi
