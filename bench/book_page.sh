#!/usr/bin/env bash
# One book page of the demo course, in one run:
#   (a) nginx serving the page's saved HTML as a static file,
#   (b) qvTome rendering the same page (book.lp, anonymous reader, default
#       LogLevel),
# at 1 and 16 connections (requests per second, p99 latency, b/a), then
# the page-view cost of a 100-page book against a 10,000-page one.
# Targets: b/a >= 0.15 at 16 connections; 10,000 / 100 pages <= 1.3.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib_load.sh

bash scripts/install-deps.sh bench >/dev/null
bash scripts/build.sh bench --target qvtome --target book_page_bench >/dev/null

start_work

page="book.lp?id=${BENCH_PAGE:-8}"
qv_port=$(free_port)
build-bench/app/qvtome serve --data "$work/data" --port "$qv_port" >"$work/qvtome.log" 2>&1 &
qv_pid=$!
wait_port "$qv_port"

# The static copy: the page as an anonymous reader gets it, beside the
# site's stylesheet and images.
mkdir -p "$work/static"
cp -r site/site.css site/images "$work/static/"
curl -sf "http://127.0.0.1:$qv_port/$page" -o "$work/static/book.html"
echo "Book page $page: $(wc -c <"$work/static/book.html") bytes"
nginx_port=$(free_port)
start_nginx "$work/static" "$nginx_port" "$work"

echo "Load, ${BENCH_SECONDS:-5} s per run:"
for c in 1 16; do
  measure "a nginx static book page" "http://127.0.0.1:$nginx_port/book.html" "$c"
  measure "b qvTome book.lp" "http://127.0.0.1:$qv_port/$page" "$c"
done
echo "Ratio against nginx (target at 16 connections: b/a >= 0.15):"
for c in 1 16; do
  printf '  c=%-3s b/a %s\n' "$c" \
    "$(ratio "${RPS["b qvTome book.lp",$c]}" "${RPS["a nginx static book page",$c]}")"
done

echo
build-bench/bench/book_page_bench --benchmark_min_time=1 "$@"
