# Shared helpers of the load benchmarks: free ports, nginx and qvTome on
# loopback, answer checks, wrk runs. Sourced from the repository root,
# not run.
#
#   BENCH_BINARY=...  the qvtome to measure (default: this tree's
#                     build-bench/app/qvtome, built first)
#   BENCH_SITE=...    its site folder (default: this tree's site/)
#   BENCH_SECONDS=5   seconds per wrk run

qv_bin=${BENCH_BINARY:-build-bench/app/qvtome}
qv_site=${BENCH_SITE:-site}

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Builds the given targets of this tree unless BENCH_BINARY names a
# qvtome built elsewhere.
build_bench() {
  bash scripts/install-deps.sh bench >/dev/null
  if [ -z "${BENCH_BINARY:-}" ]; then
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    bash scripts/build.sh bench "${targets[@]}" >/dev/null
  fi
  [ -x "$qv_bin" ] || fail "no qvtome at $qv_bin"
}

# A free TCP port on 127.0.0.1.
free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

# Waits until something answers on the port (at most 10 s).
wait_port() {
  for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/"$1") 2>/dev/null && return 0
    sleep 0.1
  done
  echo "nothing listens on port $1" >&2
  return 1
}

# start_nginx ROOT PORT: nginx serving ROOT on 127.0.0.1:PORT. Its
# workers run as the caller: started by root, nginx would otherwise run
# them as "nobody", which cannot read the private work folder.
start_nginx() {
  local root=$1 port=$2 user=""
  mkdir -p "$work/nginx"
  if [ "$(id -u)" = 0 ]; then user="user $(id -un) $(id -gn);"; fi
  cat > "$work/nginx/nginx.conf" <<CONF
$user
worker_processes 2;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  include /etc/nginx/mime.types;
  client_body_temp_path $work/nginx;
  proxy_temp_path $work/nginx;
  fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx;
  scgi_temp_path $work/nginx;
  server { listen 127.0.0.1:$port; root $root; }
}
CONF
  nginx -e "$work/nginx/error.log" -c "$work/nginx/nginx.conf" -p "$work/nginx"
  wait_port "$port"
}

stop_nginx() {
  [ -f "$work/nginx/nginx.pid" ] && kill "$(cat "$work/nginx/nginx.pid")" 2>/dev/null || true
}

# start_qvtome SITE: qvTome serving SITE with a fresh database in the
# work folder; sets qv_port and qv_pid.
start_qvtome() {
  qv_port=$(free_port)
  "$qv_bin" serve --data "$work/data" --site "$1" --port "$qv_port" >"$work/qvtome.log" 2>&1 &
  qv_pid=$!
  wait_port "$qv_port" || fail "qvTome did not start:"$'\n'"$(cat "$work/qvtome.log")"
}

# page_size URL: the size of URL's body, which is kept in $work/body.
# Fails unless the answer is 200.
page_size() {
  local status
  status=$(curl -s -o "$work/body" -w '%{http_code}' "$1") || fail "no answer from $1"
  [ "$status" = 200 ] || fail "$1 answered $status ($(wc -c <"$work/body") bytes)"
  wc -c <"$work/body"
}

# check_page URL SIZE: fails unless URL answers 200 with SIZE bytes.
check_page() {
  local size
  size=$(page_size "$1")
  [ "$size" = "$2" ] || fail "$1 answered $size bytes, expected $2"
}

# measure NAME URL CONNECTIONS: prints "NAME c=N rps p99" and records the
# requests per second in RPS[NAME,N]. Fails when no request was answered,
# on any answer other than 2xx/3xx and on connect, read or write errors;
# timeouts are printed beside the figure.
declare -A RPS
measure() {
  local name=$1 url=$2 conns=$3 threads=1 out requests rps p99 errors timeouts note=""
  [ "$conns" -gt 1 ] && threads=2
  out=$(wrk -t"$threads" -c"$conns" -d"${BENCH_SECONDS:-5}"s --latency "$url") ||
    fail "$name c=$conns: wrk failed on $url"
  requests=$(awk '/ requests in / {print $1}' <<<"$out")
  if [ "${requests:-0}" -eq 0 ]; then
    fail "$name c=$conns: no request answered"$'\n'"$out"
  fi
  if grep -q 'Non-2xx or 3xx' <<<"$out"; then
    fail "$name c=$conns: error answers under load"$'\n'"$out"
  fi
  errors=$(awk '/Socket errors/ {gsub(",", ""); print $4 + $6 + $8}' <<<"$out")
  timeouts=$(awk '/Socket errors/ {gsub(",", ""); print $10}' <<<"$out")
  if [ "${errors:-0}" -gt 0 ]; then
    fail "$name c=$conns: socket errors under load"$'\n'"$out"
  fi
  if [ "${timeouts:-0}" -gt 0 ]; then note="   ($timeouts timeouts)"; fi
  rps=$(awk '/^Requests\/sec/ {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  RPS[$name,$conns]=$rps
  printf '  %-34s c=%-3s %10s req/s   p99 %s%s\n' "$name" "$conns" "$rps" "$p99" "$note"
}

ratio() {
  python3 -c "import sys; a, b = float(sys.argv[1]), float(sys.argv[2]); print(f'{a / b:.2f}' if b else 'n/a')" "$1" "$2"
}

# A work folder in $work; at exit qvTome (started with its pid in $qv_pid)
# and nginx are stopped and the folder is removed.
start_work() {
  work=$(mktemp -d)
  qv_pid=""
  trap cleanup_work EXIT
}

cleanup_work() {
  [ -n "$qv_pid" ] && kill "$qv_pid" 2>/dev/null && wait "$qv_pid" 2>/dev/null
  stop_nginx
  rm -rf "$work"
}
