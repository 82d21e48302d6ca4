#!/usr/bin/env bash
# Builds the Windows edition with mingw-w64 and runs its tests under Wine (Debian 12, as root).
#   build-windows/i686     the program the users run: qorbgl-cli.exe, 32-bit, one file
#   build-windows/x86_64   the same sources with every Qt-free test suite, run under Wine
# Options: --no-tests builds without running the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
run_tests=1
[[ ${1:-} == --no-tests ]] && run_tests=0

bash scripts/install-deps.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
  googletest wine64

jobs=$(nproc)
build() {  # build ARCH TARGET...
  local arch=$1
  shift
  cmake -S . -B "build-windows/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DQORBGL_WINDOWS_ARCH="$arch" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/wine-run.sh" >/dev/null
  cmake --build "build-windows/$arch" -j "$jobs" --target "$@"
}

echo "== Windows, 32-bit: qorbgl-cli.exe"
build i686 qorbgl-cli
echo "== Windows, 64-bit: the libraries, qorbgl-cli.exe and the test suites"
build x86_64 all

if ((run_tests)); then
  echo "== The tests under Wine"
  export QORBGL_WINEPREFIX=$PWD/build-windows/wineprefix
  # A Wine server left by an earlier run that stopped half-way is ended: a second one would
  # not start.
  WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
  # A prefix whose desktop is not the tests' own home (one made by hand) is made again.
  desktop=$QORBGL_WINEPREFIX/drive_c/users/$(id -un)/Desktop
  if [[ -f $QORBGL_WINEPREFIX/system.reg &&
        $(readlink -f "$desktop") != "$PWD/build-windows/wine-home/Desktop" ]]; then
    rm -rf "$QORBGL_WINEPREFIX"
  fi
  # One Wine server for the prefix's making and every test, ended with them.
  mkdir -p "$QORBGL_WINEPREFIX"
  WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -p
  trap 'WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -k || true' EXIT
  if [[ ! -f $QORBGL_WINEPREFIX/system.reg ]]; then
    scripts/wine-run.sh wineboot -i >/dev/null 2>&1
  fi
  ctest --test-dir build-windows/x86_64 --output-on-failure -j "$jobs"
fi
