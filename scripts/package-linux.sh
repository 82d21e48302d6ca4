#!/usr/bin/env bash
# Makes the Debian package of QORBgl with CPack: builds into BUILD_DIR (default: build), then
# writes BUILD_DIR/qorbgl_VERSION_ARCH.deb (VERSION the CMake project's) and prints its path.
# Extra arguments go to CMake. Run as root on Debian 12; install the package with
#   apt install ./build/qorbgl_VERSION_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}

# dpkg-shlibdeps (dpkg-dev) reads the package's dependencies from its programs.
bash scripts/install-deps.sh dpkg-dev
BUILD_DIR=$build_dir bash scripts/build.sh "$@"

rm -f "$build_dir"/qorbgl_*.deb
log=$build_dir/cpack.log
if ! (cd "$build_dir" && cpack -G DEB) >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
debs=("$build_dir"/qorbgl_*.deb)
[[ -f ${debs[0]} ]] || { cat "$log" >&2; echo "package-linux.sh: no package was made" >&2; exit 1; }
echo "${debs[0]}"
