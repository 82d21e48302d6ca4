#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix ($QORBGL_WINEPREFIX, made by
# scripts/build-windows.sh), as CTest runs every Windows test. This machine's Wine runs 64-bit
# programs (its kernel runs no 32-bit Linux programs, which 32-bit Wine needs).
# Wine links the prefix's desktop, documents and recycle bin to the Unix home: the programs
# run with a home of their own beside the prefix, never the user's, and make no menu entries.
set -euo pipefail
export WINEPREFIX=${QORBGL_WINEPREFIX:?QORBGL_WINEPREFIX names the Wine prefix of the tests}
home=$(dirname "$WINEPREFIX")/wine-home
mkdir -p "$home/Desktop" "$home/.config" "$home/.local/share" "$home/.cache"
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
export XDG_CACHE_HOME=$home/.cache
unset XDG_DESKTOP_DIR
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export WINELOADER=/usr/lib/wine/wine64
exec /usr/lib/wine/wine64 "$@"
