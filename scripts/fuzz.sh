#!/usr/bin/env bash
# Fuzzes the BGL parser: builds its libFuzzer target with clang and the address and
# undefined-behaviour sanitizers into BUILD_DIR (default build-fuzz), replays the saved inputs
# (the seeds of the damaged-file table, the sample scenery, the inputs found before), then
# fuzzes for FUZZ_SECONDS (default 60) seconds. A crash, a leak, an input taking more than one
# second or an allocation of more than 64 MiB stops the run with a non-zero status; the input
# is left in BUILD_DIR/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build_dir=${BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}

echo "== Fuzz build (clang, libFuzzer, address and undefined behaviour)"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DQORBGL_FUZZ=ON -DQORBGL_SANITIZE=ON >/dev/null
cmake --build "$build_dir" --target bgl_fuzz bgl_fuzz_replay bgl_test

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
echo "== Replay of the saved inputs"
ctest --test-dir "$build_dir" -R '^bgl_fuzz_(seeds|replay)$' --output-on-failure

echo "== Fuzzing for $seconds seconds"
seeds=("$build_dir/tests/fuzz/seeds" samples/scenery)
[[ -d tests/fuzz/found ]] && seeds+=(tests/fuzz/found)
mkdir -p "$build_dir/corpus" "$build_dir/findings"
# ASan's own shadow memory counts in the process's resident size, so the whole-process limit
# sits above the 64 MiB that any single allocation may take.
HOME="$PWD/$build_dir/test-home" XDG_CONFIG_HOME="$PWD/$build_dir/test-home/.config" \
XDG_DATA_HOME="$PWD/$build_dir/test-home/.local/share" LC_ALL=C.UTF-8 \
  "$build_dir/tests/fuzz/bgl_fuzz" \
  -max_total_time="$seconds" -timeout=1 -malloc_limit_mb=64 -rss_limit_mb=512 \
  -detect_leaks=1 -print_final_stats=1 -dict=tests/fuzz/bgl.dict \
  -artifact_prefix="$build_dir/findings/" \
  "$build_dir/corpus" "${seeds[@]}"
