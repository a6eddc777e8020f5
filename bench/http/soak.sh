#!/usr/bin/env bash
# Memory under a long stream of anonymous views of one book page: the
# server's resident memory after a warm-up against the end of a run of
# hundreds of thousands of views (wrk, cookie-less, like a crawler).
# Target: growth under 5 MB.
#
#   BENCH_PAGE=8            the book page (book.lp?id=...)
#   BENCH_VIEWS=300000      views after the warm-up
#   BENCH_WARMUP_SECONDS=15
#   BENCH_CONNECTIONS=8
#   BENCH_BINARY=...        a qvtome already built (else build-bench's)
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib_load.sh

bash scripts/install-deps.sh bench >/dev/null
binary=${BENCH_BINARY:-build-bench/app/qvtome}
if [ -z "${BENCH_BINARY:-}" ]; then bash scripts/build.sh bench --target qvtome >/dev/null; fi

start_work

page="book.lp?id=${BENCH_PAGE:-8}"
views=${BENCH_VIEWS:-300000}
conns=${BENCH_CONNECTIONS:-8}
qv_port=$(free_port)
"$binary" serve --data "$work/data" --port "$qv_port" >"$work/qvtome.log" 2>&1 &
qv_pid=$!
wait_port "$qv_port"
url="http://127.0.0.1:$qv_port/$page"

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$qv_pid/status"; }

# One view as a crawler sees it: status, size and no session cookie.
check_page() {
  local status size
  status=$(curl -s -o "$work/page.html" -D "$work/headers.txt" -w '%{http_code}' "$url")
  size=$(wc -c <"$work/page.html")
  [ "$status" = 200 ] || fail "$page answered $status"
  grep -q '</html>' "$work/page.html" || fail "$page is not a whole page ($size bytes)"
  [ "$size" -ge 2000 ] || fail "$page has only $size bytes: not the book page"
  if [ -n "${expected_size:-}" ] && [ "$size" != "$expected_size" ]; then
    fail "$page has $size bytes, expected $expected_size"
  fi
  if grep -qi '^set-cookie:' "$work/headers.txt"; then
    echo "note: an anonymous view of $page sets a cookie" >&2
  fi
  echo "$size"
}

# wrk for $1 seconds; prints the number of requests, fails on any
# answer other than 2xx/3xx or on socket errors.
run_wrk() {
  local out
  out=$(wrk -t2 -c"$conns" -d"$1"s "$url")
  if grep -q 'Non-2xx or 3xx' <<<"$out"; then fail "errors under load: $out"; fi
  if grep -q 'Socket errors' <<<"$out"; then fail "socket errors under load: $out"; fi
  awk '/requests in/ {print $1}' <<<"$out"
}

expected_size=$(check_page)
echo "Page $page: 200, $expected_size bytes"

warm=$(run_wrk "${BENCH_WARMUP_SECONDS:-15}")
start_rss=$(rss_kb)
echo "Warm-up: $warm views, resident $start_rss KB"

done_views=0
while [ "$done_views" -lt "$views" ]; do
  n=$(run_wrk 10)
  done_views=$((done_views + n))
  printf '  %8d views   resident %6d KB\n' "$done_views" "$(rss_kb)"
done
check_page >/dev/null
end_rss=$(rss_kb)
growth=$((end_rss - start_rss))
echo "Resident after warm-up $start_rss KB, at the end $end_rss KB: growth $growth KB" \
  "($(python3 -c "print(f'{$growth * 1024 / $done_views:.1f}')") bytes per view)"
if [ "$growth" -ge 5120 ]; then
  fail "memory grew by $growth KB (target under 5 MB)"
fi
echo "OK: growth under 5 MB"
