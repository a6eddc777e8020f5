#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests.
#
#   pg-cluster.sh start DIR   a new cluster in DIR, reached only through the
#                             unix socket in DIR; any cluster left there by an
#                             earlier run is stopped and removed first
#   pg-cluster.sh stop DIR    stops it and removes DIR (nothing there: no-op)
#
# The cluster belongs to the calling user, or to the postgres system user
# when called as root (initdb refuses root). It has no TCP listener and
# trades durability for speed. Tests connect as role "qvtome" (allowed to
# create databases) with "host=DIR user=qvtome dbname=...": database
# "qvtome" exists for them to connect to first. No system service is used.
set -euo pipefail

# The server programs of the Debian package (the newest version installed).
bin=${QVTOME_PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}
command=${1:-}
dir=${2:-}
if [ -z "$command" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi
case "$dir" in /*) ;; *) dir="$PWD/$dir" ;; esac

# Runs a command as the cluster's owner.
as_owner() {
  if [ "$(id -u)" = 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop() {
  [ -e "$dir" ] || return 0
  if [ -f "$dir/data/postmaster.pid" ]; then
    # Throwaway data: no need to wait for a checkpoint.
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

start() {
  if [ ! -x "$bin/initdb" ]; then
    echo "PostgreSQL server programs not found (scripts/install-deps.sh installs them)" >&2
    exit 1
  fi
  stop
  mkdir -p "$dir"
  if [ "$(id -u)" = 0 ]; then chown postgres: "$dir"; fi
  chmod 700 "$dir"
  as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C \
    --no-sync >"$dir/initdb.log" 2>&1 || {
    cat "$dir/initdb.log" >&2
    exit 1
  }
  cat >>"$dir/data/postgresql.conf" <<EOF
listen_addresses = ''
unix_socket_directories = '$dir'
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 200
# No background worker holds a test's database when the test drops it.
autovacuum = off
EOF
  as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null || {
    cat "$dir/server.log" >&2
    exit 1
  }
  as_owner "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -U postgres -d postgres \
    -c "CREATE ROLE qvtome LOGIN CREATEDB" -c "CREATE DATABASE qvtome OWNER qvtome"
  echo "PostgreSQL cluster running in $dir"
}

case "$command" in
  start) start ;;
  stop) stop ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
