#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal
# build, once under AddressSanitizer and UndefinedBehaviorSanitizer; the
# browser tests once, against the normal build; then each fuzz target for a
# few seconds from its seeds. The database tests run on SQLite and again on a
# throwaway PostgreSQL cluster that ctest starts and stops (label
# "postgresql"); under the sanitizers only the engine-level ones of those.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for kind in release asan; do
  echo "== $kind build =="
  bash scripts/build.sh "$kind"
  dir=build; [ "$kind" = asan ] && dir=build-asan
  echo "== $kind tests =="
  # Tests are independent: their own temporary folders, databases and ports.
  if [ "$kind" = release ]; then
    ctest --test-dir "$dir" --output-on-failure --timeout 600 -j2 || status=1
  else
    ctest --test-dir "$dir" --output-on-failure --timeout 600 -j2 -LE postgresql || status=1
    ctest --test-dir "$dir" --output-on-failure --timeout 600 -j2 -L postgresql-engine || status=1
  fi
  if [ "$kind" = release ]; then
    echo "== browser tests (screenshots in build/screenshots/) =="
    bash scripts/install-deps.sh browser
    rm -rf build/screenshots
    node --test tests/browser/*.test.mjs || status=1
  fi
done

echo "== fuzz targets =="
bash scripts/build.sh fuzz
bash scripts/fuzz.sh 5 || status=1
exit $status
