#!/usr/bin/env bash
# Builds the Windows edition with mingw-w64 and runs its tests under Wine (Debian 12, as root).
#   build-windows/i686     what users run: QORBgl.exe and qorbgl-cli.exe, 32-bit, one file each
#   build-windows/x86_64   the same sources with every Qt-free test suite and the installer
#                          test, run under Wine
#   build-windows/QORBgl-<version>-setup.exe and -win32.zip   what users download: the
#                          installer and the zip of the two programs and the help pages (French,
#                          English, German), from the 32-bit build
# Options: --no-tests builds without running the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
run_tests=1
[[ ${1:-} == --no-tests ]] && run_tests=0

bash scripts/install-deps.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
  googletest wine64 xvfb xauth nsis zip

jobs=$(nproc)
build() {  # build ARCH TARGET...
  local arch=$1
  shift
  cmake -S . -B "build-windows/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DQORBGL_WINDOWS_ARCH="$arch" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/wine-run.sh" >/dev/null
  cmake --build "build-windows/$arch" -j "$jobs" --target "$@"
}

echo "== Windows, 32-bit: QORBgl.exe and qorbgl-cli.exe"
build i686 QORBgl qorbgl-cli

echo "== Windows: the installer and the zip"
package() {
  local version stage=build-windows/package/QORBgl
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/i686/CMakeCache.txt)
  if [[ ! -f build-windows/i686/winui/QORBgl.exe ]]; then
    echo "build-windows/i686/winui/QORBgl.exe is missing: no installer, no zip"
    return
  fi
  rm -rf build-windows/package
  mkdir -p "$stage"
  cp build-windows/i686/winui/QORBgl.exe build-windows/i686/cli/qorbgl-cli.exe \
    docs/QORBgl.htm docs/QORBgl-en.htm docs/QORBgl-de.htm "$stage/"
  makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DBIN="$PWD/$stage" \
    -DOUTFILE="$PWD/build-windows/QORBgl-$version-setup.exe" packaging/windows/QORBgl.nsi
  rm -f "build-windows/QORBgl-$version-win32.zip"
  (cd build-windows/package && zip -q -r -X "../QORBgl-$version-win32.zip" QORBgl)
  echo "build-windows/QORBgl-$version-setup.exe, build-windows/QORBgl-$version-win32.zip"
}
package

echo "== Windows, 64-bit: the libraries, qorbgl-cli.exe and the test suites"
build x86_64 all

if ((run_tests)); then
  echo "== The tests under Wine"
  # On a virtual display from the start: Wine's desktop process, started with the prefix's
  # first program, keeps the display it found for every later window.
  xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-tests.sh
fi
