#!/bin/bash
# Runs one Windows test program in a throwaway copy of the template prefix:
#   run_wine_test.sh TEMPLATE_DIR CD_DIR PROGRAM.exe [arguments...]
# Drive E: of the copy is the CD folder, HOME is a fresh folder, and only
# this copy's wineserver is stopped at the end.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine_env.sh"
template=$1
cd_dir=$2
program=$3
shift 3
if [ ! -d "$template/prefix" ]; then
  echo "no template prefix in $template (the wine.prefix fixture makes it)" >&2
  exit 1
fi
work=$(mktemp -d /tmp/qv-wine.XXXXXX)
cleanup() {
  WINEPREFIX=$work/prefix "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
cp -a "$template/prefix" "$work/prefix"
mkdir -p "$work/home"
ln -sfn "$(cd "$cd_dir" && pwd)" "$work/prefix/dosdevices/e:"
export WINEPREFIX=$work/prefix HOME=$work/home
# The test programs find their companions (setup.exe, probes) through this.
export QV_TEST_BIN=Z:$(cd "$(dirname "$program")" && pwd | sed 's|/|\\|g')
export QV_SOURCE_DIR=Z:$(cd "$here/../../.." && pwd | sed 's|/|\\|g')
# A hung program fails its test here rather than hanging the whole run.
timeout -k 10 ${QV_TEST_TIMEOUT:-900} "$WINE64" "$program" "$@" < /dev/null
status=$?
exit $status
