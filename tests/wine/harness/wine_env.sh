# Sourced by the Wine scripts: the 64-bit loader and server (the plain
# `wine` wrapper picks the 32-bit loader, which cannot run on this machine),
# no Mono/Gecko prompts, no menu entries written into HOME.
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE64=/usr/lib/wine/wine64
