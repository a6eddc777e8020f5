#!/usr/bin/env bash
# One book page of the demo course, in one run:
#   (a) nginx serving the page's saved HTML as a static file,
#   (b) qvTome rendering the same page (book.lp, anonymous reader, default
#       LogLevel),
# at 1 and 16 connections (requests per second, p99 latency, b/a), then
# the page-view cost of a 100-page book against a 10,000-page one.
# Targets: b/a >= 0.15 at 16 connections; 10,000 / 100 pages <= 1.3.
# BENCH_BINARY and BENCH_SITE measure another build's server (see
# bench/lib_load.sh); the in-process part is then left out.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib_load.sh

build_bench qvtome book_page_bench
start_work

page="book.lp?id=${BENCH_PAGE:-8}"
start_qvtome "$qv_site"
qv_url="http://127.0.0.1:$qv_port/$page"

# The static copy: the page as an anonymous reader gets it, beside the
# site's stylesheet and images.
mkdir -p "$work/static"
cp -r "$qv_site/site.css" "$qv_site/images" "$work/static/"
# The first view of a page makes its help entry; the copy is of a later one.
page_size "$qv_url" >/dev/null
size=$(page_size "$qv_url")
grep -q '</html>' "$work/body" || fail "$page is not a whole page ($size bytes)"
[ "$size" -ge 2000 ] || fail "$page has only $size bytes: not the book page"
cp "$work/body" "$work/static/book.html"
nginx_port=$(free_port)
start_nginx "$work/static" "$nginx_port"
nginx_url="http://127.0.0.1:$nginx_port/book.html"

# Both answer 200 with the same bytes before anything is measured.
check_page "$nginx_url" "$size"
check_page "$qv_url" "$size"
echo "Book page $page: $size bytes"

echo "Load, ${BENCH_SECONDS:-5} s per run:"
for c in 1 16; do
  measure "a nginx static book page" "$nginx_url" "$c"
  measure "b qvTome book.lp" "$qv_url" "$c"
done
echo "Ratio against nginx (target at 16 connections: b/a >= 0.15):"
for c in 1 16; do
  printf '  c=%-3s b/a %s\n' "$c" \
    "$(ratio "${RPS["b qvTome book.lp",$c]}" "${RPS["a nginx static book page",$c]}")"
done

if [ -z "${BENCH_BINARY:-}" ]; then
  echo
  build-bench/bench/book_page_bench --benchmark_min_time=1 "$@"
fi
