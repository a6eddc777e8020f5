#!/usr/bin/env bash
# Two book pages, in one run:
#   the demo course's page (book.lp?id=8, about 3 KB) and the text-heavy
#   page of a 40-page book of five chapters (bench/text_book.py adds it to
#   the run's fresh database: 21 paragraphs under five h2 headings, about
#   15 KB of text), each
#   (a) served by nginx as a static file of the page's saved HTML,
#   (b) rendered by qvTome (book.lp, anonymous reader, default LogLevel),
# at 1, 16 and 64 connections (requests per second, p99 latency, b/a),
# then the page-view cost of a 100-page book against a 10,000-page one.
# Requests ask for no compression; the gzip sizes of the pages are printed
# beside them.
# Targets: b/a >= 0.20 at 1 connection and >= 0.15 at 16; at 64 every
# request answered; 10,000 / 100 pages <= 1.3.
# BENCH_BINARY and BENCH_SITE measure another build's server (see
# bench/lib_load.sh); the in-process part is then left out.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib_load.sh

build_bench qvtome book_page_bench
start_work

"$qv_bin" init-db --data "$work/data" >/dev/null
text_page=$(python3 bench/text_book.py "$work/data/qvtome.db") || fail "cannot add the text book"
start_qvtome "$qv_site"

# The static copies: each page as an anonymous reader gets it, beside the
# site's stylesheet and images.
mkdir -p "$work/static"
cp -r "$qv_site/site.css" "$qv_site/images" "$work/static/"
nginx_port=$(free_port)
declare -A PAGE_URL NGINX_URL SIZE
names=()
for entry in "demo:${BENCH_PAGE:-8}:2000" "text:$text_page:15000"; do
  IFS=: read -r name id min_size <<<"$entry"
  page="book.lp?id=$id"
  url="http://127.0.0.1:$qv_port/$page"
  # The first view of a page makes its help entry; the copy is of a later one.
  page_size "$url" >/dev/null
  size=$(page_size "$url")
  grep -q '</html>' "$work/body" || fail "$page is not a whole page ($size bytes)"
  [ "$size" -ge "$min_size" ] || fail "$page has only $size bytes: not the $name page"
  cp "$work/body" "$work/static/$name.html"
  gzip_size=$(curl -s -H 'Accept-Encoding: gzip' -o - "$url" | wc -c)
  echo "Book page $name ($page): $size bytes, $gzip_size bytes gzip-compressed"
  PAGE_URL[$name]=$url
  NGINX_URL[$name]="http://127.0.0.1:$nginx_port/$name.html"
  SIZE[$name]=$size
  names+=("$name")
done
start_nginx "$work/static" "$nginx_port"

# Both answer 200 with the same bytes before anything is measured.
for name in "${names[@]}"; do
  check_page "${NGINX_URL[$name]}" "${SIZE[$name]}"
  check_page "${PAGE_URL[$name]}" "${SIZE[$name]}"
done

echo "Load, ${BENCH_SECONDS:-5} s per run:"
for name in "${names[@]}"; do
  for c in 1 16 64; do
    measure "a nginx static $name page" "${NGINX_URL[$name]}" "$c"
    measure "b qvTome $name page" "${PAGE_URL[$name]}" "$c"
  done
done
echo "Ratio against nginx (targets: b/a >= 0.20 at 1 connection, >= 0.15 at 16):"
for name in "${names[@]}"; do
  for c in 1 16 64; do
    printf '  %-5s c=%-3s b/a %s\n' "$name" "$c" \
      "$(ratio "${RPS["b qvTome $name page",$c]}" "${RPS["a nginx static $name page",$c]}")"
  done
done

if [ -z "${BENCH_BINARY:-}" ]; then
  echo
  build-bench/bench/book_page_bench --benchmark_min_time=1 "$@"
fi
