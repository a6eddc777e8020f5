#!/usr/bin/env bash
# The glossary link form of a 20 KB page with 5,000 terms against 500
# terms (target <= 12 x) and against one plain view of the page
# (optimised build in build-bench/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh bench --target glossary_bench
build-bench/bench/glossary_bench --benchmark_min_time=0.5 "$@"
