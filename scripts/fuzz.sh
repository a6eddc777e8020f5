#!/usr/bin/env bash
# Runs the fuzz targets of build-fuzz/ (bash scripts/build.sh fuzz), each
# for SECONDS (default 5) from its seeds in fuzz/corpus/<target>/. New
# inputs go to a scratch folder (kept with --keep DIR); a crash, leak or
# time-out stops the run, leaves the input in the scratch folder and fails.
#
#   bash scripts/fuzz.sh [--keep DIR] [SECONDS] [TARGET...]   (targets: dialect lp markup query http_head multipart)
set -euo pipefail
cd "$(dirname "$0")/.."

keep=""
if [ "${1:-}" = "--keep" ]; then keep=$2; shift 2; fi
seconds=${1:-5}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(dialect lp markup query http_head multipart)

work=${keep:-$(mktemp -d /tmp/qvtome-fuzz.XXXXXX)}
[ -n "$keep" ] || trap 'rm -rf "$work"' EXIT
status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  dict=(); [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  echo "== fuzz_$target: ${seconds}s =="
  if ! build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$work/$target-" "${dict[@]}" \
      "$work/$target" "fuzz/corpus/$target" 2>"$work/$target.log"; then
    grep -v '^#\|^INFO\|^Done\|^Loading\|^MERGE\|^stat::' "$work/$target.log" | tail -60
    echo "fuzz_$target failed; the input is in $work (kept)"
    trap - EXIT
    status=1
  fi
  grep '^stat::number_of_executed_units\|^Done' "$work/$target.log" || true
done
exit $status
