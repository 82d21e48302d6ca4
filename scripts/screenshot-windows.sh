#!/usr/bin/env bash
# Builds the Windows edition, starts QORBgl.exe under Wine on a virtual X server with a sample
# file and saves a screenshot of the whole screen to $1 (default:
# build-windows/screenshot.png); with --elevations first, on the elevation page with the
# file's airports shown. Run as root on Debian 12.
# Wine runs in a fresh prefix and home of a temporary folder: no settings, desktop or bin of a
# real user or of the tests are touched.
set -euo pipefail

page=0
if [[ ${1:-} == --elevations ]]; then
  page=1
  shift
fi
out=${1:-}
if [[ -n $out && $out != /* ]]; then out=$PWD/$out; fi
cd "$(dirname "$0")/.."
out=${out:-build-windows/screenshot.png}

bash scripts/install-deps.sh xvfb xauth imagemagick x11-apps
bash scripts/build-windows.sh --no-tests

mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

tmp=$(mktemp -d)
export QORBGL_WINEPREFIX=$tmp/prefix
mkdir -p "$QORBGL_WINEPREFIX"
trap 'WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -p
scripts/wine-run.sh wineboot -i >/dev/null 2>&1
# The page the window starts on, as a setting of a previous run would give it.
scripts/wine-run.sh reg add 'HKCU\Software\QOR Soft\QORBgl' /v Onglet /d "$page" /f >/dev/null 2>&1
sample=$(scripts/wine-run.sh winepath -w "$PWD/samples/scenery/AP_IleDeFrance.bgl" 2>/dev/null | tr -d '\r')

# Inside the virtual display: start the window, wait for it to settle, grab the screen, stop it.
# The screenshot's exit status is the one that counts.
# shellcheck disable=SC2016  # expanded by the inner shell, not here
inner='
scripts/wine-run.sh "$1" "$2" &
pid=$!
sleep 8
status=0
import -window root "$3" || status=$?
WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null || true
exit "$status"
'
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" screenshot \
  "$PWD/build-windows/x86_64/winui/QORBgl.exe" "$sample" "$out"

echo "$out"
