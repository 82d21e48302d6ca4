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
  if [[ ! -f $QORBGL_WINEPREFIX/system.reg ]]; then
    WINEPREFIX=$QORBGL_WINEPREFIX WINEDEBUG=-all WINELOADER=/usr/lib/wine/wine64 \
      /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  fi
  # One Wine server for every test, ended with them.
  WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -p
  trap 'WINEPREFIX=$QORBGL_WINEPREFIX /usr/lib/wine/wineserver -k || true' EXIT
  ctest --test-dir build-windows/x86_64 --output-on-failure -j "$jobs"
fi
