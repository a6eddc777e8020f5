#!/usr/bin/env bash
# The demo book page (book.lp?id=8, anonymous reader) from PostgreSQL
# against the same page from SQLite, in one run:
#   (a) one qvTome on the embedded SQLite database,
#   (b) one qvTome on a PostgreSQL database of a throwaway cluster,
#   (c) two qvTome processes on that PostgreSQL database and one media
#       folder, with shared sessions, each given half the connections,
# at 1 and 16 connections (c at 2 and 16): requests per second, p99
# latency, b/a and c/b. The cluster is the tests' (scripts/pg-cluster.sh):
# unix socket, no fsync. A page view writes only its activity-log row,
# behind the request, so durability settings barely touch these figures.
# BENCH_BINARY and BENCH_SITE measure another build (bench/lib_load.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib_load.sh

build_bench qvtome
start_work
# Outside the private work folder: the cluster's owner must reach it.
pg_dir=$(mktemp -u -d /tmp/qvtome-bench-pg.XXXXXX)
pg_pids=()
# The PostgreSQL servers first, then the cluster, then the rest.
stop_all() {
  for pid in "${pg_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  bash scripts/pg-cluster.sh stop "$pg_dir" >/dev/null 2>&1 || true
  cleanup_work
}
trap stop_all EXIT

bash scripts/pg-cluster.sh start "$pg_dir" >/dev/null
mkdir -p "$work/pgdata"
cat >"$work/pg.toml" <<TOML
[server]
sessions = "database"

[datasource.qvtome]
engine = "postgresql"
conninfo = "host=$pg_dir user=qvtome dbname=qvtome"
TOML
"$qv_bin" init-db --data "$work/data" >/dev/null
"$qv_bin" init-db --data "$work/pgdata" --config "$work/pg.toml" >/dev/null ||
  fail "init-db on PostgreSQL failed"

# serve_on NAME DATA [CONFIG]: another qvTome; sets PORT[NAME].
declare -A PORT
serve_on() {
  local name=$1 data=$2 config=${3:-} port
  port=$(free_port)
  local args=(serve --data "$data" --site "$qv_site" --port "$port")
  [ -n "$config" ] && args+=(--config "$config")
  "$qv_bin" "${args[@]}" >"$work/$name.log" 2>&1 &
  if [ -n "$config" ]; then pg_pids+=($!); else qv_pid=$!; fi
  wait_port "$port" || fail "qvTome ($name) did not start:"$'\n'"$(cat "$work/$name.log")"
  PORT[$name]=$port
}
serve_on sqlite "$work/data"
serve_on pg1 "$work/pgdata" "$work/pg.toml"
serve_on pg2 "$work/pgdata" "$work/pg.toml"

page="book.lp?id=${BENCH_PAGE:-8}"
url() { echo "http://127.0.0.1:${PORT[$1]}/$page"; }

# Every server answers 200 with the same page before anything is measured.
# The first view of a page makes its help entry; the copy is of a later one.
page_size "$(url sqlite)" >/dev/null
size=$(page_size "$(url sqlite)")
grep -q '</html>' "$work/body" || fail "$page is not a whole page ($size bytes)"
[ "$size" -ge 2000 ] || fail "$page has only $size bytes: not the demo page"
cp "$work/body" "$work/sqlite.html"
for name in pg1 pg2; do
  page_size "$(url $name)" >/dev/null
  check_page "$(url $name)" "$size"
  cmp -s "$work/body" "$work/sqlite.html" ||
    fail "$name serves other bytes than SQLite:"$'\n'"$(diff "$work/sqlite.html" "$work/body" | head -20)"
done
echo "Book page $page: $size bytes from every server"

# Each worker thread opens its own pooled connection and prepares its
# statements at its first requests: warm every server up before measuring.
for name in sqlite pg1 pg2; do
  wrk -t2 -c16 -d1s "$(url $name)" >/dev/null || fail "warm-up of $name failed"
done

# measure_pair NAME CONNECTIONS: both PostgreSQL servers at once, each with
# half the connections; records the sum in RPS[NAME,CONNECTIONS].
measure_pair() {
  local name=$1 conns=$2 half=$(($2 / 2))
  measure "$name (pg1)" "$(url pg1)" "$half" >"$work/pair1" &
  local first=$!
  measure "$name (pg2)" "$(url pg2)" "$half" >"$work/pair2" || fail "$(cat "$work/pair2")"
  wait "$first" || fail "$(cat "$work/pair1")"
  cat "$work/pair1" "$work/pair2"
  local sum
  sum=$(awk '{for (i = 1; i <= NF; i++) if ($i == "req/s") s += $(i - 1)} END {printf "%.2f", s}' \
    "$work/pair1" "$work/pair2")
  RPS[$name,$conns]=$sum
  printf '  %-34s c=%-3s %10s req/s in all\n' "$name" "$conns" "$sum"
}

echo "Load, ${BENCH_SECONDS:-5} s per run:"
for c in 1 16; do
  measure "a SQLite, one server" "$(url sqlite)" "$c"
  measure "b PostgreSQL, one server" "$(url pg1)" "$c"
done
for c in 2 16; do
  measure "b PostgreSQL, one server" "$(url pg1)" "$c"
  measure_pair "c PostgreSQL, two servers" "$c"
done
echo "Ratios:"
for c in 1 16; do
  printf '  c=%-3s b/a (PostgreSQL / SQLite)   %s\n' "$c" \
    "$(ratio "${RPS["b PostgreSQL, one server",$c]}" "${RPS["a SQLite, one server",$c]}")"
done
for c in 2 16; do
  printf '  c=%-3s c/b (two servers / one)    %s\n' "$c" \
    "$(ratio "${RPS["c PostgreSQL, two servers",$c]}" "${RPS["b PostgreSQL, one server",$c]}")"
done
