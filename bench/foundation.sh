#!/usr/bin/env bash
# Init with 200 message look-ups and dbGetTable of 100 rows against raw
# SQLite (optimised build in build-bench/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh bench --target foundation_bench
build-bench/bench/foundation_bench --benchmark_min_time=0.5 "$@"
