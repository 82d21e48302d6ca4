#!/usr/bin/env bash
# Fuzzes the BGL parser with the journal reader, and the reader of the reference lists
# (OurAirports' airports.csv, OpenFlights' airports.dat): builds their libFuzzer targets with
# clang and the address and undefined-behaviour sanitizers into BUILD_DIR (default build-fuzz),
# replays the saved inputs (the seeds of the damaged-file table, the sample scenery, the
# reference seeds, the inputs found before), then fuzzes for FUZZ_SECONDS (default 60) seconds
# in all: two thirds for the BGL parser, the rest for the reference reader. A crash, a leak, an
# input taking more than one second or an allocation of more than 64 MiB stops the run with a
# non-zero status; the input is left in BUILD_DIR/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build_dir=${BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
bgl_seconds=$((seconds * 2 / 3))
reference_seconds=$((seconds - bgl_seconds))

echo "== Fuzz build (clang, libFuzzer, address and undefined behaviour)"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DQORBGL_FUZZ=ON -DQORBGL_SANITIZE=ON -DQORBGL_BENCHMARKS=OFF >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)" --target bgl_fuzz bgl_fuzz_replay bgl_test \
  library_test reference_fuzz reference_fuzz_replay

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
echo "== Replay of the saved inputs"
ctest --test-dir "$build_dir" -R '^((bgl|reference)_fuzz_replay|(bgl|journal)_fuzz_seeds)$' \
  --output-on-failure

max_len=8192
# Every input is written to a file before it is opened: in memory that costs nothing, on a
# disk file system rewriting the same file thousands of times a second makes the run wait.
scratch=${TMPDIR:-/tmp}
[[ -d /dev/shm && -w /dev/shm ]] && scratch=/dev/shm
mkdir -p "$build_dir/findings"

# fuzz NAME SECONDS DICTIONARY SAVED...: runs the target NAME over its own corpus, starting from
# the saved inputs.
fuzz() {
  local name=$1 time=$2 dict=$3
  shift 3
  echo "== Fuzzing $name for $time seconds"
  # Inputs larger than the fuzzer makes would slow every run down; the replay has read them.
  local seeds=$build_dir/$name-seeds corpus=$build_dir/corpus
  [[ $name == bgl_fuzz ]] || corpus=$build_dir/$name-corpus
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus"
  find "$@" -type f -size -"$max_len"c -exec cp {} "$seeds/" \;
  # No single allocation may take 64 MiB. The sanitizer keeps freed memory aside for a while
  # and counts in the resident size, so the whole process gets more room than that.
  HOME="$PWD/$build_dir/test-home" XDG_CONFIG_HOME="$PWD/$build_dir/test-home/.config" \
  XDG_DATA_HOME="$PWD/$build_dir/test-home/.local/share" LC_ALL=C.UTF-8 \
  ASAN_OPTIONS=$ASAN_OPTIONS:quarantine_size_mb=64 TMPDIR=$scratch \
    "$build_dir/tests/fuzz/$name" \
    -max_total_time="$time" -timeout=1 -malloc_limit_mb=64 -rss_limit_mb=256 \
    -max_len="$max_len" -detect_leaks=1 -print_final_stats=1 -dict="$dict" \
    -artifact_prefix="$build_dir/findings/$name-" \
    "$corpus" "$seeds"
}

saved=("$build_dir/tests/fuzz/seeds" samples/scenery)
[[ -d tests/fuzz/found ]] && saved+=(tests/fuzz/found)
fuzz bgl_fuzz "$bgl_seconds" tests/fuzz/bgl.dict "${saved[@]}"

saved=(tests/fuzz/reference-seeds)
[[ -d tests/fuzz/reference-found ]] && saved+=(tests/fuzz/reference-found)
fuzz reference_fuzz "$reference_seconds" tests/fuzz/reference.dict "${saved[@]}"
