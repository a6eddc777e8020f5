#!/usr/bin/env bash
# The HTTP host under load, against nginx in the same run: requests per
# second and p99 latency at 1 and 16 connections of
#   (a) nginx serving a static 20 KB HTML file,
#   (b) qvTome serving the same file,
#   (c) a Lua page writing the same 20 KB,
#   (d) default.lp with SysVar.Init,
# and the ratios b/a, c/a, d/a. BENCH_BINARY and BENCH_SITE measure
# another build (see bench/lib_load.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/lib_load.sh

build_bench qvtome
start_work

# The site under test: the site plus the 20 KB file and the page that
# writes it.
cp -rH "$qv_site" "$work/site"
python3 - "$work/site" <<'PY'
import sys
root = sys.argv[1]
para = "<p>" + "qvTome benchmark text, the same bytes for every server. " * 8 + "</p>\n"
body = "<!DOCTYPE html>\n<html><head><title>Bench</title></head><body>\n"
while len(body) < 20 * 1024 - 20:
    body += para
body = body[: 20 * 1024 - 16] + "</body></html>\n"
open(f"{root}/bench20k.html", "w").write(body)
open(f"{root}/bench20k.lp", "w").write(body)
PY

nginx_port=$(free_port)
start_nginx "$work/site" "$nginx_port"
start_qvtome "$work/site"
nginx_url="http://127.0.0.1:$nginx_port"
qv_url="http://127.0.0.1:$qv_port"

# Every URL answers 200 with the bytes expected before anything is
# measured. default.lp has no twin: it must be a whole page that lists
# the courses, read from the database.
size=$(wc -c <"$work/site/bench20k.html")
check_page "$nginx_url/bench20k.html" "$size"
check_page "$qv_url/bench20k.html" "$size"
check_page "$qv_url/bench20k.lp" "$size"
default_size=$(page_size "$qv_url/default.lp")
grep -q '</html>' "$work/body" || fail "default.lp is not a whole page ($default_size bytes)"
grep -q 'href="book.lp?id=' "$work/body" || fail "default.lp lists no course ($default_size bytes)"
[ "$default_size" -ge 1000 ] || fail "default.lp has only $default_size bytes"
echo "Answers: 20 KB file and page $size bytes each, default.lp $default_size bytes"

echo "Load, ${BENCH_SECONDS:-5} s per run:"
for c in 1 16; do
  measure "a nginx static 20 KB" "$nginx_url/bench20k.html" "$c"
  measure "b qvTome static 20 KB" "$qv_url/bench20k.html" "$c"
  measure "c qvTome Lua page 20 KB" "$qv_url/bench20k.lp" "$c"
  measure "d qvTome default.lp with Init" "$qv_url/default.lp" "$c"
done

echo "Ratios against nginx (targets at 16 connections: b/a >= 0.5, c/a >= 0.3, d/a >= 0.15):"
for c in 1 16; do
  a=${RPS["a nginx static 20 KB",$c]}
  printf '  c=%-3s b/a %s   c/a %s   d/a %s\n' "$c" \
    "$(ratio "${RPS["b qvTome static 20 KB",$c]}" "$a")" \
    "$(ratio "${RPS["c qvTome Lua page 20 KB",$c]}" "$a")" \
    "$(ratio "${RPS["d qvTome default.lp with Init",$c]}" "$a")"
done
