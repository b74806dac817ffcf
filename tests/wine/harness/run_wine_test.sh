#!/bin/bash
# Runs one Windows test program in a throwaway copy of a template prefix:
#   run_wine_test.sh KIND TEMPLATE_DIR SETUP_BUILD PROGRAM.exe [arguments...]
# KIND is x64, x86 or wow64; E: is the CD folder of SETUP_BUILD, HOME a fresh
# folder, and a scenario's "needs:" line (see the README) is set up here.
# Exit 77 (skipped, with the reason) where the machine cannot run it; only
# this copy's server and programs are stopped at the end.  A program passes
# only with exit code 0, its "passed" line, and a server that ended well.
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
# Stops this copy's server, then any Wine process of this copy still there: a server that was killed leaves its
# services hanging, and they hold the run's output pipes.
stop_wine() {
  WINEPREFIX=$work/prefix "$WINESERVER" -k >/dev/null 2>&1; WINEPREFIX=$work/prefix "$WINESERVER" -w >/dev/null 2>&1
  local p; for p in $(grep -lsxzF "WINEPREFIX=$work/prefix" /proc/[0-9]*/environ | cut -d/ -f3); do
    [[ "$(readlink /proc/$p/exe)" == /usr/lib/wine/* ]] && kill -KILL $p 2>/dev/null; done
}
cleanup() {
  stop_wine
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null
  mountpoint -q "$work/disk" 2>/dev/null && umount "$work/disk"
  rm -rf "$(server_root "$work/prefix")" "$work"
}
trap cleanup EXIT
cp -a "$template/$mode/prefix" "$work/prefix"
mkdir -p "$work/home"
cd_folder=$(cd "$build/cd" && pwd)
[[ "$needs" == *planted-dlls* || "$needs" == *signed* ]] && cp -a "$cd_folder" "$work/cd" && cd_folder=$work/cd
[[ "$needs" == *planted-dlls* ]] && cp "$build"/tools/standins/planted/*.dll "$work/cd/" &&
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comctl32,uxtheme=n,b"
[[ "$needs" == *signed* ]] && { "$wine_scripts/../sign.sh" --test-certificate "$work" &&
  "$wine_scripts/../sign.sh" "$work/key.pem" "$work/cert.pem" "$(date +%s)" "$work/cd/setup.exe" || exit 1; }
ln -sfn "$cd_folder" "$work/prefix/dosdevices/e:"
[[ "$needs" == *small-disk* ]] && { mkdir "$work/disk" && mount -t tmpfs -o size=600k tmpfs "$work/disk" 2>/dev/null ||
  { echo "a small disk needs a tmpfs mount, which only root may make here"; exit 77; }; ln -sfn "$work/disk" "$work/prefix/dosdevices/d:"; }
[[ "$needs" == *japanese* ]] && { locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' ||
  { echo "the Japanese locale is missing (scripts/deps.sh makes it)" >&2; exit 1; }; export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; }
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
# The server Wine itself would start (Debian: a script that runs wineserver64 -p0) runs here in the foreground, so that
# its end is known: Wine's client says nothing when its server fails while starting (it exits with that status, 1 for
# a signal) or dies under it (it exits 0).
"$(dirname "$WINELOADER")/wineserver" -f < /dev/null >&3 2>&3 &
server_pid=$! ended=
server_ended() {  # true once the server has ended; $ended then says how
  [ -z "$ended" ] && grep -qs '^State:[[:space:]]*[^Z]' /proc/$server_pid/status && return 1
  [ -n "$ended" ] || { wait $server_pid; local s=$?; ended="ended with status $s"; [ $s -le 128 ] || ended="killed by signal $(kill -l $((s - 128)))"; }
}
socket() { local root; root=$(server_root "$WINEPREFIX") && printf '%s/server-%x-%x/socket' "$root" $(stat -c '%d %i' "$WINEPREFIX"); }
for ((i = 0; i < 100; i++)); do [ -S "$(socket)" ] || server_ended && break; sleep 0.1; done
if [ -S "$(socket)" ] && ! server_ended; then  # a hung program fails its test rather than hanging the whole run
  WINEDEBUG=${QV_WINEDEBUG:-err+all,warn+seh,fixme-all} timeout -k 10 "${QV_TEST_TIMEOUT:-600}" "$WINE" "$program" "${args[@]}" < /dev/null >&4 2>&3
  rc=$?
else rc=1 ended="did not start: ${ended:-no socket after 10 s}"; fi
exec 3>&- 4>&-
server_ended  # with -p0 it leaves with the last program, status 0; any other end before this stop is the run's fault
stop_wine
timeout 10 tail --pid=$log_pid --pid=$out_pid -f /dev/null
verdict=$(grep -aoE $'^(passed|FAILED)\r?$' "$work/out.log" | tail -1 | tr -d '\r')
[ $rc -eq 0 ] && [ "$verdict" = passed ] && [[ "$ended" =~ ^(|ended with status 0)$ ]] && exit 0
echo "$(basename "$program") ended with exit code $rc${verdict:+ after its verdict}; the prefix's server: ${ended:-running at its end}"
[ -n "$verdict" ] || { echo "no verdict line (prefix folder: device $(stat -c '%d inode %i' "$WINEPREFIX"), server folder \
$(server_root "$work/prefix")); what Wine said last:"; cat "$work/wine.log"; }
[ $rc -eq 0 ] && exit 1 || exit $rc
