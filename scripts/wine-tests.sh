#!/usr/bin/env bash
# Runs the Windows test suites of build-windows/x86_64 under Wine, in the project's own prefix
# build-windows/wineprefix (made here when missing). scripts/build-windows.sh runs it on a
# virtual display, which the window's own test needs.
set -euo pipefail
cd "$(dirname "$0")/.."
export QORBGL_WINEPREFIX=$PWD/build-windows/wineprefix
server() { WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver "$@"; }

# A Wine server left by an earlier run that stopped half-way is ended: a second one would not
# start, and its programs would keep the display they had.
server -k 2>/dev/null || true
# A prefix whose desktop is not the tests' own home (one made by hand) is made again.
desktop=$QORBGL_WINEPREFIX/drive_c/users/$(id -un)/Desktop
if [[ -f $QORBGL_WINEPREFIX/system.reg &&
      $(readlink -f "$desktop") != "$PWD/build-windows/wine-home/Desktop" ]]; then
  rm -rf "$QORBGL_WINEPREFIX"
fi
# One Wine server for the prefix's making and every test, ended with them.
mkdir -p "$QORBGL_WINEPREFIX"
server -p
trap 'server -k || true' EXIT
if [[ ! -f $QORBGL_WINEPREFIX/system.reg ]]; then
  scripts/wine-run.sh wineboot -i >/dev/null 2>&1
fi
# The tests type numbers as the program's users do, in the French format ("433,5"): the
# prefix's user gets its decimal and grouping symbols, whatever the machine's own locale.
for value in "sDecimal=," "sThousand= "; do
  scripts/wine-run.sh reg add 'HKCU\Control Panel\International' /v "${value%%=*}" /t REG_SZ \
    /d "${value#*=}" /f >/dev/null 2>&1
done
# Wine's desktop process starts with the first program that asks for the desktop, and keeps
# that program's output open: started here, it holds none of the pipes CTest waits on.
scripts/wine-run.sh rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
ctest --test-dir build-windows/x86_64 --output-on-failure -j "$(nproc)"
