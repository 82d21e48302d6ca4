#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal build and once
# with the address and undefined-behaviour sanitizers; then fuzzes the BGL parser for a while
# (FUZZ_SECONDS, default 60).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
echo "== Normal build"
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Sanitizer build (address, undefined behaviour)"
BUILD_DIR=build-sanitize BUILD_TYPE=Debug bash scripts/build.sh -DQORBGL_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

bash scripts/fuzz.sh
