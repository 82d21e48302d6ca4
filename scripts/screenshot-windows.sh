#!/usr/bin/env bash
# Builds the Windows edition, starts QORBgl.exe under Wine on a virtual X server with a sample
# file and saves a screenshot of the whole screen to $1 (default:
# build-windows/screenshot.png); with --elevations first, on the elevation page with the
# file's airports shown; with --library, on the library page with the sample library of
# samples/fs2004 read (registered as the simulator's folder, "Charger" clicked) and LFLJ looked
# up; with --lang en or --lang de (before the page), in that language. Run as root on Debian 12.
# Wine runs in a fresh prefix and home of a temporary folder: no settings, desktop or bin of a
# real user or of the tests are touched.
set -euo pipefail

language=fr
if [[ ${1:-} == --lang ]]; then
  language=$2
  shift 2
fi
page=0
case ${1:-} in
  --elevations) page=1 && shift ;;
  --library) page=2 && shift ;;
esac
out=${1:-}
if [[ -n $out && $out != /* ]]; then out=$PWD/$out; fi
cd "$(dirname "$0")/.."
out=${out:-build-windows/screenshot.png}

bash scripts/install-deps.sh xvfb xauth imagemagick x11-apps xdotool
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
scripts/wine-run.sh reg add 'HKCU\Software\QOR Soft\QORBgl' /v Langue /d "$language" /f >/dev/null 2>&1
if ((page == 2)); then
  # A copy of the sample library, so that nothing the window does lands in the sources, made
  # the simulator's folder as FS2004's installer registers it (the finder wants FS9.exe there).
  cp -r samples/fs2004 "$tmp/fs2004"
  : >"$tmp/fs2004/FS9.exe"
  fs=$(scripts/wine-run.sh winepath -w "$tmp/fs2004" 2>/dev/null | tr -d '\r')
  for view in 32 64; do
    scripts/wine-run.sh reg add 'HKLM\Software\Microsoft\Microsoft Games\Flight Simulator\9.0' \
      /v 'EXE Path' /d "$fs" /f /reg:$view >/dev/null 2>&1
  done
fi
sample=$(scripts/wine-run.sh winepath -w "$PWD/samples/scenery/AP_IleDeFrance.bgl" 2>/dev/null | tr -d '\r')
# Wine's desktop process keeps the display it was started on: the one the set-up above started
# has none, and the window would find no display. The server ends with it; the window's start
# brings a new one on the virtual display.
WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -w

# Inside the virtual display: start the window, wait for it to settle, grab the screen, stop it.
# The screenshot's exit status is the one that counts.
# shellcheck disable=SC2016  # expanded by the inner shell, not here
inner='
scripts/wine-run.sh "$1" "$2" &
pid=$!
sleep 8
if [[ $4 == 2 ]]; then
  # "Charger", at the top right of the library page (Wine draws the window without a manager:
  # the X window holds its frame and title bar). The first window of a fresh prefix waits
  # for its font cache.
  window=
  for _ in $(seq 60); do
    window=$(xdotool search --onlyvisible --name "QORBgl v" | head -1) && [[ -n $window ]] && break
    sleep 1
  done
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove --window "$window" $((WIDTH - 50)) 70 click 1
  sleep 3
  # Then LFLJ looked up, typed into the look-up field and sent with Enter.
  xdotool mousemove --window "$window" $((WIDTH - 200)) 209 click 1
  xdotool type LFLJ
  xdotool key Return
  sleep 2
fi
status=0
import -window root "$3" || status=$?
WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null || true
exit "$status"
'
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" screenshot \
  "$PWD/build-windows/x86_64/winui/QORBgl.exe" "$sample" "$out" "$page"

echo "$out"
