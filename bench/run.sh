#!/usr/bin/env bash
# Builds and runs the benchmarks (optimised build in build-bench/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if [ ! -f build-bench/build.ninja ]; then
  cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=ON
fi
cmake --build build-bench --target foundation_bench
build-bench/bench/foundation_bench --benchmark_min_time=0.5 "$@"
