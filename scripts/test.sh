#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal build (and on the
# Debian package made from it) and once with the address and undefined-behaviour sanitizers;
# then fuzzes the BGL parser for a while (FUZZ_SECONDS, default 60); then builds the Windows
# edition and runs its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
stage() {  # stage NAME: prints how long the stage before took
  if [[ -n ${stage_name:-} ]]; then echo "== $stage_name took $((SECONDS - stage_start)) s"; fi
  stage_name=$1
  stage_start=$SECONDS
  [[ -n $1 ]] && echo "== $1"
  return 0
}

stage "Dependencies"
bash scripts/install-deps.sh

jobs=$(nproc)
stage "Normal build and tests"
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j "$jobs"

stage "Debian package (lintian, desktop files, the installed programs, the file type)"
bash scripts/test-package.sh

stage "Sanitizer build and tests (address, undefined behaviour)"
BUILD_DIR=build-sanitize BUILD_TYPE=Debug bash scripts/build.sh -DQORBGL_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

stage "Fuzzing"
bash scripts/fuzz.sh

stage "Windows edition (mingw-w64, tests under Wine)"
bash scripts/build-windows.sh
stage ""
