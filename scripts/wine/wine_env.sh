# Sourced by the Wine scripts.  use_wine 64|32 picks the loader and server
# of that width (the plain `wine` wrapper would pick by itself), no
# Mono/Gecko prompts, no menu entries written into HOME.  WINE is the
# loader to start programs with.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
use_wine() {
  if [ "$1" = 32 ]; then
    export WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 WINEARCH=win32
  else
    export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    unset WINEARCH
  fi
  WINE=$WINELOADER
}
use_wine 64
# Whether this machine runs 32-bit programs: some machines of this kind have
# IA-32 emulation switched off, and the 32-bit loader then fails to start.
# Prints the reason when it cannot.
runs_32bit() {
  local why
  why=$( (/usr/lib/wine/wine --version) 2>&1 >/dev/null) && return 0
  why=${why##*: }
  echo "this machine cannot run 32-bit programs (the 32-bit Wine loader: ${why:-does not start})"
  return 1
}
# The /tmp folder that holds a prefix's server folders, as Debian's Wine names
# it in the prefix's "wineserver" file once a server has run; nothing before.
server_root() {
  local name
  name=$(cat "$1/wineserver" 2>/dev/null) && [[ "$name" =~ ^wine-[A-Za-z0-9]+$ ]] && echo "/tmp/$name"
}
