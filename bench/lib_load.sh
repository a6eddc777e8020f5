# Shared helpers of the load benchmarks: free ports, nginx and qvTome on
# loopback, wrk runs. Sourced, not run.

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

# start_nginx ROOT PORT WORKDIR: nginx serving ROOT on 127.0.0.1:PORT. Its
# workers run as the caller: started by root, nginx would otherwise run
# them as "nobody", which cannot read the private work folder.
start_nginx() {
  local root=$1 port=$2 work=$3 user=""
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
  local work=$1
  [ -f "$work/nginx/nginx.pid" ] && kill "$(cat "$work/nginx/nginx.pid")" 2>/dev/null || true
}

# measure NAME URL CONNECTIONS: prints "NAME c=N rps p99_ms" and records
# the requests per second in RPS[NAME,N].
declare -A RPS
measure() {
  local name=$1 url=$2 conns=$3 threads=1 out rps p99
  [ "$conns" -gt 1 ] && threads=2
  out=$(wrk -t"$threads" -c"$conns" -d"${BENCH_SECONDS:-5}"s --latency "$url")
  rps=$(awk '/^Requests\/sec/ {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  RPS[$name,$conns]=$rps
  printf '  %-34s c=%-3s %10s req/s   p99 %s\n' "$name" "$conns" "$rps" "$p99"
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
  stop_nginx "$work"
  rm -rf "$work"
}
