#!/usr/bin/env bash
# Builds QORBgl, starts its window on the sample scenery under a virtual X server and saves a
# screenshot of the whole screen to $1 (default: build/screenshot.png); with --elevations first,
# on the elevation page with the file's airports shown; with --library, on the library page, the
# sample library (samples/fs2004, copied where the simulator finder finds FS2004) loaded and
# LFLJ looked up; with --lang en or --lang de (before the page), in that language. Run as root on
# Debian 12.
# The program runs with HOME and the XDG folders in a fresh temporary folder, so the real
# settings, desktop and trash are never touched.
set -euo pipefail

# With --elevations, the window starts on its elevation page, the sample file's airports shown;
# with --library, on its library page.
language=fr
if [[ ${1:-} == --lang ]]; then
  language=$2
  shift 2
fi
page=0
if [[ ${1:-} == --elevations ]]; then
  page=1
  shift
elif [[ ${1:-} == --library ]]; then
  page=2
  shift
fi
# A path given on the command line is taken relative to the caller's folder.
out=${1:-}
if [[ -n $out && $out != /* ]]; then out=$PWD/$out; fi
cd "$(dirname "$0")/.."
out=${out:-build/screenshot.png}

bash scripts/install-deps.sh xvfb xauth imagemagick x11-apps openbox xdotool

bash scripts/build.sh

mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home" "$tmp/config/QOR Soft" "$tmp/data" "$tmp/runtime" "$tmp/etc-xdg"
chmod 0700 "$tmp/runtime"
# The page the window starts on, as a setting of a previous run would give it.
printf 'WINE REGISTRY Version 2\n\n[Software\\\\QOR Soft\\\\QORBgl] 0\n"Onglet"="%s"\n"Langue"="%s"\n' \
  "$page" "$language" >"$tmp/config/QOR Soft/registry.reg"
# The access keys of "Charger" and of the look-up's field in that language.
case $language in
  fr) keys="c o" ;;
  *) keys="l i" ;;
esac
# FS2004 in the Wine prefix, as its installer leaves it, holding a copy of the sample library
# (the window may rewrite what it shows).
mkdir -p "$tmp/wine/drive_c" "$tmp/wine/dosdevices"
ln -s ../drive_c "$tmp/wine/dosdevices/c:"
cp -r samples/fs2004 "$tmp/wine/drive_c/FS9"
printf 'MZ' >"$tmp/wine/drive_c/FS9/fs9.exe"
cat >"$tmp/wine/system.reg" <<'REG'
WINE REGISTRY Version 2

[Software\\Microsoft\\Microsoft Games\\Flight Simulator\\9.0] 1700000000
"EXE Path"="C:\\FS9"
REG

# Inside the virtual display: a window manager draws the title bar (caption and icon) as on a
# desktop; start the window, wait for it to settle (on the library page: "Charger", then a
# look-up typed as a user would), grab the screen, stop both.
# The screenshot's exit status is the one that counts.
# shellcheck disable=SC2016  # expanded by the inner shell, not here
inner='
openbox &
wm=$!
"$1" "$2" &
pid=$!
sleep 3
if [[ $4 == 2 ]]; then
  set -- "$@" $5  # the two keys, as $6 and $7
  xdotool key "alt+$6"
  sleep 2
  xdotool key "alt+$7"
  xdotool type LFLJ
  xdotool key Return
  sleep 1
fi
status=0
import -window root "$3" || status=$?
kill "$pid" "$wm" 2>/dev/null || true
wait "$pid" "$wm" 2>/dev/null || true
exit "$status"
'

HOME="$tmp/home" \
XDG_CONFIG_HOME="$tmp/config" \
XDG_DATA_HOME="$tmp/data" \
XDG_RUNTIME_DIR="$tmp/runtime" \
XDG_CONFIG_DIRS="$tmp/etc-xdg" \
WINEPREFIX="$tmp/wine" \
  xvfb-run -a -s "-screen 0 1024x768x24" \
  bash -c "$inner" screenshot \
  "$PWD/build/ui/QORBgl" "$PWD/samples/scenery/AP_IleDeFrance.bgl" "$out" "$page" "$keys"

echo "$out"
