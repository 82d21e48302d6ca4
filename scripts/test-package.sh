#!/usr/bin/env bash
# The Debian package as a user meets it. Makes it (scripts/package-linux.sh, into BUILD_DIR,
# default build), checks it and each of its desktop files with its own validator (lintian,
# desktop-file-validate, appstreamcli, update-mime-database, man), then runs what it holds from a
# temporary root: the command line, the window offscreen with its help page found in
# ../share/qorbgl, the shell completion, and the file type a file manager gives a BGL file once
# the package's MIME data is installed. Run as root on Debian 12. HOME and the XDG folders point
# into a temporary folder: the real home, settings and desktop are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}

bash scripts/install-deps.sh lintian desktop-file-utils appstream shared-mime-info xdg-utils \
  libfile-mimeinfo-perl bash-completion man-db
deb=$(BUILD_DIR=$build_dir bash scripts/package-linux.sh | tail -n 1)
echo "Package: $deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp"/{home,config,data,cache,state,etc-xdg,runtime,root,files,cwd}
chmod 0700 "$tmp/runtime"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data \
  XDG_CACHE_HOME=$tmp/cache XDG_STATE_HOME=$tmp/state XDG_CONFIG_DIRS=$tmp/etc-xdg \
  XDG_RUNTIME_DIR=$tmp/runtime WINEPREFIX=$tmp/wine XDG_DATA_DIRS=/usr/share LC_ALL=C.UTF-8
# The freedesktop.org rules alone, as every file manager follows them: no desktop session.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID \
  MATE_DESKTOP_SESSION_ID DBUS_SESSION_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# expect WHAT ACTUAL EXPECTED
expect() {
  if [[ $2 == "$3" ]]; then echo "ok: $1"; else fail "$1: got '$2', expected '$3'"; fi
}
# check WHAT COMMAND...: the command succeeds.
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

echo "== The package"
version=$(dpkg-deb -f "$deb" Version)
expect "version of the CMake project" "$version" \
  "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")"
expect "file name" "$(basename "$deb")" "qorbgl_${version}_$(dpkg --print-architecture).deb"
depends=$(dpkg-deb -f "$deb" Depends)
check "dependencies read from the programs: $depends" grep -q libqt6widgets6 <<<"$depends"
check "lintian finds no error" lintian --fail-on error "$deb"

dpkg-deb -x "$deb" "$tmp/root"
usr=$tmp/root/usr
for file in bin/QORBgl bin/qorbgl-cli share/qorbgl/QORBgl.htm share/qorbgl/QORBgl-en.htm \
  share/qorbgl/QORBgl-de.htm \
  share/applications/fr.qor_soft.QORBgl.desktop share/metainfo/fr.qor_soft.QORBgl.metainfo.xml \
  share/mime/packages/qorbgl.xml share/icons/hicolor/scalable/apps/qorbgl.svg \
  share/man/man1/QORBgl.1.gz share/man/man1/qorbgl-cli.1.gz \
  share/man/en/man1/QORBgl.1.gz share/man/en/man1/qorbgl-cli.1.gz \
  share/man/de/man1/QORBgl.1.gz share/man/de/man1/qorbgl-cli.1.gz \
  share/bash-completion/completions/qorbgl-cli \
  share/doc/qorbgl/copyright share/doc/qorbgl/changelog.gz; do
  [[ -f $usr/$file ]] || fail "/usr/$file is missing"
done
zcat "$usr/share/doc/qorbgl/changelog.gz" >"$tmp/changelog"
expect "changelog's version" "$(dpkg-parsechangelog -l "$tmp/changelog" -S Version)" "$version"
# Each PNG of the icon is as large as its theme folder says (the PNG header holds the size).
pngs=0
for png in "$usr"/share/icons/hicolor/*x*/apps/qorbgl.png; do
  folder=$(basename "$(dirname "$(dirname "$png")")")
  size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3 * 256 + $4 "x" $7 * 256 + $8}')
  [[ $size == "$folder" ]] || fail "$png is $size"
  pngs=$((pngs + 1))
done
check "$pngs icon sizes" test "$pngs" -ge 4

echo "== Validators"
check "desktop-file-validate" \
  desktop-file-validate "$usr/share/applications/fr.qor_soft.QORBgl.desktop"
check "appstreamcli validate" \
  appstreamcli validate --no-net "$usr/share/metainfo/fr.qor_soft.QORBgl.metainfo.xml"
for page in "$usr"/share/man/man1/*.1.gz "$usr"/share/man/*/man1/*.1.gz; do
  # What lintian's manual page check runs: any warning of groff is a fault of the page.
  warnings=$(MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  expect "man ${page#"$usr"/share/man/} renders without a warning" "$warnings" ""
done

echo "== The programs from the extracted package"
sample=samples/scenery/AP_IleDeFrance.bgl
expect "qorbgl-cli --version" "$("$usr/bin/qorbgl-cli" --version)" "qorbgl-cli (QORBgl) $version"
listed=$("$usr/bin/qorbgl-cli" list "$sample") || fail "qorbgl-cli list exits with $?"
[[ -n $listed ]] || fail "qorbgl-cli list prints nothing"
expect "qorbgl-cli list as the built program" "$listed" "$("$build_dir/cli/qorbgl-cli" list "$sample")"
# The window reports the help page it shows and ends; its exit status says that page and icon
# are there.
status=0
report=$(cd "$tmp/cwd" && QT_QPA_PLATFORM=offscreen QORBGL_START_CHECK=1 timeout 60 \
  "$usr/bin/QORBgl" 2>"$tmp/window.err") || status=$?
expect "window start check" "$status" 0
expect "help page from ../share/qorbgl" "$(grep '^Aide :' <<<"$report")" \
  "Aide : $usr/share/qorbgl/QORBgl.htm"
expect "help page read" "$(grep '^Titre de l' <<<"$report")" \
  "Titre de l'aide : $(sed -n 's:.*<title>\(.*\)</title>.*:\1:p' docs/QORBgl.htm)"
((status == 0)) || cat "$tmp/window.err" >&2

echo "== Shell completion"
completion=$usr/share/bash-completion/completions/qorbgl-cli
touch "$tmp/cwd/a.bgl" "$tmp/cwd/B.BGL" "$tmp/cwd/notes.txt" "$tmp/cwd/airports.csv" \
  "$tmp/cwd/airports.dat"
mkdir -p "$tmp/cwd/FS9"
# completed WORD... : what bash offers for the last word, sorted, on one line.
completed() {
  (cd "$tmp/cwd" && bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    source "$0"
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    _qorbgl_cli qorbgl-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd " "' "$completion" "$@")
}
while IFS='|' read -r words offered; do
  read -ra line <<<"$words"
  [[ $words == *" " ]] && line+=("")
  expect "completion of '$words'" "$(completed "${line[@]}")" "$offered"
done <<'ROWS'
qorbgl-cli |--help --lang --version align areas check conflicts files find history list restore set undo where
qorbgl-cli co|conflicts
qorbgl-cli --lang |de en fr
qorbgl-cli --lang en co|conflicts
qorbgl-cli --lang de |--help --version align areas check conflicts files find history list restore set undo where
qorbgl-cli --lang en set a.bgl --all --|--airport --elevation --no-backup --offset
qorbgl-cli --lang en list |B.BGL FS9 a.bgl
qorbgl-cli set a.bgl --|--airport --all --elevation --no-backup --offset
qorbgl-cli set a.bgl --all --airport X --|--elevation --no-backup --offset
qorbgl-cli align EGLL --elevation |
qorbgl-cli conflicts --min-diff 2 --|--fs --json --reference
qorbgl-cli where LFPN --reference airports.csv --|--fs --json
qorbgl-cli align LFPN --reference |FS9 airports.csv airports.dat
qorbgl-cli where LFPN --fs |FS9
qorbgl-cli list |B.BGL FS9 a.bgl
qorbgl-cli restore a|a.bgl
qorbgl-cli files |FS9
qorbgl-cli list a.bgl |
qorbgl-cli history |B.BGL FS9 a.bgl
qorbgl-cli history a.bgl --|--json
qorbgl-cli undo |
qorbgl-cli undo --|--json
ROWS
# Every command and option that --help names is completed and documented, in each language's
# manual page.
before=$failures
commands=$(completed qorbgl-cli "")
help=$("$usr/bin/qorbgl-cli" --help)
while read -r command; do
  [[ " $commands " == *" $command "* ]] || fail "the completion does not offer $command"
done < <(sed -n 's/^  qorbgl-cli \([a-z][a-z-]*\).*/\1/p' <<<"$help" | sort -u)
while read -r option; do
  grep -qw -- "$option" "$completion" || fail "the completion does not know $option"
done < <(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
for page in man1 en/man1 de/man1; do
  manual=$(MANWIDTH=200 man -l "$usr/share/man/$page/qorbgl-cli.1.gz" 2>/dev/null)
  while read -r command; do
    grep -q "qorbgl-cli $command" <<<"$manual" || fail "the manual page $page does not show $command"
  done < <(sed -n 's/^  qorbgl-cli \([a-z][a-z-]*\).*/\1/p' <<<"$help" | sort -u)
  while read -r option; do
    grep -qw -- "$option" <<<"$manual" || fail "the manual page $page does not show $option"
  done < <(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
done
((failures == before)) && echo "ok: the completion and the manual pages know what --help names"

echo "== The file type a file manager sees"
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications"
cp "$usr/share/mime/packages/qorbgl.xml" "$XDG_DATA_HOME/mime/packages/"
cp "$usr/share/applications/fr.qor_soft.QORBgl.desktop" "$XDG_DATA_HOME/applications/"
expect "update-mime-database says nothing" "$(update-mime-database "$XDG_DATA_HOME/mime" 2>&1)" ""
update-desktop-database "$XDG_DATA_HOME/applications"
cp samples/scenery/AP_PAYS-BAS.BGL "$tmp/files/"
cp samples/scenery/AP_Alpes.bgl "$tmp/files/alpes.bgl"
cp samples/scenery/AP_Alpes.bgl "$tmp/files/alpes.dat"
cp samples/scenery/FS2002_ancien.bgl "$tmp/files/ancien.dat"
while read -r name type; do
  expect "type of $name" "$(xdg-mime query filetype "$tmp/files/$name")" "$type"
done <<'ROWS'
AP_PAYS-BAS.BGL application/x-fs2004-bgl
alpes.bgl application/x-fs2004-bgl
alpes.dat application/x-fs2004-bgl
ancien.dat application/octet-stream
ROWS
expect "QORBgl opens it" "$(xdg-mime query default application/x-fs2004-bgl)" \
  "fr.qor_soft.QORBgl.desktop"

if ((failures)); then
  echo "$failures package checks failed" >&2
  exit 1
fi
echo "Every package check passed."
