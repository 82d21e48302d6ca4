#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix ($QORBGL_WINEPREFIX, made by
# scripts/build-windows.sh), as CTest runs every Windows test. This machine's Wine runs 64-bit
# programs (its kernel runs no 32-bit Linux programs, which 32-bit Wine needs).
set -euo pipefail
export WINEPREFIX=${QORBGL_WINEPREFIX:?QORBGL_WINEPREFIX names the Wine prefix of the tests}
export WINEDEBUG=-all
export WINELOADER=/usr/lib/wine/wine64
exec /usr/lib/wine/wine64 "$@"
