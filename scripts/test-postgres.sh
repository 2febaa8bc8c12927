#!/usr/bin/env bash
# Starts a throwaway PostgreSQL server for the tests and prints the connection text for
# QACSEMAF_PG. "stop" stops it again; "restart" restarts a running one on the same port (the
# tests of a server that must come back after it) and prints the same text. Needs the
# postgresql package (install-deps.sh).
# Each checkout gets a folder of its own and the first free port from 54329 on, so two
# checkouts can run their tests at the same time. The database sorts texts by their bytes
# (locale C), as SQLite does, so that lists come in the same order on both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${QACSEMAF_PG_DIR:-/tmp/qacsemaf-pg-$(printf '%s' "$root" | md5sum | cut -c1-10)}
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_postgres=()
[ "$(id -u)" -eq 0 ] && as_postgres=(runuser -u postgres --)

stop_server() {
  [ -f "$dir/postmaster.pid" ] && "${as_postgres[@]}" "$bin/pg_ctl" -D "$dir" -m fast stop > /dev/null 2>&1 || true
}

port_is_free() {
  ! (exec 3<> "/dev/tcp/127.0.0.1/$1") 2> /dev/null
}

if [ "${1:-start}" = stop ]; then
  [ -d "$dir" ] && stop_server
  rm -rf "$dir"
  exit 0
fi

if [ "${1:-start}" = restart ]; then
  [ -f "$dir/postmaster.pid" ] || { echo "test-postgres: no server of this checkout is running" >&2; exit 1; }
  port=$(sed -n 4p "$dir/postmaster.pid")
  # pg_ctl starts it again with the options it was started with.
  "${as_postgres[@]}" "$bin/pg_ctl" -D "$dir" -l "$dir/server.log" -w -m fast restart > /dev/null
  echo "host=127.0.0.1 port=$port dbname=qacsemaf_test user=postgres password=postgres"
  exit 0
fi

if [ ! -f "$dir/PG_VERSION" ]; then
  rm -rf "$dir"
  mkdir -p "$dir"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
  "${as_postgres[@]}" "$bin/initdb" -D "$dir" -U postgres -A trust > /dev/null
fi
# A server left running by an interrupted run is stopped first.
stop_server
port=${QACSEMAF_PG_PORT:-}
if [ -z "$port" ]; then
  for candidate in $(seq 54329 54428); do
    if port_is_free "$candidate"; then port=$candidate; break; fi
  done
fi
[ -n "$port" ] || { echo "test-postgres: no free port between 54329 and 54428" >&2; exit 1; }
"${as_postgres[@]}" "$bin/pg_ctl" -D "$dir" -l "$dir/server.log" -w \
  -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" start > /dev/null
"${as_postgres[@]}" "$bin/psql" -h 127.0.0.1 -p "$port" -U postgres -qtc \
  "select 1 from pg_database where datname = 'qacsemaf_test'" | grep -q 1 ||
  "${as_postgres[@]}" "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres --locale=C --template=template0 qacsemaf_test
echo "host=127.0.0.1 port=$port dbname=qacsemaf_test user=postgres password=postgres"
