#!/usr/bin/env bash
# The installer, installed and taken away again under Wine, silently as an administrator's
# script would: installer-test.sh NSIS_SCRIPT QORBGL_EXE CLI_EXE HELP_PAGE SCRATCH
# HELP_PAGE is the French page; its English and German pages lie beside it.
# This Wine runs only 64-bit programs, so the installer is made here from the same script as a
# 64-bit program. It may choose the 64-bit Program Files: the folder checked is the one it
# registers for Add/Remove Programs.
set -euo pipefail
nsi=$1 window=$2 cli=$3 help=$4 scratch=$5
here=$(cd "$(dirname "$0")/../.." && pwd)
wine() { "$here/scripts/wine-run.sh" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch/bin"
pages=(QORBgl.htm QORBgl-en.htm QORBgl-de.htm)
cp "$window" "$cli" "$scratch/bin/"
for page in "${pages[@]}"; do cp "$(dirname "$help")/$page" "$scratch/bin/"; done
makensis -V1 -INPUTCHARSET UTF8 -DVERSION=9.8.7.6 -DBIN="$scratch/bin" \
  -DOUTFILE="$scratch/setup.exe" -DTARGET=amd64-unicode "$nsi"

drive_c=${QORBGL_WINEPREFIX:?QORBGL_WINEPREFIX names the Wine prefix of the tests}/drive_c
link="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/QORBgl.lnk"
uninstall_key='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\QORBgl'
settings_key='HKCU\Software\QOR Soft\QORBgl'
value_of() {  # value_of KEY NAME: the value's data, as "reg query" prints it
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { print $NF }'
}

# Settings of an earlier installation, which must outlive the uninstaller.
wine reg add "$settings_key" /v Onglet /d 1 /f >/dev/null 2>&1
rm -rf "$link" "$drive_c/Program Files/QORBgl" "$drive_c/Program Files (x86)/QORBgl"

wine "$(wine winepath -w "$scratch/setup.exe" 2>/dev/null | tr -d '\r')" /S
location=$(wine reg query "$uninstall_key" /v InstallLocation 2>/dev/null | tr -d '\r' |
  sed -n 's/^ *InstallLocation *REG_SZ *//p')
[[ $location == 'C:\Program Files'*'\QORBgl' ]] ||
  fail "Add/Remove Programs names no folder of Program Files: '$location'"
folder=$drive_c/$(echo "${location#C:\\}" | tr '\\' /)
for file in QORBgl.exe qorbgl-cli.exe "${pages[@]}" uninstall.exe; do
  [[ -f $folder/$file ]] || fail "the installer did not put $file in $folder"
done
cmp -s "$window" "$folder/QORBgl.exe" || fail "the installed QORBgl.exe is not the built one"
for page in "${pages[@]}"; do
  cmp -s "$(dirname "$help")/$page" "$folder/$page" || fail "the installed $page is not the source's"
done
[[ -f $link ]] || fail "no Start menu entry: $link"
[[ $(value_of "$uninstall_key" DisplayVersion) == 9.8.7.6 ]] ||
  fail "Add/Remove Programs does not list version 9.8.7.6 under $uninstall_key"
[[ $(value_of "$uninstall_key" UninstallString) == *uninstall.exe* ]] ||
  fail "no UninstallString under $uninstall_key"
# The installed command line runs.
samples=$(wine winepath -w "$here/samples/scenery" 2>/dev/null | tr -d '\r')
wine "$location\\qorbgl-cli.exe" files "$samples" | grep -q '\.bgl' ||
  fail "the installed qorbgl-cli.exe does not list the sample scenery"

# A file of the user's own in the program's folder stays, and the folder with it.
echo "mes notes" >"$folder/notes.txt"
# The uninstaller runs from a copy of itself in the temporary folder and returns at once:
# wait for it to finish its work.
wine "$location\\uninstall.exe" /S
for _ in $(seq 60); do
  [[ -f $folder/QORBgl.exe || -f $folder/uninstall.exe ]] || break
  sleep 1
done
for file in QORBgl.exe qorbgl-cli.exe "${pages[@]}" uninstall.exe; do
  [[ ! -e $folder/$file ]] || fail "the uninstaller left $file"
done
[[ -f $folder/notes.txt ]] || fail "the uninstaller removed a file it had not installed"
[[ ! -e $link ]] || fail "the uninstaller left the Start menu entry"
for _ in $(seq 10); do
  wine reg query "$uninstall_key" >/dev/null 2>&1 || break
  sleep 1
done
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller left $uninstall_key"
[[ $(value_of "$settings_key" Onglet) == 1 ]] || fail "the uninstaller took the settings away"

rm -rf "$folder" "$drive_c/users/$(id -un)/Temp/"~nsu*.tmp
wine reg delete "$settings_key" /f >/dev/null 2>&1 || true
echo "installed, ran and uninstalled"
