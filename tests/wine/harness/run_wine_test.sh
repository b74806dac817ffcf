#!/bin/bash
# Runs one Windows test program in a throwaway copy of a template prefix:
#   run_wine_test.sh KIND TEMPLATE_DIR SETUP_BUILD PROGRAM.exe [arguments...]
# KIND is x64, x86 or wow64; E: is the CD folder of SETUP_BUILD, HOME a fresh
# folder, and a scenario's "needs:" line (see the README) is set up here.
# Exit 77 (skipped, with the reason) where the machine cannot run it; only
# this copy's wineserver is stopped at the end.
set -uo pipefail
wine_scripts=$(cd "$(dirname "$0")/../../../scripts/wine" && pwd)
source "$wine_scripts/wine_env.sh"
kind=$1 template=$2 build=$3 program=$4
shift 4
needs=$(sed -n 's/^needs://p' "${!#}" 2>/dev/null | head -1)
if [ "$kind" != x64 ] && ! runs_32bit; then exit 77; fi
[ "$kind" = x86 ] && use_wine 32
[[ "$needs" == *display* ]] && mode=display || mode=headless
[ -d "$template/$mode/prefix" ] ||
  { echo "no template prefix in $template (the wine.prefix fixtures make it)" >&2; exit 1; }
work=$(mktemp -d /tmp/qv-wine.XXXXXX)
xvfb_pid=
server_root() { local n; n=$(cat "$work/prefix/wineserver" 2>/dev/null) && [[ "$n" =~ ^wine-[A-Za-z0-9]+$ ]] && echo "/tmp/$n"; }
cleanup() {
  WINEPREFIX=$work/prefix "$WINESERVER" -k >/dev/null 2>&1; WINEPREFIX=$work/prefix "$WINESERVER" -w >/dev/null 2>&1
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null
  mountpoint -q "$work/disk" 2>/dev/null && umount "$work/disk"
  rm -rf "$(server_root)" "$work"
}
trap cleanup EXIT
cp -a "$template/$mode/prefix" "$work/prefix"
# Wine finds a prefix's server at <root>/server-<device>-<inode>, <root> named by the prefix's "wineserver" file, which
# copies of one template share: a copy on the inode of one just removed met its server folder. Now each makes its own.
rm -f "$work/prefix/wineserver"
mkdir -p "$work/home"
cd_folder=$(cd "$build/cd" && pwd)
if [[ "$needs" == *planted-dlls* || "$needs" == *signed* ]]; then
  cp -a "$cd_folder" "$work/cd"
  cd_folder=$work/cd
fi
if [[ "$needs" == *planted-dlls* ]]; then
  cp "$build"/tools/standins/planted/*.dll "$work/cd/"
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comctl32,uxtheme=n,b"
fi
if [[ "$needs" == *signed* ]]; then
  "$wine_scripts/../sign.sh" --test-certificate "$work" &&
    "$wine_scripts/../sign.sh" "$work/key.pem" "$work/cert.pem" "$(date +%s)" "$work/cd/setup.exe" || exit 1
fi
ln -sfn "$cd_folder" "$work/prefix/dosdevices/e:"
if [[ "$needs" == *small-disk* ]]; then
  mkdir "$work/disk"
  mount -t tmpfs -o size=600k tmpfs "$work/disk" 2>/dev/null ||
    { echo "a small disk needs a tmpfs mount, which only root may make here"; exit 77; }
  ln -sfn "$work/disk" "$work/prefix/dosdevices/d:"
fi
if [[ "$needs" == *japanese* ]]; then
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' ||
    { echo "the Japanese locale is missing (scripts/deps.sh makes it)" >&2; exit 1; }
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
fi
[ "$mode" = display ] && { source "$wine_scripts/xvfb.sh"; start_xvfb || exit 1; }
export WINEPREFIX=$work/prefix HOME=$work/home
winpath() { echo "Z:$(cd "$1" && pwd | sed 's|/|\\|g')"; }
# The scenarios find the setup.exe build under test (payloads, stand-ins) here.
export QV_SETUP_BUILD=$(winpath "$build")
args=()
for a in "$@"; do [ -e "$a" ] && args+=("$(winpath "$(dirname "$a")")\\$(basename "$a")") || args+=("$a"); done
# Wine's last words (its error channel, exceptions, the loader's, the server's and the program's complaints) show
# when a program fails before its verdict line; the server inherits both pipes and holds them until it ends.
exec 3> >(tail -n 200 > "$work/wine.log") && log_pid=$! && exec 4> >(tee "$work/out.log") && out_pid=$!
# A hung program fails its test here rather than hanging the whole run.
WINEDEBUG=${QV_WINEDEBUG:-err+all,warn+seh,fixme-all} timeout -k 10 "${QV_TEST_TIMEOUT:-600}" "$WINE" "$program" "${args[@]}" < /dev/null >&4 2>&3
rc=$? && exec 3>&- 4>&- && [ $rc -eq 0 ] && exit 0
WINEPREFIX=$work/prefix "$WINESERVER" -k >/dev/null 2>&1; WINEPREFIX=$work/prefix "$WINESERVER" -w >/dev/null 2>&1
timeout 10 tail --pid=$log_pid --pid=$out_pid -f /dev/null
echo "$(basename "$program") ended with exit code $rc"
grep -qE $'^(passed|FAILED)\r?$' "$work/out.log" || { echo "before its verdict (prefix folder: device $(stat -c '%d inode %i' \
  "$WINEPREFIX"), server folder $(server_root)); what Wine said last:"; cat "$work/wine.log"; }
exit $rc
