#!/usr/bin/env bash
# Builds qvTome into build/ (optimised), with "asan" into build-asan/
# (AddressSanitizer and UndefinedBehaviorSanitizer), with "bench" into
# build-bench/ (optimised, with the benchmarks), with "fuzz" into build-fuzz/
# (clang, the libFuzzer targets of fuzz/ under both sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:-release}
case "$kind" in
  release) dir=build; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan) dir=build-asan; flags=(-DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON) ;;
  bench) dir=build-bench; flags=(-DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=ON) ;;
  fuzz) dir=build-fuzz; flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++
                               -DQV_BUILD_TESTS=OFF -DQV_BUILD_FUZZ=ON) ;;
  *) echo "usage: $0 [release|asan|bench|fuzz] [cmake --build options]" >&2; exit 2 ;;
esac
shift || true

# Compiler cache when present: rebuilds and other work trees reuse objects.
if command -v ccache >/dev/null 2>&1; then
  flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "${flags[@]}"
fi
cmake --build "$dir" "$@"
