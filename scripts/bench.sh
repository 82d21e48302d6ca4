#!/usr/bin/env bash
# Installs what is missing, builds, makes the benchmark scenery in a temporary folder and runs
# every benchmark; prints one table of the program's cost against plain reads of the same bytes.
# Extra arguments go to qorbgl-bench (--runs=N, --scale=F, --check, Google Benchmark flags).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
LC_ALL=C.UTF-8 build/benchmarks/qorbgl-bench --runs=5 "$@"
