#!/usr/bin/env bash
# Installs what is missing, builds, makes the benchmark scenery in a temporary folder and runs
# every benchmark; prints one table of the program's cost against plain reads of the same bytes.
# Extra arguments go to qorbgl-bench (--runs=N, --scale=F, --check, Google Benchmark flags).
# BEFORE=COMMIT also builds that commit's qorbgl-cli, in a worktree of its own removed afterwards,
# and times the writes against it run for run:
#   BEFORE=00eb56b bash scripts/bench.sh --runs=9 --benchmark_filter=w
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
before=()
if [[ -n "${BEFORE:-}" ]]; then
  folder=$(mktemp -d)
  tree="$folder/qorbgl-before"
  git worktree add --detach "$tree" "$BEFORE" >/dev/null
  trap 'git worktree remove --force "$tree"; rm -rf "$folder"' EXIT
  cmake -S "$tree" -B "$tree/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQORBGL_TESTS=OFF \
    -DQORBGL_BENCHMARKS=OFF >/dev/null
  cmake --build "$tree/build" --target qorbgl-cli
  before=("--before=$tree/build/cli/qorbgl-cli")
fi
LC_ALL=C.UTF-8 build/benchmarks/qorbgl-bench --runs=5 "${before[@]}" "$@"
