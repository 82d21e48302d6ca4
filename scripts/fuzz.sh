#!/usr/bin/env bash
# Fuzzes the BGL parser and the journal reader: builds their libFuzzer target with clang and the address and
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
  -DCMAKE_CXX_COMPILER=clang++ -DQORBGL_FUZZ=ON -DQORBGL_SANITIZE=ON -DQORBGL_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" --target bgl_fuzz bgl_fuzz_replay bgl_test library_test

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
echo "== Replay of the saved inputs"
ctest --test-dir "$build_dir" -R '^(bgl_fuzz_(seeds|replay)|journal_fuzz_seeds)$' --output-on-failure

echo "== Fuzzing for $seconds seconds"
max_len=8192
saved=("$build_dir/tests/fuzz/seeds" samples/scenery)
[[ -d tests/fuzz/found ]] && saved+=(tests/fuzz/found)
# Inputs larger than the fuzzer makes would slow every run down; the replay has read them.
seeds=$build_dir/fuzz-seeds
rm -rf "$seeds"
mkdir -p "$seeds" "$build_dir/corpus" "$build_dir/findings"
find "${saved[@]}" -type f -size -"$max_len"c -exec cp {} "$seeds/" \;
# Every input is written to a file before it is opened: in memory that costs nothing, on a
# disk file system rewriting the same file thousands of times a second makes the run wait.
scratch=${TMPDIR:-/tmp}
[[ -d /dev/shm && -w /dev/shm ]] && scratch=/dev/shm
# No single allocation may take 64 MiB. The sanitizer keeps freed memory aside for a while
# and counts in the resident size, so the whole process gets more room than that.
HOME="$PWD/$build_dir/test-home" XDG_CONFIG_HOME="$PWD/$build_dir/test-home/.config" \
XDG_DATA_HOME="$PWD/$build_dir/test-home/.local/share" LC_ALL=C.UTF-8 \
ASAN_OPTIONS=$ASAN_OPTIONS:quarantine_size_mb=64 TMPDIR=$scratch \
  "$build_dir/tests/fuzz/bgl_fuzz" \
  -max_total_time="$seconds" -timeout=1 -malloc_limit_mb=64 -rss_limit_mb=256 \
  -max_len="$max_len" -detect_leaks=1 -print_final_stats=1 -dict=tests/fuzz/bgl.dict \
  -artifact_prefix="$build_dir/findings/" \
  "$build_dir/corpus" "$seeds"
